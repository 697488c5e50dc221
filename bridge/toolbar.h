#pragma once

#include <string>

#include "shell/program.h"

namespace bridge {

// The toolbar's clicks turned into calls on the movie, popup menus and
// windows; and the movie's "dirov.Toolbar" commands on the toolbar.
class ToolbarCommands {
 public:
  explicit ToolbarCommands(shell::Program& program) : program_(program) {}

  // A failing step is skipped and the next one runs; the reader sees nothing.
  void Click(int firstValue, const std::string& key);
  // "dirov.Toolbar": shows, hides, enables or disables buttons.
  void Command(const std::string& keyword);

 private:
  void Label(const std::string& label);
  void PopupByFrame(const char* onFirstFrame, const char* otherwise);
  void Enable(int button, bool enabled);

  shell::Program& program_;
};

}  // namespace bridge
