// The intro panel: first instructions, and a box to stop them opening.
#include <cstdint>

#include "shell/program.h"
#include "shell/settings_store.h"

namespace shell {

using namespace components;

WindowDesign IntroDesign() {
  WindowDesign d = FixedDialog("leftForm", "基礎操作說明", 7500, 6000);
  // The browser is 330 twips wider than the panel: its right edge lies outside.
  d.controls = {ControlAt("WebBrowser1", ControlKind::Browser, 0, 0, 7830, 5670),
                ControlAt("Check1", ControlKind::CheckBox, 0, 5700, 3975, 255, "以後不要再顯示這個說明")};
  d.focusOrder = {"WebBrowser1", "Check1"};
  return d;
}

void Program::MakeIntroPanel() {
  intro_ = std::make_unique<Window>(system_.desktop, IntroDesign());
  intro_->OnLoad(
      [this] { intro_->control("WebBrowser1").Browser().Navigate(ProgramPath({"introduction_open.html"})); });
  intro_->OnClick("Check1", [this] {
    // The bitwise complement of the box's state as a 16-bit integer:
    // "-1" when it has just been cleared, "-2" when it has just been set.
    auto state = static_cast<std::int16_t>(intro_->control("Check1").Value());
    WriteShowHelp(system_.registry, std::to_string(static_cast<std::int16_t>(~state)));
  });
}

void Program::ShowIntro() { intro_->ShowModal(main_.get()); }

}  // namespace shell
