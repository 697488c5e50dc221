#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

namespace testing_support {

// The one application object of a Qt test process.
inline QApplication& App() {
  static int argc = 1;
  static char name[] = "reader-test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Types text into a widget one character at a time, as a keyboard (or an
// input method) does; QTest's own typing knows only ASCII.
inline void Type(QWidget* w, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    QString ch = text.mid(i, text[i].isHighSurrogate() ? 2 : 1);
    i += ch.size() - 1;
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, ch);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, ch);
    QApplication::sendEvent(w, &release);
  }
}

// Acts as the user in whatever pops up next, from inside its own loop: polls
// until `ready` finds it, then `act`s once. Owned by the test, so that a
// poll never outlives it.
class WhenUp {
 public:
  template <typename Find, typename Act>
  WhenUp(Find ready, Act act) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this, ready, act] {
      auto* w = ready();
      if (!w) return;
      timer_.stop();
      act(w);
    });
    timer_.start();
  }
  bool done() const { return !timer_.isActive(); }

 private:
  QTimer timer_;
};

// Presses a standard button of the next message box; keeps its text, title
// and the texts of its buttons.
struct NextBox {
  explicit NextBox(QMessageBox::StandardButton which)
      : up([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
           [this, which](QMessageBox* box) {
             text = box->text().toStdString();
             title = box->windowTitle().toStdString();
             for (QAbstractButton* b : box->buttons()) buttons.push_back(b->text().toStdString());
             QTest::mouseClick(box->button(which), Qt::LeftButton);
           }) {}
  std::string text, title;
  std::vector<std::string> buttons;
  WhenUp up;
};

// Clicks the item with this caption in the next popup menu, as the user would.
struct NextPopup {
  explicit NextPopup(std::string caption)
      : up([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
           [this, caption](QMenu* menu) {
             at = menu->pos();
             for (QAction* a : menu->actions())
               if (a->text().toStdString() == caption) {
                 QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                 return;
               }
             menu->close();
           }) {}
  QPoint at;  // where the menu appeared
  WhenUp up;
};

}  // namespace testing_support
