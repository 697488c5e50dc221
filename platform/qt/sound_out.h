#pragma once

#include <memory>

#include "player/swf.h"

namespace qtdesk {

// The sound output, in a module of its own (libreader_sound.so beside the
// program): the audio libraries it needs are many, and loading them is
// left until a sound first plays.
class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  virtual void Play(const player::SwfSound& sound, bool loop) = 0;
  virtual void Stop() = 0;
};

// Plays raw sound through the desktop's audio output, when it has one.
class SoundOut {
 public:
  SoundOut();
  ~SoundOut();
  void Play(const player::SwfSound& sound, bool loop);
  void Stop();

 private:
  std::unique_ptr<SoundBackend> backend_;
  bool tried_ = false;
};

}  // namespace qtdesk
