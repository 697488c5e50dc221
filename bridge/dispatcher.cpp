#include "bridge/dispatcher.h"

#include <array>
#include <utility>

namespace bridge {

using namespace components;

Dispatcher::Dispatcher(shell::Program& program, CommandActions actions)
    : program_(program), actions_(std::move(actions)) {}

void Dispatcher::Show(const std::string& text) {
  MessageBox box;
  box.text = text;  // shown as plain text, never as markup
  box.buttons = Buttons::OK;
  box.icon = Icon::None;
  program_.system().desktop.MsgBox(box);
}

void Dispatcher::FSCommand(const std::string& commandIn, const std::string& argsIn) {
  // Copies: an action may run a nested event loop in which the movie sends more.
  const std::string command = commandIn;
  const std::string args = argsIn;

  using Action = CommandActions::Action;
  const std::array<std::pair<const char*, Action>, 11> table = {{
      {"show", [this](const std::string& a) { Show(a); }},
      {"stopAnimation", [](const std::string&) {}},
      {"dirov.getReg", actions_.getReg},
      {"dirov.setReg", actions_.setReg},
      {"dirov.Win", actions_.win},
      {"startPlay", actions_.startPlay},
      {"viewNote", actions_.viewNote},
      {"loadSound", actions_.loadSound},
      {"unloadSound", actions_.unloadSound},
      {"unloadMan", actions_.unloadMan},
      {"dirov.Toolbar", actions_.toolbar},
  }};
  for (const auto& [name, action] : table) {
    if (command == name) {
      if (action) action(args);
      return;
    }
  }
}

}  // namespace bridge
