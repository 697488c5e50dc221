#pragma once

#include <QWidget>
#include <set>

#include "components/window_hook.h"

namespace qtdesk {

// The top-level widgets of the windows that exist: what a window handle
// may name, and what is left to delete when the desktop goes.
class WindowWidgets {
 public:
  void Add(QWidget* widget) { alive_.insert(widget); }
  void Remove(QWidget* widget) { alive_.erase(widget); }
  QWidget* Find(components::HWND handle) const {
    auto* widget = reinterpret_cast<QWidget*>(handle);
    return alive_.count(widget) ? widget : nullptr;
  }
  // Those whose deferred deletion the event loop has not reached.
  void DeleteAll() {
    while (!alive_.empty()) delete *alive_.begin();
  }

 private:
  std::set<QWidget*> alive_;
};

}  // namespace qtdesk
