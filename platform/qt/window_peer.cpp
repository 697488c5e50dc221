#include "platform/qt/window_peer.h"

#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "platform/qt/browser_control.h"
#include "platform/qt/conversions.h"
#include "platform/qt/player_control.h"
#include "platform/qt/popup_anchor.h"
#include "platform/qt/progress_bar_control.h"
#include "platform/qt/toolbar_control.h"
#include "platform/qt/transfer_control.h"

namespace qtdesk {

using namespace components;

// The top-level widget of a window: tells the window model what happens.
class WindowWidget : public QWidget {
 public:
  WindowWidget(WindowWidgets& windows, Window& w) : QWidget(nullptr), windows_(windows), w_(&w) {
    windows_.Add(this);
  }
  ~WindowWidget() override { windows_.Remove(this); }
  // The window's peer is gone: nothing is told any more.
  void Detach() { w_ = nullptr; }
  // Set before the window is first shown: where its frame goes once the
  // window manager has said how large the frame is.
  std::optional<QPoint> centreFrameOn;
  // Or where its client area goes (the frame then lies around it).
  std::optional<QPoint> clientAt;
  // Whether the platform has resized it since this was last cleared.
  bool resized = false;

 protected:
  void closeEvent(QCloseEvent* e) override {
    // The window model decides: it hides or destroys this widget itself.
    e->ignore();
    if (w_) w_->UserClose();
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    resized = true;
    if (w_) w_->FireResize();
  }
  void moveEvent(QMoveEvent* e) override {
    QWidget::moveEvent(e);
    // The frame arrives after the window is mapped: centre it as a whole.
    QSize frame = frameGeometry().size() - geometry().size();
    if (centreFrameOn && !frame.isEmpty()) {
      QPoint centre = *centreFrameOn;
      centreFrameOn.reset();
      move(centre - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    if (clientAt && !frame.isEmpty()) {
      QPoint at = *clientAt;
      clientAt.reset();
      move(at - (geometry().topLeft() - frameGeometry().topLeft()));
    }
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && w_) w_->FireResize();
  }

 private:
  WindowWidgets& windows_;
  Window* w_;
};

WindowPeer::WindowPeer(components::Desktop& desktop, WindowWidgets& windows, Window& window,
                       PlayerServices players)
    : desktop_(desktop),
      window_(window),
      players_(players),
      widget_(new WindowWidget(windows, window)),
      controls_(window, widget_) {
  const WindowDesign& design = window.design();
  widget_->setObjectName(ToQString(design.name));
  widget_->setWindowTitle(ToQString(design.caption));
  // Only the frame buttons the design has (a window manager would add the rest).
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (design.border == BorderStyle::FixedDialog)
    flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (design.minButton) flags |= Qt::WindowMinimizeButtonHint;
  if (design.maxButton) flags |= Qt::WindowMaximizeButtonHint;
  if (!design.showInTaskbar) flags |= Qt::Tool;
  widget_->setWindowFlags(flags);
  widget_->resize(Px(design.clientWidth), Px(design.clientHeight));
  if (design.border != BorderStyle::Sizable) widget_->setFixedSize(widget_->size());
  // What a player leaves uncovered looks like the stage around the book.
  for (const auto& c : design.controls)
    if (c.kind == ControlKind::Player) {
      QPalette p = widget_->palette();
      p.setColor(QPalette::Window, QColor::fromRgb(kBackdropRgb));
      widget_->setPalette(p);
      widget_->setAutoFillBackground(true);
    }
}

WindowPeer::~WindowPeer() {
  if (loop_) loop_->quit();
  // Later: this may run inside one of the widget's own events (its close
  // box) or popups.
  if (widget_) {
    widget_->Detach();
    widget_->hide();
    widget_->deleteLater();
  }
}

void WindowPeer::Show(components::WindowPeer* owner, bool modal) {
  if (!widget_) return;
  QWidget* ownerWidget = owner ? static_cast<WindowPeer*>(owner)->widget_.data() : nullptr;
  if (ownerWidget && widget_->parentWidget() != ownerWidget) {
    // Transient for its owner: above it, and minimised with it.
    widget_->setParent(ownerWidget, widget_->windowFlags());
  }
  if (!placed_) {
    placed_ = true;
    PlaceWindow(ownerWidget);
  }
  widget_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
  controls_.FocusFirst();
}

// Where the design places the window; its frame is centred once known.
void WindowPeer::PlaceWindow(QWidget* ownerWidget) {
  const WindowDesign& design = window_.design();
  QRect area = (ownerWidget ? ownerWidget->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  QPoint centre = area.center();
  switch (design.startPosition) {
    case StartPosition::Manual:
      widget_->move(Px(design.left), Px(design.top));
      widget_->clientAt = QPoint(Px(design.left), Px(design.top));
      return;
    case StartPosition::CenterOwner:
      if (ownerWidget) centre = ownerWidget->frameGeometry().center();
      break;
    case StartPosition::CenterScreen: break;
  }
  QSize size = widget_->frameGeometry().size();
  widget_->move(centre - QPoint(size.width() / 2, size.height() / 2));
  widget_->centreFrameOn = centre;
}

void WindowPeer::RunModal() {
  if (endRequested_) {
    endRequested_ = false;
    return;
  }
  QEventLoop loop;
  loop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  loop_ = nullptr;
  endRequested_ = false;
}

void WindowPeer::EndModal() {
  if (loop_) {
    loop_->quit();
  } else {
    endRequested_ = true;
  }
}

void WindowPeer::Hide() {
  if (widget_) {
    widget_->hide();
    widget_->setWindowModality(Qt::NonModal);
  }
}

WindowState WindowPeer::State() const {
  if (!widget_) return WindowState::Normal;
  Qt::WindowStates s = widget_->windowState();
  if (s & Qt::WindowMinimized) return WindowState::Minimized;
  if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
  return WindowState::Normal;
}

void WindowPeer::SetState(WindowState state) {
  if (!widget_) return;
  bool wasMaximized = State() == WindowState::Maximized;
  Qt::WindowStates s = widget_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == WindowState::Minimized) s |= Qt::WindowMinimized;
  if (state == WindowState::Maximized) s |= Qt::WindowMaximized;
  // The platform applies a new size later; until then the old one reads.
  if (widget_->isVisible() && wasMaximized != (state == WindowState::Maximized) &&
      state != WindowState::Minimized) {
    widget_->resized = false;
    pendingSince_.start();
    // Wakes the wait should the platform never resize (it may refuse).
    QTimer::singleShot(kStateWaitMs + 1, widget_, [] {});
  }
  widget_->setWindowState(s);
}

bool WindowPeer::StatePending() const {
  return widget_ && pendingSince_.isValid() && !widget_->resized && !pendingSince_.hasExpired(kStateWaitMs);
}

Twips WindowPeer::OuterWidth() const { return widget_ ? FromPx(widget_->width()) + Frame().width : 0; }
Twips WindowPeer::OuterHeight() const { return widget_ ? FromPx(widget_->height()) + Frame().height : 0; }

void WindowPeer::SetOuterSize(Twips width, Twips height) {
  if (!widget_) return;
  FrameExtent f = Frame();
  QSize size(std::max(1, Px(width - f.width)), std::max(1, Px(height - f.height)));
  if (size != widget_->size()) widget_->resize(size);
}

void WindowPeer::SetCaption(const std::string& caption) {
  if (widget_) widget_->setWindowTitle(ToQString(caption));
}

void WindowPeer::PopupMenu(const std::string& name) {
  const MenuDesign* design = FindMenu(window_.design().menus, name);
  if (!design || !widget_) return;
  QMenu menu(widget_);
  std::map<QAction*, std::string> items;
  BuildMenu(menu, *design, items);
  QAction* chosen = menu.exec(PopupAnchor::Now().value_or(QCursor::pos()));
  if (chosen && items.count(chosen)) window_.FireMenu(items[chosen]);
}

void WindowPeer::BuildMenu(QMenu& menu, const MenuDesign& design, std::map<QAction*, std::string>& items) {
  for (const auto& item : design.items) {
    if (!item.visible) continue;
    if (item.items.empty()) {
      QAction* a = menu.addAction(ToQString(item.caption));
      a->setObjectName(ToQString(item.name));
      items[a] = item.name;
    } else {
      QMenu* sub = menu.addMenu(ToQString(item.caption));
      sub->setObjectName(ToQString(item.name));
      BuildMenu(*sub, item, items);
    }
  }
}

HWND WindowPeer::Handle() const { return reinterpret_cast<HWND>(widget_.data()); }

std::unique_ptr<MoviePlayer> WindowPeer::CreatePlayer(const ControlDesign& d) {
  return std::make_unique<Player>(desktop_, players_, widget_, d);
}
std::unique_ptr<components::Toolbar> WindowPeer::CreateToolbar(const ControlDesign& d) {
  return std::make_unique<Toolbar>(desktop_, widget_, d);
}
std::unique_ptr<components::Transfer> WindowPeer::CreateTransfer(const ControlDesign&) {
  return std::make_unique<Transfer>(desktop_);
}
std::unique_ptr<components::ProgressBar> WindowPeer::CreateProgressBar(const ControlDesign& d) {
  return std::make_unique<ProgressBar>(widget_, d);
}
std::unique_ptr<WebBrowser> WindowPeer::CreateBrowser(const ControlDesign& d) {
  return std::make_unique<Browser>(widget_, d);
}

}  // namespace qtdesk
