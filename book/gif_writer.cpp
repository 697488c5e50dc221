#include "book/gif_writer.h"

#include <map>
#include <stdexcept>

namespace book {

namespace {

class BitSink {
 public:
  explicit BitSink(std::vector<std::uint8_t>& out) : out_(out) {}
  void Put(int code, int bits) {
    acc_ |= static_cast<std::uint32_t>(code) << have_;
    have_ += bits;
    while (have_ >= 8) {
      Byte(static_cast<std::uint8_t>(acc_ & 0xff));
      acc_ >>= 8;
      have_ -= 8;
    }
  }
  void Finish() {
    if (have_ > 0) Byte(static_cast<std::uint8_t>(acc_ & 0xff));
    Flush();
    out_.push_back(0);  // block terminator
  }

 private:
  void Byte(std::uint8_t b) {
    block_.push_back(b);
    if (block_.size() == 255) Flush();
  }
  void Flush() {
    if (block_.empty()) return;
    out_.push_back(static_cast<std::uint8_t>(block_.size()));
    out_.insert(out_.end(), block_.begin(), block_.end());
    block_.clear();
  }
  std::vector<std::uint8_t>& out_;
  std::vector<std::uint8_t> block_;
  std::uint32_t acc_ = 0;
  int have_ = 0;
};

void Le16(std::vector<std::uint8_t>& o, int v) {
  o.push_back(static_cast<std::uint8_t>(v & 0xff));
  o.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::vector<std::uint8_t> EncodeGif(int width, int height, const std::vector<std::uint8_t>& indices,
                                    const std::vector<std::uint32_t>& palette) {
  if (palette.empty() || palette.size() > 256 || indices.size() != static_cast<size_t>(width) * height)
    throw std::invalid_argument("bad GIF picture");
  int depth = 1;
  while ((1u << depth) < palette.size()) ++depth;
  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Le16(out, width);
  Le16(out, height);
  out.push_back(static_cast<std::uint8_t>(0x80 | (depth - 1) << 4 | (depth - 1)));  // global table
  out.push_back(0);
  out.push_back(0);
  for (size_t i = 0; i < (1u << depth); ++i) {
    std::uint32_t c = i < palette.size() ? palette[i] : 0;
    out.push_back(static_cast<std::uint8_t>(c >> 16));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
    out.push_back(static_cast<std::uint8_t>(c));
  }
  out.push_back(0x2C);
  Le16(out, 0);
  Le16(out, 0);
  Le16(out, width);
  Le16(out, height);
  out.push_back(0);

  int minCode = std::max(2, depth);
  out.push_back(static_cast<std::uint8_t>(minCode));
  const int clear = 1 << minCode, end = clear + 1;
  BitSink sink(out);
  std::map<std::pair<int, int>, int> table;
  int next = end + 1, bits = minCode + 1;
  sink.Put(clear, bits);
  int prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    int k = indices[i];
    auto it = table.find({prefix, k});
    if (it != table.end()) {
      prefix = it->second;
      continue;
    }
    sink.Put(prefix, bits);
    if (next < 4096) {
      table[{prefix, k}] = next++;
      if (next > (1 << bits) && bits < 12) ++bits;
    } else {
      sink.Put(clear, bits);
      table.clear();
      next = end + 1;
      bits = minCode + 1;
    }
    prefix = k;
  }
  sink.Put(prefix, bits);
  sink.Put(end, bits);
  sink.Finish();
  out.push_back(0x3B);
  return out;
}

}  // namespace book
