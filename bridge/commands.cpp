#include "bridge/commands.h"

#include "shell/book.h"
#include "shell/settings_store.h"

namespace bridge {

using namespace components;

void GetReg(shell::Program& program) {
  struct Row {
    const char* value;
    const char* variable;
  };
  const Row rows[] = {{"windowTrans", "transfer"},      {"showHelp", "showHelp"},
                      {"helpMe", "firstRun"},           {"productCode", "installString"},
                      {"uninstall", "uninstallString"}, {"kindOfMouse", "kindOfMouse"}};
  Registry& registry = program.system().registry;
  for (const Row& row : rows) {
    shell::lastRegValue = shell::ReadRegValue(registry, HKEY_LOCAL_MACHINE, shell::BookKey(), row.value);
    program.Player().SetVariable(row.variable, shell::lastRegValue);
    // The rest waits until the panel is closed.
    if (std::string(row.value) == "showHelp" && shell::lastRegValue == "1") program.ShowIntro();
  }
  program.Player().SetVariable("news", program.ProgramPath({"news.ezy"}));
  program.Player().SetVariable("news2", program.ProgramPath({"news2.ezy"}));
}

void SetReg(shell::Program& program, const std::string& args) {
  Registry& registry = program.system().registry;
  shell::lastRegValue =
      shell::WriteRegValue(registry, HKEY_LOCAL_MACHINE, shell::BookKey(), "showHelp", args);
  shell::lastRegValue = shell::WriteRegValue(registry, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn", "1");
}

namespace {
// The player as large as the whole window, after the resize rule has run.
void FillWindow(shell::Program& program, WindowState state) {
  Window& w = program.Form1();
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
    program.Form1().SetState(WindowState::Minimized);
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

void SinglePage(shell::Program& program, const std::string& label) {
  program.Player().TCallLabel("/", label);
  program.ToolbarControl().ButtonVisible(5, false);
  program.ToolbarControl().ButtonVisible(6, true);
}

namespace {
CommandActions Actions(shell::Program& p, ToolbarCommands& toolbar) {
  CommandActions a;
  a.getReg = [&p](const std::string&) { GetReg(p); };
  a.setReg = [&p](const std::string& args) { SetReg(p, args); };
  a.win = [&p](const std::string& args) { Win(p, args); };
  a.startPlay = [&p](const std::string&) { StartPlay(p); };
  a.toolbar = [&toolbar](const std::string& args) { toolbar.Command(args); };
  return a;
}
}  // namespace

Bridge::Bridge(shell::Program& program)
    : program_(program), toolbar_(program), dispatcher_(program, Actions(program, toolbar_)) {
  program_.OnMovieCommand(
      [this](const std::string& c, const std::string& a) { dispatcher_.FSCommand(c, a); });
  program_.OnToolbarClick([this](int first, const std::string& key) { toolbar_.Click(first, key); });
  program_.Form1().OnMenu("leftSingle", [this] { SinglePage(program_, "singleLeft"); });
  program_.Form1().OnMenu("rightSingle", [this] { SinglePage(program_, "singleRight"); });
}

}  // namespace bridge
