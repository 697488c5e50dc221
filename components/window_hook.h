#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

namespace components {

// Window handles and the calls that find and subclass a child window.
using HWND = std::uintptr_t;
using LRESULT = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
// A window procedure's address (64 bits here, so an address always fits).
using WNDPROC = LRESULT (*)(HWND, std::uint32_t, WPARAM, LPARAM);
using ENUMPROC = std::int32_t (*)(HWND, LPARAM);

inline constexpr int GWL_WNDPROC = -4;

inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;

class WindowHooks {
 public:
  virtual ~WindowHooks() = default;

  // Calls callback for every descendant of parent, depth first, until it
  // returns 0.
  virtual std::int32_t EnumChildWindows(HWND parent, ENUMPROC callback, LPARAM extra) = 0;
  // Copies at most maxCount - 1 characters and a zero; returns the count copied.
  virtual int GetClassNameA(HWND window, char* buffer, int maxCount) = 0;
  // index GWL_WNDPROC: installs a new procedure, returns the previous one.
  virtual std::intptr_t SetWindowLongA(HWND window, int index, std::intptr_t newLong) = 0;
  virtual LRESULT CallWindowProcA(std::intptr_t previous, HWND window, std::uint32_t message, WPARAM wParam,
                                  LPARAM lParam) = 0;
};

// GetClassNameA's copy, for every platform: at most maxCount - 1
// characters and a zero; the count copied.
inline int CopyClassName(const std::string& name, char* buffer, int maxCount) {
  if (maxCount <= 0) return 0;
  int n = static_cast<int>(std::min(name.size(), static_cast<std::size_t>(maxCount - 1)));
  std::memcpy(buffer, name.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

}  // namespace components
