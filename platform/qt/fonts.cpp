#include "platform/qt/fonts.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QTimer>
#include <QWidget>
#include <atomic>

#include "player/background.h"

namespace qtdesk {

namespace {

std::atomic<bool> g_fontsReady{false};

// Sees the first paint of any widget go by.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> after) : after_(std::move(after)) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && after_) {
      // After this paint is done, not inside it.
      QTimer::singleShot(0, this, std::move(after_));
      after_ = nullptr;
    }
    return false;
  }

 private:
  std::function<void()> after_;
};

}  // namespace

bool FontsReady() { return g_fontsReady.load(); }

void FontReader::Start() {
  if (g_fontsReady || thread_.joinable()) return;
  thread_ = std::thread([] {
    player::WorkInBackground();
    QFontDatabase::families();  // thread-safe; fills the database once
    g_fontsReady = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
          for (QWidget* w : QApplication::allWidgets())
            if (w->property("needsFonts").toBool()) w->update();
        },
        Qt::QueuedConnection);
  });
}

FontReader::~FontReader() {
  if (thread_.joinable()) thread_.join();
}

FirstPaintHook::FirstPaintHook()
    : filter_(std::make_unique<FirstPaint>([this] {
        qApp->removeEventFilter(filter_.get());
        for (auto& work : work_) work();
        work_.clear();
      })) {
  qApp->installEventFilter(filter_.get());
}

FirstPaintHook::~FirstPaintHook() = default;

void FirstPaintHook::Add(std::function<void()> work) { work_.push_back(std::move(work)); }

}  // namespace qtdesk
