#include "platform/qt/window_peer.h"

#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "platform/qt/browser_control.h"
#include "platform/qt/conversions.h"
#include "platform/qt/event_hold.h"
#include "platform/qt/player_control.h"
#include "platform/qt/popup_anchor.h"
#include "platform/qt/progress_bar_control.h"
#include "platform/qt/runtime_choice.h"
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
  // What the close box does.
  void Close() {
    if (w_) w_->UserClose();
  }
  // Set before the window is first shown: where its frame goes once the
  // window manager has said how large the frame is.
  std::optional<QPoint> centreFrameOn;
  // Or where its client area goes (the frame then lies around it).
  std::optional<QPoint> clientAt;
  // A change between maximised and not, from the program or the window
  // manager, is under way until the platform's new size comes in (or a
  // moment has passed: it may never come). Sizing the window meanwhile
  // races the window manager, which then loses where the window was: a
  // size asked for then waits until the change is in.
  static constexpr int kStateWaitMs = 500;
  void StateChangeBegins() {
    resized = false;
    stateChangeSince_.start();
    // Wakes a wait should the platform never resize (it may refuse), and
    // applies a size asked for meanwhile.
    QTimer::singleShot(kStateWaitMs + 1, this, [this] { ApplyDeferredSize(); });
  }
  bool StateChanging() const {
    return stateChangeSince_.isValid() && !resized && !stateChangeSince_.hasExpired(kStateWaitMs);
  }
  void Resize(QSize size) {
    if (!StateChanging()) {
      if (size != this->size()) resize(size);
      return;
    }
    // The width and the height are asked for one at a time, each with the
    // other as it is now: only what differs from now is wanted.
    QSize wanted = deferredSize_.value_or(this->size());
    if (size.width() != width()) wanted.setWidth(size.width());
    if (size.height() != height()) wanted.setHeight(size.height());
    deferredSize_ = wanted;
  }

 protected:
  void closeEvent(QCloseEvent* e) override {
    // The window model decides: it hides or destroys this widget itself
    // (after a call that waits for the runtime, if one does).
    e->ignore();
    EventHold::Get().RunOrDefer([self = QPointer<WindowWidget>(this)] {
      if (self) self->Close();
    });
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    resized = true;
    EventHold::Get().RunOrDefer([self = QPointer<WindowWidget>(this)] {
      if (self && self->w_) self->w_->FireResize();
    });
    ApplyDeferredSize();
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
    if (e->type() != QEvent::WindowStateChange) return;
    constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
    auto old = static_cast<QWindowStateChangeEvent*>(e)->oldState();
    if (isVisible() && bool(old & kLarge) != bool(windowState() & kLarge)) StateChangeBegins();
    if (w_) w_->FireResize();
  }

 private:
  void ApplyDeferredSize() {
    if (!deferredSize_ || StateChanging()) return;
    QSize size = *deferredSize_;
    deferredSize_.reset();
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) &&
        size != this->size())
      resize(size);
  }
  QElapsedTimer stateChangeSince_;
  bool resized = false;  // by the platform, since the change began
  std::optional<QSize> deferredSize_;

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
  if (design.closeOnEscape) {
    // Whichever control has the focus: Escape is the close box, and runs
    // exactly what the close box runs.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), widget_, nullptr, nullptr, Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, widget_, [w = widget_.data()] { w->Close(); });
  }
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
      state != WindowState::Minimized)
    widget_->StateChangeBegins();
  widget_->setWindowState(s);
}

bool WindowPeer::StatePending() const { return widget_ && widget_->StateChanging(); }

Twips WindowPeer::OuterWidth() const { return widget_ ? FromPx(widget_->width()) + Frame().width : 0; }
Twips WindowPeer::OuterHeight() const { return widget_ ? FromPx(widget_->height()) + Frame().height : 0; }

void WindowPeer::SetOuterSize(Twips width, Twips height) {
  if (!widget_) return;
  FrameExtent f = Frame();
  widget_->Resize(QSize(std::max(1, Px(width - f.width)), std::max(1, Px(height - f.height))));
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
  if (std::unique_ptr<MoviePlayer> onRuntime = CreateRuntimePlayer(desktop_, players_, widget_, d))
    return onRuntime;
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
