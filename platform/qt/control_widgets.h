#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "components/window.h"

class QTimer;

namespace qtdesk {

// The Qt widgets of a window's plain controls (labels, text boxes, buttons,
// check boxes, list boxes, images) and its timers, kept in step with the
// controls' model both ways. Component controls draw themselves.
class ControlWidgets {
 public:
  // `parent`: the window's top-level widget.
  ControlWidgets(components::Window& window, QWidget* parent);
  ~ControlWidgets();
  ControlWidgets(const ControlWidgets&) = delete;
  ControlWidgets& operator=(const ControlWidgets&) = delete;

  void Created(components::Control& control);
  void Changed(components::Control& control, components::Property property);
  // Gives the focus to the first control of the focus order that can take it.
  void FocusFirst();

 private:
  // Guards against reporting back what code has just set.
  struct Syncing {
    explicit Syncing(bool& b) : b_(b) { b_ = true; }
    ~Syncing() { b_ = false; }
    bool& b_;
  };
  QWidget* CreateTextBox(const components::ControlDesign& design, components::Control* control);

  components::Window& window_;
  QPointer<QWidget> parent_;
  bool syncing_ = false;
  std::map<std::string, QPointer<QWidget>> widgets_;
  std::map<std::string, std::unique_ptr<QTimer>> timers_;
};

}  // namespace qtdesk
