#include "platform/qt/runtime_choice.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLibrary>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/qt/event_hold.h"

#if READER_WEB_ENGINE
#include "platform/runtime/movie_files.h"
#include "platform/runtime/runtime_module.h"
#endif

namespace qtdesk {

bool RuntimeChosen() {
#if READER_WEB_ENGINE
  const char* chosen = std::getenv("READER_PLAYER");
  if (chosen && std::strcmp(chosen, "standin") == 0) return false;
  if (chosen && *chosen && std::strcmp(chosen, "runtime") != 0)
    std::fprintf(stderr, "reader: READER_PLAYER=%s is neither runtime nor standin; the runtime plays\n",
                 chosen);
  return true;
#else
  return false;
#endif
}

#if READER_WEB_ENGINE
namespace {

// Resolved once; the module stays loaded for the rest of the process.
template <typename Entry>
Entry ModuleEntry(const char* name) {
  // Beside the executable (the application object may not exist yet).
  QLibrary module(QFileInfo("/proc/self/exe").canonicalPath() + "/" + runtime::kModuleFile);
  auto entry = reinterpret_cast<Entry>(module.resolve(name));
  static bool told = false;
  if (!entry && !told) {
    told = true;
    std::fprintf(stderr, "reader: the Flash runtime cannot be loaded (%s); the stand-in plays\n",
                 qPrintable(module.errorString()));
  }
  return entry;
}

}  // namespace
#endif

void PrepareRuntime() {
#if READER_WEB_ENGINE
  if (!RuntimeChosen()) return;
  if (auto prepare = ModuleEntry<runtime::PrepareEntry>(runtime::kPrepareEntry)) prepare();
#endif
}

std::unique_ptr<components::MoviePlayer> CreateRuntimePlayer(components::Desktop& desktop,
                                                             const PlayerServices& services, QWidget* parent,
                                                             const components::ControlDesign& design) {
#if READER_WEB_ENGINE
  if (!services.runtime || !RuntimeChosen()) return nullptr;
  auto create = ModuleEntry<runtime::CreateEntry>(runtime::kCreateEntry);
  if (!create) return nullptr;
  const RuntimeFolders& folders = *services.runtime;
  // One set of files for every player: the book the main window set is
  // what the scheme serves as the book. The narrator of an installed copy
  // stays in the program folder while its chapters go to the user's.
  static auto* files = new runtime::MovieFiles(folders.program + "/runtime", folders.program, folders.media);
  static auto* programMedia =
      new runtime::MovieFiles(folders.program + "/runtime", folders.program, folders.program + "/Review");
  static components::Lifetime always;  // the player checks its own lifetime
  runtime::Host host{
      .post = [&desktop](std::function<void()> fn) { desktop.Post(always, std::move(fn)); },
      .hold = [] { EventHold::Get().Hold(); },
      .release = [] { EventHold::Get().Release(); },
      .openUrl = [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); },
      .serve =
          [](std::string_view url) {
            runtime::Response r = files->Get(url);
            if (r.status == 404 && url.starts_with("reader://media/")) r = programMedia->Get(url);
            return r;
          },
      .setBook = [](const std::string& path) { files->SetBook(path); },
      .mediaFolders = {folders.media, folders.program + "/Review"},
      .dataFolder = folders.data,
  };
  return std::unique_ptr<components::MoviePlayer>(create(host, parent, design));
#else
  (void)desktop, (void)services, (void)parent, (void)design;
  return nullptr;
#endif
}

}  // namespace qtdesk
