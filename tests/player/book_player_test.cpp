// The player control: what the host sees of the book, its first run, and
// what the drawing is told.
#include "tests/player/book_fixture.h"

using book_fixture::Book;
using book_fixture::BookPlayer;
using book_fixture::TempDir;
using book_fixture::WriteChapter;
using player::Changes;
namespace L = player::layout;

namespace {

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

TEST_F(Book, TheDrawingHearsWhatChangedAndNothingElse) {
  Label("soundOn");
  Label("soundOn");  // on already: a sound playing goes on
  Label("mute");
  Add("addBookmark", "5", "五");
  Add("addBookmark", "5", "again");  // refused
  Add("addNote", "6", "六");
  Label("regionLine");
  Label("playAnimation");
  Label("playAnimation");
  Label("stopMan");
  Label("discuss");  // for the host alone
  Center(L::WindowButton(L::kMaximizeButton));
  Center(L::WindowButton(L::kHelpButton));
  player.Width(9000);
  EXPECT_EQ(changes, (std::vector<unsigned>{Changes::kSound, Changes::kSound, Changes::kBookmarks,
                                            Changes::kNotes, Changes::kLines, Changes::kNarrator,
                                            Changes::kNarrator, Changes::kButtons, Changes::kSize}));
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
