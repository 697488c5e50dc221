#include "platform/qt/qt_components.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <map>
#include <optional>

#include "components/errors.h"
#include "platform/qt/modules.h"
#include "platform/qt/popup_anchor.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_player.h"

namespace qtdesk {

using namespace components;

void Place(QWidget* w, const ControlDesign& d) {
  w->setGeometry(Px(d.left), Px(d.top), Px(d.width), Px(d.height));
  w->setEnabled(d.enabled);
  w->setVisible(d.visible);
}

// ---- Player -------------------------------------------------------------

Player::Player(components::Desktop& desktop, player::LocalStorage* storage, player::ReadAhead* ahead,
               const PictureStore* store, QWidget* parent, const ControlDesign& design)
    : book_(std::make_unique<player::BookPlayer>(desktop, storage)),
      widget_(new PlayerWidget(parent, *book_)),
      width_(design.width),
      height_(design.height) {
  Place(widget_, design);
  widget_->cache().UseStore(store);
  if (ahead) {
    book_->UseReadAhead(ahead);
    widget_->ExpectCover(*ahead);
  }
  book_->OnChanged([this](player::Changes changes) {
    if (widget_) widget_->PlayerChanged(changes);
  });
  book_->OnOpenUrl(
      [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); });
  // The movie's commands reach the host through this control's event.
  book_->OnFSCommand([this](const std::string& c, const std::string& a) { RaiseFSCommand(c, a); });
}

Player::~Player() {
  book_->OnChanged(nullptr);
  book_->OnFSCommand(nullptr);
  // The widget may be inside one of its own events now (the right click
  // that closed the book): it goes later, and the book it draws with it.
  if (widget_) {
    widget_->hide();
    widget_->Adopt(std::move(book_));
    widget_->deleteLater();
  }
}

void Player::Movie(const std::string& path) { book_->Movie(path); }
void Player::SetVariable(const std::string& n, const std::string& v) { book_->SetVariable(n, v); }
std::string Player::GetVariable(const std::string& n) { return book_->GetVariable(n); }
void Player::TCallLabel(const std::string& t, const std::string& l) { book_->TCallLabel(t, l); }
std::string Player::TGetProperty(const std::string& t, int i) { return book_->TGetProperty(t, i); }
void Player::Width(Twips width) {
  width_ = width;
  book_->Width(width);
  if (widget_) widget_->resize(Px(width_), Px(height_));
}
void Player::Height(Twips height) {
  height_ = height;
  book_->Height(height);
  if (widget_) widget_->resize(Px(width_), Px(height_));
}

// ---- Toolbar ------------------------------------------------------------

namespace {
// The bar paints its own grey: asking for a palette at start-up would
// resolve the application's palette and fonts before the first paint.
class Bar : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void()> onShow;

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(192, 192, 192)); }
  void showEvent(QShowEvent* e) override {
    if (onShow) onShow();
    QWidget::showEvent(e);
  }
};

// The button object: its state is kept here, so it can be set before the
// bar has built its buttons.
class ButtonObject : public components::ToolbarButton {
 public:
  explicit ButtonObject(bool enabled) : enabled_(enabled) {}
  void SetProperty(const std::string& name, bool value) override {
    if (name != "Enabled") throw ComponentError("toolbar button has no property " + name);
    enabled_ = value;
    if (button_) button_->setEnabled(value);
  }
  bool enabled() const { return enabled_; }
  void Attach(QToolButton* b) {
    button_ = b;
    b->setEnabled(enabled_);
  }

 private:
  bool enabled_;
  QPointer<QToolButton> button_;
};
}  // namespace

Toolbar::Toolbar(components::Desktop& desktop, QWidget* parent, const ControlDesign& design)
    : desktop_(desktop), design_(design.toolbar) {
  auto* bar = new Bar(parent);
  bar->setObjectName(QString::fromStdString(design.name));
  for (const auto& b : design_.buttons) {
    buttonVisible_.push_back(b.visible);
    objects_.push_back(std::make_unique<ButtonObject>(b.enabled));
  }
  widget_ = bar;
  bar->onShow = [this] { Build(); };
  Place(bar, design);
}

bool Toolbar::Clickable(int button) const {
  size_t i = static_cast<size_t>(button - 1);
  return widget_ && widget_->isVisible() && buttonVisible_[i] &&
         static_cast<const ButtonObject*>(objects_[i].get())->enabled();
}

namespace {

// The buttons' pictures, drawn as vector images.
QIcon ToolbarIcon(const std::string& key) {
  QPixmap pm(50, 50);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0x1f, 0x3a, 0x5a), accent(0xc0, 0x5a, 0x20);
  p.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  auto page = [&](QRectF r) {
    p.setBrush(QColor(0xfb, 0xf8, 0xf0));
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
  };
  auto speaker = [&] {
    QPolygonF s;
    s << QPointF(8, 19) << QPointF(16, 19) << QPointF(26, 10) << QPointF(26, 40) << QPointF(16, 31)
      << QPointF(8, 31);
    p.setBrush(ink);
    p.drawPolygon(s);
    p.setBrush(Qt::NoBrush);
  };
  auto lines = [&] {
    page(QRectF(9, 6, 32, 38));
    p.setPen(QPen(accent, 3));
    for (int y = 16; y <= 36; y += 7) p.drawLine(13, y, 37, y);
    p.setPen(QPen(ink, 3.5));
  };
  auto magnifier = [&](bool plus) {
    p.drawEllipse(QRectF(7, 7, 26, 26));
    p.drawLine(QPointF(29, 29), QPointF(43, 43));
    p.drawLine(QPointF(13, 20), QPointF(27, 20));
    if (plus) p.drawLine(QPointF(20, 13), QPointF(20, 27));
  };
  if (key == "Index") {
    page(QRectF(9, 6, 32, 38));
    for (int y = 15; y <= 35; y += 10) {
      p.drawPoint(QPointF(15, y));
      p.drawLine(QPointF(21, y), QPointF(35, y));
    }
  } else if (key == "player") {
    p.setBrush(ink);
    QPolygonF t;
    t << QPointF(15, 9) << QPointF(15, 41) << QPointF(40, 25);
    p.drawPolygon(t);
  } else if (key == "zoomIn") {
    magnifier(true);
  } else if (key == "zoomOut") {
    magnifier(false);
  } else if (key == "singlePage") {
    page(QRectF(13, 6, 24, 38));
  } else if (key == "doublePage") {
    page(QRectF(4, 8, 21, 34));
    page(QRectF(25, 8, 21, 34));
  } else if (key == "Note") {
    p.setBrush(QColor(0xff, 0xd8, 0x40));
    QPolygonF n;
    n << QPointF(8, 7) << QPointF(42, 7) << QPointF(42, 33) << QPointF(32, 43) << QPointF(8, 43);
    p.drawPolygon(n);
    for (int y = 16; y <= 30; y += 7) p.drawLine(14, y, 36, y);
  } else if (key == "bookmark") {
    p.setBrush(accent);
    QPolygonF b;
    b << QPointF(14, 5) << QPointF(36, 5) << QPointF(36, 45) << QPointF(25, 35) << QPointF(14, 45);
    p.drawPolygon(b);
  } else if (key == "mute") {
    speaker();
    p.setPen(QPen(accent, 3.5));
    p.drawLine(31, 18, 43, 32);
    p.drawLine(43, 18, 31, 32);
  } else if (key == "soundOn") {
    speaker();
    p.drawArc(QRectF(24, 15, 12, 20), -60 * 16, 120 * 16);
    p.drawArc(QRectF(24, 9, 20, 32), -60 * 16, 120 * 16);
  } else if (key == "transfer") {
    p.drawLine(8, 17, 40, 17);
    p.drawLine(32, 9, 40, 17);
    p.drawLine(42, 33, 10, 33);
    p.drawLine(18, 41, 10, 33);
  } else if (key == "regionLine") {
    lines();
  } else if (key == "regionLine2") {
    lines();
    p.setPen(QPen(accent, 3.5));
    p.drawLine(6, 44, 44, 6);
  } else if (key == "Discuss") {
    p.setBrush(QColor(0xdd, 0xea, 0xf6));
    p.drawRoundedRect(QRectF(5, 8, 40, 26), 8, 8);
    QPolygonF tail;
    tail << QPointF(14, 33) << QPointF(12, 44) << QPointF(24, 33);
    p.drawPolygon(tail);
  } else if (key == "Help") {
    p.drawEllipse(QRectF(6, 6, 38, 38));
    QFont f("DejaVu Sans");
    f.setPixelSize(28);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(6, 6, 38, 38), Qt::AlignCenter, "?");
  } else if (key == "Buy") {
    p.drawLine(QPointF(5, 9), QPointF(12, 9));
    p.drawLine(QPointF(12, 9), QPointF(18, 32));
    p.drawLine(QPointF(18, 32), QPointF(40, 32));
    p.drawLine(QPointF(15, 16), QPointF(44, 16));
    p.drawLine(QPointF(44, 16), QPointF(40, 32));
    p.drawEllipse(QPointF(20, 40), 3, 3);
    p.drawEllipse(QPointF(37, 40), 3, 3);
  }
  p.end();
  return QIcon(pm);
}

}  // namespace

// The buttons are made when the bar first appears on screen: laying them
// out needs the fonts and the style, which a hidden bar should not cost at
// start-up.
void Toolbar::Build() {
  if (!widget_ || !buttons_.empty()) return;
  auto* layout = new QHBoxLayout(widget_);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(1);
  for (size_t i = 0; i < design_.buttons.size(); ++i) {
    const auto& b = design_.buttons[i];
    auto* button = new QToolButton(widget_);
    button->setObjectName(QString::fromStdString(b.key));
    button->setText(QString::fromStdString(b.toolTip));
    button->setIcon(ToolbarIcon(b.key));
    button->setIconSize(QSize(25, 25));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QString tip = QString::fromStdString(b.toolTip);
    if (!b.shortcut.empty()) tip += " (" + QString::fromStdString(b.shortcut) + ")";
    button->setToolTip(tip);
    button->setVisible(buttonVisible_[i]);
    button->setAutoRaise(true);
    static_cast<ButtonObject*>(objects_[i].get())->Attach(button);
    int number = static_cast<int>(i) + 1;
    QObject::connect(button, &QToolButton::clicked, widget_, [this, number] { Clicked(number); });
    layout->addWidget(button);
    buttons_.emplace_back(button);
  }
  layout->addStretch();
  // Shortcuts act only while the bar is shown, so they are made with it.
  // One shortcut per key; it clicks whichever button with that key can be
  // clicked now, and nothing while the bar or the buttons are hidden.
  std::map<std::string, std::vector<int>> byKey;
  for (size_t i = 0; i < design_.buttons.size(); ++i)
    if (!design_.buttons[i].shortcut.empty())
      byKey[design_.buttons[i].shortcut].push_back(static_cast<int>(i) + 1);
  for (auto& [keys, numbers] : byKey) {
    auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(keys)), widget_->parentWidget());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, widget_, [this, numbers = numbers] {
      for (int n : numbers)
        if (Clickable(n)) {
          // A menu it opens drops down from the button, not at the mouse.
          QToolButton* b = At(n);
          std::optional<PopupAnchor> anchor;
          if (b) anchor.emplace(b->mapToGlobal(QPoint(0, b->height())));
          return Clicked(n);
        }
    });
  }
}

Toolbar::~Toolbar() {
  // Later: a click or shortcut of its own may be what is ending it.
  if (widget_) {
    widget_->hide();
    widget_->deleteLater();
  }
}

QWidget* Toolbar::widget() { return widget_; }

void Toolbar::Check(int button) const {
  if (button < 1 || button > static_cast<int>(design_.buttons.size()))
    throw ComponentError("toolbar has no button " + std::to_string(button));
}

QToolButton* Toolbar::At(int button) {
  Check(button);
  return buttons_.empty() ? nullptr : buttons_[static_cast<size_t>(button - 1)].data();
}

void Toolbar::Visible(bool visible) {
  if (widget_) widget_->setVisible(visible);  // built when first really shown
}
void Toolbar::Height(Twips height) {
  if (widget_) widget_->resize(widget_->width(), Px(height));
}
void Toolbar::ButtonVisible(int button, bool visible) {
  Check(button);
  buttonVisible_[static_cast<size_t>(button - 1)] = visible;
  if (QToolButton* b = At(button)) b->setVisible(visible);
}
components::ToolbarButton& Toolbar::Button(int button) {
  Check(button);
  return *objects_[static_cast<size_t>(button - 1)];
}
void Toolbar::ButtonRefresh(int button) {
  if (QToolButton* b = At(button)) b->update();
}
void Toolbar::Refresh() {
  if (widget_) widget_->update();
}
void Toolbar::Clicked(int button) {
  Check(button);
  std::string key = design_.buttons[static_cast<size_t>(button - 1)].key;
  desktop_.RunHandler([&] { RaiseButtonClick(0, key); });
}

// ---- Transfer -----------------------------------------------------------

Transfer::Transfer(components::Desktop& desktop) : desktop_(desktop) {}

Transfer::~Transfer() {
  if (backend_) backend_->Abort();
}

void Transfer::Execute(const std::string& url, const std::string& operation) {
  if (executing_) throw ComponentError("Still executing last request");
  QUrl target(QString::fromStdString(url));
  if (!target.isValid() || target.scheme() != "http") throw ComponentError("URL is malformed: " + url);
  std::string verb = operation.substr(0, operation.find(' '));
  if (verb != "HEAD" && verb != "GET") throw ComponentError("operation not supported: " + operation);
  if (!backend_) {
    using Create = TransferBackend* (*)();
    auto create =
        ResolveModule<Create>("libreader_transfer.so", READER_TRANSFER_MODULE, "reader_transfer_create");
    if (!create) throw ComponentError("the HTTP module libreader_transfer.so is missing beside the program");
    backend_.reset(create());
  }
  body_.clear();
  read_ = 0;
  executing_ = true;
  const int generation = ++generation_;
  TransferBackend::Events events;
  events.headers = [this, generation] {
    if (generation == generation_) Report(kConnected);
  };
  events.data = [this, generation](const QByteArray& bytes) {
    if (generation == generation_) body_ += bytes;
  };
  events.finished = [this, generation](bool failed, bool cancelled) {
    if (generation != generation_) return;
    executing_ = false;
    if (cancelled) return;
    Report(failed ? kError : kResponseCompleted);
  };
  backend_->Start(target, verb == "HEAD", std::move(events));
}

void Transfer::Report(int state) {
  desktop_.RunHandler([&] { RaiseStateChanged(state); });
}

bool Transfer::StillExecuting() { return executing_; }

std::string Transfer::GetHeader(const std::string& name) {
  if (!backend_) return "";
  return backend_->Header(QByteArray::fromStdString(name)).toStdString();
}

std::vector<std::uint8_t> Transfer::GetChunk(int size, int) {
  qsizetype n = std::min<qsizetype>(std::max(size, 0), body_.size() - read_);
  std::vector<std::uint8_t> out(body_.begin() + read_, body_.begin() + read_ + n);
  read_ += n;
  return out;
}

void Transfer::Cancel() {
  ++generation_;
  if (backend_) backend_->Abort();
  executing_ = false;
  read_ = body_.size();
}

// ---- Progress bar, browser ----------------------------------------------

ProgressBar::ProgressBar(QWidget* parent, const ControlDesign& design) : bar_(new QProgressBar(parent)) {
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  Place(bar_, design);
}
void ProgressBar::SetRange(double min, double max) {
  if (bar_) bar_->setRange(static_cast<int>(min), static_cast<int>(max));
}
void ProgressBar::SetValue(double value) {
  value_ = value;
  if (bar_) bar_->setValue(static_cast<int>(value));
}

Browser::Browser(QWidget* parent, const ControlDesign& design) : view_(new QTextBrowser(parent)) {
  view_->setOpenExternalLinks(true);
  Place(view_, design);
}

void Browser::Navigate(const std::string& path) {
  if (!view_) return;
  QString file = QString::fromStdString(path);
  if (!QFileInfo(file).isFile()) {
    view_->setHtml(QString::fromUtf8("<h3>找不到網頁</h3><p>%1</p>").arg(file.toHtmlEscaped()));
    return;
  }
  view_->setSource(QUrl::fromLocalFile(file));
}

}  // namespace qtdesk
