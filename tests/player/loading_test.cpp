// Reading a movie ahead, in steps, and on the player's own thread.
#include <zlib.h>

#include "book/embedded.h"
#include "book/swf_writer.h"
#include "player/book_player.h"
#include "player/read_ahead.h"
#include "tests/support/support.h"

using player::BookPlayer;
using player::ParseSwf;
using player::ReadAhead;
using testing_support::TempDir;

namespace {

std::vector<std::uint8_t> FakeJpeg(std::uint8_t fill, size_t n) {
  std::vector<std::uint8_t> j{0xFF, 0xD8};
  j.resize(n, fill);
  j.push_back(0xFF);
  j.push_back(0xD9);
  return j;
}

// Pictures big enough that the first is in long before the last.
std::vector<std::uint8_t> Pictures(int count, bool compressed = true) {
  book::SwfWriter w(7, 15360, 11520, 12);
  w.Metadata("pages=" + std::to_string(count) + "\ncode=T1\n");
  for (int i = 0; i < count; ++i)
    w.DefineBitsJpeg2(static_cast<std::uint16_t>(i + 1), FakeJpeg(static_cast<std::uint8_t>(i + 1), 90000));
  w.FrameLabel("spread");
  w.ShowFrame();
  w.FrameLabel("single");
  w.ShowFrame();
  return w.Finish(compressed);
}

std::span<const std::uint8_t> EmbeddedBook() {
  const auto& r = book::EmbeddedResources()[0];
  return {r.data, r.size};
}

std::string Write(const TempDir& dir, const std::string& name, std::span<const std::uint8_t> bytes) {
  std::string path = dir / name;
  testing_support::WriteFile(path, std::string(bytes.begin(), bytes.end()));
  return path;
}

}  // namespace

TEST(SwfSteps, TheFirstPictureComesOnceAndAsTheFinishedMovieHasIt) {
  for (bool compressed : {true, false}) {
    auto bytes = Pictures(6, compressed);
    int calls = 0;
    std::vector<std::uint8_t> first;
    player::SwfMovie m = ParseSwf(bytes, player::kMaxMovieBytes, [&](std::vector<std::uint8_t> p) {
      ++calls;
      first = std::move(p);
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(first, m.EncodedPicture(0));
    EXPECT_EQ(first, FakeJpeg(1, 90000));
    // In steps or at once, the same movie.
    player::SwfMovie whole = ParseSwf(bytes);
    EXPECT_EQ(std::vector<std::uint8_t>(m.data.begin(), m.data.end()),
              std::vector<std::uint8_t>(whole.data.begin(), whole.data.end()));
    EXPECT_EQ(m.pictures.size(), 6u);
    EXPECT_EQ(m.labels.size(), 2u);
  }
  // No picture, no call; a movie that breaks after its first picture still
  // handed that picture over, then says what broke.
  book::SwfWriter w(7, 100, 100, 12);
  w.ShowFrame();
  int calls = 0;
  ParseSwf(w.Finish(true), player::kMaxMovieBytes, [&](std::vector<std::uint8_t>) { ++calls; });
  EXPECT_EQ(calls, 0);
  auto cut = Pictures(6);
  cut.resize(cut.size() / 2);
  EXPECT_THROW(ParseSwf(cut, player::kMaxMovieBytes, [&](std::vector<std::uint8_t>) { ++calls; }),
               player::SwfError);
  EXPECT_EQ(calls, 1);
}

TEST(SwfSteps, OnlyTheProgramsOwnBytesSkipTheChecksum) {
  auto bytes = Pictures(2);
  // The zlib trailer is the last four bytes: a wrong sum.
  bytes.back() ^= 0x01;
  EXPECT_THROW(ParseSwf(bytes), player::SwfError);
  EXPECT_NO_THROW(ParseSwf(bytes, player::kMaxMovieBytes, {}, false));
  // Pictures are stored, not compressed: without the sum, damage there
  // passes, which is why a file is compared byte for byte before it takes
  // a movie read that way. Read from a file, the sum finds it.
  auto damaged = Pictures(2);
  for (size_t i = 2000; i < 2060; ++i) damaged[i] ^= 0x5A;
  EXPECT_NO_THROW(ParseSwf(damaged, player::kMaxMovieBytes, {}, false));
  EXPECT_THROW(ParseSwf(damaged), player::SwfError);
}

TEST(ReadAheadMovie, IsTakenOnceAndOnlyForExactlyItsBytes) {
  auto bytes = Pictures(3);
  ReadAhead ahead(bytes);
  EXPECT_EQ(ahead.FirstPicture(), FakeJpeg(1, 90000));
  auto other = bytes;
  other[other.size() / 2] ^= 1;
  EXPECT_FALSE(ahead.Take(other));
  EXPECT_FALSE(ahead.Take(std::span<const std::uint8_t>(bytes).first(bytes.size() - 1)));
  auto movie = ahead.Take(bytes);
  ASSERT_TRUE(movie);
  EXPECT_EQ(movie->pictures.size(), 3u);
  EXPECT_FALSE(ahead.Take(bytes));  // moved out: a second load reads the file
}

TEST(ReadAheadMovie, AnUnreadableOneSaysSoAndNobodyWaitsForItsPicture) {
  std::vector<std::uint8_t> junk = {'C', 'W', 'S', 7, 0, 1, 0, 0, 1, 2, 3};
  ReadAhead ahead(junk);
  EXPECT_TRUE(ahead.FirstPicture().empty());
  EXPECT_THROW(ahead.Take(junk), player::SwfError);
}

TEST(LoadingPlayer, WhatTheHostDoesMeanwhileAppliesInItsOrder) {
  TempDir dir;
  std::string path = Write(dir, "book.swf", EmbeddedBook());
  headless::Desktop desktop;
  BookPlayer p(desktop, nullptr);
  std::vector<std::string> sent;
  p.OnFSCommand([&](const std::string& c, const std::string& a) { sent.push_back(c + " " + a); });
  std::vector<player::Changes> heard;
  p.OnChanged([&](player::Changes c) { heard.push_back(c); });
  p.Movie(path);
  // The first bookmark's page is the one set when its label was called.
  p.SetVariable("inputPage", "5");
  p.SetVariable("inputContent", "five");
  p.TCallLabel("/", "addBookmark");
  p.SetVariable("inputPage", "9");
  p.TCallLabel("/", "soundOn");
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(p.GetVariable("/bookmarkList.counter"), "1");  // waits for the movie
  // The drawing hears of it all with the movie, at once.
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_TRUE(heard[0].Has(player::Changes::kMovie));
  EXPECT_TRUE(heard[0].Has(player::Changes::kSound));
  EXPECT_EQ(p.GetVariable("/bookmarkList/page:0"), "5");
  EXPECT_EQ(p.GetVariable("inputPage"), "9");
  EXPECT_EQ(p.calledLabels(), (std::vector<std::string>{"addBookmark", "soundOn"}));
  desktop.Pump();
  // The book's own commands come after what the host did at its start.
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "dirov.getReg ");
  EXPECT_EQ(sent.back(), "dirov.Toolbar soundOn");
}

TEST(LoadingPlayer, ANewMovieFinishesTheOneStillLoading) {
  TempDir dir;
  std::string book = Write(dir, "book.swf", EmbeddedBook());
  auto small = Pictures(2);
  std::string other = Write(dir, "other.swf", small);
  headless::Desktop desktop;
  BookPlayer p(desktop, nullptr);
  p.Movie(book);
  p.TCallLabel("/", "startPlay");
  p.Movie(other);
  EXPECT_FALSE(p.pages().opened());  // the new movie starts on its cover
  EXPECT_EQ(p.GetVariable("/utility/jump_number.totalPage"), "2");
  desktop.Pump();
  EXPECT_EQ(p.pageCount(), 2);
}

TEST(LoadingPlayer, TakesTheMovieReadAheadWhenTheFileHoldsIt) {
  TempDir dir;
  auto bytes = Pictures(4);
  ReadAhead ahead(bytes);
  headless::Desktop desktop;
  BookPlayer p(desktop, nullptr);
  p.UseReadAhead(&ahead);
  std::vector<std::vector<std::uint8_t>> offered;
  p.OnFirstPicture([&] { return [&](std::vector<std::uint8_t> b) { offered.push_back(std::move(b)); }; });

  // A different file is read from disk, and the read-ahead stays for later.
  auto changed = Pictures(3);
  p.Movie(Write(dir, "changed.swf", changed));
  EXPECT_EQ(p.pageCount(), 0);  // still loading
  ASSERT_TRUE(p.movie());       // waits for it
  EXPECT_EQ(p.pageCount(), 3);
  p.Movie(Write(dir, "same.swf", bytes));
  ASSERT_TRUE(p.movie());  // waits for it
  EXPECT_EQ(p.pageCount(), 4);
  EXPECT_FALSE(ahead.Take(bytes));  // it was taken
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0], FakeJpeg(1, 90000));
  EXPECT_EQ(offered[1], FakeJpeg(1, 90000));
}
