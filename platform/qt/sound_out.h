#pragma once

#include <memory>

#include "platform/qt/sound_backend.h"
#include "player/swf.h"

namespace qtdesk {

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
