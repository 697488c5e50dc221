// The chapter movie's narration.
#include "tests/player/book_fixture.h"

using book_fixture::BookPlayer;
using book_fixture::TempDir;
using book_fixture::WriteChapter;
using player::Changes;

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

TEST(ChapterMovie, TheDrawingHearsWhenNarrationStartsOrStopsNotWhenItGoesOn) {
  TempDir dir;
  WriteChapter(dir / "c.zov");
  headless::Desktop desktop;
  BookPlayer p(desktop, nullptr);
  std::vector<unsigned> heard;
  p.OnChanged([&](Changes c) { heard.push_back(c.flags()); });
  p.Movie(dir / "c.zov");
  desktop.Pump();
  heard.clear();
  p.SetVariable("playSound", "true");
  p.TCallLabel("/", "showPlayer");
  p.TCallLabel("/", "showPlayer");  // narrating already: its sound goes on
  EXPECT_EQ(heard, std::vector<unsigned>{Changes::kNarration});
  desktop.Advance(2000);  // it ends by itself, from the event loop
  p.PauseOrResume();
  p.PauseOrResume();
  EXPECT_EQ(heard, std::vector<unsigned>(4, Changes::kNarration));
}
