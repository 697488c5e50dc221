#include "player/narration.h"

namespace player {

Narration::Narration(components::Desktop& desktop, Send send, std::function<void(Changes)> ended)
    : desktop_(desktop), send_(std::move(send)), ended_(std::move(ended)) {}

void Narration::Reset() {
  soundOn_ = false;
  narrator_.reset();
  animation_ = false;
  narrating_ = false;
  paused_ = false;
  ++generation_;
}

Changes Narration::SetSound(bool on) {
  const bool was = soundOn_;
  soundOn_ = on;
  send_("dirov.Toolbar", on ? "soundOn" : "mute");
  // Only a switch: a sound already playing goes on.
  return was == on ? Changes() : Changes::kSound;
}

Changes Narration::ShowNarrator(const std::string& file) {
  Changes changed = animation_ ? Changes() : Changes::kNarrator;
  animation_ = true;
  if (!narrator_) {
    std::string path;
    for (size_t i = 0; i < file.size(); ++i) {
      path += file[i];
      if (file[i] == '\\' && i + 1 < file.size() && file[i + 1] == '\\') ++i;
    }
    try {
      narrator_ = LoadSwfFile(path);
      changed = Changes::kNarrator;
    } catch (const SwfError&) {
      // No narrator to show; the book goes on without it.
    }
  }
  return changed;
}

Changes Narration::HideNarrator() {
  const bool was = animation_;
  animation_ = false;
  return was ? Changes::kNarrator : Changes();
}

Changes Narration::Start(double seconds) {
  const bool was = narrating_;
  narrating_ = true;
  paused_ = false;
  send_("playAnimation", "true");
  int generation = ++generation_;
  desktop_.PostDelayed(lifetime_, static_cast<int>(static_cast<long>(seconds * 1000)), [this, generation] {
    if (generation == generation_) ended_(Stop(false));
  });
  return was ? Changes() : Changes::kNarration;
}

Changes Narration::PauseOrResume(double seconds) {
  if (!narrating_) return Start(seconds);
  ++generation_;
  return Stop(true);
}

Changes Narration::Stop(bool paused) {
  narrating_ = false;
  paused_ = paused;
  send_("playAnimation", "false");
  return Changes::kNarration;
}

}  // namespace player
