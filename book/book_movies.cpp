#include "book/book_movies.h"

#include <sstream>
#include <stdexcept>

#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "player/layout.h"

namespace book {

namespace {

namespace L = player::layout;

// Version 8: the book's pages are pictures attached to clips
// (BitmapData.loadBitmap, attachBitmap), which the runtime draws as images;
// a version 7 movie has only bitmap fills, which it draws many times slower
// (a frame of the spread took 55 ms instead of 3).
constexpr int kVersion = 8;
constexpr std::int32_t kTwips = 20;

// The scripts of the book's first frame, in the order they run: the
// functions first, then the start that uses them.
const char* const kBookScripts[] = {"view.as", "lists.as", "stage.as", "labels.as", "boot.as"};

// The labels the host calls, one frame each after the spread and the single
// page; each frame hands its label to the book's OnLabel.
const char* const kBookLabels[] = {
    "soundOn",           "mute",          "indexPage",     "discuss",       "regionLine",   "singleZoomIn",
    "singleZoomOut",     "singleLeft",    "singleRight",   "doublePage",    "LoadingSound", "Buy",
    "startPlay",         "playAnimation", "stopAnimation", "stopMan",       "addBookmark",  "deleteBookmark",
    "deleteAllBookmark", "addNote",       "deleteNote",    "deleteAllNote", "editNote"};

Bytes Compiled(const std::string& source, const std::string& name) {
  try {
    return avm1::Compile(source, {.swfVersion = kVersion});
  } catch (const avm1::CompileError& e) {
    throw std::runtime_error(name + ":" + e.what());
  }
}

Bytes CompiledFile(const std::string& path) { return avm1::CompileFile(path, {.swfVersion = kVersion}); }

// A string literal of ActionScript.
std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string RectLiteral(const L::Rect& r) {
  std::ostringstream s;
  s << "{x: " << r.x << ", y: " << r.y << ", w: " << r.w << ", h: " << r.h << "}";
  return s.str();
}

// A shape filled with picture `bitmap` (w x h pixels) over w x h stage
// pixels... scaled to `width` x `height` stage pixels, smoothed.
Shape PictureShape(std::uint16_t bitmap, int pixelWidth, int pixelHeight, double width, double height) {
  Shape s;
  const auto w = static_cast<std::int32_t>(width * kTwips), h = static_cast<std::int32_t>(height * kTwips);
  s.Use(s.AddFill(FillStyle::Picture(bitmap, pixelWidth, pixelHeight, 0, 0, w, h)));
  s.Rectangle(0, 0, w, h);
  return s;
}

}  // namespace

std::string BookData(const Book& b, const std::vector<PageArt>& pages) {
  std::ostringstream s;
  s << "// Written by make_book from the book's description and layout.\n";
  s << "BOOK = {pages: " << b.pages.size() << ", code: " << Quote(b.code)
    << ", purchase: " << Quote(b.purchase) << ", discuss: " << Quote(b.discuss) << ",\n  contents: [";
  for (size_t i = 0; i < b.contents.size(); ++i)
    s << (i ? ", " : "") << "{page: " << b.contents[i].page << ", title: " << Quote(b.contents[i].title)
      << "}";
  s << "],\n  chapters: [";
  for (size_t i = 0; i < b.chapters.size(); ++i)
    s << (i ? ", " : "") << "{number: " << b.chapters[i].number << ", first: " << b.chapters[i].first
      << ", last: " << b.chapters[i].last << "}";
  // lines[n]: page n's marker lines (lines[0] unused).
  s << "],\n  lines: [[]";
  for (const PageArt& p : pages) {
    s << ", [";
    for (size_t i = 0; i < p.lines.size(); ++i) s << (i ? ", " : "") << p.lines[i];
    s << "]";
  }
  s << "]};\n";
  s << "LAYOUT = {stageW: " << L::kStageWidth << ", stageH: " << L::kStageHeight
    << ", imageW: " << L::kPageImageWidth << ", imageH: " << L::kPageImageHeight
    << ", pictureW: " << L::kPagePictureWidth << ",\n  left: " << RectLiteral(L::kLeftPage)
    << ", right: " << RectLiteral(L::kRightPage) << ", single: " << RectLiteral(L::kSinglePage) << ",\n";
  const L::Rect e0 = L::ContentsEntry(0), e1 = L::ContentsEntry(1);
  s << "  contentsEntry: {x: " << e0.x << ", y: " << e0.y << ", w: " << e0.w << ", h: " << e0.h
    << ", step: " << e1.y - e0.y << "}};\n";
  return s.str();
}

std::vector<std::uint8_t> BookMovie(const Book& b, const std::vector<PageArt>& pages, const Sound16& hum,
                                    const std::string& scripts) {
  // The stage is 768 x 576 pixels; 40 frames a second, so the leaf turns
  // in four of them (100 ms): opening the book stays within 150 ms.
  SwfWriter swf(kVersion, static_cast<std::int32_t>(L::kStageWidth) * kTwips,
                static_cast<std::int32_t>(L::kStageHeight) * kTwips, 40);
  swf.BackgroundColor(0x4a, 0x46, 0x40);
  swf.Metadata(Describe(b));
  // The pictures first, in page order: the first one is the cover, which a
  // reader can draw before the rest is in.
  const auto n = static_cast<std::uint16_t>(pages.size());
  for (std::uint16_t i = 0; i < n; ++i) swf.DefineBitsJpeg2(static_cast<std::uint16_t>(1 + i), pages[i].jpeg);
  // Page n's picture is exported as "page<n>": the movie attaches it to
  // its clips, scaled to a page's rectangle and smoothed.
  std::vector<std::pair<std::uint16_t, std::string>> exports;
  for (std::uint16_t i = 0; i < n; ++i)
    exports.push_back({static_cast<std::uint16_t>(1 + i), "page" + std::to_string(i + 1)});
  swf.DefineSound(999, hum.rate, hum.samples);
  exports.push_back({999, "hum"});
  swf.ExportAssets(exports);

  // Frame 1 shows the spread, frame 2 the single page: the book's logic
  // goes to one or the other; the labels after them are only called.
  swf.DoAction(Compiled(BookData(b, pages), "book data"));
  for (const char* name : kBookScripts) swf.DoAction(CompiledFile(scripts + "/book/" + name));
  swf.FrameLabel("spread");
  swf.ShowFrame();
  swf.DoAction(Compiled("stop();", "frame 2"));
  swf.FrameLabel("single");
  swf.ShowFrame();
  for (const char* label : kBookLabels) {
    swf.FrameLabel(label);
    swf.DoAction(Compiled("OnLabel(" + Quote(label) + ");", label));
    swf.ShowFrame();
  }
  return swf.Finish(true);
}

std::vector<std::uint8_t> ChapterMovie(const Chapter& c, const std::vector<std::uint8_t>& face,
                                       const Sound16& narration, const std::string& scripts) {
  const double w = 217, h = 100;
  SwfWriter chapter(kVersion, static_cast<std::int32_t>(w) * kTwips, static_cast<std::int32_t>(h) * kTwips,
                    12);
  chapter.Metadata("kind=chapter\nchapter=" + std::to_string(c.number) + "\ntitle=" + c.title + "\n");
  // The narration is the movie's first sound: the stand-in plays that one.
  chapter.DefineSound(1, narration.rate, narration.samples);
  chapter.DefineBitsJpeg2(2, face);
  chapter.DefineShape(3, PictureShape(2, static_cast<int>(2 * w), static_cast<int>(2 * h), w, h));
  chapter.ExportAssets({{1, "narration"}});
  chapter.PlaceObject({.depth = 1, .character = 3});
  chapter.DoAction(Compiled("CHAPTER = {number: " + std::to_string(c.number) + ", title: " + Quote(c.title) +
                                "};\nLAYOUT = {play: " + RectLiteral(L::kChapterPlayButton) +
                                ", animation: " + RectLiteral(L::kChapterAnimationButton) + "};\n",
                            "chapter data"));
  chapter.DoAction(CompiledFile(scripts + "/chapter/chapter.as"));
  chapter.FrameLabel("showPlayer");
  chapter.ShowFrame();
  return chapter.Finish(true);
}

std::vector<std::uint8_t> NarratorMovie(const std::vector<std::vector<std::uint8_t>>& frames) {
  SwfWriter man(kVersion, 160 * kTwips, 160 * kTwips, 8);
  man.Metadata("kind=animation\n");
  const auto n = static_cast<std::uint16_t>(frames.size());
  for (std::uint16_t f = 0; f < n; ++f) man.DefineBitsJpeg2(static_cast<std::uint16_t>(1 + f), frames[f]);
  for (std::uint16_t f = 0; f < n; ++f)
    man.DefineShape(static_cast<std::uint16_t>(101 + f),
                    PictureShape(static_cast<std::uint16_t>(1 + f), 160, 160, 160, 160));
  // Frame by frame the next face; the last frame leads back to the first.
  for (std::uint16_t f = 0; f < n; ++f) {
    if (f == 0) man.FrameLabel("play");
    if (f > 0) man.RemoveObject(1);
    man.PlaceObject({.depth = 1, .character = static_cast<std::uint16_t>(101 + f)});
    man.ShowFrame();
  }
  return man.Finish(true);
}

}  // namespace book
