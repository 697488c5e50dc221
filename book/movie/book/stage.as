// What the book draws: the pages (clips of the exported page pictures, one
// clip a page side), the leaf that turns between two spreads, the marker
// lines, note markers and narration buttons over the pages, the book's own
// window buttons and the narrator. The main timeline shows frame 1 with
// the spread and frame 2 with a single page; everything here is made by
// script, so it stays across those two frames.

var TURN_FRAMES = 4;

function StageMake() {
  // The pages a move shows next, drawn tiny under the right page: the
  // player has their pictures decoded before the leaf needs them.
  var ahead = _root.createEmptyMovieClip("Ahead", 5);
  ahead._x = LAYOUT.right.x + LAYOUT.right.w / 2;
  ahead._y = LAYOUT.right.y + LAYOUT.right.h / 2;
  ahead._xscale = ahead._yscale = 1;
  for (var i = 0; i < 4; i++) ahead.createEmptyMovieClip("p" + i, i);
  var pages = _root.createEmptyMovieClip("Pages", 10);
  pages.createEmptyMovieClip("left", 1);
  pages.createEmptyMovieClip("right", 2);
  pages.createEmptyMovieClip("single", 3);
  pages.createEmptyMovieClip("leaf", 4);
  // In motion for a few frames only, where smoothing it cannot be seen and
  // would cost the runtime most of a frame.
  pages.leaf.rough = true;
  _root.createEmptyMovieClip("Marks", 20);
  _root.createEmptyMovieClip("WindowButtons", 30);
  _root.createEmptyMovieClip("Man", 40);
  _root.Man._x = 8;
  _root.Man._y = 476;
  _root.Man._visible = false;
  Turn = null;
  DrawWindowButtons();
}

// Page n's picture, decoded once and shared by every clip that shows it
// until no clip does (ReleasePictures).
var Pictures = {};

function Picture(page) {
  var key = "p" + page;
  if (Pictures[key] == undefined) Pictures[key] = flash.display.BitmapData.loadBitmap("page" + page);
  return Pictures[key];
}

// Shows page `page` (0: none) in `holder` at offset x; the picture clip is
// attached once and kept while the same page shows there.
function ShowPage(holder, page, x) {
  if (holder.shown != page) {
    holder.p.removeMovieClip();
    if (page > 0) {
      var p = holder.createEmptyMovieClip("p", 1);
      p.attachBitmap(Picture(page), 1, "auto", holder.rough != true);
      p._xscale = p._yscale = 100 * LAYOUT.left.w / LAYOUT.pictureW;
    }
    holder.shown = page;
  }
  holder.p._x = x;
}

function ReleasePictures() {
  var pages = _root.Pages, ahead = _root.Ahead, shown = {};
  var holders = [pages.left, pages.right, pages.single, pages.leaf, ahead.p0, ahead.p1, ahead.p2, ahead.p3];
  for (var i = 0; i < holders.length; i++) shown["p" + holders[i].shown] = true;
  for (var key in Pictures) {
    if (shown[key]) continue;
    Pictures[key].dispose();
    delete Pictures[key];
  }
}

function Place(holder, r) {
  holder._x = r.x;
  holder._y = r.y;
  holder._xscale = holder._yscale = 100 * r.w / LAYOUT.left.w;
}

// The pages as the view holds them now, with their marks.
function DrawPages() {
  var pages = _root.Pages;
  EndTurn();
  if (V.single) {
    ShowPage(pages.left, 0, 0);
    ShowPage(pages.right, 0, 0);
    ShowPage(pages.single, V.page, 0);
    Place(pages.single, SingleRect());
  } else {
    var s = SpreadPages(V);
    ShowPage(pages.single, 0, 0);
    ShowPage(pages.left, s.left, 0);
    ShowPage(pages.right, s.right, 0);
    Place(pages.left, LAYOUT.left);
    Place(pages.right, LAYOUT.right);
  }
  DrawMarks();
  ReadAheadSoon();
}

// Decoding a picture takes the runtime about a frame's time: never while a
// leaf turns, nor in the frame that lays it down and shows the new spread.
function ReadAheadSoon() {
  var ahead = _root.Ahead;
  ahead.quiet = 0;
  ahead.onEnterFrame = function() {
    this.quiet = Turn == null ? this.quiet + 1 : 0;
    if (this.quiet < 2) return;
    delete this.onEnterFrame;
    ReadAhead();
  };
}

// The pages a move shows next, drawn tiny: the runtime has them decoded
// and made ready to draw before a leaf needs them.
function ReadAhead() {
  var d = Display();
  var next = V.single ? [d + 1, d - 1] : (V.opened ? [d + 1, d + 2, d - 2, d - 3] : [2, 3]);
  for (var i = 0; i < 4; i++) {
    var page = next[i];
    ShowPage(_root.Ahead["p" + i], page >= 1 && page <= BOOK.pages ? page : 0, 0);
  }
  ReleasePictures();
}

// Told by Moved: a change between two spreads of the open book turns a
// leaf; any other change redraws at once.
function ViewChanged(before) {
  _root.utility.jump_number.display = Display();
  PlaceKeep();
  var from = SpreadPages(before), to = SpreadPages(V);
  if (before.single || V.single || !V.opened || (from.left == to.left && from.right == to.right)) {
    DrawPages();
    return;
  }
  var forward = Display() > Math.max(from.left, from.right);
  DrawPages();
  StartTurn(from, to, forward);
}

// The leaf: the page it lifts shrinks towards the spine, then the page on
// its back opens out from it; beneath, the pages of both spreads that it
// uncovers.
function StartTurn(from, to, forward) {
  var pages = _root.Pages;
  ShowPage(pages.left, forward ? from.left : to.left, 0);
  ShowPage(pages.right, forward ? to.right : from.right, 0);
  var leaf = pages.leaf;
  leaf._x = LAYOUT.right.x;
  leaf._y = LAYOUT.right.y;
  leaf._yscale = 100;
  Turn = {front: forward ? from.right : from.left, back: forward ? to.left : to.right, forward: forward, frame: 0,
          started: getTimer()};
  _root.Marks._visible = false;
  TurnStep();
  pages.onEnterFrame = TurnStep;
}

function TurnStep() {
  if (Turn == null) return;
  var leaf = _root.Pages.leaf;
  Turn.frame++;
  var t = Turn.frame / TURN_FRAMES;
  var w = LAYOUT.left.w;
  if (t < 0.5) {
    // The front lies on the side the leaf leaves.
    ShowPage(leaf, Turn.front, Turn.forward ? 0 : -w);
    leaf._xscale = 100 * (1 - 2 * t);
  } else if (t < 1) {
    ShowPage(leaf, Turn.back, Turn.forward ? -w : 0);
    leaf._xscale = 100 * (2 * t - 1);
  } else {
    DrawPages();
  }
}

function EndTurn() {
  if (Turn == null) return;
  // How long the last leaf took by the movie's own clock (for the bench).
  TurnMs = getTimer() - Turn.started;
  Turn = null;
  var pages = _root.Pages;
  delete pages.onEnterFrame;
  ShowPage(pages.leaf, 0, 0);
  _root.Marks._visible = true;
}

// ---- over the pages ----

function DrawMarks() {
  var m = _root.Marks;
  m.clear();
  if (V.single) {
    DrawPageMarks(m, SingleRect(), V.page);
  } else {
    var s = SpreadPages(V);
    DrawPageMarks(m, LAYOUT.left, s.left);
    DrawPageMarks(m, LAYOUT.right, s.right);
  }
}

function Box(m, x, y, w, h) {
  m.moveTo(x, y);
  m.lineTo(x + w, y);
  m.lineTo(x + w, y + h);
  m.lineTo(x, y + h);
  m.lineTo(x, y);
}

function DrawPageMarks(m, r, page) {
  if (page <= 0) return;
  var s = r.w / LAYOUT.imageW;
  if (Lines) {
    // Under each line of text, where the book's build laid it out.
    var ys = BOOK.lines[page];
    m.lineStyle(1, 0x3b7dd8, 45);
    for (var i = 0; ys != undefined && i < ys.length; i++) {
      m.moveTo(r.x + 76 * s, r.y + ys[i] * s);
      m.lineTo(r.x + r.w - 76 * s, r.y + ys[i] * s);
    }
  }
  if (NoteIndexOf(page) >= 0) {
    var n = NoteMarkerRect(r);
    m.lineStyle(1, 0xa08010, 100);
    m.beginFill(0xffd840, 100);
    m.moveTo(n.x, n.y);
    m.lineTo(n.x + n.w, n.y);
    m.lineTo(n.x + n.w, n.y + n.h - 7);
    m.lineTo(n.x + n.w - 7, n.y + n.h);
    m.lineTo(n.x, n.y + n.h);
    m.lineTo(n.x, n.y);
    m.endFill();
    m.lineStyle(1.2, 0x806010, 100);
    for (var k = 1; k <= 3; k++) {
      m.moveTo(n.x + 4, n.y + k * 5.5);
      m.lineTo(n.x + n.w - 5, n.y + k * 5.5);
    }
  }
  var c = ChapterOf(page);
  if (c != null && c.first == page) {
    var b = NarrationRect(r);
    var cx = b.x + b.w / 2, cy = b.y + b.h / 2, u = b.w / 40;
    m.lineStyle();
    m.beginFill(0x1f4e79, 100);
    Circle(m, cx, cy, b.w / 2);
    m.endFill();
    // A loudspeaker with a wave.
    m.beginFill(0xffffff, 100);
    m.moveTo(cx - 10 * u, cy - 4 * u);
    m.lineTo(cx - 5 * u, cy - 4 * u);
    m.lineTo(cx + 1 * u, cy - 10 * u);
    m.lineTo(cx + 1 * u, cy + 10 * u);
    m.lineTo(cx - 5 * u, cy + 4 * u);
    m.lineTo(cx - 10 * u, cy + 4 * u);
    m.endFill();
    m.lineStyle(2 * u, 0xffffff, 100);
    m.moveTo(cx + 5 * u, cy - 5 * u);
    m.curveTo(cx + 9 * u, cy, cx + 5 * u, cy + 5 * u);
    m.moveTo(cx + 8 * u, cy - 9 * u);
    m.curveTo(cx + 15 * u, cy, cx + 8 * u, cy + 9 * u);
  }
}

function Circle(m, cx, cy, r) {
  var k = r * 0.4142, d = r * 0.7071;
  m.moveTo(cx + r, cy);
  m.curveTo(cx + r, cy + k, cx + d, cy + d);
  m.curveTo(cx + k, cy + r, cx, cy + r);
  m.curveTo(cx - k, cy + r, cx - d, cy + d);
  m.curveTo(cx - r, cy + k, cx - r, cy);
  m.curveTo(cx - r, cy - k, cx - d, cy - d);
  m.curveTo(cx - k, cy - r, cx, cy - r);
  m.curveTo(cx + k, cy - r, cx + d, cy - d);
  m.curveTo(cx + r, cy - k, cx + r, cy);
}

// Help, minimise, maximise or restore, close.
function DrawWindowButtons() {
  var m = _root.WindowButtons;
  m.clear();
  for (var i = 0; i < 4; i++) {
    var r = WindowButtonRect(i);
    m.lineStyle(1, 0x908878, 100);
    m.beginFill(0x4a4640, 100);
    Box(m, r.x, r.y, r.w, r.h);
    m.endFill();
    m.lineStyle(2, 0xf0e8d8, 100);
    var x = r.x + 6, y = r.y + 6, w = r.w - 12, h = r.h - 12;
    if (i == 0) {
      m.moveTo(x + 2, y + 3);
      m.curveTo(x + w / 2, y - 3, x + w - 1, y + 3);
      m.curveTo(x + w - 1, y + 6, x + w / 2, y + h - 3);
      m.moveTo(x + w / 2, y + h - 0.5);
      m.lineTo(x + w / 2, y + h + 0.5);
    } else if (i == 1) {
      m.moveTo(x, y + h);
      m.lineTo(x + w, y + h);
    } else if (i == 2) {
      if (Maximized) {
        Box(m, x, y + 3, w - 3, h - 3);
        m.moveTo(x + 3, y);
        m.lineTo(x + w, y);
        m.lineTo(x + w, y + h - 3);
      } else {
        Box(m, x, y, w, h);
      }
    } else {
      m.moveTo(x, y);
      m.lineTo(x + w, y + h);
      m.moveTo(x + w, y);
      m.lineTo(x, y + h);
    }
  }
}

// ---- the narrator ----

// The host hands the narrator's file over with every "\" doubled. The
// movie reads it where the player serves it: by file name from the media
// folder when the book itself came from the reader's own scheme.
function NarratorUrl(file) {
  var path = "";
  var text = String(file);
  for (var i = 0; i < text.length; i++) {
    path += text.charAt(i);
    if (text.charAt(i) == "\\" && text.charAt(i + 1) == "\\") i++;
  }
  if (_root._url.indexOf("reader:") != 0) return path;
  var slash = Math.max(path.lastIndexOf("/"), path.lastIndexOf("\\"));
  return "reader://media/" + path.substring(slash + 1);
}

function ShowNarrator() {
  var man = _root.Man;
  if (animationFile == undefined || String(animationFile) == "") return;
  if (man.file != animationFile) {
    man.file = animationFile;
    man.createEmptyMovieClip("movie", 1);
    man.movie._xscale = man.movie._yscale = 100 * 66 / 160;
    man.movie.loadMovie(NarratorUrl(animationFile));
  } else {
    man.movie.play();
  }
  man._visible = true;
}

function HideNarrator() {
  _root.Man.movie.stop();
  _root.Man._visible = false;
}
