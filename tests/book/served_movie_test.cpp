// The movie as the runtime gets it: the bridge's load added once, first in
// frame 1; everything else as it was, and the file itself untouched.
#include "book/served_movie.h"

#include <gtest/gtest.h>

#include "book/as_compiler.h"
#include "book/load_once_action.h"
#include "book/swf_writer.h"
#include "player/script_timeline.h"
#include "player/swf.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Two frames; the second goes back to the first, so frame 1 plays again.
Bytes TwoFrames(int version, bool compressed) {
  book::SwfWriter swf(version, 4000, 3000, 12);
  swf.BackgroundColor(1, 2, 3);
  swf.DoAction(avm1::Compile("if (n == undefined) n = 0; n = n + 1;", {.swfVersion = version}));
  swf.FrameLabel("one");
  swf.ShowFrame();
  swf.DoAction(avm1::Compile("if (n < 3) gotoAndPlay(1); else stop();", {.swfVersion = version}));
  swf.ShowFrame();
  return swf.Finish(compressed);
}

std::vector<std::pair<std::uint16_t, Bytes>> TagsOf(const player::SwfMovie& m) {
  std::vector<std::pair<std::uint16_t, Bytes>> tags;
  for (const player::Tag& t : m.tags) tags.emplace_back(t.code, Bytes(t.body.begin(), t.body.end()));
  return tags;
}

Bytes Served(const Bytes& file) {
  const Bytes before = file;
  std::optional<Bytes> served = avm1::ServedMovie(file);
  EXPECT_EQ(file, before) << "the movie given is never changed";
  return served.value_or(Bytes{});
}

}  // namespace

TEST(ServedMovie, EveryMovieGetsTheBridgeFirstInFrameOneAndKeepsTheRest) {
  const Bytes load = avm1::LoadMovieOnceActions("reader://runtime/bridge.swf", 99, "$readerBridge");
  for (int version : {5, 6, 8, 10}) {
    for (bool compressed : {false, true}) {
      SCOPED_TRACE("version " + std::to_string(version) + (compressed ? " CWS" : " FWS"));
      const Bytes file = TwoFrames(version, compressed);
      const player::SwfMovie original = player::ParseSwf(file);
      const Bytes out = Served(file);
      ASSERT_FALSE(out.empty());
      EXPECT_EQ(std::string(out.begin(), out.begin() + 3), "FWS");
      EXPECT_EQ(out[3], version);
      const player::SwfMovie served = player::ParseSwf(out);
      EXPECT_EQ(served.declaredLength, out.size()) << "the header's length is the new one";
      EXPECT_EQ(served.frameCount, original.frameCount);
      EXPECT_EQ(served.frameRate, original.frameRate);
      EXPECT_EQ(served.frameSize.Width(), original.frameSize.Width());

      auto expected = TagsOf(original);
      // FileAttributes must stay first (SWF 8 on); the load comes right after.
      const auto at = expected.begin() + (version >= 8 ? 1 : 0);
      if (version >= 8) {
        EXPECT_EQ(at[-1].first, player::kFileAttributes);
      }
      expected.insert(at, {std::uint16_t{12}, load});
      EXPECT_EQ(TagsOf(served), expected);
    }
  }
}

// Frame 1 plays three times here; the bridge is asked for once.
TEST(ServedMovie, AReplayedFirstFrameLoadsTheBridgeOnce) {
  const Bytes out = Served(TwoFrames(6, true));
  const player::SwfMovie movie = player::ParseSwf(out);
  std::vector<std::string> loads;
  player::script::Timeline timeline(movie, [](const std::string&, const std::string&) {});
  timeline.OnGetUrl(
      [&](const std::string& url, const std::string& target) { loads.push_back(url + " " + target); });
  timeline.Start();
  while (timeline.playing()) timeline.NextFrame();
  EXPECT_EQ(timeline.Get("n"), "3");
  EXPECT_EQ(loads, std::vector<std::string>{"reader://runtime/bridge.swf _level99"});
  EXPECT_EQ(timeline.Get("_level0.$readerBridge"), "true");
}

TEST(ServedMovie, OldAndAs3MoviesComeBackAsTheyAre) {
  Bytes old = TwoFrames(5, false);
  old[3] = 4;  // the load's actions need SWF 5
  EXPECT_EQ(Served(old), old);

  Bytes as3 = TwoFrames(9, false);
  const player::SwfMovie m = player::ParseSwf(as3);
  ASSERT_EQ(m.tags.front().code, player::kFileAttributes);
  as3[static_cast<std::size_t>(m.tags.front().body.data() - m.data.data())] |= 0x08;
  EXPECT_EQ(Served(as3), as3);
}

TEST(ServedMovie, WhatIsNoWholeMovieIsRefused) {
  const Bytes fws = TwoFrames(8, false), cws = TwoFrames(8, true);
  auto with = [](Bytes b, std::size_t at, std::uint8_t v) {
    b[at] = v;
    return b;
  };
  Bytes zws = cws;
  zws[0] = 'Z';
  Bytes tagPastEnd = fws;  // the last tag (End) says it is longer than the movie
  tagPastEnd[tagPastEnd.size() - 2] = 0x05;
  Bytes longHeader = fws;  // a header saying more than the file holds
  longHeader[4] = static_cast<std::uint8_t>(longHeader[4] + 1);
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"shorter than a header", Bytes(fws.begin(), fws.begin() + 7)},
      {"garbage", Bytes(200, 0xA5)},
      {"ZWS", zws},
      {"FWS cut short", Bytes(fws.begin(), fws.end() - 1)},
      {"FWS header longer than the file", longHeader},
      {"CWS cut short", Bytes(cws.begin(), cws.end() - 5)},
      {"CWS damaged", with(cws, cws.size() / 2, cws[cws.size() / 2] ^ 0xff)},
      {"a tag past the end", tagPastEnd},
      {"impossible length", with(fws, 4, 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes before = c.file;
    EXPECT_FALSE(avm1::ServedMovie(c.file).has_value());
    EXPECT_EQ(c.file, before);
  }
}

// Under the sanitizers this is where a read past the bytes would show.
TEST(ServedMovie, EveryCutAndEveryDamagedByteGivesNothingOrAWholeMovie) {
  for (bool compressed : {false, true}) {
    const Bytes file = TwoFrames(8, compressed);
    for (std::size_t size = 0; size < file.size(); ++size)
      EXPECT_FALSE(avm1::ServedMovie(Bytes(file.begin(), file.begin() + size)).has_value()) << size;
    for (std::size_t at = 0; at < file.size(); ++at) {
      for (std::uint8_t flip : {0x01, 0x80, 0xff}) {
        Bytes damaged = file;
        damaged[at] ^= flip;
        const std::optional<Bytes> out = avm1::ServedMovie(damaged);
        if (!out || *out == damaged) continue;
        ASSERT_GE(out->size(), 8u);
        EXPECT_EQ(std::string(out->begin(), out->begin() + 3), "FWS") << at;
        EXPECT_EQ(player::Le32(out->data() + 4), out->size()) << at;
      }
    }
  }
}
