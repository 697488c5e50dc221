#pragma once

#include <functional>
#include <memory>

#include "components/desktop.h"
#include "components/window.h"
#include "platform/qt/fonts.h"
#include "platform/qt/player_services.h"
#include "platform/qt/window_widgets.h"

class QObject;
class QWidget;

namespace qtdesk {

// The real desktop on Qt Widgets.
class Desktop : public components::Desktop {
 public:
  // `players`: what the players of every window shown here use.
  explicit Desktop(PlayerServices players = {});
  ~Desktop() override;

  std::unique_ptr<components::WindowPeer> CreatePeer(components::Window& window) override;
  components::Answer MsgBox(const components::MessageBox& box) override;
  void DoEvents() override;
  void WaitForEvents() override;
  [[noreturn]] void End(int exitCode) override;
  void Quit(int exitCode) override;

  // The top-level widget of a window handle, or null.
  QWidget* WidgetOf(components::HWND handle) const { return windows_.Find(handle); }

  // Reads the fonts now, on their thread, rather than after the first paint.
  void StartFonts() { fonts_.Start(); }
  // Work that can wait until the first window has been drawn.
  void AfterFirstPaint(std::function<void()> work) { firstPaint_.Add(std::move(work)); }
  // Qt's own texts (standard buttons, context menus) in Traditional Chinese.
  static void UseTranslations();
  // Where a window's design names no font.
  static constexpr const char* kInterfaceFont = "WenQuanYi Micro Hei";
  static constexpr double kInterfacePoints = 9;

 protected:
  void PostEvent(std::function<void()> fn) override;
  void PostDelayedEvent(int milliseconds, std::function<void()> fn) override;

 private:
  std::unique_ptr<QObject> events_;  // what is posted goes with it
  WindowWidgets windows_;
  FontReader fonts_;
  FirstPaintHook firstPaint_;
  PlayerServices players_;
};

}  // namespace qtdesk
