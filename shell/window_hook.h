#pragma once

#include "components/window_hook.h"

namespace shell {

class Program;

// Set at load by the hook; 0 until set.
extern components::HWND flashWnd;
extern std::intptr_t oldWndProc;

// The enumeration callback that finds the player's window; 0 stops.
std::int32_t FlashChildFinder(components::HWND window, components::LPARAM extra);
// The replacement procedure of the player's window.
components::LRESULT FlashWndProc(components::HWND window, std::uint32_t message, components::WPARAM wParam,
                                 components::LPARAM lParam);

// The hook of one program. The routines above are plain procedures, as the
// window calls need: they reach the program through the one hook alive,
// which the program owns; once it is gone they touch nothing.
class FlashHook {
 public:
  explicit FlashHook(Program& program);
  ~FlashHook();
  FlashHook(const FlashHook&) = delete;
  FlashHook& operator=(const FlashHook&) = delete;

  // Start-up's hook step: find the player's window among the main window's
  // children and, when found, subclass it.
  void Install();
  static Program* Current();

 private:
  Program& program_;
};

}  // namespace shell
