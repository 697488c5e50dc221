#pragma once

// Where things are on the book's stage (768 x 576 stage pixels, 20 twips
// each) and on a page (a design space of 768 x 1152). Shared by the book's build and
// the player, so what is drawn and what is hit agree.
namespace player::layout {

struct Rect {
  double x, y, w, h;
  bool Contains(double px, double py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

inline constexpr double kStageWidth = 768, kStageHeight = 576;
inline constexpr int kPageImageWidth = 768, kPageImageHeight = 1152;
// The demo book's page pictures hold that design at twice the size a page
// is drawn in the normal window at 96 DPI (327 x 490 pixels): the JPEG
// decoder's half scale gives that size directly, with nothing to scale, and
// a zoom to 200 % there still shows a picture pixel per screen pixel.
inline constexpr int kPagePictureWidth = 654, kPagePictureHeight = 980;

// The spread: two pages side by side below the band the toolbar covers.
inline constexpr Rect kLeftPage{52, 44, 332, 498};
inline constexpr Rect kRightPage{384, 44, 332, 498};
// The single page at zoom 1, centred the same way.
inline constexpr Rect kSinglePage{218, 44, 332, 498};

// The book's own window buttons, bottom right: help, minimise, maximise or
// restore, close. Above the stage's bottom strip, which the normal window
// does not show (the player reaches below its client area).
inline Rect WindowButton(int i) { return Rect{768 - 4 - 26.0 * (4 - i), 536, 22, 22}; }
enum WindowButtons { kHelpButton = 0, kMinimizeButton, kMaximizeButton, kCloseButton };

// On a page picture: its number, centred at its foot.
inline constexpr Rect kPageNumber{344, 1068, 80, 40};

// On a page picture: the lines of the contents page.
inline Rect ContentsEntry(int i) { return Rect{96, 250 + 92.0 * i, 576, 76}; }

// The chapter movie's own buttons (its stage is 217 x 100): play or pause,
// and the narrator's animation on or off.
inline constexpr Rect kChapterPlayButton{24, 46, 44, 44};
inline constexpr Rect kChapterAnimationButton{84, 46, 44, 44};

// Within a page's rectangle, as fractions of its size.
inline Rect NoteMarker(const Rect& page) { return Rect{page.x + page.w - 30, page.y + 6, 24, 24}; }
// A chapter's narration button sits right of the page number, level with it.
inline Rect NarrationButton(const Rect& page) {
  return Rect{page.x + page.w / 2 + 20, page.y + page.h - 48, 40, 40};
}

// A rectangle of a page picture, placed on a page's rectangle.
inline Rect OnPage(const Rect& page, const Rect& inImage) {
  double s = page.w / kPageImageWidth;
  return Rect{page.x + inImage.x * s, page.y + inImage.y * s, inImage.w * s, inImage.h * s};
}

}  // namespace player::layout
