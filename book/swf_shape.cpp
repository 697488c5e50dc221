#include "book/swf_shape.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace book {

FillStyle FillStyle::Picture(std::uint16_t bitmap, int pixelWidth, int pixelHeight, std::int32_t x,
                             std::int32_t y, std::int32_t width, std::int32_t height) {
  if (pixelWidth <= 0 || pixelHeight <= 0) throw std::invalid_argument("a picture fill of no pixels");
  return {.kind = kClippedBitmap,
          .bitmap = bitmap,
          .bitmapMatrix = Matrix::Scale(static_cast<double>(width) / pixelWidth,
                                        static_cast<double>(height) / pixelHeight, x, y)};
}

int Shape::AddFill(const FillStyle& fill) {
  fills_.push_back(fill);
  return static_cast<int>(fills_.size());
}

int Shape::AddLine(const LineStyle& line) {
  lines_.push_back(line);
  return static_cast<int>(lines_.size());
}

void Shape::Use(int fill, int line) {
  if (fill < 0 || fill > static_cast<int>(fills_.size()) || line < 0 ||
      line > static_cast<int>(lines_.size()))
    throw std::invalid_argument("a shape style that was never added");
  fill_ = fill;
  line_ = line;
}

void Shape::MoveTo(std::int32_t x, std::int32_t y) { steps_.push_back({true, x, y, fill_, line_}); }

void Shape::LineTo(std::int32_t x, std::int32_t y) {
  if (steps_.empty()) throw std::invalid_argument("a shape's edge before its first MoveTo");
  steps_.push_back({false, x, y, fill_, line_});
}

void Shape::Rectangle(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
  MoveTo(x, y);
  LineTo(x + w, y);
  LineTo(x + w, y + h);
  LineTo(x, y + h);
  LineTo(x, y);
}

namespace {
int UnsignedBits(std::size_t n) {
  int bits = 0;
  while (n >> bits) ++bits;
  return bits;
}

void StyleCount(Bytes& o, std::size_t n, int shapeVersion) {
  if (n < 0xff) {
    o.push_back(static_cast<std::uint8_t>(n));
  } else if (shapeVersion >= 2 && n <= 0xffff) {
    o.push_back(0xff);
    Le16(o, static_cast<std::uint32_t>(n));
  } else {
    throw std::invalid_argument("too many styles for the shape's tag");
  }
}
}  // namespace

Bytes Shape::Encode(int shapeVersion) const {
  if (shapeVersion < 1 || shapeVersion > 3) throw std::invalid_argument("DefineShape 1, 2 or 3");
  if (steps_.empty()) throw std::invalid_argument("a shape without a path");
  auto color = [&](Bytes& o, Rgba c) { shapeVersion >= 3 ? WriteRgba(o, c) : WriteRgb(o, c); };
  // Bounds: every point, widened by half the widest line.
  std::int32_t xmin = steps_[0].x, xmax = xmin, ymin = steps_[0].y, ymax = ymin;
  for (const Step& s : steps_) {
    xmin = std::min(xmin, s.x), xmax = std::max(xmax, s.x);
    ymin = std::min(ymin, s.y), ymax = std::max(ymax, s.y);
  }
  std::int32_t half = 0;
  for (const auto& l : lines_) half = std::max<std::int32_t>(half, l.width / 2);
  Bytes o;
  WriteRect(o, xmin - half, xmax + half, ymin - half, ymax + half);
  StyleCount(o, fills_.size(), shapeVersion);
  for (const auto& f : fills_) {
    o.push_back(f.kind);
    if (f.kind == FillStyle::kSolid) {
      color(o, f.color);
    } else {
      Le16(o, f.bitmap);
      WriteMatrix(o, f.bitmapMatrix);
    }
  }
  StyleCount(o, lines_.size(), shapeVersion);
  for (const auto& l : lines_) {
    Le16(o, l.width);
    color(o, l.color);
  }
  const int fillBits = UnsignedBits(fills_.size()), lineBits = UnsignedBits(lines_.size());
  if (fillBits > 15 || lineBits > 15) throw std::invalid_argument("too many styles for a shape");
  o.push_back(static_cast<std::uint8_t>(fillBits << 4 | lineBits));
  BitWriter w(o);
  std::int32_t penX = 0, penY = 0;
  for (const Step& s : steps_) {
    if (s.move) {
      // A style change that moves the pen and sets both fills and the line.
      w.Bits(0, 1);
      w.Bits(0b01111, 5);
      int n = SignedBits({s.x, s.y}, 1);
      if (n > 31) throw std::invalid_argument("a shape point out of range");
      w.Bits(static_cast<std::uint32_t>(n), 5);
      w.Bits(static_cast<std::uint32_t>(s.x), n);
      w.Bits(static_cast<std::uint32_t>(s.y), n);
      w.Bits(0, fillBits);
      w.Bits(static_cast<std::uint32_t>(s.fill), fillBits);
      w.Bits(static_cast<std::uint32_t>(s.line), lineBits);
    } else {
      // Edges longer than a record holds (17 bits a delta) go in pieces.
      std::int64_t dx = static_cast<std::int64_t>(s.x) - penX, dy = static_cast<std::int64_t>(s.y) - penY;
      int pieces = static_cast<int>(std::max(std::llabs(dx), std::llabs(dy)) / 65535 + 1);
      std::int32_t fromX = penX, fromY = penY;
      for (int i = 1; i <= pieces; ++i) {
        auto toX = static_cast<std::int32_t>(fromX + dx * i / pieces);
        auto toY = static_cast<std::int32_t>(fromY + dy * i / pieces);
        std::int32_t ex = toX - penX, ey = toY - penY;
        int n = SignedBits({ex, ey}, 2);
        w.Bits(0b11, 2);
        w.Bits(static_cast<std::uint32_t>(n - 2), 4);
        w.Bits(1, 1);  // a general line: both deltas
        w.Bits(static_cast<std::uint32_t>(ex), n);
        w.Bits(static_cast<std::uint32_t>(ey), n);
        penX = toX, penY = toY;
      }
    }
    if (s.move) penX = s.x, penY = s.y;
  }
  w.Bits(0, 6);  // the end record
  w.Flush();
  return o;
}

}  // namespace book
