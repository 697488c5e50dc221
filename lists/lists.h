#pragma once

#include <optional>
#include <string>

#include "bridge/bridge.h"
#include "shell/program.h"

namespace lists {

// The bookmarks and notes as the program runs them: the items of the
// bookmark and note menus and the movie's "viewNote", wired into the program.
class Lists {
 public:
  Lists(shell::Program& program, bridge::Bridge& bridge);

  // The menu commands, as their items run them.
  void AddBookmark(std::optional<int> (*choosePage)(components::MoviePlayer&));
  void AddNote(std::optional<int> (*choosePage)(components::MoviePlayer&));
  // "viewNote": the note whose index args holds, in the viewer.
  void ViewNote(const std::string& args);

 private:
  shell::Program& program_;
};

}  // namespace lists
