// The bookmark and note dialogs on the real desktop (offscreen), against the
// real stand-in player: typing, selecting lines, pressing buttons.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "tests/support/qt_program.h"

using namespace components;

namespace {

class QtLists : public testing_support::QtProgram {
 protected:
  std::string Var(const std::string& name) { return program.Player().GetVariable(name); }
  // Acts in the dialog once it is up (from inside its own loop).
  template <typename Act>
  std::unique_ptr<testing_support::WhenUp> InDialog(const char* name, Act act) {
    return std::make_unique<testing_support::WhenUp>(
        [name] {
          // Up, and active: its first control has the focus then.
          QWidget* w = QApplication::activeModalWidget();
          return w && w->objectName() == name && w->isActiveWindow() ? w : nullptr;
        },
        act);
  }
  static void Press(QWidget* dialog, const char* button) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
  }
  // Adds a bookmark the way the toolbar's menu does, on the page shown.
  void AddBookmarkHere(const QString& title) {
    auto up = InDialog("addBookmark", [title](QWidget* d) {
      testing_support::Type(QApplication::focusWidget(), title);
      Press(d, "Command1");
    });
    program.MainWindow().FireMenu("addBookmark2");
    ASSERT_TRUE(up->done());
  }
  // Turns the book with the keys until the right-hand page is `page`.
  void TurnTo(int page) {
    for (int i = 0; i < 40 && Var("/utility/jump_number.display") != std::to_string(page); ++i) {
      bool forward = std::stoi(Var("/utility/jump_number.display")) < page;
      QTest::keyClick(player, forward ? Qt::Key_Right : Qt::Key_Left);
      QTest::qWait(5);
    }
    ASSERT_EQ(Var("/utility/jump_number.display"), std::to_string(page));
  }
};

}  // namespace

TEST_F(QtLists, TheTitleBoxTakesTwentyCharactersAndTheFocusStartsThere) {
  const QString twenty = QString::fromUtf8("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸");
  std::string focused, pageBox;
  bool pageEditable = true;
  auto up = InDialog("addBookmark", [&](QWidget* d) {
    focused = QApplication::focusWidget()->objectName().toStdString();
    auto* page = d->findChild<QLineEdit*>("Text1");
    pageBox = page->text().toStdString();
    pageEditable = page->isEnabled();
    testing_support::Type(QApplication::focusWidget(), twenty + QString::fromUtf8("子"));
    EXPECT_EQ(d->findChild<QLineEdit*>("Text2")->text(), twenty);
    EXPECT_EQ(d->findChild<QLineEdit*>("Text2")->accessibleName().toStdString(), "書籤標題 :");
    Press(d, "Command1");
  });
  program.MainWindow().FireMenu("addBookmark2");
  ASSERT_TRUE(up->done());
  EXPECT_EQ(focused, "Text2");
  EXPECT_EQ(pageBox, Var("/utility/jump_number.display"));
  EXPECT_FALSE(pageEditable);
  EXPECT_EQ(Var("/bookmarkList.counter"), "1");
}

TEST_F(QtLists, EnterInTheNoteBoxGivesCrLfAndTheHundredAndFirstCharacterIsRefused) {
  auto up = InDialog("addNote", [](QWidget* d) {
    QWidget* box = QApplication::focusWidget();
    EXPECT_EQ(box->objectName().toStdString(), "Text2");
    testing_support::Type(box, QString::fromUtf8("第一行"));
    QTest::keyClick(box, Qt::Key_Return);
    testing_support::Type(box, QString::fromUtf8("第二行"));
    Press(d, "Command1");
  });
  program.MainWindow().FireMenu("addNotes2");
  ASSERT_TRUE(up->done());
  ASSERT_EQ(Var("/EBookNote.counter"), "1");
  EXPECT_EQ(Var("/EBookNote/notes:0.content"), "第一行\r\n第二行");

  // 98 characters and a line break (two) fill the box; the next is refused.
  auto full = InDialog("addNote", [](QWidget* d) {
    QWidget* box = QApplication::focusWidget();
    testing_support::Type(box, QString(97, QChar(0x8a3b)));
    QTest::keyClick(box, Qt::Key_Return);
    testing_support::Type(box, QString::fromUtf8("末多"));
    EXPECT_EQ(d->findChild<QPlainTextEdit*>("Text2")->toPlainText(),
              QString(97, QChar(0x8a3b)) + "\n" + QString::fromUtf8("末"));
    d->close();  // the close box: nothing is sent
  });
  program.MainWindow().FireMenu("leftNote");
  ASSERT_TRUE(full->done());
  EXPECT_EQ(Var("/EBookNote.counter"), "1");
}

TEST_F(QtLists, TheManagerSelectsWithMouseAndKeysAndDeletesTheLineItSelected) {
  for (int page : {9, 5, 13}) {
    TurnTo(page);
    AddBookmarkHere(QString::fromUtf8("第") + QString::number(page) + QString::fromUtf8("頁"));
  }
  ASSERT_EQ(Var("/bookmarkList.counter"), "3");
  std::vector<std::string> before, after;
  auto up = InDialog("bookmarkAdmin", [&](QWidget* d) {
    auto* list = d->findChild<QListWidget*>("List1");
    auto* remove = d->findChild<QPushButton*>("Command2");
    for (int i = 0; i < list->count(); ++i) before.push_back(list->item(i)->text().toStdString());
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), "Command3");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);  // the second line, by the keys
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_EQ(d->findChild<QLineEdit*>("Text1")->text().toStdString(), "第 9 頁");
    Press(d, "Command2");
    for (int i = 0; i < list->count(); ++i) after.push_back(list->item(i)->text().toStdString());
    EXPECT_FALSE(remove->isEnabled());
    d->close();
  });
  program.MainWindow().FireMenu("bookmarkAdmin2");
  ASSERT_TRUE(up->done());
  EXPECT_EQ(before, (std::vector<std::string>{"第 5 頁", "第 9 頁", "第 13 頁"}));  // the movie sorts
  EXPECT_EQ(after, (std::vector<std::string>{"第 5 頁", "第 13 頁"}));
  EXPECT_EQ(Var("/bookmarkList.counter"), "2");
  EXPECT_EQ(Var("/bookmarkList/page:1"), "13");
}

TEST_F(QtLists, SpaceOnTheOpenedManagerAsksBeforeDeletingEveryBookmarkAndEscapeKeepsThem) {
  AddBookmarkHere(QString::fromUtf8("封面後"));
  ASSERT_EQ(Var("/bookmarkList.counter"), "1");
  std::string question, kept;
  auto up = InDialog("bookmarkAdmin", [&](QWidget* d) {
    auto escape = std::make_unique<testing_support::WhenUp>(
        [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
        [&](QMessageBox* box) {
          question = box->text().toStdString();
          // No is the default: Return would answer it too.
          EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
          QTest::keyClick(box, Qt::Key_Escape);
        });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // the focus is on 全部刪除
    EXPECT_TRUE(escape->done());
    kept = d->findChild<QListWidget*>("List1")->item(0)->text().toStdString();
    EXPECT_TRUE(d->isVisible());
    testing_support::NextBox yes(QMessageBox::Yes);
    QTest::keyClick(d->findChild<QPushButton*>("Command3"), Qt::Key_Space);
  });
  program.MainWindow().FireMenu("bookmarkAdmin2");
  ASSERT_TRUE(up->done());
  EXPECT_EQ(question, "確定要刪除全部的書籤嗎？");
  EXPECT_FALSE(kept.empty());
  EXPECT_EQ(Var("/bookmarkList.counter"), "0");
}
