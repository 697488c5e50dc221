// The Qt controls and the window model agree: what the user does reaches the
// model and runs the handlers; what code sets is what the user sees.
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>
#include "components/window.h"
#include "platform/qt/qt_desktop.h"

#include "tests/support/qt_app.h"

using namespace components;

namespace {

class QtWindowControls : public ::testing::Test {
 protected:
  QtWindowControls() {
    window.OnClick("Command1", [this] { ++clicks; });
    window.OnClick("List1", [this] { selections.push_back(window.control("List1").ListIndex()); });
    window.OnClick("Check1", [this] { ticks.push_back(window.control("Check1").Value()); });
    window.OnChange("Text1", [this] { ++changes; });
    window.Show();
    top = reinterpret_cast<QWidget*>(window.Handle());
    top->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(top));
  }
  static WindowDesign Design() {
    WindowDesign d{.name = "dialog", .caption = "對話", .clientWidth = 6000, .clientHeight = 4000};
    d.controls = {
        {.name = "Text1",
         .kind = ControlKind::TextBox,
         .left = 120,
         .top = 120,
         .width = 4000,
         .height = 300,
         .maxLength = 20},
        {.name = "List1",
         .kind = ControlKind::ListBox,
         .left = 120,
         .top = 600,
         .width = 4000,
         .height = 1500},
        {.name = "Check1",
         .kind = ControlKind::CheckBox,
         .left = 120,
         .top = 2300,
         .width = 3000,
         .height = 300,
         .caption = "勾選"},
        {.name = "Command1",
         .kind = ControlKind::Button,
         .left = 120,
         .top = 2800,
         .width = 1200,
         .height = 375,
         .caption = "確定",
         .enabled = false},
    };
    return d;
  }
  template <typename T>
  T* Widget(const char* name) {
    return top->findChild<T*>(name);
  }

  QApplication& app = testing_support::App();
  qtdesk::Desktop desktop;
  Window window{desktop, Design()};
  QWidget* top = nullptr;
  int clicks = 0, changes = 0;
  std::vector<int> selections, ticks;
};

}  // namespace

TEST_F(QtWindowControls, TypingCountsCharactersNotBytesAndRefusesThe21st) {
  QLineEdit* edit = Widget<QLineEdit>("Text1");
  const QString twenty = QString::fromUtf8("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸");
  ASSERT_EQ(twenty.size(), 20);
  testing_support::Type(edit, twenty);
  EXPECT_EQ(window.control("Text1").Text(), twenty.toStdString());  // 60 bytes: all kept
  testing_support::Type(edit, QString::fromUtf8("子"));
  EXPECT_EQ(window.control("Text1").Text(), twenty.toStdString());
  EXPECT_EQ(edit->text(), twenty);
  EXPECT_EQ(changes, 20);
  // A character outside the Basic Multilingual Plane is one character too.
  edit->clear();
  window.control("Text1").SetText("");
  testing_support::Type(edit, QString::fromUtf8("𠀀𠀁") + twenty.left(18) + QString::fromUtf8("子"));
  EXPECT_EQ(window.control("Text1").Text(), (QString::fromUtf8("𠀀𠀁") + twenty.left(18)).toStdString());
  // Typing in the middle of a full box takes back what was typed, never
  // the end of what is there.
  edit->setCursorPosition(3);
  testing_support::Type(edit, QString::fromUtf8("中"));
  EXPECT_EQ(window.control("Text1").Text(), (QString::fromUtf8("𠀀𠀁") + twenty.left(18)).toStdString());
  EXPECT_EQ(edit->cursorPosition(), 3);
  edit->setText(QString::fromUtf8("半"));
  window.control("Text1").SetText("半");
  edit->setCursorPosition(0);
  QApplication::clipboard()->setText(twenty + QString::fromUtf8("尾"));
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);  // a paste past the limit keeps its start
  EXPECT_EQ(window.control("Text1").Text(), (twenty.left(19) + QString::fromUtf8("半")).toStdString());
  // Code sets the text: the user sees it.
  window.control("Text1").SetText("頁 3");
  EXPECT_EQ(edit->text().toStdString(), "頁 3");
}

TEST_F(QtWindowControls, SelectingALineWithTheMouseOrTheKeysSelectsItInTheModel) {
  Control& list = window.control("List1");
  for (const char* item : {"第 1 頁", "第 5 頁", "第 9 頁"}) list.AddItem(item);
  QListWidget* widget = Widget<QListWidget>("List1");
  ASSERT_EQ(widget->count(), 3);
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(widget->item(1)).center());
  EXPECT_EQ(list.ListIndex(), 1);
  widget->setFocus();
  QTest::keyClick(widget, Qt::Key_Down);
  EXPECT_EQ(list.ListIndex(), 2);
  QTest::keyClick(widget, Qt::Key_Home);
  EXPECT_EQ(list.ListIndex(), 0);
  EXPECT_EQ(selections, (std::vector<int>{1, 2, 0}));
  // A line added by code keeps the user's selection on screen.
  list.AddItem("第 12 頁");
  EXPECT_EQ(widget->currentRow(), 0);
  list.RemoveItem(0);  // the model drops the selection: so does the screen
  EXPECT_EQ(widget->currentRow(), -1);
  EXPECT_EQ(widget->count(), 3);
}

TEST_F(QtWindowControls, TickingTheBoxAndClickingButtonsRunTheHandlersOnlyWhenTheUserCould) {
  QCheckBox* box = Widget<QCheckBox>("Check1");
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));  // on its square
  EXPECT_EQ(window.control("Check1").Value(), 1);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));  // on its square
  EXPECT_EQ(window.control("Check1").Value(), 0);
  EXPECT_EQ(ticks, (std::vector<int>{1, 0}));
  window.control("Check1").SetValue(1);
  EXPECT_TRUE(box->isChecked());

  QPushButton* button = Widget<QPushButton>("Command1");
  QTest::mouseClick(button, Qt::LeftButton);  // disabled
  EXPECT_EQ(clicks, 0);
  window.control("Command1").SetEnabled(true);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  window.control("Command1").SetVisible(false);
  EXPECT_FALSE(button->isVisible());
}
