#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/movie_player.h"
#include "components/window_design.h"
#include "platform/runtime/movie_files.h"

class QWidget;

namespace runtime {

// What the program lends a player on the Flash runtime. The runtime lives in
// a module of its own (its engine's libraries are many): nothing here names
// the engine.
struct Host {
  // Runs fn from the program's event loop, after the current handler (the
  // desktop's Post: held while a call waits for the runtime).
  std::function<void(std::function<void()>)> post;
  // Holds the program's own events while a call waits, and lets them go.
  std::function<void()> hold, release;
  // Opens an http(s) page in the desktop's browser.
  std::function<void(const std::string& url)> openUrl;
  // What the reader: scheme serves, by address (MovieFiles::Get), and the
  // book it serves as reader://book/book.swf (MovieFiles::SetBook).
  std::function<Response(std::string_view url)> serve;
  std::function<void(const std::string& path)> setBook;
  // Where the chapters and the narrator are, served as reader://media/.
  std::vector<std::string> mediaFolders;
  std::string dataFolder;    // the engine's profile and the movies' local storage
  int callTimeoutMs = 5000;  // a call unanswered this long gives ""
};

// Sets up what the engine needs before the application object exists (its
// URL scheme, its switches). Once per process, before QApplication.
void Prepare();
// A player whose widget (carrying the Flash control's class) is a child of
// `parent`, placed by `design`. Null when the engine cannot start.
std::unique_ptr<components::MoviePlayer> CreatePlayer(const Host& host, QWidget* parent,
                                                      const components::ControlDesign& design);

// The module's entry points, for the desktop that loads it.
using PrepareEntry = void (*)();
using CreateEntry = components::MoviePlayer* (*)(const Host& host, QWidget* parent,
                                                 const components::ControlDesign& design);
constexpr const char* kModuleFile = "libreader_runtime.so";
constexpr const char* kPrepareEntry = "reader_runtime_prepare";
constexpr const char* kCreateEntry = "reader_runtime_create";

}  // namespace runtime
