// Bookmarks and notes in the player's storage.
#include "tests/player/book_fixture.h"

using book_fixture::Book;
using book_fixture::BookPlayer;

// The lists' rules themselves are the shared table's (tests/support/book_rules.h).

TEST_F(Book, ListsSurviveARestartThroughTheStorage) {
  Add("addBookmark", "7", "tab\there");
  Add("addNote", "9", "line\nbreak\\");
  BookPlayer again(desktop, &storage);
  again.Movie(dir / "book.swf");
  EXPECT_EQ(again.GetVariable("/bookmarkList/page:0"), "7");
  EXPECT_EQ(again.lists().bookmarks()[0].title, "tab\there");
  EXPECT_EQ(again.GetVariable("/EBookNote/notes:0.content"), "line\nbreak\\");
  // A damaged record is ignored, not half-read.
  storage.records["K19990317045"].resize(storage.records["K19990317045"].size() - 3);
  BookPlayer damaged(desktop, &storage);
  damaged.Movie(dir / "book.swf");
  EXPECT_EQ(damaged.GetVariable("/bookmarkList.counter"), "0");
  desktop.Pump();
}
