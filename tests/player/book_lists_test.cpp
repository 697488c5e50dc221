// Bookmarks and notes: the movie's rules and the player's storage.
#include "tests/player/book_fixture.h"

using book_fixture::Book;
using book_fixture::BookPlayer;

TEST_F(Book, BookmarksAreSortedOnePerPageInsideTheBook) {
  Add("addBookmark", "12", "第十二頁");
  Add("addBookmark", "5", "五");
  Add("addBookmark", "9", "");
  Add("addBookmark", "5", "again");  // a page already marked
  Add("addBookmark", "0", "x");
  Add("addBookmark", "31", "the last page is never marked");
  Add("addBookmark", "-3", "x");
  Add("addBookmark", "abc", "x");
  EXPECT_EQ(Get("/bookmarkList.counter"), "3");
  EXPECT_EQ(Get("/bookmarkList/page:0"), "5");
  EXPECT_EQ(Get("/bookmarkList/page:1"), "9");
  EXPECT_EQ(Get("/bookmarkList/page:2"), "12");
  EXPECT_EQ(Get("/bookmarkList/page:3"), "");
  EXPECT_EQ(player.lists().bookmarks()[0].title, "五");

  player.SetVariable("index", "1");
  Label("deleteBookmark");
  EXPECT_EQ(Get("/bookmarkList/page:1"), "12");  // the later one moved down
  player.SetVariable("index", "7");
  Label("deleteBookmark");
  EXPECT_EQ(Get("/bookmarkList.counter"), "2");
  Label("deleteAllBookmark");
  EXPECT_EQ(Get("/bookmarkList.counter"), "0");
}

TEST_F(Book, NotesFollowTheirOwnRulesAndCanBeEdited) {
  Add("addNote", "4", "");  // empty text: nothing
  Add("addNote", "4", "第一行\r\n第二行");
  Add("addNote", "3", "三");
  Add("addNote", "4", "second for the page");
  Add("addNote", "31", "last");
  EXPECT_EQ(Get("/EBookNote.counter"), "2");
  EXPECT_EQ(Get("/EBookNote/notes:0.page"), "3");
  EXPECT_EQ(Get("/EBookNote/notes:1.content"), "第一行\r\n第二行");
  player.SetVariable("index", "1");
  player.SetVariable("inputContent", std::string(150, 'x'));
  Label("editNote");
  EXPECT_EQ(Get("/EBookNote/notes:1.content"), std::string(150, 'x'));
  player.SetVariable("index", "0");
  Label("deleteNote");
  EXPECT_EQ(Get("/EBookNote/notes:0.page"), "4");
  Label("deleteAllNote");
  EXPECT_EQ(Get("/EBookNote.counter"), "0");
}

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
