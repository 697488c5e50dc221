#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/twips.h"

namespace components {

struct ToolbarButtonDesign {
  std::string key;
  std::string toolTip;
  bool enabled = true;
  bool visible = true;
  std::string shortcut;  // acts as a click while the button can be clicked
};

struct ToolbarDesign {
  std::vector<ToolbarButtonDesign> buttons;  // button n is buttons[n - 1]
};

// One button of the toolbar, as the button object hands it out: properties
// are set by name.
class ToolbarButton {
 public:
  virtual ~ToolbarButton() = default;
  // Known property: "Enabled" (bool). Others raise ComponentError.
  virtual void SetProperty(const std::string& name, bool value) = 0;
};

// The toolbar control. Buttons are addressed by position, 1 to buttoncount.
class Toolbar {
 public:
  using ClickHandler = std::function<void(int firstValue, const std::string& key)>;

  virtual ~Toolbar() = default;

  virtual void Visible(bool visible) = 0;
  virtual void Height(Twips height) = 0;
  virtual void ButtonVisible(int button, bool visible) = 0;
  virtual ToolbarButton& Button(int button) = 0;
  virtual void ButtonRefresh(int button) = 0;
  virtual void Refresh() = 0;

  void OnButtonClick(ClickHandler handler) { click_ = std::move(handler); }

 protected:
  void RaiseButtonClick(int firstValue, const std::string& key) {
    if (ClickHandler h = click_) h(firstValue, key);  // a copy: it may end this control
  }

 private:
  ClickHandler click_;
};

}  // namespace components
