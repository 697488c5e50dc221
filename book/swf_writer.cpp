#include "book/swf_writer.h"

#include <zlib.h>

#include <stdexcept>

#include "book/avm1_actions.h"

namespace book {

namespace {

// Control tags: the only ones a sprite's timeline may hold.
bool IsControlTag(std::uint16_t code) {
  switch (code) {
    case 1:   // ShowFrame
    case 4:   // PlaceObject
    case 5:   // RemoveObject
    case 12:  // DoAction
    case 15:  // StartSound
    case 18:  // SoundStreamHead
    case 19:  // SoundStreamBlock
    case 26:  // PlaceObject2
    case 28:  // RemoveObject2
    case 43:  // FrameLabel
    case 45:  // SoundStreamHead2
    case 70:  // PlaceObject3
    case 89:  // StartSound2
      return true;
    default: return false;
  }
}

}  // namespace

SwfWriter::SwfWriter(int version, std::int32_t w, std::int32_t h, double rate)
    : Timeline(version), width_(w), height_(h), rate_(rate) {}

void SwfWriter::Define(std::uint16_t id) {
  if (id == 0) throw std::invalid_argument("character id 0 is the movie itself");
  if (!defined_.insert(id).second)
    throw std::invalid_argument("character id " + std::to_string(id) + " is defined twice");
}

void SwfWriter::FileAttributes(bool useNetwork) {
  if (version_ < 8) throw std::invalid_argument("FileAttributes is for SWF 8 and later");
  useNetwork_ = useNetwork;
}

void SwfWriter::DefineShape(std::uint16_t id, const Shape& shape, int shapeVersion) {
  Bytes b;
  Le16(b, id);
  Bytes rest = shape.Encode(shapeVersion);
  b.insert(b.end(), rest.begin(), rest.end());
  Define(id);
  Tag(shapeVersion == 1 ? 2 : shapeVersion == 2 ? 22 : 32, b);
}

void SwfWriter::DefineSprite(std::uint16_t id, const Timeline& sprite) {
  if (sprite.version() != version_) throw std::invalid_argument("a sprite written for another SWF version");
  if (sprite.frames() == 0 || sprite.openFrame())
    throw std::invalid_argument("sprite " + std::to_string(id) + " does not end with a ShowFrame");
  if (sprite.frames() > 0xffff) throw std::invalid_argument("a sprite of more than 65535 frames");
  const Bytes& tags = sprite.tags();
  for (std::size_t pos = 0; pos < tags.size();) {
    std::uint32_t head = tags[pos] | tags[pos + 1] << 8, length = head & 0x3f;
    pos += 2;
    if (length == 0x3f) {
      length = tags[pos] | tags[pos + 1] << 8 | tags[pos + 2] << 16 |
               static_cast<std::uint32_t>(tags[pos + 3]) << 24;
      pos += 4;
    }
    if (!IsControlTag(static_cast<std::uint16_t>(head >> 6)))
      throw std::invalid_argument("sprite " + std::to_string(id) + " holds tag " + std::to_string(head >> 6) +
                                  ", which only the movie's timeline may");
    pos += length;
  }
  Bytes b;
  Le16(b, id);
  Le16(b, static_cast<std::uint32_t>(sprite.frames()));
  b.insert(b.end(), tags.begin(), tags.end());
  Le16(b, 0);  // End
  Define(id);
  Tag(39, b);
}

void SwfWriter::DoInitAction(std::uint16_t sprite, const Bytes& actions) {
  if (!avm1::IsActionList(actions)) throw std::invalid_argument("DoInitAction: not a whole action list");
  if (!defined_.count(sprite)) throw std::invalid_argument("DoInitAction for a sprite not defined before it");
  Bytes b;
  Le16(b, sprite);
  b.insert(b.end(), actions.begin(), actions.end());
  Tag(59, b);
}

void SwfWriter::DefineButton2(std::uint16_t id, const std::vector<ButtonRecord>& records,
                              const std::vector<ButtonAction>& actions, bool trackAsMenu) {
  Bytes b = DefineButton2Body(id, records, actions, trackAsMenu);
  Define(id);
  Tag(34, b);
}

void SwfWriter::DefineEditText(std::uint16_t id, const EditText& text) {
  Bytes b = DefineEditTextBody(id, text);
  Define(id);
  Tag(37, b);
}

void SwfWriter::DefineDeviceFont(std::uint16_t id, const std::string& name) {
  Bytes b = DeviceFontBody(id, name, version_);
  Define(id);
  Tag(48, b);
}

void SwfWriter::ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& names) {
  Bytes b;
  Le16(b, static_cast<std::uint32_t>(names.size()));
  for (const auto& [id, name] : names) {
    if (!defined_.count(id))
      throw std::invalid_argument("exporting character " + std::to_string(id) + ", never defined");
    if (name.empty() || !exported_.insert(name).second)
      throw std::invalid_argument("the linkage name \"" + name + "\" is empty or given twice");
    Le16(b, id);
    CString(b, name);
  }
  Tag(56, b);
}

void SwfWriter::Metadata(const std::string& text) {
  Bytes b;
  CString(b, text);
  metadata_ = true;
  Tag(77, b);
}

void SwfWriter::DefineBitsJpeg2(std::uint16_t id, const std::vector<std::uint8_t>& jpeg) {
  Define(id);
  std::vector<std::uint8_t> b;
  Le16(b, id);
  b.insert(b.end(), jpeg.begin(), jpeg.end());
  Tag(21, b);
}

void SwfWriter::DefineSound(std::uint16_t id, int rate, const std::vector<std::int16_t>& samples) {
  Define(id);
  int rateCode = rate >= 44100 ? 3 : rate >= 22050 ? 2 : rate >= 11025 ? 1 : 0;
  std::vector<std::uint8_t> b;
  Le16(b, id);
  // format 3 (uncompressed, little-endian), rate, 16 bits, mono
  b.push_back(static_cast<std::uint8_t>(3 << 4 | rateCode << 2 | 1 << 1 | 0));
  Le32(b, static_cast<std::uint32_t>(samples.size()));
  for (std::int16_t v : samples) Le16(b, static_cast<std::uint16_t>(v));
  Tag(14, b);
}

std::vector<std::uint8_t> SwfWriter::Finish(bool compressed) {
  std::vector<std::uint8_t> body;
  WriteRect(body, 0, width_, 0, height_);
  int rate = static_cast<int>(rate_ * 256);
  body.push_back(static_cast<std::uint8_t>(rate & 0xff));
  body.push_back(static_cast<std::uint8_t>(rate >> 8));
  if (frames_ > 0xffff) throw std::invalid_argument("a movie of more than 65535 frames");
  Le16(body, static_cast<std::uint32_t>(frames_));
  if (version_ >= 8) {
    // FileAttributes, first: no AS3, the metadata flag, the network flag.
    Le16(body, 69 << 6 | 4);
    Le32(body, (metadata_ ? 0x10u : 0) | (useNetwork_ ? 0x01u : 0));
  }
  body.insert(body.end(), tags_.begin(), tags_.end());
  Le16(body, 0);  // End

  std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(compressed ? 'C' : 'F'), 'W', 'S',
                                   static_cast<std::uint8_t>(version_)};
  if (body.size() + 8 > 0xffffffffu) throw std::invalid_argument("a movie larger than 4 GB");
  Le32(out, static_cast<std::uint32_t>(body.size() + 8));
  if (!compressed) {
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }
  // One zlib stream; its level changes between tags.
  z_stream zs{};
  if (deflateInit(&zs, 9) != Z_OK) throw std::runtime_error("zlib could not start");
  std::vector<std::uint8_t> z(compressBound(static_cast<uLong>(body.size())) + 1024 * (stored_.size() + 1));
  zs.next_out = z.data();
  zs.avail_out = static_cast<uInt>(z.size());
  const size_t headerBytes = body.size() - tags_.size() - 2;  // before the first tag
  size_t pos = 0;
  auto feed = [&](size_t end, int level, int flush) {
    if (deflateParams(&zs, level, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::runtime_error("zlib level change failed");
    zs.next_in = body.data() + pos;
    zs.avail_in = static_cast<uInt>(end - pos);
    if (deflate(&zs, flush) == Z_STREAM_ERROR) throw std::runtime_error("zlib could not compress the movie");
    pos = end;
  };
  for (auto [offset, length] : stored_) {
    feed(headerBytes + offset, 9, Z_NO_FLUSH);
    feed(headerBytes + offset + length, 0, Z_NO_FLUSH);
  }
  feed(body.size(), 9, Z_FINISH);
  size_t size = z.size() - zs.avail_out;
  deflateEnd(&zs);
  out.insert(out.end(), z.begin(), z.begin() + static_cast<long>(size));
  return out;
}

}  // namespace book
