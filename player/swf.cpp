#include "player/swf.h"

#include <algorithm>
#include <cstring>

#include "player/file_bytes.h"
#include "player/inflate.h"
#include "player/swf_pictures.h"
#include "player/swf_sound.h"

namespace player {

namespace {

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

// Looks through the tags that are wholly in `d` for the first picture.
// Returns true once it is decided: found (and handed over) or there is none.
bool OfferFirstPicture(std::span<const std::uint8_t> d, bool all, const PictureReady& ready) {
  std::size_t pos = TagsStart(d);
  if (pos == 0) return all;
  std::span<const std::uint8_t> tables;
  for (TagRecord tag = ReadTag(d, pos); tag.cut == TagRecord::kWhole; tag = ReadTag(d, tag.next)) {
    if (tag.code == kEnd) return true;
    if (tag.code == kJpegTables && tables.data() == nullptr) tables = tag.body;
    if (IsPicture(tag.code) && tag.body.size() >= 2) {
      ready(PictureForDecoder(tag.code, tag.body, tables));
      return true;
    }
  }
  return all;
}

}  // namespace

std::size_t TagsStart(std::span<const std::uint8_t> d) {
  if (d.size() < 9) return 0;
  int nbits = d[8] >> 3;
  std::size_t pos = 8 + (5 + 4 * static_cast<std::size_t>(nbits) + 7) / 8 + 4;
  return pos <= d.size() ? pos : 0;
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
    const TagRecord tag = ReadTag(d, pos);
    if (tag.cut == TagRecord::kHeaderCut) throw SwfError("tag header runs past the end of the movie");
    if (tag.cut == TagRecord::kBodyCut)
      throw SwfError(std::string("tag ") + TagName(tag.code) + " runs past the end of the movie");
    pos = tag.next;
    const std::uint16_t code = tag.code;
    const std::span<const std::uint8_t> body = tag.body;
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

SwfMovie LoadSwfFile(const std::string& path, std::uint32_t maxBytes, const PictureReady& firstPicture) {
  FileBytes file(path, MaxFileBytes(maxBytes));
  return ParseSwf(file.bytes(), maxBytes, firstPicture);
}

}  // namespace player
