#include "player/swf_pictures.h"

#include <zlib.h>

#include "player/swf.h"

namespace player {

bool IsPicture(std::uint16_t code) {
  return code == kDefineBits || code == kDefineBitsJpeg2 || code == kDefineBitsJpeg3 ||
         code == kDefineBitsLossless || code == kDefineBitsLossless2;
}

std::vector<std::uint8_t> PictureForDecoder(std::uint16_t code, std::span<const std::uint8_t> body,
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

std::vector<std::uint8_t> SwfMovie::EncodedPicture(size_t i) const {
  if (i >= pictures.size()) return {};
  // Only tables that came before the picture are its own.
  bool before = static_cast<std::size_t>(pictures[i] - tags.data()) > jpegTablesTag_;
  return PictureForDecoder(pictures[i]->code, pictures[i]->body,
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

}  // namespace player
