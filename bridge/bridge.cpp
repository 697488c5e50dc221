#include "bridge/bridge.h"

#include "bridge/commands.h"

namespace bridge {

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
  program_.MainWindow().OnMenu("leftSingle", [this] { SinglePage(program_, "singleLeft"); });
  program_.MainWindow().OnMenu("rightSingle", [this] { SinglePage(program_, "singleRight"); });
}

}  // namespace bridge
