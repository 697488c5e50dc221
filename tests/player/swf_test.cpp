#include "player/swf.h"

#include <zlib.h>

#include "book/embedded.h"
#include "book/swf_writer.h"
#include "tests/support/support.h"

using player::ParseSwf;
using player::SwfError;

namespace {

std::vector<std::uint8_t> Movie(bool compressed) {
  book::SwfWriter w(7, 15360, 11520, 12.5);
  w.FrameLabel("first");
  w.ShowFrame();
  w.Tag(200, std::vector<std::uint8_t>(100, 0xAB));  // unknown, long header
  w.FrameLabel("second");
  w.ShowFrame();
  w.Metadata("{\"title\":\"書\"}");
  return w.Finish(compressed);
}

std::string ErrorOf(const std::vector<std::uint8_t>& bytes) {
  try {
    ParseSwf(bytes);
  } catch (const SwfError& e) {
    return e.what();
  }
  return "";
}

void SetLength(std::vector<std::uint8_t>& m, std::uint32_t n) {
  for (int i = 0; i < 4; ++i) m[4 + static_cast<size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
}

}  // namespace

TEST(SwfReader, ReadsHeaderLabelsAndTagsCompressedOrNot) {
  for (bool compressed : {false, true}) {
    player::SwfMovie m = ParseSwf(Movie(compressed));
    EXPECT_EQ(std::string(m.signature), compressed ? "CWS" : "FWS");
    EXPECT_EQ(m.version, 7);
    EXPECT_EQ(m.frameSize.Width(), 15360);
    EXPECT_EQ(m.frameSize.Height(), 11520);
    EXPECT_DOUBLE_EQ(m.frameRate, 12.5);
    EXPECT_EQ(m.frameCount, 2);
    ASSERT_EQ(m.labels.size(), 2u);
    EXPECT_EQ(m.labels[1].name, "second");
    EXPECT_EQ(m.labels[1].frame, 2);
    EXPECT_EQ(m.tagCounts[200], 1);
    EXPECT_EQ(m.metadata, "{\"title\":\"書\"}");
  }
}

TEST(SwfReader, TheEmbeddedBookIsAVersion8CompressedMovieWithLabels) {
  const auto& res = book::EmbeddedResources()[0];
  player::SwfMovie m = ParseSwf({res.data, res.size});
  EXPECT_EQ(std::string(m.signature), "CWS");
  EXPECT_EQ(m.version, 8);
  EXPECT_TRUE(m.FindLabel("soundOn"));
  EXPECT_TRUE(m.FindLabel("mute"));
  EXPECT_EQ(m.FindLabel("single")->frame, 2);
}

TEST(SwfReader, RefusesHostileFilesWithAReason) {
  std::vector<std::uint8_t> fws = Movie(false), cws = Movie(true);

  EXPECT_NE(ErrorOf({'F', 'W'}).find("shorter"), std::string::npos);
  EXPECT_NE(ErrorOf({'G', 'I', 'F', '8', '9', 'a', 0, 0}).find("FWS or CWS"), std::string::npos);

  auto truncated = fws;
  truncated.resize(truncated.size() - 5);
  EXPECT_NE(ErrorOf(truncated).find("truncated"), std::string::npos);

  auto huge = cws;  // a declared 4 GB
  SetLength(huge, 0xFFFFFFF0u);
  EXPECT_NE(ErrorOf(huge).find("too large"), std::string::npos);

  auto lying = cws;  // more data than declared
  SetLength(lying, 40);
  EXPECT_NE(ErrorOf(lying).find("longer"), std::string::npos);

  auto shortz = cws;
  shortz.resize(shortz.size() - 8);
  EXPECT_NE(ErrorOf(shortz).find("truncated"), std::string::npos);

  auto damaged = cws;
  for (size_t i = 10; i < damaged.size(); ++i) damaged[i] ^= 0x5A;
  EXPECT_FALSE(ErrorOf(damaged).empty());

  // A tag whose long length runs past the end.
  auto past = fws;
  std::vector<std::uint8_t> bad = {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x7F};  // code 3, len 0x7fffffff
  past.insert(past.end() - 2, bad.begin(), bad.end());
  SetLength(past, static_cast<std::uint32_t>(past.size()));
  EXPECT_NE(ErrorOf(past).find("runs past"), std::string::npos);
}

TEST(SwfReader, AnInflateBombIsStoppedAtTheDeclaredLength) {
  // 64 MiB of zeros, declared as 1 KiB.
  std::vector<std::uint8_t> zeros(64u << 20, 0);
  uLongf size = compressBound(static_cast<uLong>(zeros.size()));
  std::vector<std::uint8_t> z(size);
  ASSERT_EQ(compress2(z.data(), &size, zeros.data(), static_cast<uLong>(zeros.size()), 9), Z_OK);
  std::vector<std::uint8_t> bomb = {'C', 'W', 'S', 7, 0, 4, 0, 0};
  bomb.insert(bomb.end(), z.begin(), z.begin() + static_cast<long>(size));
  EXPECT_NE(ErrorOf(bomb).find("longer"), std::string::npos);
}

TEST(SwfReader, LoadingAFileThatIsNotThereSaysSo) {
  try {
    player::LoadSwfFile("/nonexistent/movie.swf");
    FAIL();
  } catch (const SwfError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot open"), std::string::npos);
  }
}

TEST(SwfReader, TagRecordsAreWholeOrSayWhereTheBytesEnd) {
  using player::TagRecord;
  // Code 9 with a short length of 2, then code 200 with a long one of 3.
  std::vector<std::uint8_t> d = {0x42, 0x02, 0xAA, 0xBB, 0x3F, 0x32, 3, 0, 0, 0, 1, 2, 3};
  TagRecord first = player::ReadTag(d, 0);
  EXPECT_EQ(first.cut, TagRecord::kWhole);
  EXPECT_EQ(first.code, 9);
  EXPECT_EQ(first.body.size(), 2u);
  EXPECT_EQ(first.next, 4u);
  TagRecord second = player::ReadTag(d, first.next);
  EXPECT_EQ(second.cut, TagRecord::kWhole);
  EXPECT_EQ(second.code, 200);
  EXPECT_EQ(second.body[2], 3);
  EXPECT_EQ(second.next, d.size());
  auto upTo = [&](std::size_t n) { return std::span<const std::uint8_t>(d).first(n); };
  EXPECT_EQ(player::ReadTag(d, d.size()).cut, TagRecord::kHeaderCut);
  EXPECT_EQ(player::ReadTag(upTo(1), 0).cut, TagRecord::kHeaderCut);
  EXPECT_EQ(player::ReadTag(upTo(3), 0).cut, TagRecord::kBodyCut);
  EXPECT_EQ(player::ReadTag(upTo(9), 4).cut, TagRecord::kHeaderCut);  // the long length is cut
  TagRecord cut = player::ReadTag(upTo(12), 4);
  EXPECT_EQ(cut.cut, TagRecord::kBodyCut);
  EXPECT_EQ(cut.code, 200);  // named in the reason the reader gives
}
