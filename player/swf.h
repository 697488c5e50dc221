#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace player {

// A movie that cannot be read; what() is a one-line reason for the reader.
class SwfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Tag codes the reader knows by name.
enum TagCode : std::uint16_t {
  kEnd = 0,
  kShowFrame = 1,
  kDefineBits = 6,
  kJpegTables = 8,
  kSetBackgroundColor = 9,
  kDefineSound = 14,
  kDefineBitsLossless = 20,
  kDefineBitsJpeg2 = 21,
  kDefineBitsJpeg3 = 35,
  kDefineBitsLossless2 = 36,
  kFrameLabel = 43,
  kFileAttributes = 69,
  kMetadata = 77,
  kDefineBinaryData = 87,
};

struct SwfRect {
  std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // twips
  std::int32_t Width() const { return xMax - xMin; }
  std::int32_t Height() const { return yMax - yMin; }
};

struct FrameLabel {
  int frame;  // 1-based
  std::string name;
};

struct Tag {
  std::uint16_t code;
  std::span<const std::uint8_t> body;  // points into SwfMovie::data
};

struct SwfMovie {
  char signature[4] = {0, 0, 0, 0};  // "FWS" or "CWS"
  int version = 0;
  std::uint32_t declaredLength = 0;  // of the uncompressed movie, header included
  SwfRect frameSize;
  double frameRate = 0;
  int frameCount = 0;   // as the header says
  int shownFrames = 0;  // ShowFrame tags seen
  std::vector<FrameLabel> labels;
  std::map<std::uint16_t, int> tagCounts;
  std::string metadata;
  std::vector<std::uint8_t> data;  // the uncompressed movie
  std::vector<Tag> tags;

  const FrameLabel* FindLabel(const std::string& name) const;
};

// No movie may inflate past this; a larger declared length is refused
// before anything is allocated.
inline constexpr std::uint32_t kMaxMovieBytes = 256u * 1024 * 1024;

// Reads a whole movie from memory. Raises SwfError.
SwfMovie ParseSwf(std::span<const std::uint8_t> file, std::uint32_t maxBytes = kMaxMovieBytes);
// Reads a movie file. Raises SwfError.
SwfMovie LoadSwfFile(const std::string& path, std::uint32_t maxBytes = kMaxMovieBytes);

const char* TagName(std::uint16_t code);

}  // namespace player
