#include "book/swf_writer.h"

#include <gtest/gtest.h>

#include <functional>

#include "book/avm1_assembler.h"
#include "player/swf.h"

using book::Bytes;

namespace {

Bytes Actions(std::function<void(avm1::Assembler&)> build) {
  avm1::Assembler a;
  build(a);
  return a.Finish();
}

// A sprite's frame count as its header says, and the ShowFrames it holds.
std::pair<int, int> SpriteFrames(const player::Tag& sprite) {
  int shown = 0;
  std::size_t pos = 4;
  for (;;) {
    player::TagRecord t = player::ReadTag(sprite.body, pos);
    if (t.cut != player::TagRecord::kWhole) return {-1, -1};
    if (t.code == player::kEnd) break;
    shown += t.code == player::kShowFrame;
    pos = t.next;
  }
  EXPECT_EQ(pos + 2, sprite.body.size()) << "the sprite's End is its last tag";
  return {player::Le16(sprite.body.data() + 2), shown};
}

}  // namespace

TEST(SwfWriter, AnActionScriptMovieReadsBackFrameByFrame) {
  for (int version : {6, 8}) {
    book::SwfWriter w(version, 4000, 3000, 24);
    w.BackgroundColor(1, 2, 3);
    book::Timeline clip(version);
    clip.DoAction(Actions([](avm1::Assembler& a) { a.Emit(avm1::Action::kStop); }));
    clip.ShowFrame();
    clip.FrameLabel("middle");
    clip.ShowFrame();
    clip.ShowFrame();
    w.DefineSprite(10, clip);
    w.DoInitAction(10, Actions([](avm1::Assembler& a) { a.Emit(avm1::Action::kPlay); }));
    w.ExportAssets({{10, "Clip"}});
    w.PlaceObject({.depth = 1, .character = 10, .matrix = book::Matrix::Translate(100, 200), .name = "clip"});
    w.DoAction(Actions([](avm1::Assembler& a) { a.Emit(avm1::Action::kStop); }));
    w.FrameLabel("first");
    w.ShowFrame();
    w.RemoveObject(1);
    w.FrameLabel("second");
    w.ShowFrame();
    player::SwfMovie m = player::ParseSwf(w.Finish(version == 8));
    EXPECT_EQ(m.version, version);
    EXPECT_EQ(m.frameCount, 2);
    EXPECT_EQ(m.shownFrames, 2);
    ASSERT_EQ(m.labels.size(), 2u);
    EXPECT_EQ(m.labels[1].name, "second");
    EXPECT_EQ(m.labels[1].frame, 2);
    if (version >= 8) {
      ASSERT_EQ(m.tags[0].code, player::kFileAttributes) << "FileAttributes comes first";
      EXPECT_EQ(Bytes(m.tags[0].body.begin(), m.tags[0].body.end()), (Bytes{0, 0, 0, 0}));
    } else {
      EXPECT_EQ(m.tagCounts.count(player::kFileAttributes), 0u);
    }
    for (auto [code, count] : {std::pair{39, 1}, {59, 1}, {56, 1}, {26, 1}, {28, 1}, {12, 1}})
      EXPECT_EQ(m.tagCounts[static_cast<std::uint16_t>(code)], count) << "tag " << code;
    const player::Tag* sprite = nullptr;
    for (const auto& t : m.tags)
      if (t.code == 39) sprite = &t;
    ASSERT_TRUE(sprite);
    EXPECT_EQ(player::Le16(sprite->body.data()), 10);
    EXPECT_EQ(SpriteFrames(*sprite), std::make_pair(3, 3));
  }
}

TEST(SwfWriter, EncodesRecordsAsTheFormatLaysThemOut) {
  struct Case {
    const char* name;
    std::function<Bytes()> encode;
    Bytes bytes;
  };
  const Case cases[] = {
      {"PlaceObject2 with a name, a matrix and clip actions",
       [] {
         book::Timeline t(8);
         t.PlaceObject(
             {.depth = 2,
              .character = 5,
              .matrix = book::Matrix::Translate(40, -20),
              .name = "a",
              .clipActions = {{book::clip_event::kLoad | book::clip_event::kEnterFrame, 0, {0x06, 0}},
                              {book::clip_event::kKeyPress, 'k', {0x07, 0}}}});
         return t.tags();
       },
       {0xA9, 0x06, 0xA6, 2, 0, 5, 0, 0x0E, 0xA3, 0x60, 'a', 0, 0, 0, 3, 0, 2, 0,  // header, then all events
        3,    0,    0,    0, 2, 0, 0, 0,    6,    0,                               // load and enter frame
        0,    0,    2,    0, 3, 0, 0, 0,    'k',  7,    0,                         // a key press, its key
        0,    0,    0,    0}},
      {"SWF 5's clip events take 16 bits",
       [] {
         book::Timeline t(5);
         t.PlaceObject({.depth = 1, .move = true, .clipActions = {{book::clip_event::kMouseUp, 0, {0}}}});
         return t.tags();
       },
       {0x90, 0x06, 0x81, 1, 0, 0, 0, 0x20, 0, 0x20, 0, 1, 0, 0, 0, 0, 0, 0}},
      {"a filled square, clockwise",
       [] {
         book::Shape s;
         s.Use(s.AddFill(book::FillStyle::Solid({255, 0, 0, 255})));
         s.Rectangle(0, 0, 20, 20);
         return s.Encode(3);
       },
       {0x30, 0x0A, 0x00, 0xA0, 1,    0,    255,  0,    0,    255,  0,    0x10, 0x3C,
        0x23, 0xA5, 0x40, 0x34, 0x80, 0xA6, 0x9B, 0x00, 0xD2, 0x05, 0x80, 0x00}},
      {"a matrix that scales",
       [] {
         Bytes b;
         book::WriteMatrix(b, book::Matrix::Scale(0.5, 2));
         return b;
       },
       {0xCC, 0x40, 0x00, 0x20, 0x00, 0x00, 0x00}},
      {"a picture fill, clipped and smoothed",
       [] {
         book::Shape s;
         s.Use(s.AddFill(book::FillStyle::Picture(3, 100, 100, 0, 0, 200, 200)));
         s.Rectangle(0, 0, 200, 200);
         Bytes b = s.Encode(3);
         return Bytes(b.begin() + 7, b.begin() + 17);  // the fill style after bounds and count
       },
       {0x41, 3, 0, 0xCD, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00}},
      {"DefineButton2 with an action on release",
       [] {
         return book::DefineButton2Body(
             7, {{.states = book::button_state::kUp | book::button_state::kHitTest, .character = 5}},
             {{book::button_condition::kRelease, {0x06, 0}}}, false);
       },
       {7, 0, 0, 10, 0, 9, 5, 0, 1, 0, 0, 0, 0, 0, 0, 8, 0, 6, 0}},
      {"DefineEditText bound to a variable, in a device font",
       [] {
         return book::DefineEditTextBody(
             4,
             {.width = 2000, .height = 400, .variable = "v", .font = 3, .fontHeight = 240, .noSelect = true});
       },
       {4, 0, 0x60, 0x00, 0x3E, 0x80, 0x00, 0x0C, 0x80, 0x0D, 0x10, 3, 0, 0xF0, 0, 0, 0, 0, 255, 'v', 0}},
      {"a device font",
       [] { return book::DeviceFontBody(3, "_sans", 8); },
       {3, 0, 0x04, 0, 5, '_', 's', 'a', 'n', 's', 0, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.encode(), c.bytes) << c.name;
}

TEST(SwfWriter, RefusesWhatNoPlayerCouldRead) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"a sprite's last frame never shown",
       [] {
         book::SwfWriter w(8, 100, 100, 12);
         book::Timeline s(8);
         s.ShowFrame();
         s.FrameLabel("late");
         w.DefineSprite(1, s);
       }},
      {"a sprite of no frames",
       [] {
         book::SwfWriter w(8, 100, 100, 12);
         w.DefineSprite(1, book::Timeline(8));
       }},
      {"a definition inside a sprite",
       [] {
         book::SwfWriter w(8, 100, 100, 12);
         book::Timeline s(8);
         s.Tag(21, {1, 0});
         s.ShowFrame();
         w.DefineSprite(1, s);
       }},
      {"a sprite of another version",
       [] {
         book::SwfWriter w(8, 100, 100, 12);
         book::Timeline s(7);
         s.ShowFrame();
         w.DefineSprite(1, s);
       }},
      {"an id defined twice",
       [] {
         book::SwfWriter w(8, 100, 100, 12);
         w.DefineBitsJpeg2(1, {0xFF, 0xD8});
         w.DefineDeviceFont(1, "_sans");
       }},
      {"id 0", [] { book::SwfWriter(8, 100, 100, 12).DefineDeviceFont(0, "_sans"); }},
      {"actions without their end flag",
       [] {
         book::SwfWriter(8, 100, 100, 12).DoAction({0x96, 2, 0, 7});
       }},
      {"init actions for no sprite", [] { book::SwfWriter(8, 100, 100, 12).DoInitAction(4, {0}); }},
      {"an export of nothing",
       [] {
         book::SwfWriter(8, 100, 100, 12).ExportAssets({{4, "x"}});
       }},
      {"a clip event beyond SWF 5's 16 bits",
       [] {
         book::Timeline(5).PlaceObject(
             {.character = 1, .clipActions = {{book::clip_event::kKeyPress, 0, {0}}}});
       }},
      {"a placement of nothing", [] { book::Timeline(8).PlaceObject({.depth = 1}); }},
      {"FileAttributes before SWF 8", [] { book::SwfWriter(7, 100, 100, 12).FileAttributes(true); }},
      {"a button record of no state", [] { book::DefineButton2Body(1, {{.character = 2}}, {}, false); }},
  };
  for (const auto& [name, run] : cases) EXPECT_THROW(run(), std::invalid_argument) << name;
}
