#pragma once

#include <string>
#include <vector>

namespace player {

struct Bookmark {
  int page;
  std::string title;
};
struct Note {
  int page;
  std::string content;
};

// Lists in the player's storage: "reader-lists 1", then one line per entry,
// kind, page and text separated by tabs, with \\, \t, \n and \r escaped.
std::string EncodeLists(const std::vector<Bookmark>& bookmarks, const std::vector<Note>& notes);
// False, and nothing changed, for text that is not whole lists.
bool DecodeLists(const std::string& text, std::vector<Bookmark>* bookmarks, std::vector<Note>* notes);

}  // namespace player
