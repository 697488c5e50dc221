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

// Start-up's hook step: find the player's window among the main window's
// children and, when found, subclass it.
void InstallFlashHook(Program& program);

}  // namespace shell
