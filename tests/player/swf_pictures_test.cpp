#include "book/swf_writer.h"
#include "player/swf.h"
#include "tests/support/support.h"

using player::ParseSwf;

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
