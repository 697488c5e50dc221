#pragma once

#include "player/book_lists.h"
#include "player/changes.h"
#include "player/description.h"
#include "player/layout.h"

namespace player {

// Frame 1 of the book shows the spread, frame 2 a single page.
enum class View { Spread, Single };

// A leaf turned over the spread: the pages shown before and after it.
struct Leaf {
  int fromLeft = 0, fromRight = 0, toLeft = 0, toRight = 0;
  bool forward = true;
};

// What a click on the book's stage lands on.
struct BookHit {
  enum What { kNothing, kWindowButton, kCover, kNote, kNarration, kContents, kPreviousPage, kNextPage };
  What what = kNothing;
  // The window button, the note's index, the chapter, or the page a
  // contents entry leads to.
  int value = 0;
};

// The book's pages as the reader sees them: closed on its cover, or open on
// a spread or on a single page with its zoom and panning; the marker lines
// and the book's window buttons; and what a click on the stage hits. Every
// move says what it changed.
class BookView {
 public:
  static constexpr double kZooms[] = {1.0, 1.5, 2.0};

  // A book of `pages` pages, closed on its cover. The window buttons stay
  // as they are: the window does, whatever movie it shows.
  void Reset(int pages);

  int pageCount() const { return pages_; }
  bool opened() const { return shown_.opened; }
  View view() const { return shown_.view; }
  int display() const;    // the right-hand page of the spread, or the single page
  int leftPage() const;   // 0: none
  int rightPage() const;  // 0: none
  int zoomStep() const { return shown_.zoomStep; }
  double zoom() const { return kZooms[shown_.zoomStep]; }
  double panX() const { return shown_.panX; }
  double panY() const { return shown_.panY; }
  layout::Rect SingleRect() const;  // where the single page lies on the stage
  bool lines() const { return lines_; }
  bool maximized() const { return maximized_; }
  // The leaf turned last (Changes::kTurn).
  const Leaf& leaf() const { return leaf_; }

  Changes Open();      // on its first spread
  Changes NextPage();  // a closed book opens
  Changes PreviousPage();
  Changes FirstPage();
  Changes GoToPage(int page);
  Changes OpenAt(int page);  // a closed book opens first
  // The left or right page of the spread alone (the other when that side
  // has none), at zoom 1; a closed book opens first.
  Changes EnterSingle(bool left);
  Changes EnterSpread();
  Changes ZoomIn();
  Changes ZoomOut();
  Changes Pan(double dx, double dy);
  Changes ToggleLines();
  Changes ToggleMaximized();

  BookHit HitAt(double x, double y, const BookDescription& book, const BookLists& lists) const;

 private:
  struct Shown {
    bool opened = false;
    View view = View::Spread;
    int spread = 0;  // spread s shows pages 2s and 2s + 1
    int single = 1;
    int zoomStep = 0;
    double panX = 0, panY = 0;
    bool operator==(const Shown&) const = default;
  };
  // Runs a move and says what it changed: leafing from a spread of the open
  // book to another turns a leaf.
  template <typename Move>
  Changes Moved(Move move);
  void OpenNow();
  void GoNow(int page);
  void SingleNow(int page);
  void ClampPan();
  BookHit HitOnPage(const layout::Rect& rect, int page, double x, double y, const BookDescription& book,
                    const BookLists& lists) const;

  int pages_ = 0;
  Shown shown_;
  bool lines_ = false;
  bool maximized_ = false;
  Leaf leaf_;
};

}  // namespace player
