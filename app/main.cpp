// The reader: one book, carried inside this executable.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/startup_aids.h"
#include "book/embedded.h"
#include "bridge/bridge.h"
#include "components/errors.h"
#include "lists/lists.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/posix/single_instance.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/window_hooks.h"
#include "platform/qt/window_icon.h"
#include "shell/book.h"
#include "shell/program.h"

#ifdef READER_STARTUP_PROBE
#include <chrono>
#endif

int main(int argc, char** argv) {
  // A second copy for this user hands over to the first, before it writes
  // anything (the temporary movie, the hive), and ends.
  posix::SingleInstance instance("reader", shell::kBookCode);
  if (!instance.first()) {
    instance.AskFirstToShow();
    return 0;
  }
  posix::Resources resources(book::EmbeddedResources());
  posix::Hive hive(posix::Hive::DefaultPath("reader"));
  app::StartupAids::Choice aidsChosen;
#ifdef READER_STARTUP_PROBE
  if (const char* without = std::getenv("READER_STARTUP_WITHOUT"))
    aidsChosen = app::StartupAids::Without(without);
#endif
  app::StartupAids aids(aidsChosen, resources);
  QApplication app(argc, argv);
  QApplication::setApplicationName("reader");

  posix::PlayerStorage playerStorage(posix::PlayerStorage::DefaultFolder("reader"));
  qtdesk::Desktop desktop(
      {.storage = &playerStorage, .readAhead = aids.readAhead(), .pictures = aids.pictures()});
  posix::FileSystem files;
  posix::Environment environment("reader");
  posix::Connection connection;
  qtdesk::WindowHooks hooks(desktop);
  desktop.AfterFirstPaint([&environment] { qtdesk::LoadWindowIcon(environment.ProgramFolder()); });
  components::System system{desktop, hive, files, environment, resources, connection, hooks};

  shell::Program program(system);
  bridge::Bridge bridge(program);
  lists::Lists lists(program, bridge);

  program.Start();
  QSocketNotifier secondCopy(instance.listener(), QSocketNotifier::Read);
  secondCopy.setEnabled(instance.listener() >= 0);
  QObject::connect(&secondCopy, &QSocketNotifier::activated, [&] {
    if (instance.TakeRequest()) desktop.RunHandler([&] { program.BringToFront(); });
  });

#ifdef READER_STARTUP_PROBE
  // Reports once the main window has been drawn with the movie loaded, then quits.
  QTimer::singleShot(0, [] {
    QCoreApplication::processEvents();
    auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("shown %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    std::fflush(stdout);
    QCoreApplication::exit(0);
  });
#endif
  return app.exec();
}
