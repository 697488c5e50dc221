#include "player/book_player.h"

#include "book/embedded.h"
#include "book/swf_writer.h"
#include "tests/support/support.h"

using player::BookPlayer;
using testing_support::TempDir;
namespace L = player::layout;

namespace {

class MemoryStorage : public player::LocalStorage {
 public:
  std::optional<std::string> Load(const std::string& name) override {
    auto it = records.find(name);
    if (it == records.end()) return std::nullopt;
    return it->second;
  }
  bool Save(const std::string& name, const std::string& bytes) override {
    records[name] = bytes;
    ++saves;
    return true;
  }
  std::map<std::string, std::string> records;
  int saves = 0;
};

// The demo book, opened the way the host opens it.
class Book : public ::testing::Test {
 protected:
  Book() {
    const auto& r = book::EmbeddedResources()[0];
    testing_support::WriteFile(dir / "book.swf", std::string(reinterpret_cast<const char*>(r.data), r.size));
    player.OnFSCommand([this](const std::string& c, const std::string& a) { sent.push_back(c + " " + a); });
    player.Movie(dir / "book.swf");
    desktop.Pump();
    sent.clear();
  }
  std::string Get(const std::string& name) { return player.GetVariable(name); }
  void Label(const std::string& label) {
    player.TCallLabel("/", label);
    desktop.Pump();
  }
  void Add(const char* label, const std::string& page, const std::string& text) {
    player.SetVariable("inputPage", page);
    player.SetVariable("inputContent", text);
    Label(label);
  }
  void Center(const L::Rect& r) {
    player.Click(r.x + r.w / 2, r.y + r.h / 2);
    desktop.Pump();
  }

  TempDir dir;
  headless::Desktop desktop;
  MemoryStorage storage;
  BookPlayer player{desktop, &storage};
  std::vector<std::string> sent;
};

// A chapter movie with two seconds of narration.
void WriteChapter(const std::string& path) {
  book::SwfWriter w(7, 4340, 2000, 12);
  w.Metadata("kind=chapter\nchapter=3\n");
  w.DefineSound(1, 11025, std::vector<std::int16_t>(11025 * 2, 100));
  w.FrameLabel("showPlayer");
  w.ShowFrame();
  auto bytes = w.Finish(true);
  testing_support::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// A second player on a host that answers "dirov.getReg" as ours does, with
// "showHelp" as stored. One log holds what the host set ("set name value")
// and what the movie sent, in the order it happened.
class FirstRun : public Book {
 protected:
  FirstRun() {
    fresh.OnFSCommand([this](const std::string& c, const std::string& a) {
      log.push_back(c + " " + a);
      if (c != "dirov.getReg") return;
      for (const auto& [name, value] : answer) {
        log.push_back("set " + name + " " + value);
        fresh.SetVariable(name, value);
      }
    });
  }
  static std::vector<std::pair<std::string, std::string>> Answer(const std::string& showHelp) {
    return {{"transfer", "none"},      {"showHelp", showHelp},      {"firstRun", "none"},
            {"installString", "none"}, {"uninstallString", "none"}, {"kindOfMouse", "none"},
            {"news", "/p/news.ezy"},   {"news2", "/p/news2.ezy"}};
  }
  void Start(const std::string& movie) {
    log.clear();
    fresh.Movie(movie);
    desktop.Pump();
  }
  // The window commands and settings the movie sent, without the toolbar's.
  std::vector<std::string> Asked() const {
    std::vector<std::string> out;
    for (const auto& e : log)
      if (e.rfind("dirov.setReg ", 0) == 0 || e.rfind("dirov.Win ", 0) == 0) out.push_back(e);
    return out;
  }

  std::vector<std::pair<std::string, std::string>> answer;
  BookPlayer fresh{desktop, nullptr};
  std::vector<std::string> log;
};

}  // namespace

TEST_F(Book, OpensOnTheCoverAndAsksForItsSettingsOnceLoaded) {
  TempDir d2;
  headless::Desktop desktop2;
  BookPlayer p(desktop2, nullptr);
  std::vector<std::string> got;
  p.OnFSCommand([&](const std::string& c, const std::string& a) { got.push_back(c + " " + a); });
  p.Movie(dir / "book.swf");
  p.SetVariable("soundOn", "1");
  p.TCallLabel("/", "soundOn");
  EXPECT_TRUE(got.empty());  // nothing inside the host's own calls
  desktop2.Pump();
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0], "dirov.getReg ");
  EXPECT_EQ(got.back(), "dirov.Toolbar soundOn");
  EXPECT_EQ(p.kind(), BookPlayer::Kind::Book);
  EXPECT_EQ(p.GetVariable("/utility/jump_number.totalPage"), "31");
  EXPECT_EQ(p.GetVariable("/utility/jump_number.display"), "1");
  EXPECT_EQ(p.GetVariable("soundOn"), "1");
  EXPECT_EQ(p.TGetProperty("/", 4), "1");
  EXPECT_FALSE(p.pages().opened());
  EXPECT_FALSE(p.PagePicture(31).empty());
  EXPECT_TRUE(p.PagePicture(32).empty());
}

TEST_F(Book, StartPlayOpensTheBookAndShowsTheToolbar) {
  Label("startPlay");
  EXPECT_TRUE(player.pages().opened());
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Win showUtility"});
  EXPECT_EQ(Get("/utility/jump_number.display"), "3");
  EXPECT_EQ(player.pages().leftPage(), 2);
  player.NextPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "5");
  player.LastPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "31");
  player.NextPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "31");
  player.FirstPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "1");
  player.PreviousPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "1");
}

TEST_F(Book, SinglePageZoomAndBackToTheSpread) {
  Label("startPlay");
  player.GoToPage(8);  // spread 8, 9
  sent.clear();
  Label("singleLeft");
  EXPECT_EQ(player.TGetProperty("/", 4), "2");
  EXPECT_EQ(Get("/utility/jump_number.display"), "8");
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut",
                                            "dirov.Toolbar zoomIn"}));
  sent.clear();
  Label("singleZoomIn");
  Label("singleZoomIn");
  Label("singleZoomIn");  // already at the top: nothing more
  EXPECT_DOUBLE_EQ(player.pages().zoom(), 2.0);
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar zoomOut", "dirov.Toolbar noZoomIn"}));
  player.Pan(0, -10000);
  EXPECT_DOUBLE_EQ(player.pages().panY(), -249);  // the page's bottom edge, no further
  sent.clear();
  Label("singleZoomOut");
  Label("singleZoomOut");
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar zoomIn", "dirov.Toolbar noZoomOut"}));
  player.NextPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "9");
  sent.clear();
  Label("doublePage");
  EXPECT_EQ(player.TGetProperty("/", 4), "1");
  EXPECT_EQ(Get("/utility/jump_number.display"), "9");
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Toolbar noZoom"});
  // Zooming does nothing in the spread.
  Label("singleZoomIn");
  EXPECT_DOUBLE_EQ(player.pages().zoom(), 1.0);
}

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

TEST_F(Book, SoundLinesAndOtherLabelsTellTheToolbar) {
  Label("soundOn");
  EXPECT_EQ(Get("soundOn"), "1");
  Label("mute");
  EXPECT_EQ(Get("soundOn"), "0");
  Label("regionLine");
  EXPECT_TRUE(player.pages().lines());
  Label("regionLine");
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar soundOn", "dirov.Toolbar mute",
                                            "dirov.Toolbar withLine", "dirov.Toolbar withoutLine"}));
  sent.clear();
  Label("indexPage");
  EXPECT_EQ(player.pages().leftPage(), 2);
  player.GoToPage(22);
  sent.clear();
  Label("LoadingSound");
  EXPECT_EQ(sent, std::vector<std::string>{"loadSound 5"});
  sent.clear();
  std::string opened;
  player.OnOpenUrl([&](const std::string& u) { opened = u; });
  player.SetVariable("salepoint", "bindera");
  Label("Buy");
  EXPECT_EQ(opened, "http://127.0.0.1:8088/buy/K19990317045?salepoint=bindera");
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Win closeApp"});
  sent.clear();
  Label("discuss");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].rfind("show ", 0), 0u);
}

TEST_F(Book, ClicksOnTheStageSendWhatTheBookOffers) {
  Center(L::kRightPage);  // the cover opens the book
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Win showUtility"});
  sent.clear();
  Center(L::WindowButton(L::kHelpButton));
  Center(L::WindowButton(L::kMaximizeButton));
  Center(L::WindowButton(L::kMaximizeButton));
  Center(L::WindowButton(L::kMinimizeButton));
  Center(L::WindowButton(L::kCloseButton));
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Win showHelp", "dirov.Win maximize", "dirov.Win restore",
                                            "dirov.Win minimize", "dirov.Win close"}));
  sent.clear();
  // The contents page is on the left: its third line is chapter 2, page 8.
  Center(L::OnPage(L::kLeftPage, L::ContentsEntry(2)));
  EXPECT_EQ(player.pages().leftPage(), 8);
  // Chapter 2 begins on page 8: its narration button.
  Center(L::NarrationButton(L::kLeftPage));
  EXPECT_EQ(sent, std::vector<std::string>{"loadSound 2"});
  sent.clear();
  Add("addNote", "9", "看這裡");
  Center(L::NoteMarker(L::kRightPage));
  EXPECT_EQ(sent, std::vector<std::string>{"viewNote 0"});
  // Elsewhere on a page turns it.
  player.Click(L::kRightPage.x + 100, L::kRightPage.y + 300);
  EXPECT_EQ(player.pages().rightPage(), 11);
  player.Click(L::kLeftPage.x + 100, L::kLeftPage.y + 300);
  EXPECT_EQ(player.pages().rightPage(), 9);
}

TEST_F(FirstRun, ShowHelpNeverStoredHasOneStoredAndTheIntroPanelShownAfterTheAnswer) {
  answer = Answer("none");
  Start(dir / "book.swf");
  EXPECT_EQ(log, (std::vector<std::string>{
                     "dirov.getReg ",
                     "set transfer none",
                     "set showHelp none",
                     "set firstRun none",
                     "set installString none",
                     "set uninstallString none",
                     "set kindOfMouse none",
                     "set news /p/news.ezy",
                     "set news2 /p/news2.ezy",
                     "dirov.Toolbar withoutLine",
                     "dirov.Toolbar noZoom",
                     "dirov.setReg 1",
                     "dirov.Win showHelp",
                 }));
  EXPECT_EQ(fresh.GetVariable("showHelp"), "none");  // the movie still holds what it was handed
}

TEST_F(FirstRun, AnyStoredShowHelpLeavesItToTheHost) {
  for (const char* stored : {"1", "-1", "-2", "", "None", " none", "none ", "0"}) {
    answer = Answer(stored);
    Start(dir / "book.swf");
    EXPECT_EQ(log.front(), "dirov.getReg ") << stored;
    EXPECT_TRUE(Asked().empty()) << "showHelp \"" << stored << "\"";
  }
}

TEST_F(FirstRun, OncePerAnswerAndOnlyInsideIt) {
  // Handed "none" twice in one answer: asked once.
  answer = Answer("none");
  answer.push_back({"showHelp", "none"});
  Start(dir / "book.swf");
  EXPECT_EQ(Asked(), (std::vector<std::string>{"dirov.setReg 1", "dirov.Win showHelp"}));

  // Outside an answer, "none" is just a value.
  log.clear();
  fresh.SetVariable("showHelp", "none");
  desktop.Pump();
  EXPECT_TRUE(log.empty());

  // Every answer is a start of its own.
  answer = Answer("none");
  fresh.Send("dirov.getReg", "");
  desktop.Pump();
  EXPECT_EQ(Asked(), (std::vector<std::string>{"dirov.setReg 1", "dirov.Win showHelp"}));

  // A getReg the host does not answer leaves nothing open for later.
  answer.clear();
  log.clear();
  fresh.Send("dirov.getReg", "");
  desktop.Pump();
  fresh.SetVariable("showHelp", "none");
  desktop.Pump();
  EXPECT_EQ(log, std::vector<std::string>{"dirov.getReg "});
}

TEST_F(FirstRun, OnlyTheBookAsksNotAChapterMovie) {
  WriteChapter(dir / "c.zov");
  answer = Answer("none");
  Start(dir / "c.zov");
  EXPECT_EQ(fresh.kind(), BookPlayer::Kind::Chapter);
  fresh.Send("dirov.getReg", "");  // were it to ask, the host would answer
  desktop.Pump();
  EXPECT_EQ(log.front(), "dirov.getReg ");
  EXPECT_TRUE(Asked().empty());
}

TEST(ChapterMovie, NarratesThenTellsTheHostItEnded) {
  TempDir dir;
  WriteChapter(dir / "c.zov");

  headless::Desktop desktop;
  BookPlayer p(desktop, nullptr);
  std::vector<std::string> got;
  p.OnFSCommand([&](const std::string& c, const std::string& a) { got.push_back(c + " " + a); });
  p.Movie(dir / "c.zov");
  desktop.Pump();  // the event loop takes the movie in
  EXPECT_EQ(p.kind(), BookPlayer::Kind::Chapter);
  ASSERT_TRUE(p.sound());
  EXPECT_DOUBLE_EQ(p.sound()->Seconds(), 2.0);
  p.TCallLabel("/", "showPlayer");  // without playSound: silent
  desktop.Pump();
  EXPECT_TRUE(got.empty());
  p.SetVariable("playSound", "true");
  p.TCallLabel("/", "showPlayer");
  desktop.Pump();
  EXPECT_EQ(got, std::vector<std::string>{"playAnimation true"});
  desktop.Advance(1999);
  EXPECT_EQ(got.size(), 1u);
  desktop.Advance(1);
  EXPECT_EQ(got.back(), "playAnimation false");
  p.ToggleAnimationButton();
  p.PauseOrResume();
  p.PauseOrResume();
  desktop.Pump();
  EXPECT_EQ(got, (std::vector<std::string>{"playAnimation true", "playAnimation false", "toggleAnimation ",
                                           "playAnimation true", "playAnimation false"}));
  desktop.Advance(5000);  // the paused narration's end never comes
  EXPECT_EQ(got.size(), 5u);
}

TEST(BookPlayerFiles, AnUnreadableMovieIsAMessageNotACrash) {
  TempDir dir;
  headless::Desktop desktop;
  BookPlayer p(desktop, nullptr);
  testing_support::WriteFile(dir / "bad.swf", "CWS\x07garbage");
  p.Movie(dir / "bad.swf");
  desktop.Pump();
  EXPECT_FALSE(p.movie());
  EXPECT_FALSE(p.error().empty());
  EXPECT_EQ(p.TGetProperty("/", 4), "0");
  p.SetVariable("x", "y");  // the host goes on talking to it
  EXPECT_EQ(p.GetVariable("x"), "y");
  p.TCallLabel("/", "addBookmark");
  p.Click(400, 300);
  desktop.Pump();
}

TEST(BookPlayerFiles, APlayerGoneBeforeItsCommandIsDeliveredDeliversNothing) {
  headless::Desktop desktop;
  int late = 0;
  {
    BookPlayer gone(desktop, nullptr);
    gone.OnFSCommand([&](const std::string&, const std::string&) { ++late; });
    gone.Send("x", "");
  }
  desktop.Pump();
  EXPECT_EQ(late, 0);
}
