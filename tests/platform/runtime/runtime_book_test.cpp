// The demo book's own movie on the real Flash runtime, offscreen: the
// shared rules (tests/support/book_rules.h) in the runtime's column, and
// what only the movie does (its lists kept across a new engine, its place
// kept, its chapter movies, the host's calls on a movie that is not ours).
#include <QApplication>
#include <QTest>
#include <QWebEngineView>
#include <fstream>
#include <iterator>
#include <map>

#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "player/layout.h"
#include "tests/platform/runtime/runtime_fixture.h"
#include "tests/support/book_rules.h"

namespace runtime_test {
namespace {

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class RuntimeBook : public RuntimeFixture {
 public:
  // The book is larger than the runtime's own test movies: on a loaded
  // machine its first answer may take longer than a call usually waits.
  RuntimeBook() { timeoutMs_ = 20000; }
  components::MoviePlayer& player() { return *player_; }
  // The book as the reader opens it, waiting for what it sends at load.
  void OpenBook() {
    Play(FileBytes(READER_BOOK_MOVIE), "book.swf");
    ASSERT_TRUE(WaitForCommand("dirov.getReg"));
    ASSERT_EQ(player_->GetVariable("/utility/jump_number.totalPage"), "31");
  }
  // Every command sent since the last time, "command args", once the movie
  // has answered a read (what it sent before is then posted).
  std::vector<std::string> Sent() {
    player_->GetVariable("soundOn");
    RunUntil([] { return false; }, 60);
    std::vector<std::string> out;
    for (const auto& [c, a] : commands_) out.push_back(c + " " + a);
    commands_.clear();
    return out;
  }
  // A key, as the reader presses it on the player.
  void Key(Qt::Key key) {
    auto* view = window_->findChild<QWebEngineView*>();
    ASSERT_TRUE(view);
    QWidget* engine = view->focusProxy() ? view->focusProxy() : view;
    if (!focused_) {
      // Left of the pages: a click that hits nothing gives the movie the keys.
      QTest::mouseClick(engine, Qt::LeftButton, {}, QPoint(10, 150));
      focused_ = true;
    }
    QTest::keyClick(engine, key);
    // Keys come to the movie on a way of their own, not in order with the
    // host's calls: the next call waits until the movie has had it.
    RunUntil([] { return false; }, 250);
    player_->GetVariable("soundOn");
  }
  // The same key given to the page's player element, in order with the
  // host's calls (they go the same way).
  void PageKey(const std::string& key) {
    static const std::map<std::string, std::pair<const char*, int>> codes = {{"Right", {"ArrowRight", 39}},
                                                                             {"Left", {"ArrowLeft", 37}},
                                                                             {"Home", {"Home", 36}},
                                                                             {"End", {"End", 35}},
                                                                             {"Space", {"Space", 32}}};
    const auto& [code, keyCode] = codes.at(key);
    window_->findChild<QWebEngineView*>()->page()->runJavaScript(
        QString("(() => { const p = document.querySelector('#stage > *'); p.focus();"
                " for (const t of ['keydown', 'keyup']) p.dispatchEvent(new KeyboardEvent(t,"
                " {key: '%1', code: '%2', keyCode: %3, bubbles: true})); })()")
            .arg(key == "Space" ? " " : code)
            .arg(code)
            .arg(keyCode));
  }
  // The mouse wheel turned by `deltaY` over the middle of the player.
  void PageWheel(int deltaY) {
    window_->findChild<QWebEngineView*>()->page()->runJavaScript(
        QString("(() => { const c = document.querySelector('#stage > *').shadowRoot.querySelector('canvas');"
                " c.dispatchEvent(new WheelEvent('wheel', {deltaY: %1, bubbles: true, clientX: 200,"
                " clientY: 150})); })()")
            .arg(deltaY));
  }
  void NewPlayer(const std::string& data) {
    RuntimeFixture::NewPlayer(data);
    focused_ = false;
  }

 protected:
  bool focused_ = false;  // the player has had its first click
};

// One column of the rules table: a new engine on a data folder of its own
// for each case, so each starts with empty lists and a closed book.
class Column {
 public:
  explicit Column(RuntimeBook& t) : t_(t) {}
  void Set(const std::string& name, const std::string& value) { t_.player().SetVariable(name, value); }
  void Call(const std::string& label) { t_.player().TCallLabel("/", label); }
  void Key(const std::string& key) { t_.PageKey(key); }
  std::string Get(const std::string& path) { return t_.player().GetVariable(path); }
  std::string Frame() { return t_.player().TGetProperty("/", 4); }
  std::vector<std::string> Sent() { return t_.Sent(); }

 private:
  RuntimeBook& t_;
};

TEST_F(RuntimeBook, TheBookMovieHoldsTheBooksRules) {
  int n = 0;
  book_rules::RunAll([&] {
    DropPlayer();
    RunUntil([] { return false; }, 300);  // the engine goes with its last player
    NewPlayer(dir_ / ("case" + std::to_string(n++)));
    OpenBook();
    Sent();
    return std::make_unique<Column>(*this);
  });
}

// The settings are used once the last of them has arrived, not when the
// command returns: a first run ("showHelp" "none") stores "1" and asks for
// the intro panel then, and only then.
TEST_F(RuntimeBook, TheSettingsCountOnceTheLastHasArrived) {
  OpenBook();
  Sent();
  for (const char* name :
       {"transfer", "showHelp", "firstRun", "installString", "uninstallString", "kindOfMouse"})
    player_->SetVariable(name, "none");
  player_->SetVariable("news", "/p/news.ezy");
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  player_->SetVariable("news2", "/p/news2.ezy");
  ASSERT_TRUE(WaitForCommand("dirov.Win", 3000));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"dirov.setReg 1", "dirov.Win showHelp"}));
}

// Bookmarks, notes and the place the book was closed on are the movie's,
// in its local storage: a new engine (a restart) finds them.
TEST_F(RuntimeBook, ListsAndThePlaceSurviveARestart) {
  OpenBook();
  for (auto [page, title] : {std::pair{"9", "九"}, {"5", "五"}}) {
    player_->SetVariable("inputPage", page);
    player_->SetVariable("inputContent", title);
    player_->TCallLabel("/", "addBookmark");
  }
  player_->SetVariable("inputPage", "6");
  player_->SetVariable("inputContent", "第一行\r\n第二行");
  player_->TCallLabel("/", "addNote");
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  ASSERT_EQ(player_->GetVariable("/utility/jump_number.display"), "5");
  DropPlayer();

  NewPlayer(dir_ / "data");
  OpenBook();
  EXPECT_EQ(player_->GetVariable("/bookmarkList.counter"), "2");
  EXPECT_EQ(player_->GetVariable("/bookmarkList/page:0"), "5");
  EXPECT_EQ(player_->GetVariable("/bookmarkList/page:1"), "9");
  EXPECT_EQ(player_->GetVariable("/EBookNote/notes:0.content"), "第一行\r\n第二行");
  // Reopened on the spread it was closed on, the toolbar shown.
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "5");
  EXPECT_TRUE(WaitForCommand("dirov.Win", 3000));

  // Closed on the cover, it opens on the cover.
  Key(Qt::Key_Home);
  DropPlayer();
  NewPlayer(dir_ / "data");
  OpenBook();
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "1");
  EXPECT_EQ(Sent(),
            (std::vector<std::string>{"dirov.getReg ", "dirov.Toolbar withoutLine", "dirov.Toolbar noZoom"}));
}

// "Buy" opens the purchase page with the sale point in the desktop's
// browser, then asks the host to close; "discuss" shows the forum's address.
TEST_F(RuntimeBook, BuyingOpensThePurchasePageAndDiscussShowsTheForum) {
  OpenBook();
  player_->TCallLabel("/", "discuss");
  EXPECT_EQ(WaitForCommand("show", 3000), "歡迎到本書的討論區：\nhttp://127.0.0.1:8088/discuss/K19990317045");
  player_->SetVariable("salepoint", "bindera");
  player_->TCallLabel("/", "Buy");
  EXPECT_EQ(WaitForCommand("dirov.Win", 3000), "closeApp");
  RunUntil([this] { return !opened_.empty(); }, 3000);
  EXPECT_EQ(opened_, std::vector<std::string>{"http://127.0.0.1:8088/buy/K19990317045?salepoint=bindera"});
}

// A page's picture is decoded once and let go when no clip shows it: a
// reader paging through the book holds the pictures of a few spreads, not
// of every page seen.
TEST_F(RuntimeBook, PicturesOfPagesLeftBehindAreLetGo) {
  OpenBook();
  player_->TCallLabel("/", "startPlay");  // pages 2 and 3
  RunUntil([] { return false; }, 300);
  EXPECT_NE(player_->GetVariable("Pictures.p2"), "");
  for (int i = 0; i < 5; ++i) {
    PageKey("Space");
    RunUntil([] { return false; }, 250);  // the leaf down, then the pages after it read ahead
  }
  ASSERT_EQ(player_->GetVariable("/utility/jump_number.display"), "13");
  EXPECT_EQ(player_->GetVariable("Pictures.p2"), "");
  EXPECT_EQ(player_->GetVariable("Pictures.p7"), "");
  for (const char* kept : {"Pictures.p12", "Pictures.p13", "Pictures.p14", "Pictures.p10"})
    EXPECT_NE(player_->GetVariable(kept), "") << kept;
}

// Space and the wheel turn the pages; on a zoomed page they go down it
// first, and the page turned to shows from its top.
TEST_F(RuntimeBook, SpaceAndTheWheelTurnAndPan) {
  OpenBook();
  player_->TCallLabel("/", "startPlay");
  PageKey("Space");
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "5");
  PageWheel(100);
  RunUntil([] { return false; }, 200);
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "7");
  PageWheel(-100);
  RunUntil([] { return false; }, 200);
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "5");
  player_->TCallLabel("/", "singleLeft");  // page 4
  player_->TCallLabel("/", "singleZoomIn");
  player_->TCallLabel("/", "singleZoomIn");
  PageKey("Space");
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "4");
  EXPECT_EQ(player_->GetVariable("V.panY"), "-249");  // the bottom of the page, twice its size
  PageKey("Space");
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "5");
  EXPECT_EQ(player_->GetVariable("V.panY"), "249");  // the next page from its top
}

// Clicks on the pages: the marker of a page with a note asks for the note
// by its index, the contents lead to a chapter, a chapter's first page asks
// for its narration.
TEST_F(RuntimeBook, ClicksOnThePagesAskForWhatIsThere) {
  OpenBook();
  for (auto [page, text] : {std::pair{"4", "a"}, {"3", "b"}}) {
    player_->SetVariable("inputPage", page);
    player_->SetVariable("inputContent", text);
    player_->TCallLabel("/", "addNote");
  }
  player_->TCallLabel("/", "startPlay");  // pages 2 and 3
  RunUntil([] { return false; }, 300);    // the leaf has turned
  Sent();
  // The right page's marker, on the 400 x 300 player (the stage is 768 x 576).
  auto* view = window_->findChild<QWebEngineView*>();
  QWidget* engine = view->focusProxy() ? view->focusProxy() : view;
  const double s = 400.0 / 768;
  auto centre = [s](const player::layout::Rect& r) {
    return QPoint(int((r.x + r.w / 2) * s), int((r.y + r.h / 2) * s));
  };
  QTest::mouseClick(engine, Qt::LeftButton, {},
                    centre(player::layout::NoteMarker(player::layout::kRightPage)));
  EXPECT_EQ(WaitForCommand("viewNote", 3000), "0");
  // A contents line leads to its chapter; a first page's button asks for
  // the chapter's narration.
  QTest::mouseClick(engine, Qt::LeftButton, {}, QPoint(int(200 * s), int(210 * s)));
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(player_->GetVariable("/utility/jump_number.display"), "5");
  QTest::mouseClick(engine, Qt::LeftButton, {},
                    centre(player::layout::NarrationButton(player::layout::kLeftPage)));
  EXPECT_EQ(WaitForCommand("loadSound", 3000), "1");
}

// A chapter movie starts its narration when the host asks for it, says so,
// and its buttons pause it and switch the narrator.
TEST_F(RuntimeBook, AChapterNarratesWhenTheHostAsks) {
  Play(FileBytes(READER_CHAPTER_MOVIE), "K19990317045_1.zov");
  player_->SetVariable("playSound", "true");
  player_->TCallLabel("/", "showPlayer");
  EXPECT_EQ(WaitForCommand("playAnimation", 5000), "true");
  commands_.clear();
  // The play button (layout::kChapterPlayButton, 217 x 100 shown on 400 x 300).
  auto* view = window_->findChild<QWebEngineView*>();
  QWidget* engine = view->focusProxy() ? view->focusProxy() : view;
  const double s = 400.0 / 217, top = (300 - 100 * s) / 2;
  QTest::mouseClick(engine, Qt::LeftButton, {}, QPoint(int(46 * s), int(top + 68 * s)));
  EXPECT_EQ(WaitForCommand("playAnimation", 3000), "false");
  QTest::mouseClick(engine, Qt::LeftButton, {}, QPoint(int(106 * s), int(top + 68 * s)));
  EXPECT_TRUE(WaitForCommand("toggleAnimation", 3000));
}

// A movie made elsewhere: labels the host does not know, none of the ones
// it calls, no list clips. Every call the host makes on a book gives an
// answer ("" where the movie has nothing) and the player goes on.
TEST_F(RuntimeBook, AMovieThatIsNotOursAnswersEveryCall) {
  book::SwfWriter swf(8, 400 * 20, 300 * 20, 12);
  swf.DoAction(avm1::Compile("title = 'elsewhere'; stop();", {.swfVersion = 8}));
  swf.ShowFrame();
  swf.FrameLabel("intro");
  swf.DoAction(avm1::Compile("fscommand('intro', title);", {.swfVersion = 8}));
  swf.ShowFrame();
  Play(swf.Finish(false), "other.swf");
  ASSERT_EQ(player_->GetVariable("title"), "elsewhere");
  for (const char* label :
       {"soundOn", "startPlay", "indexPage", "singleLeft", "addBookmark", "deleteNote", "Buy"})
    player_->TCallLabel("/", label);
  for (const char* path : {"/bookmarkList.counter", "/bookmarkList/page:0", "/EBookNote/notes:0.content",
                           "/utility/jump_number.display", "soundOn"})
    EXPECT_EQ(player_->GetVariable(path), "") << path;
  EXPECT_EQ(player_->TGetProperty("/", 4), "1");
  player_->TCallLabel("/", "intro");
  EXPECT_EQ(WaitForCommand("intro", 3000), "elsewhere");
}

}  // namespace
}  // namespace runtime_test

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  runtime::Prepare();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
