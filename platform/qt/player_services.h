#pragma once

namespace player {
class LocalStorage;
class ReadAhead;
}  // namespace player

namespace qtdesk {

class PictureStore;

// What the program lends the players it shows; each may be none. All must
// outlive the desktop.
struct PlayerServices {
  // Where players keep their lists; none: they keep nothing.
  player::LocalStorage* storage = nullptr;
  // A movie the program read ahead, for a player to take.
  player::ReadAhead* readAhead = nullptr;
  // Where players keep pictures decoded ahead between starts.
  const PictureStore* pictures = nullptr;
};

}  // namespace qtdesk
