#include "shell/window_hook.h"

#include <cstring>

#include "shell/program.h"

namespace shell {

using namespace components;

HWND flashWnd = 0;
std::intptr_t oldWndProc = 0;

namespace {
FlashHook* g_current = nullptr;
}  // namespace

FlashHook::FlashHook(Program& program) : program_(program) { g_current = this; }

FlashHook::~FlashHook() {
  if (g_current != this) return;
  // The player's window goes on without us: its own procedure again.
  if (flashWnd != 0 && oldWndProc != 0)
    program_.system().hooks.SetWindowLongA(flashWnd, GWL_WNDPROC, oldWndProc);
  g_current = nullptr;
}

Program* FlashHook::Current() { return g_current ? &g_current->program_ : nullptr; }

std::int32_t FlashChildFinder(HWND window, LPARAM /*extra*/) {
  Program* program = FlashHook::Current();
  if (!program) return 0;
  char buffer[256];
  std::memset(buffer, 1, sizeof buffer);
  program->system().hooks.GetClassNameA(window, buffer, 255);
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
  Program* program = FlashHook::Current();
  if (!program) return 0;
  switch (message) {
    case WM_RBUTTONDOWN: program->MainWindow().PopupMenu("Bindera"); return 0;
    case WM_RBUTTONUP: return 0;
    default: return program->system().hooks.CallWindowProcA(oldWndProc, window, message, wParam, lParam);
  }
}

void FlashHook::Install() {
  g_current = this;
  flashWnd = 0;  // found at most once a start
  WindowHooks& hooks = program_.system().hooks;
  hooks.EnumChildWindows(program_.MainWindow().Handle(), &FlashChildFinder, 0);
  if (flashWnd != 0)
    oldWndProc = hooks.SetWindowLongA(flashWnd, GWL_WNDPROC, reinterpret_cast<std::intptr_t>(&FlashWndProc));
}

}  // namespace shell
