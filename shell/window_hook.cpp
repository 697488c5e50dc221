#include "shell/window_hook.h"

#include <cstring>

#include "shell/program.h"

namespace shell {

using namespace components;

HWND flashWnd = 0;
std::intptr_t oldWndProc = 0;

namespace {
// The routines are plain procedures, as the window calls need; they reach
// the program through its single instance.
Program* g_program = nullptr;
}  // namespace

std::int32_t FlashChildFinder(HWND window, LPARAM /*extra*/) {
  char buffer[256];
  std::memset(buffer, 1, sizeof buffer);
  g_program->system().hooks.GetClassNameA(window, buffer, 255);
  std::string className;
  if (const void* zero = std::memchr(buffer, '\0', 255))
    className.assign(buffer, static_cast<size_t>(static_cast<const char*>(zero) - buffer));
  if (className == "MacromediaFlashPlayerActiveX" || className.compare(0, 4, "ATL:") == 0) {
    flashWnd = window;
    return 0;
  }
  return -1;
}

LRESULT FlashWndProc(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RBUTTONDOWN: g_program->MainWindow().PopupMenu("Bindera"); return 0;
    case WM_RBUTTONUP: return 0;
    default: return g_program->system().hooks.CallWindowProcA(oldWndProc, window, message, wParam, lParam);
  }
}

void InstallFlashHook(Program& program) {
  g_program = &program;
  WindowHooks& hooks = program.system().hooks;
  hooks.EnumChildWindows(program.MainWindow().Handle(), &FlashChildFinder, 0);
  if (flashWnd != 0)
    oldWndProc = hooks.SetWindowLongA(flashWnd, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(&FlashWndProc));
}

}  // namespace shell
