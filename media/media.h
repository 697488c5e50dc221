#pragma once

#include <string>

#include "bridge/bridge.h"
#include "components/window.h"
#include "shell/program.h"

namespace media {

// The chapters' narration as the program runs it: the download engine on
// the main window's transfer control, the progress window, the animation
// window, and the movie's "loadSound", "unloadSound" and "unloadMan".
class Media {
 public:
  // downloadServer: where the chapter files are, an http URL ending in "/"
  // (a build setting; tests give their own server's).
  Media(shell::Program& program, bridge::Bridge& bridge, std::string downloadServer);
  ~Media();
  Media(const Media&) = delete;
  Media& operator=(const Media&) = delete;

  // The animation window `player` and the progress window `download`;
  // referring to one does not load it.
  components::Window& AnimationWindow();
  components::Window& ProgressWindow();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace media
