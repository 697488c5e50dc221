// The help window: the help page under its heading.
#include "shell/program.h"

namespace shell {

using namespace components;

WindowDesign HelpDesign() {
  WindowDesign d = FixedDialog("helpForm", "說明", 5490, 6555);
  ControlDesign heading = ControlAt("Label1", ControlKind::Label, 1320, 120, 2655, 375, "電子書功能內容");
  heading.font = FontDesign{"", 14.25, true, std::nullopt};
  d.controls = {heading, ControlAt("helpContent", ControlKind::Browser, 120, 480, 5250, 5895)};
  return d;
}

void Program::MakeHelpWindow() {
  help_ = std::make_unique<Window>(system_.desktop, HelpDesign());
  help_->OnLoad([this] { help_->control("helpContent").Browser().Navigate(ProgramPath({"Help.html"})); });
}

void Program::ShowHelp() { help_->Show(main_.get()); }

}  // namespace shell
