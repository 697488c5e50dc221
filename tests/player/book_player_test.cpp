#include "player/book_player.h"

#include "book/swf_writer.h"
#include "tests/support/support.h"

using testing_support::TempDir;

namespace {

std::string WriteMovie(const TempDir& dir) {
  book::SwfWriter w(7, 1000, 800, 12);
  w.FrameLabel("a");
  w.ShowFrame();
  w.FrameLabel("b");
  w.ShowFrame();
  auto bytes = w.Finish(true);
  testing_support::WriteFile(dir / "m.swf", std::string(bytes.begin(), bytes.end()));
  return dir / "m.swf";
}

}  // namespace

TEST(BookPlayer, KeepsVariablesAndAnswersTheCurrentFrame) {
  TempDir dir;
  headless::Desktop desktop;
  player::BookPlayer p(desktop);
  p.Movie(WriteMovie(dir));
  EXPECT_TRUE(p.error().empty());
  ASSERT_TRUE(p.HasMovie());
  EXPECT_EQ(p.movie()->labels.size(), 2u);
  EXPECT_EQ(p.TGetProperty("/", 4), "1");
  EXPECT_EQ(p.GetVariable("unknown"), "");
  p.SetVariable("soundOn", "1");
  EXPECT_EQ(p.GetVariable("soundOn"), "1");
  p.TCallLabel("/", "b");
  EXPECT_EQ(p.calledLabels(), std::vector<std::string>{"b"});
  // A new movie starts with none of the old one's variables.
  p.Movie(WriteMovie(dir));
  EXPECT_EQ(p.GetVariable("soundOn"), "");
}

TEST(BookPlayer, AnUnreadableMovieIsAMessageNotACrash) {
  TempDir dir;
  headless::Desktop desktop;
  player::BookPlayer p(desktop);
  testing_support::WriteFile(dir / "bad.swf", "CWS\x07garbage");
  p.Movie(dir / "bad.swf");
  EXPECT_FALSE(p.HasMovie());
  EXPECT_FALSE(p.error().empty());
  EXPECT_EQ(p.TGetProperty("/", 4), "0");
  p.SetVariable("x", "y");  // the host goes on talking to it
  EXPECT_EQ(p.GetVariable("x"), "y");
}

TEST(BookPlayer, CommandsArriveFromTheEventLoopNeverInsideACall) {
  headless::Desktop desktop;
  player::BookPlayer p(desktop);
  std::vector<std::string> got;
  p.OnFSCommand([&](const std::string& c, const std::string& a) { got.push_back(c + ":" + a); });
  p.Send("dirov.getReg", "");
  p.Send("show", "hi");
  EXPECT_TRUE(got.empty());
  desktop.Pump();
  EXPECT_EQ(got, (std::vector<std::string>{"dirov.getReg:", "show:hi"}));
  // A player gone before its command is delivered delivers nothing.
  {
    player::BookPlayer gone(desktop);
    gone.OnFSCommand([&](const std::string&, const std::string&) { got.push_back("late"); });
    gone.Send("x", "");
  }
  desktop.Pump();
  EXPECT_EQ(got.size(), 2u);
}
