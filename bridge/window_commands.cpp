// "dirov.Win" and "startPlay": the movie's own window buttons.
#include "bridge/commands.h"

namespace bridge {

using namespace components;

namespace {
// The player as large as the whole window, after the resize rule has run.
void FillWindow(shell::Program& program, WindowState state) {
  Window& w = program.MainWindow();
  w.SetState(state);
  program.Player().Width(w.Width());
  program.Player().Height(w.Height());
}
}  // namespace

void Win(shell::Program& program, const std::string& args) {
  Desktop& desktop = program.system().desktop;
  if (args == "move") {
    // nothing
  } else if (args == "close") {
    // At once: no window runs its closing steps. The sound setting is kept,
    // as the frame's close keeps it: which button closed must not lose it.
    if (shell::AskToLeave(desktop, "離開電子書 ?")) {
      program.StoreSound();
      desktop.End(0);
    }
  } else if (args == "minimize") {
    program.MainWindow().SetState(WindowState::Minimized);
  } else if (args == "maximize") {
    FillWindow(program, WindowState::Maximized);
  } else if (args == "restore") {
    FillWindow(program, WindowState::Normal);
  } else if (args == "showHelp") {
    program.ShowIntro();
  } else if (args == "showUtility") {
    program.ToolbarControl().Visible(true);
  } else if (args == "hideUtility") {
    program.ToolbarControl().Visible(false);
  } else if (args == "closeApp") {
    desktop.End(0);
  }
}

void StartPlay(shell::Program& program) { program.Player().TCallLabel("/", "startPlay"); }

}  // namespace bridge
