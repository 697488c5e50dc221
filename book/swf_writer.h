#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "book/swf_interactive.h"
#include "book/swf_shape.h"
#include "book/swf_timeline.h"

namespace book {

// Writes movie container files: a header, tag records, zlib compression.
// The movie's own timeline is the writer's (ShowFrame, PlaceObject,
// DoAction, ...); definitions (pictures, shapes, sprites, buttons, text)
// are made here. Raises std::invalid_argument for what no player could
// read: a character id given twice, a sprite whose frames do not end with a
// ShowFrame, actions that are no whole action list.
class SwfWriter : public Timeline {
 public:
  SwfWriter(int version, std::int32_t widthTwips, std::int32_t heightTwips, double frameRate);

  // SWF 8 and later begin with FileAttributes, which Finish writes; this sets
  // its network flag (off: the movie may read local files only).
  void FileAttributes(bool useNetwork);
  void Metadata(const std::string& text);
  void BackgroundColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) { Tag(9, {r, g, b}); }
  // A JPEG picture, complete with its own tables.
  void DefineBitsJpeg2(std::uint16_t id, const std::vector<std::uint8_t>& jpeg);
  // Uncompressed 16-bit little-endian PCM, mono; rate 5512, 11025, 22050 or 44100.
  void DefineSound(std::uint16_t id, int rate, const std::vector<std::int16_t>& samples);
  // DefineShape3 (RGBA colours), or DefineShape for shapeVersion 1.
  void DefineShape(std::uint16_t id, const Shape& shape, int shapeVersion = 3);
  // A movie clip: `sprite` holds its control tags, frame by frame.
  void DefineSprite(std::uint16_t id, const Timeline& sprite);
  // Actions run once, before the sprite's first use.
  void DoInitAction(std::uint16_t sprite, const Bytes& actions);
  void DefineButton2(std::uint16_t id, const std::vector<ButtonRecord>& records,
                     const std::vector<ButtonAction>& actions, bool trackAsMenu = false);
  void DefineEditText(std::uint16_t id, const EditText& text);
  void DefineDeviceFont(std::uint16_t id, const std::string& name);
  // Linkage names (attachMovie, attachSound) for defined characters.
  void ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& names);

  // The finished movie; compressed gives a "CWS" file.
  std::vector<std::uint8_t> Finish(bool compressed);

 private:
  void Define(std::uint16_t id);

  std::int32_t width_, height_;
  double rate_;
  bool useNetwork_ = false, metadata_ = false;
  std::set<std::uint16_t> defined_;
  std::set<std::string> exported_;
};

}  // namespace book
