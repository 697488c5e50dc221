#pragma once

#include <string>

#include "components/window.h"
#include "media/download_engine.h"
#include "shell/program.h"

namespace media {

// The movie's commands for a chapter's narration.
class SoundCommands {
 public:
  SoundCommands(shell::Program& program, DownloadEngine& engine, components::Window& animation,
                std::string downloadServer);
  // "loadSound": plays the chapter's file, downloading it first when missing.
  void LoadSound(const std::string& chapter);
  // "unloadSound": the narrator stops and the animation window goes.
  void UnloadSound();
  // "unloadMan": the narrator stops and the toolbar comes back.
  void UnloadMan();

 private:
  shell::Program& program_;
  DownloadEngine& engine_;
  components::Window& animation_;
  std::string downloadServer_;
};

}  // namespace media
