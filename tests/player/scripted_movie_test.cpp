// A movie that is not a book of ours, in the stand-in: the actions of its
// frames run, its variables are reached by path, its labels answer, and a
// hostile one never hangs the player.
#include <gtest/gtest.h>

#include <functional>

#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "platform/headless/desktop.h"
#include "player/book_player.h"
#include "tests/support/support.h"

using testing_support::TempDir;

namespace {

struct Frame {
  std::string label, script;
};

// A movie whose frames hold these scripts, compiled for `version`.
std::vector<std::uint8_t> Movie(int version, const std::vector<Frame>& frames) {
  book::SwfWriter swf(version, 4000, 3000, 12);
  for (const Frame& f : frames) {
    if (!f.label.empty()) swf.FrameLabel(f.label);
    if (!f.script.empty()) swf.DoAction(avm1::Compile(f.script, {.swfVersion = version}));
    swf.ShowFrame();
  }
  return swf.Finish(false);
}

class ScriptedMovie : public ::testing::Test {
 protected:
  ScriptedMovie() {
    player.OnFSCommand([this](const std::string& c, const std::string& a) { sent.push_back(c + " " + a); });
  }
  void Play(const std::vector<std::uint8_t>& bytes) {
    testing_support::WriteFile(dir / "movie.swf", std::string(bytes.begin(), bytes.end()));
    player.Movie(dir / "movie.swf");
    desktop.Pump();
  }
  TempDir dir;
  headless::Desktop desktop;
  player::BookPlayer player{desktop, nullptr};
  std::vector<std::string> sent;
};

}  // namespace

TEST_F(ScriptedMovie, PathsReachClipsObjectsAndArraysInEveryVersion) {
  for (int version : {6, 7, 8}) {
    SCOPED_TRACE("version " + std::to_string(version));
    sent.clear();
    Play(Movie(version, {{"", R"(
      plain = "hello";
      count = 2 + 40;
      bookmarkList = new Object();
      bookmarkList.counter = 3;
      _root.createEmptyMovieClip("EBookNote", 1);
      EBookNote.notes = [];
      EBookNote.notes[3] = {page: 12, content: "第三則"};
      EBookNote.notes.push("more");
      stop();
    )"}}));
    struct Read {
      const char* path;
      const char* value;
    };
    for (const Read& r :
         {Read{"plain", "hello"}, Read{"/:plain", "hello"}, Read{"_level0:plain", "hello"},
          Read{"count", "42"}, Read{"/bookmarkList.counter", "3"}, Read{"/bookmarkList:counter", "3"},
          Read{"/EBookNote/notes:3.content", "第三則"}, Read{"/EBookNote/notes:3.page", "12"},
          Read{"/EBookNote/notes.length", "5"}, Read{"/EBookNote/notes:4", "more"},
          Read{"/EBookNote", "_level0.EBookNote"}, Read{"/nothing", ""}, Read{"/EBookNote/nothing:1", ""},
          Read{"/bookmarkList.x.y", ""}})
      EXPECT_EQ(player.GetVariable(r.path), r.value) << r.path;
    player.SetVariable("/EBookNote/notes:3.content", "改過");
    player.SetVariable("/bookmarkList.counter", "4");
    player.SetVariable("/nowhere/at:all", "x");  // leads nowhere: nothing happens
    EXPECT_EQ(player.GetVariable("/EBookNote/notes:3.content"), "改過");
    EXPECT_EQ(player.GetVariable("/bookmarkList.counter"), "4");
    EXPECT_EQ(player.GetVariable("/nowhere/at:all"), "");
    EXPECT_EQ(player.TGetProperty("/", 4), "1");
    EXPECT_TRUE(sent.empty());
  }
}

TEST_F(ScriptedMovie, LabelsReadWhatWasSetJustBeforeAndAnswerThroughTheEventLoop) {
  Play(Movie(8, {{"", "stop(); fscommand(\"loaded\", \"v8\");"},
                 {"echo", "fscommand(\"echo\", input);"},
                 {"sum", "fscommand(\"sum\", Number(a) + Number(b));"},
                 {"toFive", "gotoAndStop(5);"},
                 {"five", "fscommand(\"arrived\", _currentframe == undefined ? \"\" : \"\");"}}));
  EXPECT_EQ(sent, std::vector<std::string>{"loaded v8"});
  player.SetVariable("input", "甲乙 \"丙\"");
  player.TCallLabel("/", "echo");
  player.SetVariable("a", "2");
  player.SetVariable("b", "40");
  player.TCallLabel("/", "sum");
  EXPECT_EQ(sent.size(), 1u) << "never inside the host's own call";
  desktop.Pump();
  EXPECT_EQ(sent, (std::vector<std::string>{"loaded v8", "echo 甲乙 \"丙\"", "sum 42"}));
  EXPECT_EQ(player.TGetProperty("/", 4), "1");  // a called label leaves the playhead
  player.TCallLabel("/", "toFive");
  desktop.Pump();
  EXPECT_EQ(player.TGetProperty("/", 4), "5");
  EXPECT_EQ(sent.back(), "arrived ");  // the frame gone to ran its actions
  player.TCallLabel("/", "no such label");
  desktop.Pump();
  EXPECT_EQ(sent.size(), 4u);
}

TEST_F(ScriptedMovie, AMovieWithoutAStopPlaysItsFramesOnceAtItsRate) {
  Play(Movie(8, {{"", "n = 1;"}, {"", "n = n + 1;"}, {"", "n = n + 1; fscommand(\"last\", n);"}}));
  EXPECT_EQ(player.TGetProperty("/", 4), "1");
  desktop.Advance(1000);
  EXPECT_EQ(player.TGetProperty("/", 4), "3");
  EXPECT_EQ(sent, std::vector<std::string>{"last 3"});
  desktop.Advance(1000);
  EXPECT_EQ(player.GetVariable("n"), "3");  // no loop
}

TEST_F(ScriptedMovie, AMovieThatNeverEndsItsWorkIsCutOffNotWaitedFor) {
  // A loop for ever, a label that calls itself, frames that go to each
  // other: each is let go, and the player answers on.
  Play(Movie(8, {{"", "stop(); while (true) { x = 1; }"},
                 {"self", "call(\"self\");"},
                 {"ping", "gotoAndStop(\"pong\");"},
                 {"pong", "gotoAndStop(\"ping\");"},
                 {"grow", "s = \"x\"; while (true) { s = s + s; }"},
                 {"lengthen", "t = \"\"; while (true) { t = t + \"x\"; }"},
                 {"spell", "a = new Array(100000); while (true) { u = \"\" + a; }"}}));
  for (const char* label : {"self", "ping", "grow", "lengthen", "spell"}) player.TCallLabel("/", label);
  desktop.Pump();
  EXPECT_LE(player.GetVariable("s").size(), 1u << 20);
  EXPECT_EQ(player.GetVariable("x"), "1");
  player.SetVariable("y", "still answering");
  EXPECT_EQ(player.GetVariable("y"), "still answering");
}

TEST_F(ScriptedMovie, ActionsOfAnyShapeNeverCrashOrHangThePlayer) {
  // Random records, short ones, jumps anywhere, pushes of every type.
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0xff; };
  for (int movie = 0; movie < 60; ++movie) {
    std::vector<std::uint8_t> actions;
    for (int i = 0; i < 200; ++i) {
      std::uint8_t op = static_cast<std::uint8_t>(next());
      actions.push_back(op);
      if (op >= 0x80) {
        std::size_t n = next() % 12;
        actions.push_back(static_cast<std::uint8_t>(n));
        actions.push_back(0);
        for (std::size_t k = 0; k < n; ++k) actions.push_back(static_cast<std::uint8_t>(next()));
      }
    }
    book::SwfWriter swf(movie % 2 ? 8 : 6, 4000, 3000, 12);
    swf.FrameLabel("go");
    swf.Tag(12, actions);
    swf.ShowFrame();
    Play(swf.Finish(false));
    player.TCallLabel("/", "go");
    player.GetVariable("/a/b:c.d");
    desktop.Advance(200);
  }
  // And the player plays the next movie as if nothing had been.
  Play(Movie(8, {{"", "ok = 6 * 7; stop();"}}));
  EXPECT_EQ(player.GetVariable("ok"), "42");
}
