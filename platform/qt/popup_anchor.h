#pragma once

#include <QPoint>
#include <optional>

namespace qtdesk {

// Where a popup menu opened now appears: at the mouse, unless what opened
// it (a keyboard shortcut of a toolbar button) names a place of its own.
class PopupAnchor {
 public:
  explicit PopupAnchor(QPoint global) : previous_(current()) { current() = global; }
  ~PopupAnchor() { current() = previous_; }
  PopupAnchor(const PopupAnchor&) = delete;
  PopupAnchor& operator=(const PopupAnchor&) = delete;

  static std::optional<QPoint> Now() { return current(); }

 private:
  static std::optional<QPoint>& current() {
    static std::optional<QPoint> anchor;
    return anchor;
  }
  std::optional<QPoint> previous_;
};

}  // namespace qtdesk
