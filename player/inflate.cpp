#include "player/inflate.h"

#include <algorithm>
#include <cstring>

#include "player/swf.h"

namespace player {

Inflater::Inflater(std::span<const std::uint8_t> in, std::size_t expected, std::vector<std::uint8_t>& out,
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

Inflater::~Inflater() { inflateEnd(&zs_); }

void Inflater::Fill(std::size_t upTo) {
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

void Inflater::Finish() {
  Fill(base_ + expected_);
  if (!ended_) Overrun();
  out_.resize(base_ + got_);
  if (got_ != expected_)
    Fail("compressed movie is shorter than its header says (" + std::to_string(got_) + " of " +
         std::to_string(expected_) + " bytes)");
}

// All the header promised is in: the stream must end here.
void Inflater::Overrun() {
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

void Inflater::Truncated() {
  Fail("compressed movie is truncated (" + std::to_string(got_) + " of " + std::to_string(expected_) +
       " bytes)");
}

void Inflater::Fail(const std::string& why) {
  out_.resize(base_);
  throw SwfError(why);
}

}  // namespace player
