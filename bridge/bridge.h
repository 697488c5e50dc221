#pragma once

#include "bridge/dispatcher.h"
#include "bridge/toolbar.h"
#include "shell/program.h"

namespace bridge {

// The bridge as the program runs it: the dispatcher with every action, the
// toolbar's clicks and the single-page menu, wired into the program.
class Bridge {
 public:
  explicit Bridge(shell::Program& program);
  Dispatcher& dispatcher() { return dispatcher_; }
  ToolbarCommands& toolbar() { return toolbar_; }

 private:
  shell::Program& program_;
  ToolbarCommands toolbar_;
  Dispatcher dispatcher_;
};

}  // namespace bridge
