#include "platform/runtime/player_view.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>

#include "platform/runtime/engine.h"

namespace runtime {

namespace {

bool Logging() {
  static const bool on = std::getenv("READER_RUNTIME_LOG") != nullptr;
  return on;
}

bool IsWebPage(const QUrl& url) { return url.scheme() == "http" || url.scheme() == "https"; }

// A window the movie opens: its address goes to the desktop's browser, the
// window itself never opens.
class Popup : public QWebEnginePage {
 public:
  Popup(QWebEngineProfile* profile, QObject* parent, std::function<void(const QString&)> openUrl)
      : QWebEnginePage(profile, parent), openUrl_(std::move(openUrl)) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    if (IsWebPage(url) && openUrl_) openUrl_(url.toString());
    deleteLater();
    return false;
  }

 private:
  std::function<void(const QString&)> openUrl_;
};

// The page: only the player's own page loads in it.
class Page : public QWebEnginePage {
 public:
  Page(QWebEngineProfile* profile, QObject* parent, std::function<void(const QString&)> openUrl)
      : QWebEnginePage(profile, parent), openUrl_(std::move(openUrl)) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (isMainFrame && url == QUrl(Engine::kPage)) return true;
    if (IsWebPage(url)) {
      if (openUrl_) openUrl_(url.toString());
    } else {
      std::fprintf(stderr, "reader: the movie may not go to %s\n", url.toEncoded().left(200).constData());
    }
    return false;
  }
  QWebEnginePage* createWindow(WebWindowType) override { return new Popup(profile(), this, openUrl_); }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                const QString& source) override {
    if (level == ErrorMessageLevel || Logging())
      std::fprintf(stderr, "reader: page: %s (%s:%d)\n", qPrintable(message), qPrintable(source), line);
  }

 private:
  std::function<void(const QString&)> openUrl_;
};

bool IsMouse(QEvent::Type t) {
  return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
         t == QEvent::MouseButtonDblClick || t == QEvent::MouseMove;
}

}  // namespace

PlayerView::PlayerView(QWidget* parent, std::shared_ptr<Engine> engine,
                       std::function<void(const QString&)> openUrl)
    : QWidget(parent), engine_(std::move(engine)) {
  // What the host's window hooks look for.
  setProperty("windowClass", "MacromediaFlashPlayerActiveX");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);  // moves without a button too
  view_ = new QWebEngineView(this);
  page_ = new Page(engine_->profile(), view_, std::move(openUrl));
  QWebEngineSettings* s = page_->settings();
  s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
  s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  s->setAttribute(QWebEngineSettings::ShowScrollBars, false);
  s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, true);
  s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
  page_->setBackgroundColor(QColor(0x30, 0x2e, 0x2a));
  view_->setPage(page_);
  view_->setContextMenuPolicy(Qt::NoContextMenu);
  view_->setAcceptDrops(false);
  view_->setGeometry(rect());
  Guard(view_);
}

PlayerView::~PlayerView() {
  // The page before the view that shows it; both before the engine.
  delete page_;
  delete view_;
}

void PlayerView::Guard(QObject* o) {
  o->installEventFilter(this);
  for (QObject* child : o->children())
    if (child->isWidgetType()) Guard(child);
}

void PlayerView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  view_->setGeometry(rect());
}

// What reaches this widget here is what a hooked procedure passed on.
bool PlayerView::event(QEvent* e) {
  if (IsMouse(e->type()) || e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
    passedOn_ = true;
    return true;
  }
  return QWidget::event(e);
}

bool PlayerView::eventFilter(QObject* watched, QEvent* e) {
  QEvent::Type t = e->type();
  if (t == QEvent::ChildAdded) {
    // The engine's own widget comes with the first page.
    QObject* child = static_cast<QChildEvent*>(e)->child();
    if (child->isWidgetType()) Guard(child);
    return false;
  }
  if (t == QEvent::ContextMenu) return true;
  bool mouse = IsMouse(t);
  if (!mouse && t != QEvent::KeyPress && t != QEvent::KeyRelease) return false;
  // The same event passed up from the engine's widget is not told twice.
  auto* input = static_cast<QInputEvent*>(e);
  if (e == forwarded_.event && t == forwarded_.type && input->timestamp() == forwarded_.time) return true;
  forwarded_ = Forwarded{e, t, input->timestamp()};
  QPointer<PlayerView> self(this);
  passedOn_ = false;
  if (mouse) {
    auto* m = static_cast<QMouseEvent*>(e);
    QMouseEvent copy(t, mapFromGlobal(m->globalPosition()), m->globalPosition(), m->button(), m->buttons(),
                     m->modifiers(), m->pointingDevice());
    QCoreApplication::sendEvent(this, &copy);
  } else {
    auto* k = static_cast<QKeyEvent*>(e);
    QKeyEvent copy(t, k->key(), k->modifiers(), k->nativeScanCode(), k->nativeVirtualKey(),
                   k->nativeModifiers(), k->text(), k->isAutoRepeat(), k->count());
    QCoreApplication::sendEvent(this, &copy);
  }
  if (!self) return true;
  // The right button is the host's alone; and the view itself (before
  // the engine's widget is there) passes nothing up to this widget again.
  if (mouse && (static_cast<QMouseEvent*>(e)->button() == Qt::RightButton ||
                static_cast<QMouseEvent*>(e)->buttons().testFlag(Qt::RightButton)))
    return true;
  if (watched == view_) return true;
  return !passedOn_;
}

}  // namespace runtime
