// The reader's controls on the real desktop (offscreen): toolbar buttons,
// their shortcuts, and the right click on the book.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <cstdlib>

#include "book/embedded.h"
#include "bridge/bridge.h"
#include "bridge/commands.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/window_hooks.h"
#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "shell/window_hook.h"
#include "tests/support/qt_app.h"
#include "tests/support/qt_program.h"
#include "tests/support/support.h"

using namespace components;
using testing_support::App;
using testing_support::TempDir;

namespace {

using QtControls = testing_support::QtProgram;

}  // namespace

TEST_F(QtControls, OpeningTheBookShowsTheToolbarAndItsButtonsDriveTheMovie) {
  QWidget* bar = window->findChild<QWidget*>("asxToolbar1");
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(Var("/utility/jump_number.display"), "3");
  // The book said "noZoom": zoom hidden, single page offered.
  EXPECT_FALSE(Button("zoomIn")->isVisible());
  EXPECT_TRUE(Button("singlePage")->isVisible());
  EXPECT_FALSE(Button("player")->isEnabled());
  EXPECT_EQ(Button("Index")->toolTip().toStdString(), "目錄 (Ctrl+T)");

  program.Player().TCallLabel("/", "indexPage");
  QTest::mouseClick(player, Qt::LeftButton, {}, QPoint(560, 300));  // turn on
  QTest::qWait(20);
  EXPECT_EQ(Var("/utility/jump_number.display"), "5");
  QTest::mouseClick(Button("Index"), Qt::LeftButton);
  EXPECT_EQ(Var("/utility/jump_number.display"), "3");

  // The mute pair, crossed: the shown button turns the sound on.
  EXPECT_TRUE(Button("mute")->isVisible());
  QTest::mouseClick(Button("mute"), Qt::LeftButton);
  QTest::qWait(20);
  EXPECT_EQ(Var("soundOn"), "1");
  EXPECT_FALSE(Button("mute")->isVisible());
  EXPECT_TRUE(Button("soundOn")->isVisible());
}

TEST_F(QtControls, ShortcutsActAsClicksOnlyOnButtonsThatCanBeClicked) {
  QTest::keyClick(window, Qt::Key_M, Qt::ControlModifier);
  QTest::qWait(20);
  EXPECT_EQ(Var("soundOn"), "1");
  QTest::keyClick(window, Qt::Key_M, Qt::ControlModifier);  // now the other button of the pair
  QTest::qWait(20);
  EXPECT_EQ(Var("soundOn"), "0");
  QTest::keyClick(window, Qt::Key_2, Qt::ControlModifier);  // doublePage is hidden
  QTest::qWait(20);
  EXPECT_TRUE(Button("singlePage")->isVisible());
  program.ToolbarControl().Visible(false);
  QTest::keyClick(window, Qt::Key_M, Qt::ControlModifier);  // the whole bar hidden
  QTest::qWait(20);
  EXPECT_EQ(Var("soundOn"), "0");
}

TEST_F(QtControls, ARightClickOnTheBookPopsUpTheHostMenuAndNeverReachesThePlayer) {
  EXPECT_EQ(shell::flashWnd, reinterpret_cast<HWND>(player));
  std::vector<std::string> items;
  QTimer::singleShot(50, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions()) items.push_back(a->text().toStdString());
    menu->close();
  });
  std::string before = Var("/utility/jump_number.display");
  QTest::mouseClick(player, Qt::RightButton, {}, QPoint(560, 300));
  EXPECT_EQ(items, (std::vector<std::string>{"關於翻頁電子書", "關閉"}));
  EXPECT_EQ(Var("/utility/jump_number.display"), before);
  // Left clicks still reach it.
  QTest::mouseClick(player, Qt::LeftButton, {}, QPoint(560, 300));
  QTest::qWait(20);
  EXPECT_NE(Var("/utility/jump_number.display"), before);
}

// Nothing may be destroyed while one of its own calls, events or popups is
// still on the stack: these run under the sanitizers.
TEST_F(QtControls, CloseFromTheRightClickMenuEndsTheLoopWithStatusZeroAndKeepsTheSound) {
  program.Player().TCallLabel("/", "soundOn");
  testing_support::NextPopup popup("關閉");
  testing_support::NextBox box(QMessageBox::Yes);
  QObject scope;
  QTimer::singleShot(0, &scope, [&] { QTest::mouseClick(player, Qt::RightButton, {}, QPoint(560, 300)); });
  QTimer::singleShot(10000, &scope, [] { QCoreApplication::exit(99); });  // never hangs
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(popup.up.done());
  EXPECT_EQ(box.text, "確定要離開電子書嗎 ?");
  EXPECT_FALSE(program.MainWindow().IsLoaded());
  EXPECT_EQ(shell::ReadRegValue(hive, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn"), "1");
}

TEST_F(QtControls, TheAboutWindowsButtonAndTheHelpWindowsCloseBoxEndTheirWindowsInTheirOwnHandlers) {
  testing_support::NextPopup about("關於翻頁電子書");
  QTest::mouseClick(player, Qt::RightButton, {}, QPoint(560, 300));
  ASSERT_TRUE(program.AboutWindow().IsVisible());
  auto* aboutWidget = reinterpret_cast<QWidget*>(program.AboutWindow().Handle());
  QTest::mouseClick(aboutWidget->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(program.AboutWindow().IsVisible());
  EXPECT_TRUE(program.AboutWindow().IsLoaded());

  window->activateWindow();  // its shortcuts work in the active window
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keyClick(window, Qt::Key_F1);
  ASSERT_TRUE(program.HelpWindow().IsVisible());
  QPointer<QWidget> help = reinterpret_cast<QWidget*>(program.HelpWindow().Handle());
  // Owned by the main window: transient for it, centred on it. The About
  // window has no owner and stays free.
  EXPECT_EQ(help->windowHandle()->transientParent(), window->windowHandle());
  EXPECT_LE((help->frameGeometry().center() - window->frameGeometry().center()).manhattanLength(), 1);
  EXPECT_EQ(aboutWidget->windowHandle()->transientParent(), nullptr);
  help->close();  // the close box: unloads the window from inside the widget's own event
  EXPECT_FALSE(program.HelpWindow().IsLoaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(help.isNull());
  QTest::keyClick(window, Qt::Key_F1);  // loads anew
  EXPECT_TRUE(program.HelpWindow().IsVisible());
}

TEST_F(QtControls, MaximiseAndRestoreGiveThePlayerTheWholeWindowOnceThePlatformHasApplied) {
  bridge.dispatcher().FSCommand("dirov.Win", "maximize");
  EXPECT_EQ(program.MainWindow().State(), WindowState::Maximized);
  EXPECT_NE(window->size(), QSize(760, 549));
  // The whole window: its client area and the classic frame, 8 x 27 pixels.
  EXPECT_EQ(player->size(), window->size() + QSize(8, 27));
  bridge.dispatcher().FSCommand("dirov.Win", "restore");
  EXPECT_EQ(window->size(), QSize(760, 549));
  EXPECT_EQ(player->size(), QSize(768, 576));
}

TEST_F(QtControls, AMenuOpenedByAShortcutDropsDownFromItsButton) {
  program.ToolbarControl().ButtonVisible(5, true);
  QCursor::setPos(window->mapToGlobal(QPoint(700, 500)));
  testing_support::NextPopup menu("");  // only looks, then dismisses
  QTest::keyClick(window, Qt::Key_1, Qt::ControlModifier);
  QToolButton* single = Button("singlePage");
  EXPECT_TRUE(menu.up.done());
  EXPECT_EQ(menu.at, single->mapToGlobal(QPoint(0, single->height())));
}
