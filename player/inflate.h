#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace player {

// Inflates into `out` after what it holds, growing it as data really
// arrives, so a lying header costs nothing. Resumable: a caller may look at
// what is in before asking for the rest. Raises SwfError.
class Inflater {
 public:
  Inflater(std::span<const std::uint8_t> in, std::size_t expected, std::vector<std::uint8_t>& out,
           bool checksum);
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool done() const { return ended_; }
  // Bytes of the movie in so far, counted as in `out`.
  std::size_t in() const { return base_ + got_; }

  // Inflates until `upTo` bytes of `out` are in, or the stream ends.
  void Fill(std::size_t upTo);
  // The whole stream, exactly as long as the header said.
  void Finish();

 private:
  void Overrun();
  [[noreturn]] void Truncated();
  [[noreturn]] void Fail(const std::string& why);

  std::vector<std::uint8_t>& out_;
  const std::size_t base_;
  const std::size_t expected_;
  std::size_t room_ = 0;
  std::size_t got_ = 0;
  bool ended_ = false;
  z_stream zs_;
};

}  // namespace player
