#pragma once

#include <QEvent>
#include <QWidget>
#include <functional>
#include <memory>

class QWebEngineView;
class QWebEnginePage;

namespace runtime {

class Engine;

// The player's widget: it carries the Flash control's class, holds the web
// view, and sees every mouse event of the view first, from before the first
// movie on. A procedure hooked on it decides whether the movie gets the
// event; the right button never reaches the movie (the host's menu is
// the only one).
class PlayerView : public QWidget {
 public:
  // `openUrl`: where a page the movie opens goes (http and https only).
  PlayerView(QWidget* parent, std::shared_ptr<Engine> engine, std::function<void(const QString&)> openUrl);
  ~PlayerView() override;

  QWebEnginePage* page() const { return page_; }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Guard(QObject* o);

  std::shared_ptr<Engine> engine_;  // goes after the page
  QWebEngineView* view_ = nullptr;
  QWebEnginePage* page_ = nullptr;
  bool passedOn_ = false;
  struct Forwarded {
    const QEvent* event = nullptr;
    QEvent::Type type = QEvent::None;
    quint64 time = 0;
  } forwarded_;
};

}  // namespace runtime
