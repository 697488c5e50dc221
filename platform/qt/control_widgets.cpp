#include "platform/qt/control_widgets.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "platform/qt/control_geometry.h"
#include "platform/qt/conversions.h"
#include "platform/qt/event_hold.h"

namespace qtdesk {

using namespace components;

namespace {

// The model's text holds CR LF where the user starts a line; the widget, LF.
std::string ToModelText(const QString& widgetText) {
  QString t = widgetText;
  t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return ToUtf8(t);
}
QString ToWidgetText(const std::string& modelText) {
  QString t = ToQString(modelText);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t;
}

// Characters as the model counts them: code points, a line break two (CR LF).
int ModelLength(const QString& widgetText) {
  return static_cast<int>(widgetText.toUcs4().size() + widgetText.count(QLatin1Char('\n')));
}

// Past `limit` (0: none), takes back characters just before `cursor` (what
// was typed or pasted) until the text fits; true when it took any.
bool CutInserted(QString& text, int& cursor, int limit) {
  bool cut = false;
  while (limit > 0 && cursor > 0 && ModelLength(text) > limit) {
    int n = cursor >= 2 && text[cursor - 1].isLowSurrogate() && text[cursor - 2].isHighSurrogate() ? 2 : 1;
    text.remove(cursor - n, n);
    cursor -= n;
    cut = true;
  }
  return cut;
}

void ShowSelection(QListWidget* l, int row) {
  if (row < 0) {
    l->clearSelection();
    l->setCurrentRow(-1);
  } else {
    l->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  }
}

QFont FontOf(const FontDesign& f, const QFont& base) {
  QFont font = base;
  // A face the system lacks: the interface's, at the designed size.
  QString family = ToQString(f.name);
  if (!f.name.empty() && QFontDatabase::hasFamily(family)) font.setFamily(family);
  font.setPointSizeF(f.points);
  font.setBold(f.bold);
  return font;
}

}  // namespace

ControlWidgets::ControlWidgets(Window& window, QWidget* parent) : window_(window), parent_(parent) {}

ControlWidgets::~ControlWidgets() = default;

void ControlWidgets::Created(Control& c) {
  const ControlDesign& d = c.design();
  QWidget* w = nullptr;
  Control* control = &c;
  Window* window = &window_;
  switch (d.kind) {
    case ControlKind::Label: {
      auto* l = new QLabel(ToQString(d.caption), parent_);
      l->setTextFormat(Qt::PlainText);
      l->setWordWrap(true);
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      w = l;
      break;
    }
    case ControlKind::TextBox: w = CreateTextBox(d, control); break;
    case ControlKind::Button: {
      auto* b = new QPushButton(ToQString(d.caption), parent_);
      b->setAutoDefault(false);
      QObject::connect(b, &QPushButton::clicked, b, [window, name = d.name] { window->FireClick(name); });
      w = b;
      break;
    }
    case ControlKind::CheckBox: {
      auto* b = new QCheckBox(ToQString(d.caption), parent_);
      QObject::connect(b, &QCheckBox::clicked, b, [this, control](bool checked) {
        if (!syncing_) control->SetValue(checked ? 1 : 0);
      });
      w = b;
      break;
    }
    case ControlKind::ListBox: {
      // What the user selects, by mouse or keys; the current row alone (which
      // a list given the focus takes) is no selection.
      auto* l = new QListWidget(parent_);
      l->setSelectionMode(QAbstractItemView::SingleSelection);
      QObject::connect(l, &QListWidget::itemSelectionChanged, l, [this, l, control] {
        if (syncing_) return;
        QList<QListWidgetItem*> selected = l->selectedItems();
        if (!selected.isEmpty()) control->UserSelect(l->row(selected.front()));
      });
      w = l;
      break;
    }
    case ControlKind::Image: {
      auto* l = new QLabel(parent_);
      l->setScaledContents(d.stretch);
      if (!d.picture.empty()) l->setPixmap(QPixmap(ToQString(d.picture)));
      w = l;
      break;
    }
    case ControlKind::Timer: {
      auto t = std::make_unique<QTimer>();
      QObject::connect(t.get(), &QTimer::timeout, parent_,
                       [window, name = d.name, timer = QPointer<QTimer>(t.get())] {
                         // A tick that comes while a call waits for the runtime runs after
                         // it, once, unless the timer has gone or stopped meanwhile.
                         if (timer->property("tickWaits").toBool()) return;
                         timer->setProperty("tickWaits", true);
                         EventHold::Get().RunOrDefer([window, name, timer] {
                           if (!timer) return;
                           timer->setProperty("tickWaits", false);
                           if (timer->isActive()) window->FireTimer(name);
                         });
                       });
      timers_[d.name] = std::move(t);
      Changed(c, Property::Interval);
      return;
    }
    default: return;  // components draw themselves
  }
  w->setObjectName(ToQString(d.name));
  w->setAccessibleName(ToQString(AccessibleName(window_.design(), d)));
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

QWidget* ControlWidgets::CreateTextBox(const ControlDesign& d, Control* control) {
  // The limit counts what the model counts (a QLineEdit's own counts UTF-16
  // units). Past it, what was just typed or pasted is cut back, never the
  // text already there; the box then shows what the model kept.
  const int limit = d.maxLength;
  if (d.multiLine) {
    auto* t = new QPlainTextEdit(ToWidgetText(d.caption), parent_);
    t->setVerticalScrollBarPolicy(d.scrollBars == ScrollBars::Vertical || d.scrollBars == ScrollBars::Both
                                      ? Qt::ScrollBarAlwaysOn
                                      : Qt::ScrollBarAsNeeded);
    t->setTabChangesFocus(true);  // Enter starts a line; Tab goes on
    QObject::connect(t, &QPlainTextEdit::textChanged, t, [this, t, control, limit] {
      if (syncing_) return;
      QString text = t->toPlainText();
      int cursor = t->textCursor().position();
      if (CutInserted(text, cursor, limit)) {
        Syncing s(syncing_);
        t->setPlainText(text);
        QTextCursor c = t->textCursor();
        c.setPosition(cursor);
        t->setTextCursor(c);
      }
      control->UserType(ToModelText(text));  // last: it may end the window, and this
    });
    return t;
  }
  auto* t = new QLineEdit(ToQString(d.caption), parent_);
  QObject::connect(t, &QLineEdit::textEdited, t, [this, t, control, limit](const QString& edited) {
    if (syncing_) return;
    QString text = edited;
    int cursor = t->cursorPosition();
    if (CutInserted(text, cursor, limit)) {
      Syncing s(syncing_);
      t->setText(text);
      t->setCursorPosition(cursor);
    }
    control->UserType(ToUtf8(text));  // last: it may end the window, and this
  });
  return t;
}

void ControlWidgets::Changed(Control& c, Property p) {
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
      if (auto* l = qobject_cast<QLabel*>(w)) l->setText(ToQString(c.Text()));
      // What the user has just typed is there already: setting it again
      // would move the cursor.
      if (auto* t = qobject_cast<QLineEdit*>(w); t && ToUtf8(t->text()) != c.Text())
        t->setText(ToQString(c.Text()));
      if (auto* t = qobject_cast<QPlainTextEdit*>(w); t && ToModelText(t->toPlainText()) != c.Text())
        t->setPlainText(ToWidgetText(c.Text()));
      if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(ToQString(c.Text()));
      break;
    case Property::Enabled: w->setEnabled(c.Enabled()); break;
    case Property::Visible: w->setVisible(c.Visible()); break;
    case Property::Value:
      if (auto* b = qobject_cast<QCheckBox*>(w)) b->setChecked(c.Value() != 0);
      break;
    case Property::List:
      if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->clear();
        for (const auto& item : c.Items()) l->addItem(ToQString(item));
        ShowSelection(l, c.ListIndex());
      }
      break;
    case Property::ListIndex:
      if (auto* l = qobject_cast<QListWidget*>(w)) ShowSelection(l, c.ListIndex());
      break;
    case Property::Interval: break;
  }
}

void ControlWidgets::FocusFirst() {
  // Tab follows the design's order.
  QWidget* previous = nullptr;
  for (const auto& name : window_.design().focusOrder) {
    auto it = widgets_.find(name);
    if (it == widgets_.end() || !it->second) continue;
    if (previous) QWidget::setTabOrder(previous, it->second);
    previous = it->second;
  }
  for (const auto& name : window_.design().focusOrder) {
    auto it = widgets_.find(name);
    if (it != widgets_.end() && it->second && it->second->isEnabled() && it->second->isVisible()) {
      it->second->setFocus();
      return;
    }
  }
}

}  // namespace qtdesk
