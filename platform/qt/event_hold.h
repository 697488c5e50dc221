#pragma once

#include <deque>
#include <functional>

namespace qtdesk {

// While a call waits for the player's runtime, the event loop runs only for
// the web engine: what the program itself would run from it (posted events,
// timers, transfer states) waits here, in order, and runs once the call has
// its answer. One UI thread: one hold for the whole program.
class EventHold {
 public:
  static EventHold& Get();

  void Hold() { ++depth_; }
  // After the last release what waited runs from the event loop, one at
  // a time and in the order it came.
  void Release();
  bool held() const { return depth_ > 0; }
  // Runs fn now; when held, or while what waited has not all run (order
  // is kept), later.
  void RunOrDefer(std::function<void()> fn);
  // How a release gets back to the event loop (the desktop posts with it,
  // so that what waits goes with the desktop); by default through the
  // application object.
  void UsePoster(std::function<void(std::function<void()>)> post) { post_ = std::move(post); }
  // What waits belongs to a desktop that is going.
  void Drop() {
    waiting_.clear();
    post_ = nullptr;
    posted_ = false;
  }

 private:
  void RunNext();

  int depth_ = 0;
  bool posted_ = false;
  std::deque<std::function<void()>> waiting_;
  std::function<void(std::function<void()>)> post_;
};

// Runs fn from the event loop, held like the desktop's own posted events:
// the post of a player made without a desktop (tests, benchmarks).
void PostHeld(std::function<void()> fn);

// Holds the program's events for as long as it lives.
class HeldEvents {
 public:
  HeldEvents() { EventHold::Get().Hold(); }
  ~HeldEvents() { EventHold::Get().Release(); }
  HeldEvents(const HeldEvents&) = delete;
  HeldEvents& operator=(const HeldEvents&) = delete;
};

}  // namespace qtdesk
