#include "platform/qt/qt_desktop.h"

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontDatabase>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include "components/errors.h"
#include "platform/qt/popup_anchor.h"
#include "platform/qt/qt_components.h"
#include "platform/qt/qt_player.h"
#include "player/background.h"

namespace qtdesk {

using namespace components;

int Px(Twips twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
Twips FromPx(int pixels) { return pixels * kTwipsPerPixel; }

namespace {

QFont FontOf(const FontDesign& f, const QFont& base) {
  QFont font = base;
  // A face the system lacks: the interface's, at the designed size.
  QString family = QString::fromStdString(f.name);
  if (!f.name.empty() && QFontDatabase::hasFamily(family)) font.setFamily(family);
  font.setPointSizeF(f.points);
  font.setBold(f.bold);
  return font;
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

// The top-level widget of a window: tells the window model what happens.
class WindowWidget : public QWidget {
 public:
  WindowWidget(Desktop& d, Window& w) : QWidget(nullptr), d_(d), w_(&w) { d_.Register(this); }
  ~WindowWidget() override { d_.Unregister(this); }
  // The window's peer is gone: nothing is told any more.
  void Detach() { w_ = nullptr; }
  Window* window() const { return w_; }
  // Set before the window is first shown: where its frame goes once the
  // window manager has said how large the frame is.
  std::optional<QPoint> centreFrameOn;

 protected:
  void closeEvent(QCloseEvent* e) override {
    // The window model decides: it hides or destroys this widget itself.
    e->ignore();
    if (w_) w_->UserClose();
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    resized_ = true;
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
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && w_) w_->FireResize();
  }

 public:
  bool resized_ = false;

 private:
  Desktop& d_;
  Window* w_;
};

class Peer : public WindowPeer {
 public:
  Peer(Desktop& d, Window& w) : d_(d), w_(w), widget_(new WindowWidget(d, w)) {
    const WindowDesign& design = w.design();
    widget_->setObjectName(Q(design.name));
    widget_->setWindowTitle(Q(design.caption));
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
  ~Peer() override {
    if (loop_) loop_->quit();
    timers_.clear();
    // Later: this may run inside one of the widget's own events (its close
    // box) or popups.
    if (widget_) {
      widget_->Detach();
      widget_->hide();
      widget_->deleteLater();
    }
  }

  void Show(WindowPeer* owner, bool modal) override {
    if (!widget_) return;
    QWidget* ownerWidget = owner ? static_cast<Peer*>(owner)->widget_.data() : nullptr;
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
    FocusFirst();
  }
  void RunModal() override {
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
  void EndModal() override {
    if (loop_) {
      loop_->quit();
    } else {
      endRequested_ = true;
    }
  }
  void Hide() override {
    if (widget_) {
      widget_->hide();
      widget_->setWindowModality(Qt::NonModal);
    }
  }
  WindowState State() const override {
    if (!widget_) return WindowState::Normal;
    Qt::WindowStates s = widget_->windowState();
    if (s & Qt::WindowMinimized) return WindowState::Minimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
    return WindowState::Normal;
  }
  void SetState(WindowState state) override {
    if (!widget_) return;
    bool wasMaximized = State() == WindowState::Maximized;
    Qt::WindowStates s = widget_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == WindowState::Minimized) s |= Qt::WindowMinimized;
    if (state == WindowState::Maximized) s |= Qt::WindowMaximized;
    // The platform applies a new size later; until then the old one reads.
    if (widget_->isVisible() && wasMaximized != (state == WindowState::Maximized) &&
        state != WindowState::Minimized) {
      widget_->resized_ = false;
      pendingSince_.start();
      // Wakes the wait should the platform never resize (it may refuse).
      QTimer::singleShot(kStateWaitMs + 1, widget_, [] {});
    }
    widget_->setWindowState(s);
  }
  bool StatePending() const override {
    return widget_ && pendingSince_.isValid() && !widget_->resized_ &&
           !pendingSince_.hasExpired(kStateWaitMs);
  }
  // The system sees the classic frame whatever the window manager draws, so
  // that the outer size it sets always gives the designed client area.
  FrameExtent Frame() const { return DefaultFrame(w_.design().border); }
  Twips OuterWidth() const override { return widget_ ? FromPx(widget_->width()) + Frame().width : 0; }
  Twips OuterHeight() const override { return widget_ ? FromPx(widget_->height()) + Frame().height : 0; }
  void SetOuterSize(Twips width, Twips height) override {
    if (!widget_) return;
    FrameExtent f = Frame();
    QSize size(std::max(1, Px(width - f.width)), std::max(1, Px(height - f.height)));
    if (size != widget_->size()) widget_->resize(size);
  }
  void SetCaption(const std::string& caption) override {
    if (widget_) widget_->setWindowTitle(Q(caption));
  }
  void PopupMenu(const std::string& name) override {
    const MenuDesign* design = FindMenu(w_.design().menus, name);
    if (!design || !widget_) return;
    QMenu menu(widget_);
    std::map<QAction*, std::string> items;
    Build(menu, *design, items);
    QAction* chosen = menu.exec(PopupAnchor::Now().value_or(QCursor::pos()));
    if (chosen && items.count(chosen)) w_.FireMenu(items[chosen]);
  }
  HWND Handle() const override { return reinterpret_cast<HWND>(widget_.data()); }

  void ControlCreated(Control& c) override;
  void ControlChanged(Control& c, Property p) override;

  std::unique_ptr<MoviePlayer> CreatePlayer(const ControlDesign& d) override {
    return std::make_unique<Player>(d_, d_.playerStorage(), d_.readAhead(), d_.pictureStore(), widget_, d);
  }
  std::unique_ptr<components::Toolbar> CreateToolbar(const ControlDesign& d) override {
    return std::make_unique<Toolbar>(d_, widget_, d);
  }
  std::unique_ptr<components::Transfer> CreateTransfer(const ControlDesign&) override {
    return std::make_unique<Transfer>(d_);
  }
  std::unique_ptr<components::ProgressBar> CreateProgressBar(const ControlDesign& d) override {
    return std::make_unique<ProgressBar>(widget_, d);
  }
  std::unique_ptr<WebBrowser> CreateBrowser(const ControlDesign& d) override {
    return std::make_unique<Browser>(widget_, d);
  }

 private:
  static constexpr int kStateWaitMs = 500;

  // Where the design places the window; its frame is centred once known.
  void PlaceWindow(QWidget* ownerWidget) {
    const WindowDesign& design = w_.design();
    QRect area =
        (ownerWidget ? ownerWidget->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    QPoint centre = area.center();
    switch (design.startPosition) {
      case StartPosition::Manual: widget_->move(Px(design.left), Px(design.top)); return;
      case StartPosition::CenterOwner:
        if (ownerWidget) centre = ownerWidget->frameGeometry().center();
        break;
      case StartPosition::CenterScreen: break;
    }
    QSize size = widget_->frameGeometry().size();
    widget_->move(centre - QPoint(size.width() / 2, size.height() / 2));
    widget_->centreFrameOn = centre;
  }
  void Build(QMenu& menu, const MenuDesign& design, std::map<QAction*, std::string>& items) {
    for (const auto& item : design.items) {
      if (!item.visible) continue;
      if (item.items.empty()) {
        QAction* a = menu.addAction(Q(item.caption));
        a->setObjectName(Q(item.name));
        items[a] = item.name;
      } else {
        QMenu* sub = menu.addMenu(Q(item.caption));
        sub->setObjectName(Q(item.name));
        Build(*sub, item, items);
      }
    }
  }
  void FocusFirst() {
    for (const auto& name : w_.design().focusOrder) {
      auto it = widgets_.find(name);
      if (it != widgets_.end() && it->second && it->second->isEnabled() && it->second->isVisible()) {
        it->second->setFocus();
        return;
      }
    }
  }
  // Guards against reporting back what code has just set.
  struct Syncing {
    explicit Syncing(bool& b) : b_(b) { b_ = true; }
    ~Syncing() { b_ = false; }
    bool& b_;
  };

  Desktop& d_;
  Window& w_;
  QPointer<WindowWidget> widget_;
  QEventLoop* loop_ = nullptr;
  QElapsedTimer pendingSince_;
  bool endRequested_ = false;
  bool placed_ = false;
  bool syncing_ = false;
  std::map<std::string, QPointer<QWidget>> widgets_;
  std::map<std::string, std::unique_ptr<QTimer>> timers_;
};

void Peer::ControlCreated(Control& c) {
  const ControlDesign& d = c.design();
  QWidget* w = nullptr;
  Control* control = &c;
  Window* window = &w_;
  switch (d.kind) {
    case ControlKind::Label: {
      auto* l = new QLabel(Q(d.caption), widget_);
      l->setTextFormat(Qt::PlainText);
      l->setWordWrap(true);
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      w = l;
      break;
    }
    case ControlKind::TextBox: {
      if (d.multiLine) {
        auto* t = new QPlainTextEdit(Q(d.caption), widget_);
        t->setVerticalScrollBarPolicy(d.scrollBars == ScrollBars::Vertical || d.scrollBars == ScrollBars::Both
                                          ? Qt::ScrollBarAlwaysOn
                                          : Qt::ScrollBarAsNeeded);
        QObject::connect(t, &QPlainTextEdit::textChanged, t, [this, t, control] {
          if (syncing_) return;
          std::string text = S(t->toPlainText());
          control->UserType(text);
          if (control->Text() != text) {  // cut at the limit: show what was kept
            Syncing s(syncing_);
            t->setPlainText(Q(control->Text()));
            t->moveCursor(QTextCursor::End);
          }
        });
        w = t;
      } else {
        // The model keeps the limit, in characters (a QLineEdit's counts
        // UTF-16 units): what it cut is taken back from the box.
        auto* t = new QLineEdit(Q(d.caption), widget_);
        QObject::connect(t, &QLineEdit::textEdited, t, [this, t, control](const QString& text) {
          if (syncing_) return;
          control->UserType(S(text));
          if (control->Text() != S(text)) {
            Syncing s(syncing_);
            int cursor = t->cursorPosition();
            t->setText(Q(control->Text()));
            t->setCursorPosition(std::min(cursor, static_cast<int>(t->text().size())));
          }
        });
        w = t;
      }
      break;
    }
    case ControlKind::Button: {
      auto* b = new QPushButton(Q(d.caption), widget_);
      b->setAutoDefault(false);
      QObject::connect(b, &QPushButton::clicked, b, [window, name = d.name] { window->FireClick(name); });
      w = b;
      break;
    }
    case ControlKind::CheckBox: {
      auto* b = new QCheckBox(Q(d.caption), widget_);
      QObject::connect(b, &QCheckBox::clicked, b, [this, control](bool checked) {
        if (!syncing_) control->SetValue(checked ? 1 : 0);
      });
      w = b;
      break;
    }
    case ControlKind::ListBox: {
      auto* l = new QListWidget(widget_);
      QObject::connect(l, &QListWidget::currentRowChanged, l, [this, control](int row) {
        if (!syncing_ && row >= 0) control->UserSelect(row);
      });
      w = l;
      break;
    }
    case ControlKind::Image: {
      auto* l = new QLabel(widget_);
      l->setScaledContents(d.stretch);
      if (!d.picture.empty()) l->setPixmap(QPixmap(Q(d.picture)));
      w = l;
      break;
    }
    case ControlKind::Timer: {
      auto t = std::make_unique<QTimer>();
      QObject::connect(t.get(), &QTimer::timeout, widget_,
                       [window, name = d.name] { window->FireTimer(name); });
      timers_[d.name] = std::move(t);
      ControlChanged(c, Property::Interval);
      return;
    }
    default: return;  // components draw themselves
  }
  w->setObjectName(Q(d.name));
  if (d.font) {
    w->setFont(FontOf(*d.font, w->font()));
    if (d.font->color) {
      QPalette p = w->palette();
      p.setColor(QPalette::WindowText, QColor::fromRgb(*d.font->color));
      w->setPalette(p);
    }
  }
  Place(w, d);
  widgets_[d.name] = w;
}

void Peer::ControlChanged(Control& c, Property p) {
  Syncing s(syncing_);
  if (c.kind() == ControlKind::Timer) {
    auto it = timers_.find(c.name());
    if (it == timers_.end()) return;
    it->second->stop();
    if (c.Enabled() && c.Interval() > 0) it->second->start(c.Interval());
    return;
  }
  auto it = widgets_.find(c.name());
  if (it == widgets_.end() || !it->second) return;
  QWidget* w = it->second;
  switch (p) {
    case Property::Text:
    case Property::Caption:
      if (auto* l = qobject_cast<QLabel*>(w)) l->setText(Q(c.Text()));
      if (auto* t = qobject_cast<QLineEdit*>(w)) t->setText(Q(c.Text()));
      if (auto* t = qobject_cast<QPlainTextEdit*>(w)) t->setPlainText(Q(c.Text()));
      if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(Q(c.Text()));
      break;
    case Property::Enabled: w->setEnabled(c.Enabled()); break;
    case Property::Visible: w->setVisible(c.Visible()); break;
    case Property::Value:
      if (auto* b = qobject_cast<QCheckBox*>(w)) b->setChecked(c.Value() != 0);
      break;
    case Property::List:
      if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->clear();
        for (const auto& item : c.Items()) l->addItem(Q(item));
        l->setCurrentRow(c.ListIndex());
      }
      break;
    case Property::ListIndex:
      if (auto* l = qobject_cast<QListWidget*>(w)) l->setCurrentRow(c.ListIndex());
      break;
    case Property::Interval: break;
  }
}

namespace {
std::atomic<bool> g_fontsReady{false};
}

bool Desktop::FontsReady() { return g_fontsReady.load(); }

namespace {
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

Desktop::Desktop() : events_(std::make_unique<QObject>()) {
  QApplication::setQuitOnLastWindowClosed(false);
  // The book's language and face, whatever the system's locale.
  QFont font(kInterfaceFont);
  font.setPointSizeF(kInterfacePoints);
  QApplication::setFont(font);
  // Nothing in the first frame is text: the fonts are read, on a thread of
  // their own, once it is up, so they never hold it back.
  firstPaint_ = std::make_unique<FirstPaint>([this] {
    qApp->removeEventFilter(firstPaint_.get());
    StartFonts();
    UseTranslations();
    for (auto& fn : afterFirstPaint_) fn();
    afterFirstPaint_.clear();
  });
  qApp->installEventFilter(firstPaint_.get());
}

void Desktop::UseTranslations() {
  // Standard buttons and Qt's own menus in Traditional Chinese: 是(Y), 否(N), 確定.
  static QTranslator* translator = nullptr;
  if (translator) return;
  translator = new QTranslator(qApp);
  if (translator->load("qtbase_zh_TW", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

void Desktop::StartFonts() {
  if (g_fontsReady || fonts_.joinable()) return;
  fonts_ = std::thread([] {
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

Desktop::~Desktop() {
  events_.reset();  // what is still posted is dropped
  // Windows whose deferred deletion the event loop has not reached.
  while (!widgets_.empty()) delete *widgets_.begin();
  if (fonts_.joinable()) fonts_.join();
}

std::unique_ptr<WindowPeer> Desktop::CreatePeer(Window& window) {
  return std::make_unique<Peer>(*this, window);
}

Answer Desktop::MsgBox(const MessageBox& box) {
  UseTranslations();
  QMessageBox m;
  m.setTextFormat(Qt::PlainText);
  m.setText(Q(box.text));
  m.setWindowTitle(Q(box.caption.empty() ? AppTitle() : box.caption));
  switch (box.icon) {
    case Icon::None: m.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: m.setIcon(QMessageBox::Critical); break;
    case Icon::Question: m.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: m.setIcon(QMessageBox::Warning); break;
    case Icon::Information: m.setIcon(QMessageBox::Information); break;
  }
  std::vector<std::pair<QMessageBox::StandardButton, Answer>> buttons;
  switch (box.buttons) {
    case Buttons::OK: buttons = {{QMessageBox::Ok, Answer::OK}}; break;
    case Buttons::OKCancel:
      buttons = {{QMessageBox::Ok, Answer::OK}, {QMessageBox::Cancel, Answer::Cancel}};
      break;
    case Buttons::YesNo: buttons = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}}; break;
    case Buttons::YesNoCancel:
      buttons = {{QMessageBox::Yes, Answer::Yes},
                 {QMessageBox::No, Answer::No},
                 {QMessageBox::Cancel, Answer::Cancel}};
      break;
    case Buttons::RetryCancel:
      buttons = {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}};
      break;
  }
  QMessageBox::StandardButtons set;
  for (auto& [b, a] : buttons) set |= b;
  m.setStandardButtons(set);
  size_t def = static_cast<size_t>(std::clamp(box.defaultButton, 1, static_cast<int>(buttons.size())) - 1);
  m.setDefaultButton(buttons[def].first);
  m.exec();
  QAbstractButton* clicked = m.clickedButton();
  for (auto& [b, a] : buttons)
    if (m.button(b) == clicked) return a;
  // Closed without a button: the escape answer, as the classic box gives.
  if (box.buttons == Buttons::YesNo) return Answer::No;
  return buttons.back().second;
}

void Desktop::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Desktop::WaitForEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Events are posted to an object of this desktop's: they go with it.
void Desktop::PostEvent(std::function<void()> fn) {
  QMetaObject::invokeMethod(
      events_.get(), [this, fn = std::move(fn)] { RunHandler(fn); }, Qt::QueuedConnection);
}

void Desktop::PostDelayedEvent(int milliseconds, std::function<void()> fn) {
  QTimer::singleShot(std::max(0, milliseconds), events_.get(),
                     [this, fn = std::move(fn)] { RunHandler(fn); });
}

void Desktop::End(int exitCode) {
  std::fflush(nullptr);
  ::_exit(exitCode);
}

void Desktop::Quit(int exitCode) { QCoreApplication::exit(exitCode); }

QWidget* Desktop::WidgetOf(HWND handle) const {
  auto* w = reinterpret_cast<QWidget*>(handle);
  return widgets_.count(w) ? w : nullptr;
}

QWidget* WindowHooks::Find(HWND handle) const {
  auto* target = reinterpret_cast<QWidget*>(handle);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top == target) return top;
    for (QWidget* child : top->findChildren<QWidget*>())
      if (child == target) return child;
  }
  return nullptr;
}

std::int32_t WindowHooks::EnumChildWindows(HWND parent, ENUMPROC callback, LPARAM extra) {
  QWidget* top = desktop_.WidgetOf(parent);
  if (!top) return 0;
  std::function<bool(QWidget*)> walk = [&](QWidget* w) {
    for (QObject* o : w->children()) {
      auto* child = qobject_cast<QWidget*>(o);
      if (!child || child->isWindow()) continue;
      if (!callback(reinterpret_cast<HWND>(child), extra) || !walk(child)) return false;
    }
    return true;
  };
  walk(top);
  return 1;
}

int WindowHooks::GetClassNameA(HWND window, char* buffer, int maxCount) {
  QWidget* w = Find(window);
  if (!w || maxCount <= 0) return 0;
  // A widget may answer the class name of the control it stands for.
  QVariant own = w->property("windowClass");
  std::string name = own.isValid() ? own.toString().toStdString() : w->metaObject()->className();
  int n = std::min(static_cast<int>(name.size()), maxCount - 1);
  std::memcpy(buffer, name.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

namespace {

// The widget's own handling, as a window procedure: calling it lets the
// event that is being filtered reach the widget unchanged.
bool g_passOn = false;
LRESULT WidgetOwnProc(HWND, std::uint32_t, WPARAM, LPARAM) {
  g_passOn = true;
  return 0;
}

// Hands a widget's input to the procedure installed on it, as messages.
class HookFilter : public QObject {
 public:
  HookFilter(QObject* parent, HWND handle) : QObject(parent), handle_(handle) {}
  std::intptr_t proc = 0;

  bool eventFilter(QObject*, QEvent* e) override {
    std::uint32_t message = 0;
    auto button = [e] { return static_cast<QMouseEvent*>(e)->button(); };
    switch (e->type()) {
      case QEvent::MouseButtonPress:
        message = button() == Qt::RightButton  ? WM_RBUTTONDOWN
                  : button() == Qt::LeftButton ? WM_LBUTTONDOWN
                                               : 0;
        break;
      case QEvent::MouseButtonRelease:
        message = button() == Qt::RightButton ? WM_RBUTTONUP : button() == Qt::LeftButton ? WM_LBUTTONUP : 0;
        break;
      case QEvent::MouseButtonDblClick:
        message = button() == Qt::RightButton  ? WM_RBUTTONDBLCLK
                  : button() == Qt::LeftButton ? WM_LBUTTONDBLCLK
                                               : 0;
        break;
      case QEvent::MouseMove: message = WM_MOUSEMOVE; break;
      case QEvent::KeyPress: message = WM_KEYDOWN; break;
      case QEvent::KeyRelease: message = WM_KEYUP; break;
      default: return false;  // not a window message here: the widget has it
    }
    if (message == 0 || proc == 0) return false;
    bool outer = g_passOn;
    g_passOn = false;
    reinterpret_cast<WNDPROC>(proc)(handle_, message, 0, 0);
    bool passed = g_passOn;
    g_passOn = outer;
    return !passed;  // swallowed unless the procedure handed it on
  }

 private:
  HWND handle_;
};

}  // namespace

std::intptr_t WindowHooks::SetWindowLongA(HWND window, int index, std::intptr_t newLong) {
  QWidget* w = Find(window);
  if (!w || index != GWL_WNDPROC || newLong == 0) return 0;
  auto* filter = w->findChild<HookFilter*>(QString(), Qt::FindDirectChildrenOnly);
  std::intptr_t previous = reinterpret_cast<std::intptr_t>(&WidgetOwnProc);
  if (filter) {
    previous = filter->proc;
  } else {
    filter = new HookFilter(w, window);
    w->installEventFilter(filter);
  }
  filter->proc = newLong;
  return previous;
}

LRESULT WindowHooks::CallWindowProcA(std::intptr_t previous, HWND window, std::uint32_t message,
                                     WPARAM wParam, LPARAM lParam) {
  if (previous == 0) return 0;
  return reinterpret_cast<WNDPROC>(previous)(window, message, wParam, lParam);
}

}  // namespace qtdesk
