#pragma once

#include <optional>
#include <string>
#include <vector>

#include "player/changes.h"
#include "player/list_format.h"
#include "player/movie_variables.h"
#include "player/storage.h"

namespace player {

// The book's bookmarks and notes, with the movie's rules, kept in the
// player's local storage under the book's code.
class BookLists {
 public:
  explicit BookLists(LocalStorage* storage) : storage_(storage) {}

  // The lists kept for the book `code` of `pages` pages; none when it has
  // none or its record is damaged.
  void Open(const std::string& code, int pages);
  void Close();

  const std::vector<Bookmark>& bookmarks() const { return bookmarks_; }
  const std::vector<Note>& notes() const { return notes_; }
  int NoteIndexOf(int page) const;  // -1: none

  // The movie's labels that change the lists ("addBookmark", "editNote",
  // ...), with the inputs the host set; other labels change nothing.
  Changes CallLabel(const std::string& label, const MovieVariables& input);
  // The lists as the movie's variables ("/bookmarkList.counter", ...);
  // nullopt for other names.
  std::optional<std::string> Variable(const std::string& name) const;

 private:
  void Save();

  LocalStorage* storage_;
  std::string code_;
  int pages_ = 0;
  std::vector<Bookmark> bookmarks_;
  std::vector<Note> notes_;
};

}  // namespace player
