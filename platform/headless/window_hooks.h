#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "components/window_hook.h"

namespace headless {

class Desktop;

// Child windows are the loaded windows' controls; class names come from
// the headless player (others answer their kind).
class WindowHooks : public components::WindowHooks {
 public:
  explicit WindowHooks(Desktop& desktop) : desktop_(desktop) {}
  std::int32_t EnumChildWindows(components::HWND parent, components::ENUMPROC callback,
                                components::LPARAM extra) override;
  int GetClassNameA(components::HWND window, char* buffer, int maxCount) override;
  std::intptr_t SetWindowLongA(components::HWND window, int index, std::intptr_t newLong) override;
  components::LRESULT CallWindowProcA(std::intptr_t previous, components::HWND window, std::uint32_t message,
                                      components::WPARAM wParam, components::LPARAM lParam) override;

  // Test side: a message arrives at a child window.
  components::LRESULT Deliver(components::HWND window, std::uint32_t message);
  // The child windows of a window (by handle, or by the window's name for
  // windows not loaded yet), in enumeration order, and their class names.
  std::map<components::HWND, std::string> classNames;
  std::map<components::HWND, std::vector<components::HWND>> children;
  std::map<std::string, std::vector<components::HWND>> childrenOf;
  // Messages that reached a window's own procedure.
  std::vector<std::pair<components::HWND, std::uint32_t>> delivered;

 private:
  Desktop& desktop_;
  std::map<components::HWND, std::intptr_t> procs_;
};

}  // namespace headless
