#pragma once

#include <string>

namespace player {
class LocalStorage;
class ReadAhead;
}  // namespace player

namespace qtdesk {

class PictureStore;

// Where a player on the Flash runtime finds its files and keeps its own.
struct RuntimeFolders {
  std::string program;  // runtime/ (the runtime, its page, the bridge) and the news files
  std::string media;    // the chapters and the narrator
  std::string data;     // the engine's profile, the movies' local storage
};

// What the program lends the players it shows; each may be none. All must
// outlive the desktop.
struct PlayerServices {
  // Where players keep their lists; none: they keep nothing.
  player::LocalStorage* storage = nullptr;
  // A movie the program read ahead, for a player to take.
  player::ReadAhead* readAhead = nullptr;
  // Where players keep pictures decoded ahead between starts.
  const PictureStore* pictures = nullptr;
  // Where the runtime's players have their files; none: the stand-in plays.
  const RuntimeFolders* runtime = nullptr;
};

}  // namespace qtdesk
