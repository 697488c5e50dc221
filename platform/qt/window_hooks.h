#pragma once

#include "components/window_hook.h"

class QWidget;

namespace qtdesk {

class Desktop;

// Window handles are the widgets; the player widget answers its own class name.
class WindowHooks : public components::WindowHooks {
 public:
  explicit WindowHooks(Desktop& desktop) : desktop_(desktop) {}
  std::int32_t EnumChildWindows(components::HWND parent, components::ENUMPROC callback,
                                components::LPARAM extra) override;
  int GetClassNameA(components::HWND window, char* buffer, int maxCount) override;
  std::intptr_t SetWindowLongA(components::HWND window, int index, std::intptr_t newLong) override;
  components::LRESULT CallWindowProcA(std::intptr_t previous, components::HWND window, std::uint32_t message,
                                      components::WPARAM wParam, components::LPARAM lParam) override;

 private:
  QWidget* Find(components::HWND handle) const;
  Desktop& desktop_;
};

}  // namespace qtdesk
