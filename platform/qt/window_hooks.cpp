#include "platform/qt/window_hooks.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "platform/qt/qt_desktop.h"

namespace qtdesk {

using namespace components;

QWidget* WindowHooks::Find(HWND handle) const {
  auto* target = reinterpret_cast<QWidget*>(handle);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top == target) return top;
    for (QWidget* child : top->findChildren<QWidget*>())
      if (child == target) return child;
  }
  return nullptr;
}

std::int32_t WindowHooks::EnumChildWindows(HWND parent, ENUMPROC callback, LPARAM extra) {
  QWidget* top = desktop_.WidgetOf(parent);
  if (!top) return 0;
  std::function<bool(QWidget*)> walk = [&](QWidget* w) {
    for (QObject* o : w->children()) {
      auto* child = qobject_cast<QWidget*>(o);
      if (!child || child->isWindow()) continue;
      if (!callback(reinterpret_cast<HWND>(child), extra) || !walk(child)) return false;
    }
    return true;
  };
  walk(top);
  return 1;
}

int WindowHooks::GetClassNameA(HWND window, char* buffer, int maxCount) {
  QWidget* w = Find(window);
  if (!w || maxCount <= 0) return 0;
  // A widget may answer the class name of the control it stands for.
  QVariant own = w->property("windowClass");
  std::string name = own.isValid() ? own.toString().toStdString() : w->metaObject()->className();
  return CopyClassName(name, buffer, maxCount);
}

namespace {

// The widget's own handling, as a window procedure: calling it lets the
// event that is being filtered reach the widget unchanged.
bool g_passOn = false;
LRESULT WidgetOwnProc(HWND, std::uint32_t, WPARAM, LPARAM) {
  g_passOn = true;
  return 0;
}

// Hands a widget's input to the procedure installed on it, as messages.
class HookFilter : public QObject {
 public:
  HookFilter(QObject* parent, HWND handle) : QObject(parent), handle_(handle) {}
  std::intptr_t proc = 0;

  bool eventFilter(QObject*, QEvent* e) override {
    std::uint32_t message = 0;
    auto button = [e] { return static_cast<QMouseEvent*>(e)->button(); };
    switch (e->type()) {
      case QEvent::MouseButtonPress:
        message = button() == Qt::RightButton  ? WM_RBUTTONDOWN
                  : button() == Qt::LeftButton ? WM_LBUTTONDOWN
                                               : 0;
        break;
      case QEvent::MouseButtonRelease:
        message = button() == Qt::RightButton ? WM_RBUTTONUP : button() == Qt::LeftButton ? WM_LBUTTONUP : 0;
        break;
      case QEvent::MouseButtonDblClick:
        message = button() == Qt::RightButton  ? WM_RBUTTONDBLCLK
                  : button() == Qt::LeftButton ? WM_LBUTTONDBLCLK
                                               : 0;
        break;
      case QEvent::MouseMove: message = WM_MOUSEMOVE; break;
      case QEvent::KeyPress: message = WM_KEYDOWN; break;
      case QEvent::KeyRelease: message = WM_KEYUP; break;
      default: return false;  // not a window message here: the widget has it
    }
    if (message == 0 || proc == 0) return false;
    bool outer = g_passOn;
    g_passOn = false;
    reinterpret_cast<WNDPROC>(proc)(handle_, message, 0, 0);
    bool passed = g_passOn;
    g_passOn = outer;
    return !passed;  // swallowed unless the procedure handed it on
  }

 private:
  HWND handle_;
};

}  // namespace

std::intptr_t WindowHooks::SetWindowLongA(HWND window, int index, std::intptr_t newLong) {
  QWidget* w = Find(window);
  if (!w || index != GWL_WNDPROC || newLong == 0) return 0;
  // Not findChild: without a meta-object of its own it would take any child for one.
  HookFilter* filter = nullptr;
  for (QObject* child : w->children())
    if ((filter = dynamic_cast<HookFilter*>(child))) break;
  std::intptr_t previous = reinterpret_cast<std::intptr_t>(&WidgetOwnProc);
  if (filter) {
    previous = filter->proc;
  } else {
    filter = new HookFilter(w, window);
    w->installEventFilter(filter);
  }
  filter->proc = newLong;
  return previous;
}

LRESULT WindowHooks::CallWindowProcA(std::intptr_t previous, HWND window, std::uint32_t message,
                                     WPARAM wParam, LPARAM lParam) {
  if (previous == 0) return 0;
  return reinterpret_cast<WNDPROC>(previous)(window, message, wParam, lParam);
}

}  // namespace qtdesk
