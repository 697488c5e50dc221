#include "player/movie_loader.h"

#include "player/background.h"
#include "player/file_bytes.h"

namespace player {

MovieLoader::~MovieLoader() {
  // The reading thread touches nothing of ours, but must not outlive us.
  if (reading_.valid()) reading_.wait();
}

void MovieLoader::Start(const std::string& path) {
  // The thread gets only what it needs, by value.
  PictureReady ahead = firstPicture_ ? firstPicture_() : PictureReady();
  if (std::optional<SwfMovie> movie = TakeReadAhead(path)) {
    if (ahead && !movie->pictures.empty()) ahead(movie->EncodedPicture(0));
    std::promise<SwfMovie> in;
    in.set_value(std::move(*movie));
    reading_ = in.get_future();
  } else {
    reading_ = std::async(std::launch::async, [path, ahead = std::move(ahead)] {
      WorkInBackground();
      return LoadSwfFile(path, kMaxMovieBytes, ahead);
    });
  }
}

std::optional<SwfMovie> MovieLoader::TakeReadAhead(const std::string& path) {
  if (!readAhead_) return std::nullopt;
  try {
    // Mapping and comparing the file costs less than a thread.
    FileBytes file(path, MaxFileBytes(kMaxMovieBytes));
    return readAhead_->Take(file.bytes());
  } catch (const SwfError&) {
    return std::nullopt;  // reading it on the thread says what is wrong
  }
}

bool MovieLoader::Defer(HostCall call) {
  if (!loading()) return false;
  deferred_.push_back(std::move(call));
  return true;
}

std::optional<MovieLoader::Arrival> MovieLoader::Wait() {
  if (!loading()) return std::nullopt;
  std::future<SwfMovie> reading = std::move(reading_);
  Arrival arrival;
  try {
    arrival.movie = reading.get();
  } catch (const std::exception& e) {
    arrival.error = e.what();
  }
  arrival.deferred = std::move(deferred_);
  deferred_.clear();
  return arrival;
}

}  // namespace player
