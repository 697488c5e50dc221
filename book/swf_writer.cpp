#include "book/swf_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace book {

namespace {
void Le16(std::vector<std::uint8_t>& o, std::uint32_t v) {
  o.push_back(static_cast<std::uint8_t>(v));
  o.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Le32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  Le16(o, v & 0xffff);
  Le16(o, v >> 16);
}

// A RECT with the fewest bits that hold every field.
void Rect(std::vector<std::uint8_t>& o, std::int32_t xmin, std::int32_t xmax, std::int32_t ymin,
          std::int32_t ymax) {
  int nbits = 1;
  for (std::int32_t v : {xmin, xmax, ymin, ymax}) {
    int need = 1;
    while ((v < 0 ? ~v : v) >> (need - 1)) ++need;
    nbits = std::max(nbits, need);
  }
  std::uint64_t acc = 0;
  int have = 0;
  auto put = [&](std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc = (acc << 1) | ((value >> i) & 1);
      if (++have == 8) {
        o.push_back(static_cast<std::uint8_t>(acc));
        acc = 0;
        have = 0;
      }
    }
  };
  put(static_cast<std::uint32_t>(nbits), 5);
  for (std::int32_t v : {xmin, xmax, ymin, ymax}) put(static_cast<std::uint32_t>(v), nbits);
  if (have) o.push_back(static_cast<std::uint8_t>(acc << (8 - have)));
}
}  // namespace

SwfWriter::SwfWriter(int version, std::int32_t w, std::int32_t h, double rate)
    : version_(version), width_(w), height_(h), rate_(rate) {}

void SwfWriter::Tag(std::uint16_t code, const std::vector<std::uint8_t>& body) {
  // Image and sound tags always take the long header, as players expect.
  bool longForm =
      body.size() >= 0x3f || code == 6 || code == 21 || code == 35 || code == 14 || code == 20 || code == 36;
  if (longForm) {
    Le16(tags_, static_cast<std::uint32_t>(code << 6 | 0x3f));
    Le32(tags_, static_cast<std::uint32_t>(body.size()));
  } else {
    Le16(tags_, static_cast<std::uint32_t>(code << 6 | body.size()));
  }
  if (code == 6 || code == 21 || code == 35) stored_.emplace_back(tags_.size(), body.size());
  tags_.insert(tags_.end(), body.begin(), body.end());
}

void SwfWriter::FrameLabel(const std::string& name) {
  std::vector<std::uint8_t> b(name.begin(), name.end());
  b.push_back(0);
  Tag(43, b);
}

void SwfWriter::Metadata(const std::string& text) {
  std::vector<std::uint8_t> b(text.begin(), text.end());
  b.push_back(0);
  Tag(77, b);
}

void SwfWriter::DefineBitsJpeg2(std::uint16_t id, const std::vector<std::uint8_t>& jpeg) {
  std::vector<std::uint8_t> b;
  Le16(b, id);
  b.insert(b.end(), jpeg.begin(), jpeg.end());
  Tag(21, b);
}

void SwfWriter::DefineSound(std::uint16_t id, int rate, const std::vector<std::int16_t>& samples) {
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
  Rect(body, 0, width_, 0, height_);
  int rate = static_cast<int>(rate_ * 256);
  body.push_back(static_cast<std::uint8_t>(rate & 0xff));
  body.push_back(static_cast<std::uint8_t>(rate >> 8));
  Le16(body, static_cast<std::uint32_t>(frames_));
  body.insert(body.end(), tags_.begin(), tags_.end());
  Le16(body, 0);  // End

  std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(compressed ? 'C' : 'F'), 'W', 'S',
                                   static_cast<std::uint8_t>(version_)};
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
