#pragma once

#include <cstdint>
#include <vector>

#include "book/swf_bits.h"

namespace book {

struct FillStyle {
  enum Kind : std::uint8_t {
    kSolid = 0x00,
    kRepeatingBitmap = 0x40,
    kClippedBitmap = 0x41,
    kRepeatingHardBitmap = 0x42,  // not smoothed
    kClippedHardBitmap = 0x43,
  };
  Kind kind = kSolid;
  Rgba color;
  std::uint16_t bitmap = 0;
  Matrix bitmapMatrix;  // bitmap pixels to the shape's twips

  static FillStyle Solid(Rgba c) { return {.color = c}; }
  // A picture of pixelWidth x pixelHeight drawn over the rectangle (twips),
  // clipped and smoothed: it stays sharp when the shape is scaled.
  static FillStyle Picture(std::uint16_t bitmap, int pixelWidth, int pixelHeight, std::int32_t x,
                           std::int32_t y, std::int32_t width, std::int32_t height);
};

struct LineStyle {
  std::uint16_t width = 20;  // twips
  Rgba color;
};

// The outline of a shape: paths of straight edges, each edge filled on its
// right (in the direction of travel, y down) with the current fill.
class Shape {
 public:
  int AddFill(const FillStyle& fill);  // its index, from 1
  int AddLine(const LineStyle& line);
  // The styles of the paths that start after it; 0: none.
  void Use(int fill, int line = 0);
  void MoveTo(std::int32_t x, std::int32_t y);
  void LineTo(std::int32_t x, std::int32_t y);
  // A closed rectangle, clockwise, so the current fill is inside it.
  void Rectangle(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

  // The tag body after the character id: bounds, styles and records, for
  // DefineShape (1), DefineShape2 (2) or DefineShape3 (3, with alpha).
  Bytes Encode(int shapeVersion) const;

 private:
  struct Step {
    bool move;
    std::int32_t x, y;
    int fill, line;
  };
  std::vector<FillStyle> fills_;
  std::vector<LineStyle> lines_;
  std::vector<Step> steps_;
  int fill_ = 0, line_ = 0;
};

}  // namespace book
