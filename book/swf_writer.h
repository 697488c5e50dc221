#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace book {

// Writes movie container files: a header, tag records, zlib compression.
class SwfWriter {
 public:
  SwfWriter(int version, std::int32_t widthTwips, std::int32_t heightTwips, double frameRate);

  void Tag(std::uint16_t code, const std::vector<std::uint8_t>& body);
  void ShowFrame() {
    Tag(1, {});
    ++frames_;
  }
  void FrameLabel(const std::string& name);
  void Metadata(const std::string& text);
  void BackgroundColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) { Tag(9, {r, g, b}); }
  // A JPEG picture, complete with its own tables.
  void DefineBitsJpeg2(std::uint16_t id, const std::vector<std::uint8_t>& jpeg);
  // Uncompressed 16-bit little-endian PCM, mono; rate 5512, 11025, 22050 or 44100.
  void DefineSound(std::uint16_t id, int rate, const std::vector<std::int16_t>& samples);

  // The finished movie; compressed gives a "CWS" file.
  std::vector<std::uint8_t> Finish(bool compressed);

 private:
  int version_;
  std::int32_t width_, height_;
  double rate_;
  int frames_ = 0;
  std::vector<std::uint8_t> tags_;
  // Ranges of tags_ that are compressed already (JPEG data): stored as they
  // are, since deflating them gains nothing and costs every reader time.
  std::vector<std::pair<size_t, size_t>> stored_;
};

}  // namespace book
