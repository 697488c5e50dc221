// The player on the real Flash runtime, offscreen: what only it can get
// wrong (its waits, its queue, its lockdown, its storage, its input).
#include <signal.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QTest>
#include <QWebEngineView>
#include <fstream>

#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "platform/qt/event_hold.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/window_hooks.h"
#include "tests/platform/runtime/runtime_fixture.h"
#include "tests/support/player_contract.h"

namespace runtime_test {
namespace {

struct Label {
  std::string name, script;
};

// A movie of our writer: frame 1's script (which should stop()), then one
// frame per label with its actions.
std::vector<std::uint8_t> Movie(const std::string& first, const std::vector<Label>& labels = {},
                                int version = 8) {
  book::SwfWriter swf(version, 400 * 20, 300 * 20, 12);
  swf.BackgroundColor(0x20, 0x40, 0x60);
  swf.DoAction(avm1::Compile(first, {.swfVersion = version}));
  swf.ShowFrame();
  for (const Label& l : labels) {
    swf.FrameLabel(l.name);
    swf.DoAction(avm1::Compile(l.script, {.swfVersion = version}));
    swf.ShowFrame();
  }
  return swf.Finish(false);
}

using RuntimePlayerTest = RuntimeFixture;

// The cases the stand-in answers, on the runtime: one player, a movie per case.
TEST_F(RuntimePlayerTest, TheRuntimeAnswersEveryContractCase) {
  int placed = 0;
  const contract::Harness harness{
      .place =
          [&](const contract::Bytes& movie, const std::string&) {
            // A name of its own each: no case can be answered from the one before.
            std::string path = media_ + "/contract" + std::to_string(++placed) + ".zov";
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(movie.data()),
                       static_cast<std::streamsize>(movie.size()));
            return path;
          },
      .runUntil = [&](const std::function<bool()>& done) { return RunUntil(done, 5000); },
      .settle = [&] { RunUntil([] { return false; }, 300); },
  };
  for (const contract::Case& c : contract::Cases()) {
    SCOPED_TRACE(c.name);
    contract::Run(c, *player_, harness);
  }
  player_->OnFSCommand([this](const std::string& c, const std::string& a) { commands_.emplace_back(c, a); });
}

// Start-up sets variables right after Movie, long before the runtime is up:
// they apply in order, a label sees them, and a read waits for the movie.
TEST_F(RuntimePlayerTest, CallsBeforeTheMovieIsReadyApplyInOrder) {
  Play(Movie("x = 'start'; stop();", {{"report", "fscommand('x', x);"}}));
  player_->SetVariable("x", "1");
  player_->SetVariable("x", "2");
  player_->TCallLabel("/", "report");
  EXPECT_EQ(player_->GetVariable("x"), "2");
  EXPECT_EQ(WaitForCommand("x"), "2");
}

// While a call waits for the runtime nothing of the program runs: what was
// posted before runs after the answer, in order; the movie's command comes
// after the movie's own handler, from the event loop.
TEST_F(RuntimePlayerTest, ProgramEventsWaitWhileACallWaits) {
  Play(Movie("v = 'ready'; fscommand('loaded', 'yes'); stop();"));
  std::vector<std::string> order;
  QMetaObject::invokeMethod(
      qApp, [&] { qtdesk::EventHold::Get().RunOrDefer([&] { order.push_back("first"); }); },
      Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      qApp, [&] { qtdesk::EventHold::Get().RunOrDefer([&] { order.push_back("second"); }); },
      Qt::QueuedConnection);
  EXPECT_EQ(player_->GetVariable("v"), "ready");
  order.push_back("answered");
  EXPECT_TRUE(commands_.empty()) << "a command ran inside the call";
  EXPECT_EQ(WaitForCommand("loaded"), "yes");
  RunUntil([&] { return order.size() == 3; }, 1000);
  EXPECT_EQ(order, (std::vector<std::string>{"answered", "first", "second"}));
}

// A movie with no bridge (too old for one) never answers: "" once the
// timeout has passed, and at once from then on, not a wait per call.
TEST_F(RuntimePlayerTest, AnUnansweredCallGivesEmptyAfterTheTimeout) {
  timeoutMs_ = 400;
  NewPlayer(dir_ / "data");
  book::SwfWriter old(4, 400 * 20, 300 * 20, 12);
  old.ShowFrame();
  Play(old.Finish(false));
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(player_->GetVariable("anything"), "");
  EXPECT_GE(t.elapsed(), 400);
  EXPECT_LT(t.elapsed(), 3000);
  t.restart();
  EXPECT_EQ(player_->TGetProperty("/", 4), "");
  EXPECT_LT(t.elapsed(), 100);
  // A movie that answers makes the player wait for answers again.
  timeoutMs_ = 15000;
  NewPlayer(dir_ / "data");
  Play(Movie("v = 1; stop();"));
  EXPECT_EQ(player_->GetVariable("v"), "1");
}

// Files that are no movie, or a broken one, end nothing: refused when
// served, each call gives "" at once, not after the timeout; the next good
// movie plays.
TEST_F(RuntimePlayerTest, BrokenMoviesEndNothing) {
  std::vector<std::uint8_t> good = Movie("x = 'good'; stop();");
  std::vector<std::vector<std::uint8_t>> broken{
      {'F', 'W'},
      {'G', 'I', 'F', '8', '9', 'a', 0, 0},
      std::vector<std::uint8_t>(good.begin(), good.end() - 9),  // truncated
      [&] {
        auto damaged = Movie("x = 'damaged'; stop();");
        for (std::size_t i = 10; i < damaged.size(); ++i) damaged[i] ^= 0x5A;
        return damaged;
      }(),
      [&] {
        auto huge = good;  // a declared 4 GB
        huge[4] = huge[5] = huge[6] = 0xFF;
        huge[7] = 0xF0;
        return huge;
      }(),
  };
  // The page is up first: what is timed is the movie, not the engine's start.
  Play(good, "good.zov");
  ASSERT_EQ(player_->GetVariable("x"), "good");
  int n = 0;
  for (const auto& movie : broken) {
    SCOPED_TRACE("broken movie " + std::to_string(++n));
    Play(movie, "broken" + std::to_string(n) + ".zov");
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(player_->GetVariable("x"), "");
    EXPECT_EQ(player_->TGetProperty("/", 4), "");
    EXPECT_LT(t.elapsed(), 2500);  // refused at once, not timed out
  }
  Play(good, "good.zov");
  EXPECT_EQ(player_->GetVariable("x"), "good");
}

// The page copies a picture drawn at (almost) its own size and filters any
// other, and leaves the canvas's smoothing as it found it. The picture is
// 256 black and white columns: a filtered draw gives greys.
TEST_F(RuntimePlayerTest, APictureAtItsOwnSizeIsCopiedAndOneScaledIsFiltered) {
  Play(Movie("x = 'up'; stop();"));
  ASSERT_EQ(player_->GetVariable("x"), "up");
  auto answer = std::make_shared<std::optional<std::string>>();
  window_->findChild<QWebEngineView*>()->page()->runJavaScript(
      R"page((() => {
    const src = Object.assign(document.createElement("canvas"), {width: 256, height: 1});
    const columns = src.getContext("2d").createImageData(256, 1);
    for (let i = 0; i < 256; i++) columns.data.set(i % 2 ? [255, 255, 255, 255] : [0, 0, 0, 255], 4 * i);
    src.getContext("2d").putImageData(columns, 0, 0);
    const draw = (scale, args) => {
      const g = Object.assign(document.createElement("canvas"), {width: 512, height: 1}).getContext("2d");
      g.imageSmoothingEnabled = true;
      g.setTransform(scale, 0, 0, 1, 0, 0);
      g.drawImage(src, ...args);
      let greys = 0;
      const d = g.getImageData(0, 0, 150, 1).data;
      for (let i = 0; i < d.length; i += 4) if (d[i] > 8 && d[i] < 247) greys++;
      return (greys > 0 ? "filtered" : "copied") + (g.imageSmoothingEnabled ? "" : " (smoothing left off)");
    };
    const whole = [0, 0, 256, 1, 0, 0, 256, 1];
    return [draw(1, [0, 0]), draw(1.015, [0, 0]), draw(0.99, whole),
            draw(1, [0, 0, 256, 1, 0, 0, 384, 1]), draw(1.5, [0, 0]), draw(0.6, whole)].join(", ");
  })())page",
      [answer](const QVariant& v) { *answer = v.toString().toStdString(); });
  ASSERT_TRUE(RunUntil([&] { return answer->has_value(); }, 5000));
  EXPECT_EQ(**answer, "copied, copied, copied, filtered, filtered, filtered");
}

// The engine's page process may end (killed, out of memory): the player
// makes the page again and plays its movie once more.
TEST_F(RuntimePlayerTest, APageWhoseProcessEndedComesBack) {
  Play(Movie("if (n == undefined) n = 0; n++; stop();"));
  ASSERT_EQ(player_->GetVariable("n"), "1");
  auto* view = window_->findChild<QWebEngineView*>();
  ASSERT_TRUE(view);
  qint64 pid = view->page()->renderProcessPid();
  ASSERT_GT(pid, 0);
  ::kill(static_cast<pid_t>(pid), SIGKILL);
  RunUntil([&] { return view->page()->renderProcessPid() != pid && view->page()->renderProcessPid() > 0; });
  EXPECT_TRUE(RunUntil([&] { return player_->GetVariable("n") == "1"; }, 15000));
}

// Only the runtime, the bridge and the movie are served: whatever else the
// movie asks for (the network, the disk, other reader: addresses) is
// refused, and a page it opens goes to the browser, not into the view.
TEST_F(RuntimePlayerTest, TheMovieReachesNothingButItsOwnFiles) {
  // A movie that would say so if it were ever loaded.
  std::vector<std::uint8_t> leak = Movie("fscommand('leaked', _url);");
  std::ofstream(dir_ / "leak.swf", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(leak.data()), static_cast<std::streamsize>(leak.size()));
  std::ofstream(media_ + "/leak.swf", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(leak.data()), static_cast<std::streamsize>(leak.size()));
  std::string file = "file://" + dir_ / "leak.swf";
  Play(Movie(
      "loadMovieNum('" + file +
          "', 3); loadMovieNum('http://127.0.0.1:9/leak.swf', 4);"
          "loadMovieNum('reader://media/leak.swf', 5); loadMovieNum('reader://elsewhere/leak.swf', 6);"
          "loadMovieNum('reader://media/../leak.swf', 7); loadVariablesNum('http://127.0.0.1:9/v.txt', 0);"
          "stop();",
      {{"open",
        "getURL('http://example.com/page', '_blank'); getURL('https://example.com/self', '_self');"
        "getURL('file:///etc/passwd', '_blank'); fscommand('opened', '');"}}));
  player_->TCallLabel("/", "open");
  ASSERT_TRUE(WaitForCommand("opened"));
  RunUntil([&] { return opened_.size() >= 2; }, 3000);
  EXPECT_FALSE(WaitForCommand("leaked", 1500)) << *WaitForCommand("leaked", 0);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://example.com/page", "https://example.com/self"}));
  for (const std::string& url : served_) {
    EXPECT_EQ(url.rfind("reader://", 0), 0u) << url;
    EXPECT_EQ(url.find("leak"), std::string::npos) << url << " was served";
  }
  // The view is still on the player's page.
  auto* view = window_->findChild<QWebEngineView*>();
  ASSERT_TRUE(view);
  EXPECT_EQ(view->url().toString().toStdString(), "reader://runtime/player.html");
  EXPECT_EQ(player_->TGetProperty("/", 4), "1");
}

// What the movie flushes is on disk at once, and a new engine (a new
// start) reads it back.
TEST_F(RuntimePlayerTest, SharedObjectsSurviveANewEngine) {
  Play(Movie("so = SharedObject.getLocal('notes'); stop();",
             {{"save", "so.data.count = 41 + 1; so.data.text = '筆記'; so.flush(); fscommand('saved', '');"},
              {"load", "so = SharedObject.getLocal('notes'); count = so.data.count; text = so.data.text;"}}));
  player_->TCallLabel("/", "save");
  ASSERT_TRUE(WaitForCommand("saved"));
  // The page's report reaches the reader before the command does.
  QFile file(QString::fromStdString(dir_ / "data/shared-objects.json"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
  EXPECT_EQ(stored.size(), 1);
  DropPlayer();
  NewPlayer(dir_ / "data");
  Play(Movie("stop();",
             {{"load", "so = SharedObject.getLocal('notes'); count = so.data.count; text = so.data.text;"}}));
  player_->TCallLabel("/", "load");
  EXPECT_EQ(player_->GetVariable("count"), "42");
  EXPECT_EQ(player_->GetVariable("text"), "筆記");
}

// The main window's player and the animation window's share one engine:
// each hears only its own movie's commands, and what one movie stores the
// other reads.
TEST_F(RuntimePlayerTest, TwoPlayersShareOneEngineAndHearOnlyTheirOwn) {
  QWidget window;
  window.resize(200, 150);
  components::ControlDesign design{.name = "Flash", .kind = components::ControlKind::Player};
  design.width = 200 * 15;
  design.height = 150 * 15;
  std::unique_ptr<components::MoviePlayer> other =
      runtime::CreatePlayer(MakeHost(dir_ / "data"), &window, design);
  std::vector<std::string> heard;
  other->OnFSCommand([&](const std::string& c, const std::string& a) { heard.push_back(c + " " + a); });
  window.show();
  Play(Movie("fscommand('who', 'main'); stop();",
             {{"save",
               "so = SharedObject.getLocal('shared', '/'); so.data.v = 'from main'; so.flush();"
               "fscommand('saved', '');"}}));
  std::vector<std::uint8_t> chapter =
      Movie("fscommand('who', 'chapter'); stop();",
            {{"load", "so = SharedObject.getLocal('shared', '/'); v = so.data.v;"}});
  std::ofstream(media_ + "/chapter.zov", std::ios::binary)
      .write(reinterpret_cast<const char*>(chapter.data()), static_cast<std::streamsize>(chapter.size()));
  other->Movie(media_ + "/chapter.zov");
  EXPECT_EQ(WaitForCommand("who"), "main");
  EXPECT_TRUE(RunUntil([&] { return !heard.empty(); }));
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(heard, std::vector<std::string>{"who chapter"});
  EXPECT_EQ(commands_.size(), 1u);
  player_->TCallLabel("/", "save");
  ASSERT_TRUE(WaitForCommand("saved"));
  RunUntil([] { return false; }, 100);
  other->TCallLabel("/", "load");
  EXPECT_EQ(other->GetVariable("v"), "from main");
  other.reset();
  RunUntil([] { return false; }, 50);
}

// The widget with the player's class sees every mouse event first, through
// the desktop's own window hooks as the program installs them: what the
// hooked procedure swallows never reaches the movie, the right button never
// does, the rest does.
struct Hooked {
  static inline std::vector<std::uint32_t> seen;
  static inline bool swallowLeft = false;
  static inline std::intptr_t previous = 0;
  static inline qtdesk::WindowHooks* hooks = nullptr;
  static components::LRESULT Proc(components::HWND w, std::uint32_t m, components::WPARAM wp,
                                  components::LPARAM lp) {
    if (m == components::WM_MOUSEMOVE) return hooks->CallWindowProcA(previous, w, m, wp, lp);
    seen.push_back(m);
    if (m == components::WM_RBUTTONDOWN || m == components::WM_RBUTTONUP) return 0;
    if (swallowLeft && (m == components::WM_LBUTTONDOWN || m == components::WM_LBUTTONUP)) return 0;
    return hooks->CallWindowProcA(previous, w, m, wp, lp);
  }
};

TEST_F(RuntimePlayerTest, TheHostsHookSeesTheMouseFirst) {
  qtdesk::Desktop desktop;
  qtdesk::WindowHooks hooks(desktop);
  QWidget* control = PlayerWidget();
  ASSERT_TRUE(control);
  Hooked::hooks = &hooks;
  Hooked::seen.clear();
  auto handle = reinterpret_cast<components::HWND>(control);
  char name[64] = {};
  hooks.GetClassNameA(handle, name, sizeof name);
  EXPECT_STREQ(name, "MacromediaFlashPlayerActiveX");
  // Before the first movie: the hook is there from the start.
  Hooked::previous =
      hooks.SetWindowLongA(handle, components::GWL_WNDPROC, reinterpret_cast<std::intptr_t>(&Hooked::Proc));
  ASSERT_NE(Hooked::previous, 0);
  Play(
      Movie("var l = new Object(); l.onMouseDown = function () { fscommand('down', _root._xmouse); };"
            "l.onKeyDown = function () { fscommand('key', Key.getCode()); };"
            "Mouse.addListener(l); Key.addListener(l); stop();"));
  ASSERT_EQ(player_->GetVariable("l"), "[object Object]");
  auto* view = window_->findChild<QWebEngineView*>();
  ASSERT_TRUE(view);
  QWidget* engineWidget = view->focusProxy() ? view->focusProxy() : view;
  QPoint at(200, 150);
  QTest::mouseClick(engineWidget, Qt::RightButton, {}, at);
  EXPECT_FALSE(WaitForCommand("down", 800)) << "the right button reached the movie";
  Hooked::swallowLeft = true;
  QTest::mouseClick(engineWidget, Qt::LeftButton, {}, at);
  EXPECT_FALSE(WaitForCommand("down", 800)) << "a swallowed click reached the movie";
  Hooked::swallowLeft = false;
  QTest::mouseClick(engineWidget, Qt::LeftButton, {}, at);
  EXPECT_TRUE(WaitForCommand("down", 3000)) << "a click the hook passed on never reached the movie";
  // Keys go through the hook to the movie as well.
  engineWidget->setFocus();
  QTest::keyClick(engineWidget, Qt::Key_A);
  EXPECT_EQ(WaitForCommand("key", 3000), "65") << "a key never reached the movie";
  using namespace components;
  EXPECT_EQ(Hooked::seen,
            (std::vector<std::uint32_t>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                        WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_KEYUP}));
  hooks.SetWindowLongA(handle, GWL_WNDPROC, Hooked::previous);
}

}  // namespace
}  // namespace runtime_test

int main(int argc, char** argv) {
  // Offscreen, also when only listing the tests; the engine's scheme and
  // switches come before the application.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  runtime::Prepare();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
