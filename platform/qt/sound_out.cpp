#include "platform/qt/sound_out.h"

#include "platform/qt/modules.h"

namespace qtdesk {

SoundOut::SoundOut() = default;
SoundOut::~SoundOut() { Stop(); }

void SoundOut::Play(const player::SwfSound& sound, bool loop) {
  if (!backend_ && !tried_) {
    tried_ = true;
    using Create = SoundBackend* (*)();
    if (auto create = ResolveModule<Create>("libreader_sound.so", "reader_sound_create"))
      backend_.reset(create());
  }
  // Without the module or an audio device the book goes on silently.
  if (backend_) backend_->Play(sound, loop);
}

void SoundOut::Stop() {
  if (backend_) backend_->Stop();
}

}  // namespace qtdesk
