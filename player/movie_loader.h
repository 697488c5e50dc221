#pragma once

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "player/read_ahead.h"
#include "player/swf.h"

namespace player {

// A call the host made on the movie while it was loading.
struct HostCall {
  bool label;  // TCallLabel(target, name), else SetVariable(name, value)
  std::string target, name, value;
};

// Reads a movie on a thread of its own, as a player streams one in: the
// host goes on with its start while the movie inflates, and what it calls on
// the movie meanwhile waits here, in order.
class MovieLoader {
 public:
  MovieLoader() = default;
  ~MovieLoader();
  MovieLoader(const MovieLoader&) = delete;
  MovieLoader& operator=(const MovieLoader&) = delete;

  // Where a movie read ahead of time may be waiting (it must outlive this).
  void UseReadAhead(ReadAhead* ahead) { readAhead_ = ahead; }
  // Asked when a movie starts loading, before it is read, for what the
  // reading hands the movie's first picture to; may give an empty function.
  void OnFirstPicture(std::function<PictureReady()> f) { firstPicture_ = std::move(f); }

  // Starts reading `path`; the movie loaded before must have been taken.
  void Start(const std::string& path);
  bool loading() const { return reading_.valid(); }
  // Keeps a call of the host for when the movie is in; false when no movie
  // is loading.
  bool Defer(HostCall call);

  struct Arrival {
    std::optional<SwfMovie> movie;
    std::string error;  // why there is no movie
    std::vector<HostCall> deferred;
  };
  // Waits for the movie loading and hands it over with the calls deferred
  // meanwhile; nullopt when none is loading.
  std::optional<Arrival> Wait();

 private:
  // The movie read ahead, when the file at `path` holds exactly it.
  std::optional<SwfMovie> TakeReadAhead(const std::string& path);

  std::future<SwfMovie> reading_;
  std::vector<HostCall> deferred_;
  std::function<PictureReady()> firstPicture_;
  ReadAhead* readAhead_ = nullptr;
};

}  // namespace player
