// The book's pages as the reader sees them: closed on its cover, or open on
// a spread or on a single page with its zoom and panning. The same rules as
// the stand-in's BookView (tests/support/book_rules.h holds both to them).
// Every move returns whether it changed what shows; Moved() compares.
//
// V.spread s shows pages 2s and 2s + 1; the closed book shows its cover
// (page 1) on the right.

var ZOOMS = [1, 1.5, 2];

function ViewReset() {
  V = {opened: false, single: false, spread: 0, page: 1, zoomStep: 0, panX: 0, panY: 0};
}

function ViewCopy() {
  return {opened: V.opened, single: V.single, spread: V.spread, page: V.page, zoomStep: V.zoomStep,
          panX: V.panX, panY: V.panY};
}

function ViewSame(a, b) {
  return a.opened == b.opened && a.single == b.single && a.spread == b.spread && a.page == b.page &&
         a.zoomStep == b.zoomStep && a.panX == b.panX && a.panY == b.panY;
}

function Clamp(v, lo, hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

// The right-hand page of the spread, or the single page.
function Display() {
  if (V.single) return V.page;
  return Math.min(2 * V.spread + 1, Math.max(BOOK.pages, 1));
}

function LeftPage() {
  return SpreadPages(V).left;
}

function RightPage() {
  return SpreadPages(V).right;
}

function Zoom() {
  return ZOOMS[V.zoomStep];
}

function OpenNow() {
  V.opened = true;
  V.single = false;
  V.spread = 1;
}

function GoNow(page) {
  page = Clamp(page, 1, Math.max(BOOK.pages, 1));
  if (V.single) {
    V.page = page;
    // A turned page shows from its top, below the toolbar.
    V.panX = 0;
    V.panY = MaxPanY();
  } else {
    V.spread = Math.floor(page / 2);
  }
}

function SingleNow(page) {
  V.single = true;
  V.page = Clamp(page, 1, Math.max(BOOK.pages, 1));
  V.zoomStep = 0;
  V.panX = 0;
  V.panY = 0;
}

function MaxPanX() {
  return Math.max(0, (LAYOUT.single.w * Zoom() - LAYOUT.stageW) / 2);
}

function MaxPanY() {
  return Math.max(0, (LAYOUT.single.h * Zoom() - LAYOUT.single.h) / 2);
}

function ClampPan() {
  V.panX = Clamp(V.panX, -MaxPanX(), MaxPanX());
  V.panY = Clamp(V.panY, -MaxPanY(), MaxPanY());
}

// ---- the moves; each returns whether something changed ----

function ViewOpen() {
  var before = ViewCopy();
  OpenNow();
  return Moved(before);
}

function ViewNext() {
  var before = ViewCopy();
  if (!V.opened) {
    OpenNow();
  } else if (V.single) {
    if (V.page < BOOK.pages) GoNow(V.page + 1);
  } else if (2 * (V.spread + 1) <= BOOK.pages) {
    V.spread++;
  }
  return Moved(before);
}

function ViewPrevious() {
  var before = ViewCopy();
  if (V.opened) {
    if (V.single) {
      if (V.page > 1) GoNow(V.page - 1);
    } else if (V.spread > 0) {
      V.spread--;
    }
  }
  return Moved(before);
}

function ViewFirst() {
  var before = ViewCopy();
  if (V.opened) GoNow(1);
  return Moved(before);
}

function ViewGoTo(page) {
  var before = ViewCopy();
  GoNow(page);
  return Moved(before);
}

function ViewOpenAt(page) {
  var before = ViewCopy();
  if (!V.opened) OpenNow();
  GoNow(page);
  return Moved(before);
}

// The left or right page of the spread alone (the other when that side has
// none), at zoom 1; a closed book opens first.
function ViewSingle(left) {
  var before = ViewCopy();
  if (!V.opened) OpenNow();
  var page = left ? LeftPage() : RightPage();
  if (page == 0) page = left ? RightPage() : LeftPage();
  if (page == 0) page = Display();
  SingleNow(page);
  return Moved(before);
}

function ViewSpread() {
  var before = ViewCopy();
  if (V.single) V.spread = Math.floor(V.page / 2);
  V.single = false;
  V.zoomStep = 0;
  V.panX = 0;
  V.panY = 0;
  return Moved(before);
}

function ViewZoom(step) {
  var before = ViewCopy();
  var to = V.zoomStep + step;
  if (V.single && to >= 0 && to < ZOOMS.length) {
    V.zoomStep = to;
    ClampPan();
  }
  return Moved(before);
}

function ViewPan(dx, dy) {
  var before = ViewCopy();
  if (V.single) {
    V.panX += dx;
    V.panY += dy;
    ClampPan();
  }
  return Moved(before);
}

// Where the single page lies on the stage.
function SingleRect() {
  var z = Zoom();
  var s = LAYOUT.single;
  var w = s.w * z, h = s.h * z;
  return {x: s.x + s.w / 2 + V.panX - w / 2, y: s.y + s.h / 2 + V.panY - h / 2, w: w, h: h};
}

function Inside(r, x, y) {
  return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

// The book's chapter that page `page` belongs to, or null.
function ChapterOf(page) {
  for (var i = 0; i < BOOK.chapters.length; i++) {
    var c = BOOK.chapters[i];
    if (page >= c.first && page <= c.last) return c;
  }
  return null;
}

// What a click at stage point (x, y) lands on: {what, value}.
function HitAt(x, y) {
  for (var i = 0; i < 4; i++)
    if (Inside(WindowButtonRect(i), x, y)) return {what: "windowButton", value: i};
  if (!V.opened) return Inside(LAYOUT.right, x, y) ? {what: "cover"} : {what: "nothing"};
  if (V.single) return HitOnPage(SingleRect(), V.page, x, y);
  var hit = HitOnPage(LAYOUT.left, LeftPage(), x, y);
  if (hit.what == "nothing") hit = HitOnPage(LAYOUT.right, RightPage(), x, y);
  if (hit.what != "nothing") return hit;
  if (Inside(LAYOUT.left, x, y)) return {what: "previous"};
  if (Inside(LAYOUT.right, x, y)) return {what: "next"};
  return {what: "nothing"};
}

function HitOnPage(r, page, x, y) {
  if (page <= 0 || !Inside(r, x, y)) return {what: "nothing"};
  var note = NoteIndexOf(page);
  if (note >= 0 && Inside(NoteMarkerRect(r), x, y)) return {what: "note", value: note};
  var c = ChapterOf(page);
  if (c != null && c.first == page && Inside(NarrationRect(r), x, y)) return {what: "narration", value: c.number};
  if (page == 2) {
    for (var i = 0; i < BOOK.contents.length; i++)
      if (Inside(OnPage(r, ContentsEntryRect(i)), x, y)) return {what: "contents", value: BOOK.contents[i].page};
  }
  return {what: "nothing"};
}

// ---- the rectangles of layout.h ----

function WindowButtonRect(i) {
  return {x: LAYOUT.stageW - 4 - 26 * (4 - i), y: 536, w: 22, h: 22};
}

function ContentsEntryRect(i) {
  var e = LAYOUT.contentsEntry;
  return {x: e.x, y: e.y + e.step * i, w: e.w, h: e.h};
}

function NoteMarkerRect(r) {
  return {x: r.x + r.w - 30, y: r.y + 6, w: 24, h: 24};
}

function NarrationRect(r) {
  return {x: r.x + r.w / 2 + 20, y: r.y + r.h - 48, w: 40, h: 40};
}

function OnPage(r, inImage) {
  var s = r.w / LAYOUT.imageW;
  return {x: r.x + inImage.x * s, y: r.y + inImage.y * s, w: inImage.w * s, h: inImage.h * s};
}

// The pages a state shows on the spread: {left, right}, 0 for none.
function SpreadPages(s) {
  if (s.single) return {left: 0, right: 0};
  var r = 2 * s.spread + 1;
  return {left: s.spread > 0 ? 2 * s.spread : 0, right: r <= BOOK.pages ? r : 0};
}

// After a move: whether it changed anything; the stage hears of it, and the
// place is kept for the next start.
function Moved(before) {
  if (ViewSame(before, V)) return false;
  ViewChanged(before);
  return true;
}
