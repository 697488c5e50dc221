#include "player/read_ahead.h"

#include <algorithm>
#include <cstring>

#include "player/background.h"

namespace player {

ReadAhead::ReadAhead(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
  movie_ = std::async(std::launch::async, [this] {
    WorkInBackground();
    auto decided = [this](std::vector<std::uint8_t> picture) {
      std::lock_guard lock(mutex_);
      picture_ = std::move(picture);
      pictureDecided_ = true;
      pictureIn_.notify_all();
    };
    struct Decide {
      // However reading ends, nobody waits for a picture that never comes.
      ReadAhead* self;
      ~Decide() {
        std::lock_guard lock(self->mutex_);
        self->pictureDecided_ = true;
        self->pictureIn_.notify_all();
      }
    } decide{this};
    // The program's own bytes: a file is compared with them byte for byte
    // before it takes this movie, so their checksum adds nothing.
    return ParseSwf(bytes_, kMaxMovieBytes, decided, false);
  });
}

ReadAhead::~ReadAhead() {
  if (movie_.valid()) movie_.wait();
}

std::vector<std::uint8_t> ReadAhead::FirstPicture() {
  std::unique_lock lock(mutex_);
  pictureIn_.wait(lock, [this] { return pictureDecided_; });
  return picture_;
}

std::optional<SwfMovie> ReadAhead::Take(std::span<const std::uint8_t> file) {
  {
    std::lock_guard lock(mutex_);
    if (taken_ || !movie_.valid()) return std::nullopt;
    if (file.size() != bytes_.size() || !std::equal(file.begin(), file.end(), bytes_.begin()))
      return std::nullopt;
    taken_ = true;
  }
  return movie_.get();
}

}  // namespace player
