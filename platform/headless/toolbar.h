#pragma once

#include <memory>
#include <string>
#include <vector>

#include "components/toolbar.h"

namespace headless {

class Desktop;

class ToolbarButton : public components::ToolbarButton {
 public:
  ToolbarButton(Desktop& desktop, std::string id, bool enabled)
      : desktop_(desktop), id_(std::move(id)), enabled_(enabled) {}
  void SetProperty(const std::string& name, bool value) override;
  bool enabled() const { return enabled_; }

 private:
  Desktop& desktop_;
  std::string id_;
  bool enabled_;
};

class Toolbar : public components::Toolbar {
 public:
  Toolbar(Desktop& desktop, std::string id, const components::ToolbarDesign& design);
  void Visible(bool visible) override;
  void Height(components::Twips height) override;
  void ButtonVisible(int button, bool visible) override;
  components::ToolbarButton& Button(int button) override;
  void ButtonRefresh(int button) override;
  void Refresh() override;

  bool visible() const { return visible_; }
  components::Twips height() const { return height_; }
  bool buttonVisible(int button) const;
  bool buttonEnabled(int button) const;
  // The user clicks a button; refused when it or the bar is hidden or disabled.
  bool Click(int button);

 private:
  void Check(int button) const;
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  components::ToolbarDesign design_;
  bool visible_ = true;
  components::Twips height_ = 0;
  std::vector<bool> buttonVisible_;
  std::vector<std::unique_ptr<ToolbarButton>> buttons_;
};

}  // namespace headless
