#pragma once

#include <functional>
#include <optional>
#include <string>

#include "components/desktop.h"
#include "player/changes.h"
#include "player/swf.h"

namespace player {

// What the book plays: its sound on or off, the narrator's animation, and a
// chapter movie's narration, which runs as long as the chapter's sound and
// tells the host when it starts and stops ("playAnimation").
class Narration {
 public:
  using Send = std::function<void(const std::string& command, const std::string& args)>;
  // `send` takes the commands for the host; `ended` hears what a narration
  // that ran out by itself changed.
  Narration(components::Desktop& desktop, Send send, std::function<void(Changes)> ended);

  void Reset();

  bool soundOn() const { return soundOn_; }
  // The narrator's frames, once "playAnimation" has read them.
  const SwfMovie* narrator() const { return narrator_ ? &*narrator_ : nullptr; }
  bool animationRunning() const { return animation_; }
  bool narrating() const { return narrating_; }
  bool paused() const { return paused_; }

  // The book's sound; the toolbar shows which.
  Changes SetSound(bool on);
  // The narrator's animation, read from `file` the first time (the movie
  // hands the path over with every "\" doubled).
  Changes ShowNarrator(const std::string& file);
  Changes HideNarrator();
  // The chapter's narration, `seconds` long.
  Changes Start(double seconds);
  // Paused narration starts again from the beginning of the chapter.
  Changes PauseOrResume(double seconds);

 private:
  Changes Stop(bool paused);

  components::Desktop& desktop_;
  Send send_;
  std::function<void(Changes)> ended_;
  bool soundOn_ = false;
  std::optional<SwfMovie> narrator_;
  bool animation_ = false;
  bool narrating_ = false;
  bool paused_ = false;
  int generation_ = 0;             // a narration's end counts only for the narration it ends
  components::Lifetime lifetime_;  // its end goes with it
};

}  // namespace player
