#include "platform/headless/window_hooks.h"

#include <cstring>
#include <functional>
#include "components/window.h"
#include "platform/headless/desktop.h"
#include "platform/headless/player.h"

namespace headless {

using namespace components;

std::int32_t WindowHooks::EnumChildWindows(HWND parent, ENUMPROC callback, LPARAM extra) {
  // Depth first: a window's descendants follow it.
  std::function<bool(const std::vector<HWND>&)> walk = [&](const std::vector<HWND>& kids) {
    for (HWND child : kids) {
      if (!callback(child, extra)) return false;
      if (auto c = children.find(child); c != children.end() && !walk(c->second)) return false;
    }
    return true;
  };
  if (auto c = children.find(parent); c != children.end()) {
    walk(c->second);
  } else if (Window* w = desktop_.FindWindow(parent)) {
    if (auto n = childrenOf.find(w->name()); n != childrenOf.end()) walk(n->second);
  }
  return 1;
}

int WindowHooks::GetClassNameA(HWND window, char* buffer, int maxCount) {
  auto it = classNames.find(window);
  return CopyClassName(it == classNames.end() ? "" : it->second, buffer, maxCount);
}

namespace {
LRESULT DefaultProc(HWND, std::uint32_t, WPARAM, LPARAM) { return 0; }
}  // namespace

std::intptr_t WindowHooks::SetWindowLongA(HWND window, int index, std::intptr_t newLong) {
  if (index != GWL_WNDPROC) return 0;
  auto it = procs_.find(window);
  std::intptr_t old = it == procs_.end() ? reinterpret_cast<std::intptr_t>(&DefaultProc) : it->second;
  procs_[window] = newLong;
  desktop_.Log("SetWindowLongA(" + std::to_string(window) + ")");
  return old;
}

LRESULT WindowHooks::CallWindowProcA(std::intptr_t previous, HWND window, std::uint32_t message,
                                     WPARAM wParam, LPARAM lParam) {
  if (previous == reinterpret_cast<std::intptr_t>(&DefaultProc)) {
    delivered.emplace_back(window, message);
    return 0;
  }
  return reinterpret_cast<WNDPROC>(previous)(window, message, wParam, lParam);
}

LRESULT WindowHooks::Deliver(HWND window, std::uint32_t message) {
  auto it = procs_.find(window);
  if (it == procs_.end()) {
    delivered.emplace_back(window, message);
    return 0;
  }
  return reinterpret_cast<WNDPROC>(it->second)(window, message, 0, 0);
}

}  // namespace headless
