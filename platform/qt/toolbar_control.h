#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "components/desktop.h"
#include "components/toolbar.h"
#include "components/window_design.h"

class QToolButton;

namespace qtdesk {

// The toolbar control: a grey bar of tool buttons, each with its shortcut.
class Toolbar : public components::Toolbar {
 public:
  Toolbar(components::Desktop& desktop, QWidget* parent, const components::ControlDesign& design);
  ~Toolbar() override;
  void Visible(bool visible) override;
  void Height(components::Twips height) override;
  void ButtonVisible(int button, bool visible) override;
  components::ToolbarButton& Button(int button) override;
  void ButtonRefresh(int button) override;
  void Refresh() override;

  QWidget* widget();
  // A button is clicked (by the user or a test): the event carries its key.
  void Clicked(int button);
  // Whether the reader could click the button now (bar and button shown, enabled).
  bool Clickable(int button) const;

 private:
  void Build();
  void Check(int button) const;
  QToolButton* At(int button);
  components::Desktop& desktop_;
  components::ToolbarDesign design_;
  QPointer<QWidget> widget_;
  std::vector<bool> buttonVisible_;
  std::vector<QPointer<QToolButton>> buttons_;
  std::vector<std::unique_ptr<components::ToolbarButton>> objects_;
};

}  // namespace qtdesk
