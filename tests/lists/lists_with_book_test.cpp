// The host's lists against the real stand-in player: what the host sends
// and what the book keeps, tested together, across a restart.
#include <filesystem>

#include "book/embedded.h"
#include "lists/lists.h"
#include "player/book_player.h"
#include "player/layout.h"
#include "shell/settings_store.h"
#include "tests/support/started.h"

using namespace components;
namespace L = player::layout;

namespace {

class ListsWithBook : public ::testing::Test {
 protected:
  ListsWithBook() {
    h.environment.variables["TEMP"] = dir.path() + "/";
    const auto& movie = book::EmbeddedResources()[0];
    h.resources.table[{"CUSTOM", 101}] = std::vector<std::uint8_t>(movie.data, movie.data + movie.size);
    h.registry.Plant(shell::BookKey(), "showHelp", REG_SZ, "-2");  // no intro panel
    h.desktop.makePlayer = [this](const ControlDesign&) {
      return std::make_unique<player::BookPlayer>(h.desktop, &storage);
    };
    Start();
  }
  void Start() {
    program = std::make_unique<shell::Program>(h.system);
    bridge = std::make_unique<bridge::Bridge>(*program);
    lists = std::make_unique<lists::Lists>(*program, *bridge);
    program->Start();
    h.desktop.Pump();
    // The reader opens the book at its cover.
    book().Click(L::kRightPage.x + L::kRightPage.w / 2, L::kRightPage.y + L::kRightPage.h / 2);
    h.desktop.Pump();
  }
  player::BookPlayer& book() { return dynamic_cast<player::BookPlayer&>(program->Player()); }
  std::string Var(const std::string& name) { return book().GetVariable(name); }
  // Adds from the left page of the spread that shows `page` (an even page).
  void Add(const char* menu, const char* dialog, int page, const std::string& text) {
    book().GoToPage(page);
    h.desktop.WhenModal(dialog, [text](Window& w) {
      w.control("Text2").UserType(text);
      w.control("Command1").UserClick();
    });
    program->MainWindow().FireMenu(menu);
    h.desktop.Pump();
  }
  std::vector<std::string> Lines(Window& w) { return w.control("List1").Items(); }

  testing_support::TempDir dir;
  testing_support::Headless h;
  posix::PlayerStorage storage{dir / "player"};
  std::unique_ptr<shell::Program> program;
  std::unique_ptr<bridge::Bridge> bridge;
  std::unique_ptr<lists::Lists> lists;
};

}  // namespace

TEST_F(ListsWithBook, BookmarksAddedOutOfOrderAreListedByPageAndADeletionRenumbers) {
  ASSERT_EQ(book().kind(), player::BookPlayer::Kind::Book);
  Add("leftBookmark", "addBookmark", 12, "第十二頁");
  Add("leftBookmark", "addBookmark", 4, "第四頁");
  Add("leftBookmark", "addBookmark", 8, "第八頁");
  ASSERT_EQ(Var("/bookmarkList.counter"), "3");
  h.desktop.WhenModal("bookmarkAdmin", [&](Window& w) {
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"第 4 頁", "第 8 頁", "第 12 頁"}));
    w.control("List1").UserSelect(1);
    w.control("Command2").UserClick();
    // Line k is still entry k of the book's renumbered list.
    ASSERT_EQ(Var("/bookmarkList.counter"), "2");
    for (int k = 0; k < 2; ++k)
      EXPECT_EQ(Lines(w)[static_cast<size_t>(k)],
                "第 " + Var("/bookmarkList/page:" + std::to_string(k)) + " 頁");
    w.UserClose();
  });
  program->MainWindow().FireMenu("bookmarkAdmin1");
}

TEST_F(ListsWithBook, NotesAreEditedFromTheManagerAndOpenedFromTheirPageMarker) {
  Add("leftNote", "addNote", 10, "甲");
  Add("leftNote", "addNote", 6, "乙\r\n第二行");
  ASSERT_EQ(Var("/EBookNote.counter"), "2");
  h.desktop.WhenModal("noteContent", [](Window& v) {
    EXPECT_EQ(v.control("Text1").Text(), "甲");
    v.control("Text1").UserType("甲，改過");
    v.control("Command1").UserClick();
  });
  h.desktop.WhenModal("noteAdmin", [&](Window& w) {
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"第 6 頁", "第 10 頁"}));
    w.control("List1").UserSelect(1);
    w.control("Command1").UserClick();
    w.UserClose();
  });
  program->MainWindow().FireMenu("noteAdmin2");
  EXPECT_EQ(Var("/EBookNote/notes:1.content"), "甲，改過");

  // The reader presses the marker on page 10: the book says "viewNote".
  book().GoToPage(10);
  std::string shown;
  h.desktop.WhenModal("noteContent", [&](Window& v) {
    shown = v.control("Text1").Text();
    v.UserClose();
  });
  L::Rect marker = L::NoteMarker(L::kLeftPage);
  book().Click(marker.x + marker.w / 2, marker.y + marker.h / 2);
  h.desktop.Pump();
  EXPECT_EQ(shown, "甲，改過");
}

TEST_F(ListsWithBook, ARestartKeepsBothLists) {
  Add("leftBookmark", "addBookmark", 4, "書籤");
  Add("leftNote", "addNote", 6, "註解\r\n兩行");
  lists.reset();
  bridge.reset();
  program.reset();  // the reader closes
  h.desktop.Pump();
  Start();
  EXPECT_EQ(Var("/bookmarkList.counter"), "1");
  EXPECT_EQ(Var("/bookmarkList/page:0"), "4");
  EXPECT_EQ(Var("/EBookNote.counter"), "1");
  EXPECT_EQ(Var("/EBookNote/notes:0.content"), "註解\r\n兩行");
}
