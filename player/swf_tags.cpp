#include "player/swf_tags.h"

namespace player {

TagRecord ReadTag(std::span<const std::uint8_t> d, std::size_t pos) {
  TagRecord tag;
  if (pos > d.size() || d.size() - pos < 2) {
    tag.cut = TagRecord::kHeaderCut;
    return tag;
  }
  std::uint16_t head = Le16(&d[pos]);
  tag.code = head >> 6;
  std::size_t len = head & 0x3f, at = pos + 2;
  if (len == 0x3f) {
    // A long record: its length follows in four bytes.
    if (d.size() - at < 4) {
      tag.cut = TagRecord::kHeaderCut;
      return tag;
    }
    len = Le32(&d[at]);
    at += 4;
  }
  if (len > d.size() - at) {
    tag.cut = TagRecord::kBodyCut;
    return tag;
  }
  tag.body = d.subspan(at, len);
  tag.next = at + len;
  return tag;
}

const char* TagName(std::uint16_t code) {
  switch (code) {
    case kEnd: return "End";
    case kShowFrame: return "ShowFrame";
    case kDefineBits: return "DefineBits";
    case kJpegTables: return "JPEGTables";
    case kSetBackgroundColor: return "SetBackgroundColor";
    case kDefineSound: return "DefineSound";
    case kDefineBitsLossless: return "DefineBitsLossless";
    case kDefineBitsJpeg2: return "DefineBitsJPEG2";
    case kDefineBitsJpeg3: return "DefineBitsJPEG3";
    case kDefineBitsLossless2: return "DefineBitsLossless2";
    case kFrameLabel: return "FrameLabel";
    case kFileAttributes: return "FileAttributes";
    case kMetadata: return "Metadata";
    case kDefineBinaryData: return "DefineBinaryData";
    default: return "unknown";
  }
}

}  // namespace player
