#pragma once

#include "bridge/bridge.h"
#include "bridge/commands.h"
#include "shell/book.h"
#include "shell/program.h"
#include "tests/support/support.h"

namespace testing_support {

// The program started on the headless desktop with the whole bridge, its
// start-up calls cleared from the log.
class Started : public ::testing::Test {
 protected:
  Started() {
    program.Start();
    h.desktop.log().clear();
  }
  components::Window& form() { return program.MainWindow(); }
  headless::Player& player() { return h.desktop.PlayerOf(form(), "ShockwaveFlash1"); }
  headless::Toolbar& toolbar() { return h.desktop.ToolbarOf(form(), "asxToolbar1"); }
  std::vector<std::string> Labels() { return h.desktop.Calls("Form1.ShockwaveFlash1.TCallLabel"); }
  std::vector<std::string> PlayerCalls() { return h.desktop.Calls("Form1.ShockwaveFlash1."); }
  void Movie(const std::string& command, const std::string& args) {
    bridge.dispatcher().FSCommand(command, args);
  }
  void Click(const std::string& key) { bridge.toolbar().Click(0, key); }
  std::string Stored(const std::string& name) {
    return h.registry.Text(shell::BookKey(), name).value_or("<absent>");
  }

  // Ready before the program is made: its windows' designs use the folder.
  struct Setup {
    Setup(Headless& h, const TempDir& dir) {
      h.environment.variables["TEMP"] = dir.path() + "/";
      h.environment.programFolder = "/opt/書 本";
      h.resources.table[{"CUSTOM", 101}] = {'C', 'W', 'S', 7};
    }
  };
  TempDir dir;
  Headless h;
  Setup setup{h, dir};
  shell::Program program{h.system};
  bridge::Bridge bridge{program};
};

inline std::string Label(const std::string& l) { return "Form1.ShockwaveFlash1.TCallLabel(/, " + l + ")"; }

}  // namespace testing_support
