#pragma once

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

#include "book/embedded.h"
#include "bridge/bridge.h"
#include "lists/lists.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/window_hooks.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

namespace testing_support {

// The whole program on the real desktop (offscreen), with the book opened.
class QtProgram : public ::testing::Test {
 protected:
  QtProgram() {
    setenv("TEMP", (dir.path() + "/").c_str(), 1);
    // A reader who has ticked the intro panel's box: no panel at the start.
    shell::WriteShowHelp(hive, "-2");
    program.Start();
    QCoreApplication::processEvents();
    window = reinterpret_cast<QWidget*>(program.MainWindow().Handle());
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    player = window->findChild<QWidget*>("playerArea");
    QTest::mouseClick(player, Qt::LeftButton, {}, QPoint(560, 300));  // opens the book
    QTest::qWait(20);
  }
  ~QtProgram() override { unsetenv("TEMP"); }
  QToolButton* Button(const char* key) { return window->findChild<QToolButton*>(key); }
  std::string Var(const char* name) { return program.Player().GetVariable(name); }

  QApplication& app = App();
  TempDir dir;
  qtdesk::Desktop desktop;
  posix::Hive hive{dir / "hive.sqlite"};
  posix::FileSystem files;
  posix::Environment environment{"reader", dir.path()};
  posix::Resources resources{book::EmbeddedResources()};
  posix::Connection connection{"http://127.0.0.1/"};  // the test servers are this machine
  qtdesk::WindowHooks hooks{desktop};
  components::System system{desktop, hive, files, environment, resources, connection, hooks};
  shell::Program program{system};
  bridge::Bridge bridge{program};
  lists::Lists lists{program, bridge};
  QWidget* window = nullptr;
  QWidget* player = nullptr;
};

}  // namespace testing_support
