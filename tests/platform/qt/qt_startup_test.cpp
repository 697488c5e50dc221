#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "book/embedded.h"
#include "bridge/bridge.h"
#include "bridge/commands.h"
#include "bridge/dispatcher.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/window_hooks.h"
#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

using namespace components;
using testing_support::App;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

struct Real {
  explicit Real(const TempDir& dir)
      : hive(dir / "data/reader/HKEY_LOCAL_MACHINE.sqlite"), environment("reader", dir / "program") {}
  qtdesk::Desktop desktop;
  posix::Hive hive;
  posix::FileSystem files;
  posix::Environment environment;
  posix::Resources resources{book::EmbeddedResources()};
  posix::Connection connection;
  qtdesk::WindowHooks hooks{desktop};
  System system{desktop, hive, files, environment, resources, connection, hooks};
};

// Starts the reader with the whole bridge on the settings in `dir` and lets
// the book's answer to its settings play out. True when the intro panel came
// up; it is closed at once, its box ticked first when `tick`.
bool StartSeesIntroPanel(const TempDir& dir, bool tick) {
  Real real(dir);
  shell::Program program(real.system);
  bridge::Bridge bridge(program);
  bool seen = false;
  QTimer reader;
  reader.setInterval(5);
  QObject::connect(&reader, &QTimer::timeout, [&] {
    QWidget* panel = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(panel)) {
      ADD_FAILURE() << "message box: " << box->text().toStdString();
      box->close();
      return;
    }
    if (!panel || panel->objectName() != "leftForm") return;
    seen = true;
    if (tick) panel->findChild<QCheckBox*>("Check1")->click();
    panel->close();
  });
  reader.start();
  program.Start();
  // "news2" is the last of the settings; what the book sends after them is
  // posted, so a few more rounds deliver it.
  QElapsedTimer clock;
  clock.start();
  int rounds = 0;
  while (!seen && rounds < 5 && clock.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!program.Player().GetVariable("news2").empty()) ++rounds;
  }
  return seen;
}

std::string StoredShowHelp(const TempDir& dir) {
  posix::Hive hive(dir / "data/reader/HKEY_LOCAL_MACHINE.sqlite");
  return shell::ReadRegValue(hive, HKEY_LOCAL_MACHINE, shell::BookKey(), "showHelp");
}

}  // namespace

TEST(QtStartup, TheFirstStartShowsTheIntroPanelAndEveryStartDoesUntilItsBoxIsTicked) {
  App();
  TempDir dir;
  setenv("TEMP", (dir.path() + "/").c_str(), 1);
  EXPECT_TRUE(StartSeesIntroPanel(dir, false));  // the book asks: nothing was stored
  EXPECT_EQ(StoredShowHelp(dir), "1");
  EXPECT_TRUE(StartSeesIntroPanel(dir, true));  // the host opens it for the "1"
  EXPECT_EQ(StoredShowHelp(dir), "-2");
  EXPECT_FALSE(StartSeesIntroPanel(dir, false));
  EXPECT_EQ(StoredShowHelp(dir), "-2");
  unsetenv("TEMP");
}

TEST(QtStartup, TheRealStartUpWritesTheMovieSizesTheWindowAndStoresSoundOnYes) {
  App();
  TempDir dir;
  setenv("TEMP", (dir.path() + "/").c_str(), 1);
  Real real(dir);
  shell::Program program(real.system);
  bridge::Dispatcher dispatcher(program, {});
  program.OnMovieCommand([&](const std::string& c, const std::string& a) { dispatcher.FSCommand(c, a); });
  program.Start();
  QCoreApplication::processEvents();

  const auto& res = book::EmbeddedResources()[0];
  EXPECT_EQ(ReadFile(dir / shell::kBookCode), std::vector<std::uint8_t>(res.data, res.data + res.size));

  auto* window = reinterpret_cast<QWidget*>(program.MainWindow().Handle());
  ASSERT_TRUE(window->isVisible());
  EXPECT_EQ(program.MainWindow().Width(), 11520);
  EXPECT_EQ(program.MainWindow().Height(), 8640);
  // The classic frame is taken whatever the platform draws: the client
  // area is the designed one, and the player covers it.
  EXPECT_EQ(window->size(), QSize(760, 549));
  QWidget* player = window->findChild<QWidget*>("playerArea");
  ASSERT_TRUE(player);
  EXPECT_TRUE(player->geometry().contains(window->rect()));
  EXPECT_EQ(window->windowTitle().toStdString(), shell::kBookTitle);
  EXPECT_EQ(program.Player().TGetProperty("/", 4), "1");  // the movie was read

  // The reader turns the book's sound on; a close request answered Yes stores it.
  program.Player().TCallLabel("/", "soundOn");
  testing_support::NextBox box(QMessageBox::Yes);
  window->close();
  EXPECT_EQ(box.text, "確定要離開電子書嗎 ?");
  EXPECT_EQ(box.title, "離開電子書");
  // In the book's language, whatever the locale, with their accelerators.
  EXPECT_EQ(box.buttons, (std::vector<std::string>{"是(&Y)", "否(&N)"}));
  EXPECT_FALSE(program.MainWindow().IsLoaded());
  posix::Hive check(dir / "data/reader/HKEY_LOCAL_MACHINE.sqlite");
  EXPECT_EQ(shell::ReadRegValue(check, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn"), "1");
  unsetenv("TEMP");
}

TEST(QtStartup, ANoKeepsTheWindowOpen) {
  App();
  TempDir dir;
  setenv("TEMP", (dir.path() + "/").c_str(), 1);
  Real real(dir);
  shell::Program program(real.system);
  program.Start();
  auto* window = reinterpret_cast<QWidget*>(program.MainWindow().Handle());
  testing_support::NextBox box(QMessageBox::No);
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(program.MainWindow().IsLoaded());
  posix::Hive check(dir / "data/reader/HKEY_LOCAL_MACHINE.sqlite");
  EXPECT_EQ(shell::ReadRegValue(check, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn"), "none");
  unsetenv("TEMP");
}

TEST(QtDesktop, ModalWindowsRunTheirOwnLoopUntilHidden) {
  App();
  qtdesk::Desktop desktop;
  WindowDesign d{.name = "modal", .caption = "m", .clientWidth = 3000, .clientHeight = 2000};
  d.controls.push_back({.name = "Timer1", .kind = ControlKind::Timer, .interval = 5});
  Window w(desktop, d);
  int ticks = 0;
  w.OnTimer("Timer1", [&] {
    if (++ticks == 3) w.Hide();
  });
  w.ShowModal(nullptr);
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(w.IsLoaded());
  EXPECT_FALSE(w.IsVisible());
}
