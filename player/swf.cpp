#include "player/swf.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#if __has_include(<sys/mman.h>)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define READER_HAVE_MMAP 1
#else
#define READER_HAVE_MMAP 0
#endif

namespace player {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// Inflates into `out` after what it holds, growing it as data really
// arrives, so a lying header costs nothing. Resumable: a caller may look at
// what is in before asking for the rest.
class Inflater {
 public:
  Inflater(std::span<const std::uint8_t> in, std::size_t expected, std::vector<std::uint8_t>& out,
           bool checksum)
      : out_(out), base_(out.size()), expected_(expected) {
    // Deflate expands at most about 1032 times, so what the input could
    // plausibly give is a safe first size.
    room_ = std::min<std::size_t>(expected, std::max<std::size_t>(in.size() * 4, 1u << 20));
    out_.resize(base_ + room_);
    std::memset(&zs_, 0, sizeof zs_);
    if (inflateInit(&zs_) != Z_OK) throw SwfError("zlib could not start");
    if (!checksum) inflateValidate(&zs_, 0);
    zs_.next_in = const_cast<Bytef*>(in.data());
    zs_.avail_in = static_cast<uInt>(in.size());
  }
  ~Inflater() { inflateEnd(&zs_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool done() const { return ended_; }
  // Bytes of the movie in so far, counted as in `out`.
  std::size_t in() const { return base_ + got_; }

  // Inflates until `upTo` bytes of `out` are in, or the stream ends.
  void Fill(std::size_t upTo) {
    while (!ended_ && in() < upTo) {
      if (got_ == room_) {
        if (room_ == expected_) {
          Overrun();
          break;
        }
        room_ = std::min(expected_, room_ * 2);
        out_.resize(base_ + room_);
      }
      // Straight into the movie's own buffer: no second copy.
      std::size_t want = std::min(room_, upTo - base_);
      zs_.next_out = out_.data() + base_ + got_;
      zs_.avail_out = static_cast<uInt>(want - got_);
      int rc = inflate(&zs_, Z_NO_FLUSH);
      got_ = want - zs_.avail_out;
      if (rc == Z_STREAM_END) {
        ended_ = true;
      } else if (rc == Z_BUF_ERROR || (rc == Z_OK && zs_.avail_in == 0 && zs_.avail_out > 0)) {
        Truncated();
      } else if (rc != Z_OK) {
        Fail("compressed movie is damaged (zlib error " + std::to_string(rc) + ")");
      }
    }
  }

  // The whole stream, exactly as long as the header said.
  void Finish() {
    Fill(base_ + expected_);
    if (!ended_) Overrun();
    out_.resize(base_ + got_);
    if (got_ != expected_)
      Fail("compressed movie is shorter than its header says (" + std::to_string(got_) + " of " +
           std::to_string(expected_) + " bytes)");
  }

 private:
  // All the header promised is in: the stream must end here.
  void Overrun() {
    std::uint8_t probe;
    zs_.next_out = &probe;
    zs_.avail_out = 1;
    int rc = inflate(&zs_, Z_NO_FLUSH);
    if (zs_.avail_out == 0) Fail("compressed movie is longer than its header says");
    if (rc == Z_STREAM_END) {
      ended_ = true;
      return;
    }
    if (rc == Z_OK || rc == Z_BUF_ERROR) Truncated();
    Fail("compressed movie is damaged (zlib error " + std::to_string(rc) + ")");
  }
  [[noreturn]] void Truncated() {
    Fail("compressed movie is truncated (" + std::to_string(got_) + " of " + std::to_string(expected_) +
         " bytes)");
  }
  [[noreturn]] void Fail(const std::string& why) {
    out_.resize(base_);
    throw SwfError(why);
  }

  std::vector<std::uint8_t>& out_;
  const std::size_t base_;
  const std::size_t expected_;
  std::size_t room_ = 0;
  std::size_t got_ = 0;
  bool ended_ = false;
  z_stream zs_;
};

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

SwfSound ParseSound(std::span<const std::uint8_t> b) {
  if (b.size() < 7) throw SwfError("DefineSound tag is too short");
  SwfSound s;
  s.id = Le16(b.data());
  int format = b[2] >> 4;
  static const int kRates[] = {5512, 11025, 22050, 44100};
  s.rate = kRates[(b[2] >> 2) & 3];
  bool sixteen = (b[2] >> 1) & 1;
  s.channels = (b[2] & 1) ? 2 : 1;
  std::uint32_t count = Le32(b.data() + 3);
  std::span<const std::uint8_t> data = b.subspan(7);
  // Only raw sound is played here; other encodings are kept silent.
  if (format != 0 && format != 3) return s;
  std::size_t bytesPer = (sixteen ? 2 : 1) * static_cast<std::size_t>(s.channels);
  std::size_t frames = std::min<std::size_t>(count, data.size() / bytesPer);
  s.samples.reserve(frames * static_cast<std::size_t>(s.channels));
  for (std::size_t i = 0; i < frames * static_cast<std::size_t>(s.channels); ++i) {
    if (sixteen) {
      s.samples.push_back(static_cast<std::int16_t>(Le16(&data[2 * i])));
    } else {
      s.samples.push_back(static_cast<std::int16_t>((data[i] - 128) << 8));
    }
  }
  return s;
}

}  // namespace

namespace {

bool IsPicture(std::uint16_t code) {
  return code == kDefineBits || code == kDefineBitsJpeg2 || code == kDefineBitsJpeg3 ||
         code == kDefineBitsLossless || code == kDefineBitsLossless2;
}

// A picture tag's body (after its id) as an image decoder takes it.
std::vector<std::uint8_t> Encoded(std::uint16_t code, std::span<const std::uint8_t> body,
                                  std::span<const std::uint8_t> jpegTables) {
  if (body.size() < 2) return {};
  std::span<const std::uint8_t> img = body.subspan(2);
  if (code == kDefineBitsLossless || code == kDefineBitsLossless2) return {};
  if (code == kDefineBitsJpeg3) {
    if (img.size() < 4) return {};
    std::uint32_t alphaOffset = Le32(img.data());
    img = img.subspan(4);
    if (alphaOffset < img.size()) img = img.first(alphaOffset);
  }
  auto strip = [](std::span<const std::uint8_t> d) {
    // A stray end-and-start marker pair before the real start.
    if (d.size() >= 4 && d[0] == 0xFF && d[1] == 0xD9 && d[2] == 0xFF && d[3] == 0xD8) d = d.subspan(4);
    return d;
  };
  img = strip(img);
  std::vector<std::uint8_t> out;
  if (code == kDefineBits) {
    std::span<const std::uint8_t> tables = strip(jpegTables);
    // The tables end with an end-of-image marker, the picture starts with a
    // start-of-image one: both go where the two meet.
    if (tables.size() >= 2 && tables[tables.size() - 2] == 0xFF && tables.back() == 0xD9)
      tables = tables.first(tables.size() - 2);
    if (img.size() >= 2 && img[0] == 0xFF && img[1] == 0xD8 && !tables.empty()) img = img.subspan(2);
    out.assign(tables.begin(), tables.end());
  }
  out.insert(out.end(), img.begin(), img.end());
  return out;
}

// Where the tags begin, once enough of the header is in; 0 before.
std::size_t TagsStart(std::span<const std::uint8_t> d) {
  if (d.size() < 9) return 0;
  int nbits = d[8] >> 3;
  std::size_t pos = 8 + (5 + 4 * static_cast<std::size_t>(nbits) + 7) / 8 + 4;
  return pos <= d.size() ? pos : 0;
}

// Looks through the tags that are wholly in `d` for the first picture.
// Returns true once it is decided: found (and handed over) or there is none.
bool OfferFirstPicture(std::span<const std::uint8_t> d, bool all, const PictureReady& ready) {
  std::size_t pos = TagsStart(d);
  if (pos == 0) return all;
  std::span<const std::uint8_t> tables;
  while (pos + 2 <= d.size()) {
    std::uint16_t head = Le16(&d[pos]);
    std::uint16_t code = head >> 6;
    std::size_t len = head & 0x3f, at = pos + 2;
    if (len == 0x3f) {
      if (at + 4 > d.size()) return all;
      len = Le32(&d[at]);
      at += 4;
    }
    if (len > d.size() - at) return all;
    std::span<const std::uint8_t> body = d.subspan(at, len);
    if (code == kEnd) return true;
    if (code == kJpegTables && tables.data() == nullptr) tables = body;
    if (IsPicture(code) && body.size() >= 2) {
      ready(Encoded(code, body, tables));
      return true;
    }
    pos = at + len;
  }
  return all;
}

}  // namespace

std::vector<std::uint8_t> SwfMovie::EncodedPicture(size_t i) const {
  if (i >= pictures.size()) return {};
  // Only tables that came before the picture are its own.
  bool before = static_cast<std::size_t>(pictures[i] - tags.data()) > jpegTablesTag_;
  return Encoded(pictures[i]->code, pictures[i]->body,
                 before ? jpegTables_ : std::span<const std::uint8_t>());
}

std::optional<SwfMovie::Lossless> SwfMovie::LosslessPicture(size_t i) const {
  if (i >= pictures.size()) return std::nullopt;
  const Tag& t = *pictures[i];
  if (t.code != kDefineBitsLossless && t.code != kDefineBitsLossless2) return std::nullopt;
  std::span<const std::uint8_t> b = t.body;
  if (b.size() < 7) return std::nullopt;
  int format = b[2];
  int width = Le16(&b[3]), height = Le16(&b[5]);
  if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) * height > (4u << 20))
    return std::nullopt;
  std::size_t pos = 7;
  int colors = 0;
  if (format == 3) {
    if (b.size() < 8) return std::nullopt;
    colors = b[7] + 1;
    pos = 8;
  } else if (format != 5) {
    return std::nullopt;  // 15-bit pictures are not used by any book here
  }
  bool alpha = t.code == kDefineBitsLossless2;
  std::size_t pixelBytes = alpha || format == 5 ? 4 : 3;
  std::size_t rowBytes = format == 3 ? (static_cast<std::size_t>(width) + 3) / 4 * 4 : 4u * width;
  std::size_t paletteBytes = static_cast<std::size_t>(colors) * pixelBytes;
  std::size_t expect = paletteBytes + rowBytes * height;
  std::vector<std::uint8_t> raw(expect);
  uLongf got = static_cast<uLongf>(expect);
  if (uncompress(raw.data(), &got, b.data() + pos, static_cast<uLong>(b.size() - pos)) != Z_OK ||
      got != expect)
    return std::nullopt;
  Lossless out{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  auto pixel = [&](const std::uint8_t* p, bool argb) -> std::uint32_t {
    if (argb) return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    return 0xFF000000u | static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t v;
      if (format == 3) {
        int index = raw[paletteBytes + rowBytes * y + x];
        v = index < colors ? pixel(&raw[static_cast<std::size_t>(index) * pixelBytes], alpha) : 0;
      } else {
        const std::uint8_t* p = &raw[rowBytes * y + 4u * x];
        v = alpha ? pixel(p, true)
                  : (0xFF000000u | static_cast<std::uint32_t>(p[1]) << 16 | p[2] << 8 | p[3]);
      }
      out.argb[static_cast<std::size_t>(y) * width + x] = v;
    }
  }
  return out;
}

const FrameLabel* SwfMovie::FindLabel(const std::string& name) const {
  for (const auto& l : labels)
    if (l.name == name) return &l;
  return nullptr;
}

SwfMovie ParseSwf(std::span<const std::uint8_t> file, std::uint32_t maxBytes,
                  const PictureReady& firstPicture, bool checksum) {
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
    m.data.assign(file.begin(), file.begin() + 8);
    Inflater inflater(file.subspan(8), m.declaredLength - 8, m.data, checksum);
    if (firstPicture) {
      // The first picture goes out as soon as it is in; the rest follows.
      bool decided = false;
      for (std::size_t step = 64 * 1024; !decided && !inflater.done() && inflater.in() < m.declaredLength;
           step *= 2) {
        inflater.Fill(std::min<std::size_t>(m.declaredLength, inflater.in() + step));
        decided = OfferFirstPicture(std::span<const std::uint8_t>(m.data.data(), inflater.in()),
                                    inflater.done() || inflater.in() >= m.declaredLength, firstPicture);
      }
    }
    inflater.Finish();
  } else {
    if (file.size() < m.declaredLength)
      throw SwfError("movie is truncated (" + std::to_string(file.size()) + " of " +
                     std::to_string(m.declaredLength) + " bytes)");
    m.data.assign(file.begin(), file.begin() + m.declaredLength);
    if (firstPicture) OfferFirstPicture(m.data, true, firstPicture);
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

  bool ended = false, tablesSeen = false;
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
      case kJpegTables:
        // A movie has one, before the pictures that use it; should another
        // follow, the first stays.
        if (!tablesSeen) {
          m.jpegTables_ = body;
          m.jpegTablesTag_ = m.tags.size() - 1;
        }
        tablesSeen = true;
        break;
      case kDefineBits:
      case kDefineBitsJpeg2:
      case kDefineBitsJpeg3:
      case kDefineBitsLossless:
      case kDefineBitsLossless2:
        if (body.size() < 2) throw SwfError(std::string(TagName(code)) + " tag is too short");
        break;
      case kDefineSound: m.sounds.push_back(ParseSound(body)); break;
      case kMetadata: {
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(body.data(), 0, body.size()));
        m.metadata.assign(body.data(), zero ? zero : body.data() + body.size());
        break;
      }
      default: break;  // unknown or not needed here: skipped
    }
  }
  for (const auto& t : m.tags)
    if (IsPicture(t.code)) m.pictures.push_back(&t);
  return m;
}

FileBytes::FileBytes(const std::string& path, std::uint64_t maxBytes) {
#if READER_HAVE_MMAP
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw SwfError("cannot open the movie file " + path);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw SwfError("cannot read the movie file " + path);
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    throw SwfError("movie file is too large");
  }
  size_ = static_cast<std::size_t>(st.st_size);
  if (size_ > 0) {
    void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (m != MAP_FAILED) map_ = static_cast<const std::uint8_t*>(m);
  }
  ::close(fd);
  if (map_ || size_ == 0) return;
#endif
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SwfError("cannot open the movie file " + path);
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) throw SwfError("cannot read the movie file " + path);
  if (static_cast<std::uint64_t>(size) > maxBytes) throw SwfError("movie file is too large");
  copy_.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(copy_.data()), size))
    throw SwfError("cannot read the movie file " + path);
}

FileBytes::~FileBytes() {
#if READER_HAVE_MMAP
  if (map_) ::munmap(const_cast<std::uint8_t*>(map_), size_);
#endif
}

std::span<const std::uint8_t> FileBytes::bytes() const {
  return map_ ? std::span<const std::uint8_t>(map_, size_) : std::span<const std::uint8_t>(copy_);
}

SwfMovie LoadSwfFile(const std::string& path, std::uint32_t maxBytes, const PictureReady& firstPicture) {
  FileBytes file(path, MaxFileBytes(maxBytes));
  return ParseSwf(file.bytes(), maxBytes, firstPicture);
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
