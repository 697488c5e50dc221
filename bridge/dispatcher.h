#pragma once

#include <functional>
#include <string>

#include "shell/program.h"

namespace bridge {

// The actions of the movie's commands, one per command that another part of
// the bridge (or the lists and media subsystems) carries out.
struct CommandActions {
  using Action = std::function<void(const std::string& args)>;
  Action getReg;       // "dirov.getReg"
  Action setReg;       // "dirov.setReg"
  Action win;          // "dirov.Win"
  Action startPlay;    // "startPlay"
  Action viewNote;     // "viewNote"
  Action loadSound;    // "loadSound"
  Action unloadSound;  // "unloadSound"
  Action unloadMan;    // "unloadMan"
  Action toolbar;      // "dirov.Toolbar"
};

// Routes the main movie's FSCommand events: the whole command text, exact
// and case-sensitive, compared in a fixed order; anything else does nothing.
class Dispatcher {
 public:
  Dispatcher(shell::Program& program, CommandActions actions);

  void FSCommand(const std::string& command, const std::string& args);
  // Where the other subsystems put the actions they own ("viewNote",
  // "loadSound", ...), before the movie sends them.
  CommandActions& actions() { return actions_; }

 private:
  void Show(const std::string& text);

  shell::Program& program_;
  CommandActions actions_;
};

}  // namespace bridge
