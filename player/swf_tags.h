#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace player {

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

const char* TagName(std::uint16_t code);

inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// One tag record as it lies in the movie's bytes.
struct TagRecord {
  enum Cut { kWhole, kHeaderCut, kBodyCut };
  Cut cut = kWhole;  // where the bytes end before the record does
  std::uint16_t code = 0;
  std::span<const std::uint8_t> body;
  std::size_t next = 0;  // where the record after it begins
};

// The record at `pos`: every walk over the tags reads its headers here,
// whether the bytes are all in or still arriving.
TagRecord ReadTag(std::span<const std::uint8_t> bytes, std::size_t pos);

}  // namespace player
