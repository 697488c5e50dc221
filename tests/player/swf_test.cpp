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

TEST(SwfReader, TheEmbeddedBookIsAVersion7CompressedMovieWithLabels) {
  const auto& res = book::EmbeddedResources()[0];
  player::SwfMovie m = ParseSwf({res.data, res.size});
  EXPECT_EQ(std::string(m.signature), "CWS");
  EXPECT_EQ(m.version, 7);
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

TEST(SwfReader, PicturesComeOutAsADecoderTakesThem) {
  using V = std::vector<std::uint8_t>;
  auto tag = [](std::uint16_t id, V body) {
    V t{static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)};
    t.insert(t.end(), body.begin(), body.end());
    return t;
  };
  book::SwfWriter w(7, 100, 100, 12);
  w.Tag(player::kDefineBits, tag(1, {0xFF, 0xD8, 9, 0xFF, 0xD9}));  // before any tables: none of its own
  w.Tag(player::kJpegTables, {0xFF, 0xD8, 7, 7, 0xFF, 0xD9});
  w.Tag(player::kJpegTables, {0xFF, 0xD8, 6, 6, 0xFF, 0xD9});  // a second one changes nothing
  w.Tag(player::kDefineBits, tag(2, {0xFF, 0xD8, 1, 2, 0xFF, 0xD9}));
  w.Tag(player::kDefineBitsJpeg2,
        tag(3, {0xFF, 0xD9, 0xFF, 0xD8, 0xFF, 0xD8, 3, 0xFF, 0xD9}));  // stray pair first
  V jpeg3 = {4, 0, 0, 0, 0xFF, 0xD8, 5, 0xFF, 0xAA, 0xBB};             // alpha after 4 bytes of picture
  w.Tag(player::kDefineBitsJpeg3, tag(4, jpeg3));
  w.ShowFrame();
  player::SwfMovie m = ParseSwf(w.Finish(true));
  ASSERT_EQ(m.pictures.size(), 4u);
  EXPECT_EQ(m.EncodedPicture(0), (V{0xFF, 0xD8, 9, 0xFF, 0xD9}));
  EXPECT_EQ(m.EncodedPicture(1), (V{0xFF, 0xD8, 7, 7, 1, 2, 0xFF, 0xD9}));  // tables, then the scan
  EXPECT_EQ(m.EncodedPicture(2), (V{0xFF, 0xD8, 3, 0xFF, 0xD9}));
  EXPECT_EQ(m.EncodedPicture(3), (V{0xFF, 0xD8, 5, 0xFF}));
  EXPECT_TRUE(m.EncodedPicture(4).empty());
}
