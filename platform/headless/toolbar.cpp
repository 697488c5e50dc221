#include "platform/headless/toolbar.h"

#include "components/errors.h"
#include "platform/headless/call_log.h"
#include "platform/headless/desktop.h"

namespace headless {

using namespace components;

void ToolbarButton::SetProperty(const std::string& name, bool value) {
  if (name != "Enabled") throw ComponentError("toolbar button has no property " + name);
  enabled_ = value;
  desktop_.Log(id_ + ".Enabled(" + (value ? "true" : "false") + ")");
}

Toolbar::Toolbar(Desktop& desktop, std::string id, const ToolbarDesign& design)
    : desktop_(desktop), id_(std::move(id)), design_(design) {
  for (size_t i = 0; i < design_.buttons.size(); ++i) {
    buttonVisible_.push_back(design_.buttons[i].visible);
    buttons_.push_back(std::make_unique<ToolbarButton>(
        desktop_, id_ + ".Button(" + std::to_string(i + 1) + ")", design_.buttons[i].enabled));
  }
}
void Toolbar::Log(const std::string& s) { desktop_.Log(id_ + "." + s); }
void Toolbar::Check(int button) const {
  if (button < 1 || button > static_cast<int>(buttons_.size()))
    throw ComponentError("toolbar has no button " + std::to_string(button));
}
void Toolbar::Visible(bool visible) {
  visible_ = visible;
  Log(std::string("Visible(") + (visible ? "true" : "false") + ")");
}
void Toolbar::Height(Twips height) {
  height_ = height;
  Log("Height(" + LogNumber(height) + ")");
}
void Toolbar::ButtonVisible(int button, bool visible) {
  Check(button);
  buttonVisible_[static_cast<size_t>(button - 1)] = visible;
  Log("ButtonVisible(" + std::to_string(button) + ", " + (visible ? "true" : "false") + ")");
}
components::ToolbarButton& Toolbar::Button(int button) {
  Check(button);
  return *buttons_[static_cast<size_t>(button - 1)];
}
void Toolbar::ButtonRefresh(int button) {
  Check(button);
  Log("ButtonRefresh(" + std::to_string(button) + ")");
}
void Toolbar::Refresh() { Log("Refresh()"); }
bool Toolbar::buttonVisible(int button) const {
  Check(button);
  return buttonVisible_[static_cast<size_t>(button - 1)];
}
bool Toolbar::buttonEnabled(int button) const {
  Check(button);
  return buttons_[static_cast<size_t>(button - 1)]->enabled();
}
bool Toolbar::Click(int button) {
  if (!visible_ || !buttonVisible(button) || !buttonEnabled(button)) return false;
  std::string key = design_.buttons[static_cast<size_t>(button - 1)].key;
  desktop_.RunHandler([&] { RaiseButtonClick(0, key); });
  return true;
}

}  // namespace headless
