#pragma once

#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "player/swf.h"

namespace player {

// A movie read before anyone asks for it, from bytes the program carries
// (its one book), on a thread of its own while the desktop starts. A later
// load of a file holding exactly these bytes takes the movie instead of
// reading the file again: the file is still read and compared, so what is
// shown is always what the file holds.
class ReadAhead {
 public:
  // `bytes` must outlive this object.
  explicit ReadAhead(std::span<const std::uint8_t> bytes);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The movie's first picture, encoded, as soon as it is in; empty when the
  // movie has none or cannot be read. Waits for it.
  std::vector<std::uint8_t> FirstPicture();
  // The movie, when `file` holds exactly the bytes read ahead and it was not
  // taken before; waits for the reading. Raises what reading raised.
  std::optional<SwfMovie> Take(std::span<const std::uint8_t> file);

 private:
  std::span<const std::uint8_t> bytes_;
  std::mutex mutex_;
  std::condition_variable pictureIn_;
  bool pictureDecided_ = false;
  std::vector<std::uint8_t> picture_;
  bool taken_ = false;
  std::future<SwfMovie> movie_;
};

}  // namespace player
