#include "platform/qt/qt_desktop.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "platform/qt/event_hold.h"
#include "platform/qt/window_peer.h"

namespace qtdesk {

using namespace components;

Desktop::Desktop(PlayerServices players) : events_(std::make_unique<QObject>()), players_(players) {
  QApplication::setQuitOnLastWindowClosed(false);
  EventHold::Get().UsePoster([this](std::function<void()> fn) {
    QMetaObject::invokeMethod(events_.get(), std::move(fn), Qt::QueuedConnection);
  });
  // The book's language and face, whatever the system's locale.
  QFont font(kInterfaceFont);
  font.setPointSizeF(kInterfacePoints);
  QApplication::setFont(font);
  // Nothing in the first frame is text: the fonts are read, on a thread of
  // their own, once it is up, so they never hold it back.
  firstPaint_.Add([this] {
    StartFonts();
    UseTranslations();
  });
}

Desktop::~Desktop() {
  events_.reset();  // what is still posted is dropped
  EventHold::Get().Drop();
  windows_.DeleteAll();
}

std::unique_ptr<components::WindowPeer> Desktop::CreatePeer(Window& window) {
  return std::make_unique<WindowPeer>(*this, windows_, window, players_);
}

void Desktop::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Desktop::WaitForEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Events are posted to an object of this desktop's: they go with it. One
// that comes due while a call waits for the runtime waits too.
void Desktop::PostEvent(std::function<void()> fn) {
  QMetaObject::invokeMethod(
      events_.get(),
      [this, fn = std::move(fn)]() mutable { EventHold::Get().RunOrDefer([this, fn] { RunHandler(fn); }); },
      Qt::QueuedConnection);
}

void Desktop::PostDelayedEvent(int milliseconds, std::function<void()> fn) {
  QTimer::singleShot(std::max(0, milliseconds), events_.get(), [this, fn = std::move(fn)]() mutable {
    EventHold::Get().RunOrDefer([this, fn] { RunHandler(fn); });
  });
}

void Desktop::End(int exitCode) {
  std::fflush(nullptr);
  ::_exit(exitCode);
}

void Desktop::Quit(int exitCode) { QCoreApplication::exit(exitCode); }

}  // namespace qtdesk
