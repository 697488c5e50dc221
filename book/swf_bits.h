#pragma once

// The movie format's building blocks: little-endian numbers, strings, bit
// fields and the records made of them (RECT, MATRIX, colours).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace book {

using Bytes = std::vector<std::uint8_t>;

void Le16(Bytes& o, std::uint32_t v);
void Le32(Bytes& o, std::uint32_t v);
// A zero-terminated string; one holding a zero byte is refused (std::invalid_argument).
void CString(Bytes& o, const std::string& s);

// Bit fields, most significant bit first; Flush pads to the next byte.
class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : out_(out) {}
  ~BitWriter() { Flush(); }
  void Bits(std::uint32_t value, int count);
  void Flush();

 private:
  Bytes& out_;
  std::uint32_t acc_ = 0;
  int have_ = 0;
};

// The fewest bits a signed field needs to hold every value (at least `least`).
int SignedBits(std::initializer_list<std::int32_t> values, int least = 0);

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// A placement: scale and skew as numbers, translation in twips.
struct Matrix {
  double scaleX = 1, scaleY = 1;
  double rotateSkew0 = 0, rotateSkew1 = 0;
  std::int32_t translateX = 0, translateY = 0;

  static Matrix Translate(std::int32_t x, std::int32_t y) { return {.translateX = x, .translateY = y}; }
  static Matrix Scale(double sx, double sy, std::int32_t x = 0, std::int32_t y = 0) {
    return {.scaleX = sx, .scaleY = sy, .translateX = x, .translateY = y};
  }
};

void WriteRect(Bytes& o, std::int32_t xmin, std::int32_t xmax, std::int32_t ymin, std::int32_t ymax);
void WriteMatrix(Bytes& o, const Matrix& m);
void WriteRgb(Bytes& o, Rgba c);
void WriteRgba(Bytes& o, Rgba c);

}  // namespace book
