// At a scale factor of 2 (QT_SCALE_FACTOR, set by the test's registration):
// windows twice the size in device pixels, pages decoded at that resolution.
#include <QTest>
#include <QWindow>

#include "platform/qt/qt_player.h"
#include "tests/support/qt_program.h"

TEST(HighResolution, TheMainWindowAndTheCoverAreDrawnAtDeviceResolution) {
  testing_support::App();
  ASSERT_EQ(qgetenv("QT_SCALE_FACTOR"), "2");
  testing_support::TempDir dir;
  setenv("TEMP", (dir.path() + "/").c_str(), 1);
  {
    qtdesk::Desktop desktop;
    posix::Hive hive{dir / "hive.sqlite"};
    shell::WriteShowHelp(hive, "-2");
    posix::FileSystem files;
    posix::Environment environment{"reader", dir.path()};
    posix::Resources resources{book::EmbeddedResources()};
    posix::Connection connection;
    qtdesk::WindowHooks hooks{desktop};
    components::System system{desktop, hive, files, environment, resources, connection, hooks};
    shell::Program program{system};
    program.Start();
    auto* window = reinterpret_cast<QWidget*>(program.MainWindow().Handle());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->devicePixelRatio(), 2);
    EXPECT_EQ(window->size() * window->devicePixelRatio(), QSize(1520, 1098));
    auto* player = window->findChild<qtdesk::PlayerWidget*>("playerArea");
    ASSERT_TRUE(player);
    // The demo book's page pictures hold twice the normal size: pixel for pixel here.
    EXPECT_EQ(player->CoverPixels(), QSize(654, 980));
    QTest::qWait(50);
    EXPECT_GE(player->cache().bytes(), 654 * 980 * 4);  // decoded at that size, not scaled up from half
  }
  unsetenv("TEMP");
}
