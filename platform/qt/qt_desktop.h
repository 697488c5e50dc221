#pragma once

#include <atomic>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "components/desktop.h"
#include "components/window.h"
#include "components/window_hook.h"

class QWidget;

namespace qtdesk {

// Twips to logical pixels: 15 twips a pixel at 96 DPI; Qt scales logical
// pixels to the screen.
int Px(components::Twips twips);
components::Twips FromPx(int pixels);

class WindowWidget;
class PictureStore;
}  // namespace qtdesk
class QObject;
namespace player {
class LocalStorage;
class ReadAhead;
}  // namespace player
namespace qtdesk {

// The real desktop on Qt Widgets.
class Desktop : public components::Desktop {
 public:
  Desktop();
  ~Desktop() override;

  std::unique_ptr<components::WindowPeer> CreatePeer(components::Window& window) override;
  components::Answer MsgBox(const components::MessageBox& box) override;
  void DoEvents() override;
  void WaitForEvents() override;
  [[noreturn]] void End(int exitCode) override;
  void Quit(int exitCode) override;

  // The top-level widget of a window handle, or null.
  QWidget* WidgetOf(components::HWND handle) const;
  void Register(QWidget* w) { widgets_.insert(w); }
  void Unregister(QWidget* w) { widgets_.erase(w); }

  // Whether the system's fonts have been read. Reading them is the slowest
  // part of a first paint, so it runs beside the start-up; what needs text
  // draws it once they are in.
  static bool FontsReady();
  // Reads the fonts now, on their thread, rather than after the first paint.
  void StartFonts();
  // Work that can wait until the first window has been drawn.
  void AfterFirstPaint(std::function<void()> fn) { afterFirstPaint_.push_back(std::move(fn)); }
  // Qt's own texts (standard buttons, context menus) in Traditional Chinese.
  static void UseTranslations();
  // Where a window's design names no font.
  static constexpr const char* kInterfaceFont = "WenQuanYi Micro Hei";
  static constexpr double kInterfacePoints = 9;

  // Where players keep their lists; none: they keep nothing.
  void SetPlayerStorage(player::LocalStorage* storage) { storage_ = storage; }
  player::LocalStorage* playerStorage() const { return storage_; }
  // A movie the program read ahead, for the players made here to take.
  void SetReadAhead(player::ReadAhead* ahead) { readAhead_ = ahead; }
  player::ReadAhead* readAhead() const { return readAhead_; }
  // Where the players made here keep pictures decoded ahead between starts.
  void SetPictureStore(const PictureStore* store) { pictureStore_ = store; }
  const PictureStore* pictureStore() const { return pictureStore_; }

 protected:
  void PostEvent(std::function<void()> fn) override;
  void PostDelayedEvent(int milliseconds, std::function<void()> fn) override;

 private:
  std::unique_ptr<QObject> events_;  // what is posted goes with it
  std::set<QWidget*> widgets_;
  std::thread fonts_;
  std::unique_ptr<QObject> firstPaint_;
  std::vector<std::function<void()>> afterFirstPaint_;
  player::LocalStorage* storage_ = nullptr;
  player::ReadAhead* readAhead_ = nullptr;
  const PictureStore* pictureStore_ = nullptr;
};

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
