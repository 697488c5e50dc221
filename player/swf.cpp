#include "player/swf.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace player {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// Grows the output as data really arrives, so a lying header costs nothing.
std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> in, std::size_t expected) {
  std::vector<std::uint8_t> out;
  out.reserve(std::min<std::size_t>(expected, 4u << 20));
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  if (inflateInit(&zs) != Z_OK) throw SwfError("zlib could not start");
  zs.next_in = const_cast<Bytef*>(in.data());
  zs.avail_in = static_cast<uInt>(in.size());
  std::uint8_t chunk[64 * 1024];
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    zs.next_out = chunk;
    zs.avail_out = sizeof chunk;
    rc = inflate(&zs, Z_NO_FLUSH);
    std::size_t got = sizeof chunk - zs.avail_out;
    if (out.size() + got > expected) {
      inflateEnd(&zs);
      throw SwfError("compressed movie is longer than its header says");
    }
    out.insert(out.end(), chunk, chunk + got);
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR || (rc == Z_OK && zs.avail_in == 0 && got == 0)) {
      inflateEnd(&zs);
      throw SwfError("compressed movie is truncated (" + std::to_string(out.size()) + " of " +
                     std::to_string(expected) + " bytes)");
    }
    if (rc != Z_OK) {
      inflateEnd(&zs);
      throw SwfError("compressed movie is damaged (zlib error " + std::to_string(rc) + ")");
    }
  }
  inflateEnd(&zs);
  if (out.size() != expected)
    throw SwfError("compressed movie is shorter than its header says (" + std::to_string(out.size()) +
                   " of " + std::to_string(expected) + " bytes)");
  return out;
}

class BitReader {
 public:
  BitReader(std::span<const std::uint8_t> d, std::size_t pos) : d_(d), byte_(pos) {}
  std::uint32_t Bits(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      if (byte_ >= d_.size()) throw SwfError("movie header is truncated");
      int bit = (d_[byte_] >> (7 - bit_)) & 1;
      v = (v << 1) | static_cast<std::uint32_t>(bit);
      if (++bit_ == 8) {
        bit_ = 0;
        ++byte_;
      }
    }
    return v;
  }
  std::int32_t Signed(int n) {
    if (n == 0) return 0;
    std::uint32_t v = Bits(n);
    if (v & (1u << (n - 1))) v |= ~((1u << n) - 1);  // sign-extend
    return static_cast<std::int32_t>(v);
  }
  std::size_t NextByte() const { return bit_ ? byte_ + 1 : byte_; }

 private:
  std::span<const std::uint8_t> d_;
  std::size_t byte_;
  int bit_ = 0;
};

}  // namespace

const FrameLabel* SwfMovie::FindLabel(const std::string& name) const {
  for (const auto& l : labels)
    if (l.name == name) return &l;
  return nullptr;
}

SwfMovie ParseSwf(std::span<const std::uint8_t> file, std::uint32_t maxBytes) {
  if (file.size() < 8) throw SwfError("not a movie: the file is shorter than a movie header");
  SwfMovie m;
  std::memcpy(m.signature, file.data(), 3);
  bool compressed;
  if (std::memcmp(file.data(), "FWS", 3) == 0) {
    compressed = false;
  } else if (std::memcmp(file.data(), "CWS", 3) == 0) {
    compressed = true;
  } else {
    throw SwfError("not a movie: it does not begin with FWS or CWS");
  }
  m.version = file[3];
  m.declaredLength = Le32(file.data() + 4);
  if (m.declaredLength < 8 + 5)
    throw SwfError("movie header gives an impossible length (" + std::to_string(m.declaredLength) + ")");
  if (m.declaredLength > maxBytes)
    throw SwfError("movie is too large: " + std::to_string(m.declaredLength) + " bytes declared, " +
                   std::to_string(maxBytes) + " allowed");

  if (compressed) {
    std::vector<std::uint8_t> body = Inflate(file.subspan(8), m.declaredLength - 8);
    m.data.reserve(8 + body.size());
    m.data.insert(m.data.end(), file.begin(), file.begin() + 8);
    m.data.insert(m.data.end(), body.begin(), body.end());
  } else {
    if (file.size() < m.declaredLength)
      throw SwfError("movie is truncated (" + std::to_string(file.size()) + " of " +
                     std::to_string(m.declaredLength) + " bytes)");
    m.data.assign(file.begin(), file.begin() + m.declaredLength);
  }

  std::span<const std::uint8_t> d(m.data);
  BitReader bits(d, 8);
  int nbits = static_cast<int>(bits.Bits(5));
  m.frameSize.xMin = bits.Signed(nbits);
  m.frameSize.xMax = bits.Signed(nbits);
  m.frameSize.yMin = bits.Signed(nbits);
  m.frameSize.yMax = bits.Signed(nbits);
  std::size_t pos = bits.NextByte();
  if (pos + 4 > d.size()) throw SwfError("movie header is truncated");
  m.frameRate = d[pos + 1] + d[pos] / 256.0;
  m.frameCount = Le16(&d[pos + 2]);
  pos += 4;

  bool ended = false;
  while (pos < d.size() && !ended) {
    if (pos + 2 > d.size()) throw SwfError("tag header runs past the end of the movie");
    std::uint16_t head = Le16(&d[pos]);
    pos += 2;
    std::uint16_t code = head >> 6;
    std::size_t len = head & 0x3f;
    if (len == 0x3f) {
      if (pos + 4 > d.size()) throw SwfError("tag header runs past the end of the movie");
      len = Le32(&d[pos]);
      pos += 4;
    }
    if (len > d.size() - pos)
      throw SwfError(std::string("tag ") + TagName(code) + " runs past the end of the movie");
    std::span<const std::uint8_t> body = d.subspan(pos, len);
    pos += len;
    m.tags.push_back({code, body});
    m.tagCounts[code]++;
    switch (code) {
      case kEnd: ended = true; break;
      case kShowFrame: ++m.shownFrames; break;
      case kFrameLabel: {
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(body.data(), 0, body.size()));
        if (!zero) throw SwfError("frame label without its terminating zero");
        m.labels.push_back({m.shownFrames + 1, std::string(body.data(), zero)});
        break;
      }
      case kMetadata: {
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(body.data(), 0, body.size()));
        m.metadata.assign(body.data(), zero ? zero : body.data() + body.size());
        break;
      }
      default: break;  // unknown or not needed here: skipped
    }
  }
  return m;
}

SwfMovie LoadSwfFile(const std::string& path, std::uint32_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SwfError("cannot open the movie file " + path);
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) throw SwfError("cannot read the movie file " + path);
  // A compressed file is never larger than its content plus a little.
  if (static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(maxBytes) + 1024)
    throw SwfError("movie file is too large");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw SwfError("cannot read the movie file " + path);
  return ParseSwf(bytes, maxBytes);
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
