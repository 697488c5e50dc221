#include "player/book_view.h"

#include <algorithm>

namespace player {

namespace L = layout;

void BookView::Reset(int pages) {
  pages_ = pages;
  shown_ = Shown{};
  lines_ = false;
  leaf_ = Leaf{};
}

int BookView::display() const {
  if (shown_.view == View::Single) return shown_.single;
  return std::min(2 * shown_.spread + 1, std::max(pages_, 1));
}

int BookView::leftPage() const {
  return shown_.view == View::Spread && shown_.spread > 0 ? 2 * shown_.spread : 0;
}

int BookView::rightPage() const {
  int p = 2 * shown_.spread + 1;
  return shown_.view == View::Spread && p <= pages_ ? p : 0;
}

L::Rect BookView::SingleRect() const {
  double z = zoom();
  double w = L::kSinglePage.w * z, h = L::kSinglePage.h * z;
  double cx = L::kSinglePage.x + L::kSinglePage.w / 2 + shown_.panX;
  double cy = L::kSinglePage.y + L::kSinglePage.h / 2 + shown_.panY;
  return L::Rect{cx - w / 2, cy - h / 2, w, h};
}

template <typename Move>
Changes BookView::Moved(Move move) {
  const Shown before = shown_;
  const Leaf from{leftPage(), rightPage()};
  move();
  if (shown_ == before) return {};
  Leaf leaf{from.fromLeft, from.fromRight, leftPage(), rightPage()};
  if (before.view != View::Spread || shown_.view != View::Spread || !shown_.opened ||
      (leaf.toLeft == leaf.fromLeft && leaf.toRight == leaf.fromRight))
    return Changes::kPages;
  leaf.forward = display() > std::max(leaf.fromLeft, leaf.fromRight);
  leaf_ = leaf;
  return Changes::kPages | Changes::kTurn;
}

void BookView::OpenNow() {
  shown_.opened = true;
  shown_.view = View::Spread;
  shown_.spread = 1;
}

void BookView::GoNow(int page) {
  page = std::clamp(page, 1, std::max(pages_, 1));
  if (shown_.view == View::Single) {
    shown_.single = page;
    shown_.panX = shown_.panY = 0;
  } else {
    shown_.spread = page / 2;
  }
}

void BookView::SingleNow(int page) {
  shown_.view = View::Single;
  shown_.single = std::clamp(page, 1, std::max(pages_, 1));
  shown_.zoomStep = 0;
  shown_.panX = shown_.panY = 0;
}

Changes BookView::Open() {
  return Moved([&] { OpenNow(); });
}

Changes BookView::NextPage() {
  return Moved([&] {
    if (!shown_.opened) {
      OpenNow();
    } else if (shown_.view == View::Single) {
      if (shown_.single < pages_) GoNow(shown_.single + 1);
    } else if (2 * (shown_.spread + 1) <= pages_) {
      ++shown_.spread;
    }
  });
}

Changes BookView::PreviousPage() {
  return Moved([&] {
    if (!shown_.opened) return;
    if (shown_.view == View::Single) {
      if (shown_.single > 1) GoNow(shown_.single - 1);
    } else if (shown_.spread > 0) {
      --shown_.spread;
    }
  });
}

Changes BookView::FirstPage() {
  return Moved([&] {
    if (shown_.opened) GoNow(1);
  });
}

Changes BookView::GoToPage(int page) {
  return Moved([&] { GoNow(page); });
}

Changes BookView::OpenAt(int page) {
  return Moved([&] {
    if (!shown_.opened) OpenNow();
    GoNow(page);
  });
}

Changes BookView::EnterSingle(bool left) {
  return Moved([&] {
    if (!shown_.opened) OpenNow();
    int page = left ? leftPage() : rightPage();
    if (page == 0) page = left ? rightPage() : leftPage();
    if (page == 0) page = display();
    SingleNow(page);
  });
}

Changes BookView::EnterSpread() {
  return Moved([&] {
    if (shown_.view == View::Single) shown_.spread = shown_.single / 2;
    shown_.view = View::Spread;
    shown_.zoomStep = 0;
    shown_.panX = shown_.panY = 0;
  });
}

Changes BookView::ZoomIn() {
  return Moved([&] {
    if (shown_.view != View::Single || shown_.zoomStep == 2) return;
    ++shown_.zoomStep;
    ClampPan();
  });
}

Changes BookView::ZoomOut() {
  return Moved([&] {
    if (shown_.view != View::Single || shown_.zoomStep == 0) return;
    --shown_.zoomStep;
    ClampPan();
  });
}

Changes BookView::Pan(double dx, double dy) {
  return Moved([&] {
    if (shown_.view != View::Single) return;
    shown_.panX += dx;
    shown_.panY += dy;
    ClampPan();
  });
}

void BookView::ClampPan() {
  L::Rect r{0, 0, L::kSinglePage.w * zoom(), L::kSinglePage.h * zoom()};
  double maxX = std::max(0.0, (r.w - L::kStageWidth) / 2), maxY = std::max(0.0, (r.h - L::kSinglePage.h) / 2);
  shown_.panX = std::clamp(shown_.panX, -maxX, maxX);
  shown_.panY = std::clamp(shown_.panY, -maxY, maxY);
}

Changes BookView::ToggleLines() {
  lines_ = !lines_;
  return Changes::kLines;
}

Changes BookView::ToggleMaximized() {
  maximized_ = !maximized_;
  return Changes::kButtons;
}

BookHit BookView::HitOnPage(const L::Rect& rect, int page, double x, double y, const BookDescription& book,
                            const BookLists& lists) const {
  if (page <= 0 || !rect.Contains(x, y)) return {};
  if (int note = lists.NoteIndexOf(page); note >= 0 && L::NoteMarker(rect).Contains(x, y))
    return {BookHit::kNote, note};
  if (auto c = book.ChapterOf(page); c && c->first == page && L::NarrationButton(rect).Contains(x, y))
    return {BookHit::kNarration, c->number};
  if (page == 2) {  // the contents page
    for (size_t i = 0; i < book.contents.size(); ++i)
      if (L::OnPage(rect, L::ContentsEntry(static_cast<int>(i))).Contains(x, y))
        return {BookHit::kContents, book.contents[i].page};
  }
  return {};
}

BookHit BookView::HitAt(double x, double y, const BookDescription& book, const BookLists& lists) const {
  for (int i = 0; i < 4; ++i)
    if (L::WindowButton(i).Contains(x, y)) return {BookHit::kWindowButton, i};
  if (!shown_.opened) return L::kRightPage.Contains(x, y) ? BookHit{BookHit::kCover} : BookHit{};
  if (shown_.view == View::Single) return HitOnPage(SingleRect(), shown_.single, x, y, book, lists);
  for (const auto& [rect, page] :
       {std::pair{L::kLeftPage, leftPage()}, std::pair{L::kRightPage, rightPage()}})
    if (BookHit hit = HitOnPage(rect, page, x, y, book, lists); hit.what != BookHit::kNothing) return hit;
  if (L::kLeftPage.Contains(x, y)) return {BookHit::kPreviousPage};
  if (L::kRightPage.Contains(x, y)) return {BookHit::kNextPage};
  return {};
}

}  // namespace player
