#include "platform/qt/toolbar_control.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QPainter>
#include <QShortcut>
#include <QToolButton>
#include <map>
#include <optional>
#include <string>

#include "components/errors.h"
#include "platform/qt/control_geometry.h"
#include "platform/qt/conversions.h"
#include "platform/qt/popup_anchor.h"
#include "platform/qt/toolbar_icons.h"

namespace qtdesk {

using namespace components;

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
          if (b) {
            // A button just shown may not be laid out yet.
            if (QLayout* layout = widget_->layout()) layout->activate();
            anchor.emplace(b->mapToGlobal(QPoint(0, b->height())));
          }
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

}  // namespace qtdesk
