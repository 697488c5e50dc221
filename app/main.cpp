// The reader: one book, carried inside this executable.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/startup_aids.h"
#include "book/embedded.h"
#include "bridge/bridge.h"
#include "components/errors.h"
#include "lists/lists.h"
#include "media/media.h"
#include "platform/posix/hive.h"
#include "platform/posix/services.h"
#include "platform/posix/single_instance.h"
#include "platform/qt/event_hold.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/runtime_choice.h"
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
  for (int attempt = 0; !instance.first() && attempt < 3; ++attempt) {
    if (instance.AskFirstToShow()) return 0;
    instance.Retry();  // it did not answer: it may have ended meanwhile
  }
  if (!instance.first()) {
    std::fprintf(stderr,
                 "reader: another copy holds this book but does not answer; try again once it has closed\n");
    return 1;
  }
  posix::Resources resources(book::EmbeddedResources());
  posix::Hive hive(posix::Hive::DefaultPath("reader"));
  app::StartupAids::Choice aidsChosen;
#ifdef READER_STARTUP_PROBE
  if (const char* without = std::getenv("READER_STARTUP_WITHOUT")) {
    std::optional<app::StartupAids::Choice> chosen = app::StartupAids::Without(without);
    if (!chosen) {
      std::fprintf(stderr, "reader_startup_probe: unknown start-up aid in \"%s\"\n", without);
      return 2;
    }
    aidsChosen = *chosen;
  }
#endif
  app::StartupAids aids(aidsChosen, resources);
  // The Flash runtime's engine is set up before the application exists.
  qtdesk::PrepareRuntime();
  QApplication app(argc, argv);
  QApplication::setApplicationName("reader");

  posix::PlayerStorage playerStorage(posix::PlayerStorage::DefaultFolder("reader"));
  posix::Environment environment("reader");
  qtdesk::RuntimeFolders runtimeFolders{.program = environment.ProgramFolder(),
                                        .media = environment.MediaFolder(),
                                        .data = posix::DataHome() + "/reader"};
  qtdesk::Desktop desktop({.storage = &playerStorage,
                           .readAhead = aids.readAhead(),
                           .pictures = aids.pictures(),
                           .runtime = &runtimeFolders});
  posix::FileSystem files;
  posix::Connection connection(READER_DOWNLOAD_URL);
  qtdesk::WindowHooks hooks(desktop);
  desktop.AfterFirstPaint([&environment] { qtdesk::LoadWindowIcon(environment.ProgramFolder()); });
  components::System system{desktop, hive, files, environment, resources, connection, hooks};

  shell::Program program(system);
  bridge::Bridge bridge(program);
  lists::Lists lists(program, bridge);
  media::Media media(program, bridge, READER_DOWNLOAD_URL);

  program.Start();
  std::optional<QSocketNotifier> secondCopy;
  if (instance.listener() >= 0) {
    secondCopy.emplace(instance.listener(), QSocketNotifier::Read);
    QObject::connect(&*secondCopy, &QSocketNotifier::activated, [&] {
      // Not while a call waits for the runtime: after it.
      secondCopy->setEnabled(false);
      qtdesk::EventHold::Get().RunOrDefer([&] {
        secondCopy->setEnabled(true);
        instance.TakeRequest([&] {
          bool shown = false;
          desktop.RunHandler([&] { shown = program.BringToFront(); });
          return shown;
        });
      });
    });
  }

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
