// The whole reader on the real Flash runtime (offscreen): the book's own
// movie driven through the real host, as a reader uses it.
#include <sys/stat.h>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>
#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

#include "book/embedded.h"
#include "bridge/bridge.h"
#include "lists/lists.h"
#include "media/media.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/runtime_choice.h"
#include "platform/qt/window_hooks.h"
#include "player/layout.h"
#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

namespace {

using testing_support::TempDir;

// One start of the reader on the runtime, on the data of `dir`.
class Reader {
 public:
  explicit Reader(TempDir& dir) : Reader(dir.path()) {}
  explicit Reader(const std::string& dir)
      : hive_{dir + "/hive.sqlite"},
        environment_{"reader", dir},
        folders_{.program = READER_PROGRAM_DIR, .media = dir + "/Review", .data = dir + "/data"},
        desktop_({.runtime = &folders_}) {
    setenv("TEMP", (dir + "/").c_str(), 1);
    shell::WriteShowHelp(hive_, "-2");  // no intro panel at the start
    program_.Start();
    window_ = reinterpret_cast<QWidget*>(program_.MainWindow().Handle());
    window_->activateWindow();
    // Keys go to the active window; each test waits for what it needs, so
    // a platform that never reports activation only costs the wait.
    static_cast<void>(QTest::qWaitForWindowActive(window_));
  }
  ~Reader() { unsetenv("TEMP"); }

  shell::Program& program() { return program_; }
  // Whether the book answers: a loaded machine may take longer than one
  // call's wait to start the engine.
  bool Ready() {
    for (int i = 0; i < 60; ++i) {
      if (Var("/utility/jump_number.totalPage") == "31") return true;
      QTest::qWait(500);
    }
    return false;
  }
  // Started and opened: the cover clicked, pages 2 and 3 shown.
  bool Opened() {
    if (!Ready()) return false;
    QTest::mouseClick(Engine(), Qt::LeftButton, {}, Stage(550, 300));
    QTest::qWait(300);
    return Var("/utility/jump_number.display") == "3";
  }
  std::string Var(const std::string& name) { return program_.Player().GetVariable(name); }
  QToolButton* Button(const char* key) { return window_->findChild<QToolButton*>(key); }
  // The engine's own widget, where the reader's mouse and keys go.
  QWidget* Engine() {
    auto* view = window_->findChild<QWebEngineView*>();
    return view && view->focusProxy() ? view->focusProxy() : view;
  }
  // A point of the book's 768 x 576 stage on the engine's widget (shown whole).
  QPoint Stage(double x, double y) {
    QSize size = Engine()->size();
    double scale = std::min(size.width() / 768.0, size.height() / 576.0);
    return QPoint(int((size.width() - 768 * scale) / 2 + x * scale),
                  int((size.height() - 576 * scale) / 2 + y * scale));
  }
  void Key(Qt::Key key) {
    QTest::keyClick(Engine(), key);
    QTest::qWait(250);  // keys reach the movie on a way of their own
  }

 private:
  posix::Hive hive_;
  posix::FileSystem files_;
  posix::Environment environment_;
  posix::Resources resources_{book::EmbeddedResources()};
  posix::Connection connection_{"http://127.0.0.1/"};
  qtdesk::RuntimeFolders folders_;
  qtdesk::Desktop desktop_;
  qtdesk::WindowHooks hooks_{desktop_};
  components::System system_{desktop_, hive_, files_, environment_, resources_, connection_, hooks_};
  shell::Program program_{system_};
  bridge::Bridge bridge_{program_};
  lists::Lists lists_{program_, bridge_};
  media::Media media_{program_, bridge_, "http://127.0.0.1:9/"};  // nothing is downloaded here
  QWidget* window_ = nullptr;
};

template <typename Act>
std::unique_ptr<testing_support::WhenUp> InDialog(const char* name, Act act) {
  return std::make_unique<testing_support::WhenUp>(
      [name] {
        QWidget* w = QApplication::activeModalWidget();
        return w && w->objectName() == name && w->isActiveWindow() ? w : nullptr;
      },
      act);
}

void Press(QWidget* dialog, const char* button) {
  QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
}

TEST(RuntimeProgram, BookmarksAddedOutOfOrderAreListedByPageAndOutliveARestart) {
  testing_support::App();
  TempDir dir;
  {
    Reader reader(dir);
    ASSERT_TRUE(reader.Opened()) << "the book does not open on the runtime";
    QTest::qWait(100);  // the toolbar comes
    ASSERT_TRUE(reader.Button("Index"));
    for (int page : {9, 5, 13}) {
      // Beside the pages: the keys are the movie's again after a dialog.
      QTest::mouseClick(reader.Engine(), Qt::LeftButton, {}, reader.Stage(20, 300));
      for (int i = 0; i < 20 && reader.Var("/utility/jump_number.display") != std::to_string(page); ++i)
        reader.Key(std::stoi(reader.Var("/utility/jump_number.display")) < page ? Qt::Key_Right
                                                                                : Qt::Key_Left);
      ASSERT_EQ(reader.Var("/utility/jump_number.display"), std::to_string(page));
      auto up = InDialog("addBookmark", [page](QWidget* d) {
        testing_support::Type(QApplication::focusWidget(), QString::number(page));
        Press(d, "Command1");
      });
      reader.program().MainWindow().FireMenu("addBookmark2");
      ASSERT_TRUE(up->done());
    }
    std::vector<std::string> listed;
    auto manager = InDialog("bookmarkAdmin", [&](QWidget* d) {
      auto* list = d->findChild<QListWidget*>("List1");
      for (int i = 0; i < list->count(); ++i) listed.push_back(list->item(i)->text().toStdString());
      list->setCurrentRow(1);
      Press(d, "Command2");
      d->close();
    });
    reader.program().MainWindow().FireMenu("bookmarkAdmin2");
    ASSERT_TRUE(manager->done());
    EXPECT_EQ(listed, (std::vector<std::string>{"第 5 頁", "第 9 頁", "第 13 頁"}));
    EXPECT_EQ(reader.Var("/bookmarkList.counter"), "2");
    // The mute button switches the book's sound on; the reader keeps it.
    QTest::mouseClick(reader.Button("mute"), Qt::LeftButton);
    EXPECT_EQ(reader.Var("soundOn"), "1");
  }
  Reader again(dir);
  EXPECT_EQ(again.Var("/bookmarkList.counter"), "2");
  EXPECT_EQ(again.Var("/bookmarkList/page:0"), "5");
  EXPECT_EQ(again.Var("/bookmarkList/page:1"), "13");
  // Closed on an inner spread, it opens there.
  EXPECT_EQ(again.Var("/utility/jump_number.display"), "13");
}

// A note added on the page shown, opened from its marker on the page,
// edited there, and deleted in the manager.
TEST(RuntimeProgram, ANoteIsAddedOpenedFromItsMarkerEditedAndDeleted) {
  testing_support::App();
  TempDir dir;
  Reader reader(dir);
  ASSERT_TRUE(reader.Opened()) << "the book does not open on the runtime";
  auto add = InDialog("addNote", [](QWidget* d) {
    testing_support::Type(QApplication::focusWidget(), QString::fromUtf8("第一則"));
    Press(d, "Command1");
  });
  reader.program().MainWindow().FireMenu("addNotes2");  // on page 3, the right-hand page
  ASSERT_TRUE(add->done());
  ASSERT_EQ(reader.Var("/EBookNote/notes:0.page"), "3");

  std::string shown;
  auto view = InDialog("noteContent", [&](QWidget* d) {
    auto* text = d->findChild<QPlainTextEdit*>("Text1");
    shown = text->toPlainText().toStdString();
    text->setPlainText(QString::fromUtf8("改過了"));
    Press(d, "Command1");
  });
  // The marker at the right-hand page's top right corner (layout::NoteMarker).
  QTest::mouseClick(reader.Engine(), Qt::LeftButton, {}, reader.Stage(698, 62));
  for (int i = 0; i < 100 && !view->done(); ++i) QTest::qWait(30);
  ASSERT_TRUE(view->done()) << "the marker opened no note";
  EXPECT_EQ(shown, "第一則");
  EXPECT_EQ(reader.Var("/EBookNote/notes:0.content"), "改過了");

  auto manager = InDialog("noteAdmin", [](QWidget* d) {
    d->findChild<QListWidget*>("List1")->setCurrentRow(0);
    Press(d, "Command2");
    d->close();
  });
  reader.program().MainWindow().FireMenu("noteAdmin2");
  ASSERT_TRUE(manager->done());
  EXPECT_EQ(reader.Var("/EBookNote.counter"), "0");
}

// A chapter whose narration is in the media folder plays in the animation
// window when its first page's button is pressed; the chapter's movie has
// the book show its narrator while it speaks.
TEST(RuntimeProgram, AChaptersNarrationPlaysAndTheNarratorShows) {
  testing_support::App();
  TempDir dir;
  ::mkdir((dir / "Review").c_str(), 0755);
  for (auto [from, to] : {std::pair{READER_CHAPTER_MOVIE, "K19990317045_1.zov"},
                          {READER_PROGRAM_DIR "/Review/man.zov", "man.zov"}}) {
    std::vector<std::uint8_t> bytes = testing_support::ReadFile(from);
    testing_support::WriteFile(dir / (std::string("Review/") + to), std::string(bytes.begin(), bytes.end()));
  }
  Reader reader(dir);
  ASSERT_TRUE(reader.Opened()) << "the book does not open on the runtime";
  QTest::mouseClick(reader.Engine(), Qt::LeftButton, {}, reader.Stage(550, 300));  // pages 4 and 5
  QTest::qWait(300);
  ASSERT_EQ(reader.Var("/utility/jump_number.display"), "5");
  // Page 4's narration button.
  const player::layout::Rect button = player::layout::NarrationButton(player::layout::kLeftPage);
  QTest::mouseClick(reader.Engine(), Qt::LeftButton, {},
                    reader.Stage(button.x + button.w / 2, button.y + button.h / 2));
  for (int i = 0; i < 500 && reader.Var("Man._visible") != "true"; ++i) QTest::qWait(30);
  EXPECT_EQ(reader.Var("Man._visible"), "true") << "the narrator never showed";
  EXPECT_EQ(reader.program().chapterPath, dir / "Review/K19990317045_1.zov");
}

// The three ways of closing, each answered Yes: the program ends with
// status 0, and the sound and the place are kept as the book had them.
struct CloseWay {
  const char* name;
  bool soundOn;         // the reader switches the book's sound on first
  const char* caption;  // of the question asked
  std::function<void(Reader&)> close;
};

void PrintTo(const CloseWay& way, std::ostream* os) { *os << way.name; }

class RuntimeClose : public ::testing::TestWithParam<CloseWay> {};

INSTANTIATE_TEST_SUITE_P(
    Ways, RuntimeClose,
    ::testing::Values(
        // As the platform tells of the frame's close box: to the window.
        CloseWay{"FrameCloseBox", false, "離開電子書",
                 [](Reader& r) {
                   QCloseEvent request;
                   QCoreApplication::sendEvent(
                       reinterpret_cast<QWidget*>(r.program().MainWindow().Handle())->windowHandle(),
                       &request);
                 }},
        CloseWay{"RightClickMenu", true, "離開電子書",
                 [](Reader& r) { QTest::mouseClick(r.Engine(), Qt::RightButton, {}, r.Stage(560, 300)); }},
        // The book's own X, bottom right of its stage (layout::WindowButton(3)).
        CloseWay{"BooksCloseButton", true, "離開電子書 ?",
                 [](Reader& r) { QTest::mouseClick(r.Engine(), Qt::LeftButton, {}, r.Stage(749, 547)); }}),
    [](const auto& info) { return std::string(info.param.name); });

// One start of the reader closed the given way; what the main loop ended
// with, as main() returns it.
int StartAndClose(const std::string& dir, const CloseWay& way) {
  int status = 0;
  {
    Reader reader(dir);
    if (!reader.Ready()) return 3;
    // Opened and turned to pages 4 and 5: the place is kept too.
    for (int turn = 0; turn < 2; ++turn) {
      QTest::mouseClick(reader.Engine(), Qt::LeftButton, {}, reader.Stage(550, 300));
      QTest::qWait(400);
    }
    if (reader.Var("/utility/jump_number.display") != "5") return 6;
    if (way.soundOn) {
      if (!reader.Button("mute") || !reader.Button("mute")->isVisible()) return 5;
      QTest::mouseClick(reader.Button("mute"), Qt::LeftButton);
      if (reader.Var("soundOn") != "1") return 4;
    }
    testing_support::NextPopup menu("關閉");  // where a menu pops up
    // Told before the answer: the book's X ends the process on it.
    testing_support::WhenUp yes([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                                [](QMessageBox* box) {
                                  std::fprintf(stderr, "asked [%s]\n",
                                               box->windowTitle().toUtf8().constData());
                                  std::fflush(stderr);
                                  QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                                });
    QObject scope;
    QTimer::singleShot(0, &scope, [&] { way.close(reader); });
    QTimer::singleShot(60000, &scope, [] { QCoreApplication::exit(99); });  // never hangs
    status = QApplication::exec();
  }
  return status;
}

// Each way in a process of its own: the book's X ends the program at once.
TEST_P(RuntimeClose, EndsWithStatusZeroAndKeepsTheSoundAndThePlace) {
  const CloseWay& way = GetParam();
  // The death test's child runs this test again, in the parent's folder.
  std::optional<TempDir> made;
  std::string dir;
  if (const char* given = std::getenv("READER_CLOSE_DIR")) {
    dir = given;
  } else {
    dir = made.emplace().path();
    setenv("READER_CLOSE_DIR", dir.c_str(), 1);
  }
  std::string asked = "asked \\[";
  for (char c : std::string(way.caption)) asked += c == '?' ? std::string("\\?") : std::string(1, c);
  EXPECT_EXIT(std::exit(StartAndClose(dir, way)), ::testing::ExitedWithCode(0), asked + "\\]");
  unsetenv("READER_CLOSE_DIR");
  posix::Hive check(dir + "/hive.sqlite");
  EXPECT_EQ(shell::ReadRegValue(check, components::HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn"),
            way.soundOn ? "1" : "0");
  Reader again(dir);
  ASSERT_TRUE(again.Ready()) << "the book does not play on the runtime";
  EXPECT_EQ(again.Var("/utility/jump_number.display"), "5");
}

// Answered No, each way leaves the book open where it was, and it plays on.
TEST_P(RuntimeClose, ANoKeepsTheBookOpenAndPlaying) {
  const CloseWay& way = GetParam();
  testing_support::App();
  TempDir dir;
  Reader reader(dir);
  ASSERT_TRUE(reader.Opened()) << "the book does not open on the runtime";
  testing_support::NextPopup menu("關閉");
  std::string asked;
  testing_support::WhenUp no([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                             [&](QMessageBox* box) {
                               asked = box->windowTitle().toStdString();
                               QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
                             });
  way.close(reader);
  for (int i = 0; i < 100 && !no.done(); ++i) QTest::qWait(30);
  ASSERT_TRUE(no.done()) << "no question was asked";
  EXPECT_EQ(asked, way.caption);
  QTest::qWait(300);
  EXPECT_TRUE(reinterpret_cast<QWidget*>(reader.program().MainWindow().Handle())->isVisible());
  QTest::mouseClick(reader.Engine(), Qt::LeftButton, {}, reader.Stage(550, 300));  // and turns on
  QTest::qWait(400);
  EXPECT_EQ(reader.Var("/utility/jump_number.display"), "5");
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  unsetenv("READER_PLAYER");  // the runtime plays
  qtdesk::PrepareRuntime();
  testing_support::App();
  ::testing::InitGoogleTest(&argc, argv);
  // A child of a death test starts afresh, not as a fork of a process with
  // the engine's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
