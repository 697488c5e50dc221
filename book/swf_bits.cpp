#include "book/swf_bits.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace book {

void Le16(Bytes& o, std::uint32_t v) {
  o.push_back(static_cast<std::uint8_t>(v));
  o.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Le32(Bytes& o, std::uint32_t v) {
  Le16(o, v & 0xffff);
  Le16(o, v >> 16);
}

void CString(Bytes& o, const std::string& s) {
  if (s.find('\0') != std::string::npos) throw std::invalid_argument("a movie string holds a zero byte");
  o.insert(o.end(), s.begin(), s.end());
  o.push_back(0);
}

void BitWriter::Bits(std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    acc_ = (acc_ << 1) | ((value >> i) & 1);
    if (++have_ == 8) {
      out_.push_back(static_cast<std::uint8_t>(acc_));
      acc_ = 0;
      have_ = 0;
    }
  }
}

void BitWriter::Flush() {
  if (have_) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - have_)));
  acc_ = 0;
  have_ = 0;
}

int SignedBits(std::initializer_list<std::int32_t> values, int least) {
  int bits = least;
  for (std::int32_t v : values) {
    if (v == 0) continue;
    int need = 1;
    while ((v < 0 ? ~v : v) >> (need - 1)) ++need;
    bits = std::max(bits, need);
  }
  return bits;
}

void WriteRect(Bytes& o, std::int32_t xmin, std::int32_t xmax, std::int32_t ymin, std::int32_t ymax) {
  int nbits = SignedBits({xmin, xmax, ymin, ymax}, 1);
  BitWriter w(o);
  w.Bits(static_cast<std::uint32_t>(nbits), 5);
  for (std::int32_t v : {xmin, xmax, ymin, ymax}) w.Bits(static_cast<std::uint32_t>(v), nbits);
}

namespace {
// 16.16 fixed point.
std::int32_t Fixed(double v) {
  double f = std::round(v * 65536);
  if (!(std::abs(f) < 2147483648.0)) throw std::invalid_argument("a matrix scale out of range");
  return static_cast<std::int32_t>(f);
}
}  // namespace

void WriteMatrix(Bytes& o, const Matrix& m) {
  BitWriter w(o);
  // Scale, then rotation and skew: each a flag and, when set, two fixed-point numbers.
  auto fixedPair = [&](double a, double b, bool present) {
    w.Bits(present, 1);
    if (!present) return;
    std::int32_t x = Fixed(a), y = Fixed(b);
    int n = SignedBits({x, y}, 1);
    w.Bits(static_cast<std::uint32_t>(n), 5);
    w.Bits(static_cast<std::uint32_t>(x), n);
    w.Bits(static_cast<std::uint32_t>(y), n);
  };
  fixedPair(m.scaleX, m.scaleY, m.scaleX != 1 || m.scaleY != 1);
  fixedPair(m.rotateSkew0, m.rotateSkew1, m.rotateSkew0 != 0 || m.rotateSkew1 != 0);
  int n = SignedBits({m.translateX, m.translateY});
  w.Bits(static_cast<std::uint32_t>(n), 5);
  w.Bits(static_cast<std::uint32_t>(m.translateX), n);
  w.Bits(static_cast<std::uint32_t>(m.translateY), n);
}

void WriteRgb(Bytes& o, Rgba c) { o.insert(o.end(), {c.r, c.g, c.b}); }
void WriteRgba(Bytes& o, Rgba c) { o.insert(o.end(), {c.r, c.g, c.b, c.a}); }

}  // namespace book
