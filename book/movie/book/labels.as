// The labels the host calls (each label's frame runs OnLabel with its name)
// and the commands the book sends back, with the meanings the stand-in
// gives them.

// The toolbar states a label answers with.
function Toolbar(state) {
  fscommand("dirov.Toolbar", state);
}

// A move of the pages; one that opens the closed book has the host show
// its toolbar, as opening it always does.
function MovePages(move, arg) {
  var closed = !V.opened;
  var changed = move(arg);
  if (closed && V.opened) fscommand("dirov.Win", "showUtility");
  return changed;
}

function OnLabel(label) {
  if (label == "soundOn" || label == "mute") {
    SetSound(label == "soundOn");
  } else if (label == "startPlay") {
    fscommand("dirov.Win", "showUtility");
    ViewOpen();
  } else if (label == "indexPage") {
    var contents = BOOK.contents.length == 0 ? 2 : Math.max(2, BOOK.contents[0].page - 1);
    MovePages(ViewOpenAt, contents);
  } else if (label == "singleLeft" || label == "singleRight") {
    MovePages(ViewSingle, label == "singleLeft");
    gotoAndStop(2);
    Toolbar("withZoom");
    Toolbar("noZoomOut");
    Toolbar("zoomIn");
  } else if (label == "doublePage") {
    ViewSpread();
    gotoAndStop(1);
    Toolbar("noZoom");
  } else if (label == "singleZoomIn" || label == "singleZoomOut") {
    var step = label == "singleZoomIn" ? 1 : -1;
    if (ViewZoom(step)) {
      if (step > 0) Toolbar(V.zoomStep == 1 ? "zoomOut" : "noZoomIn");
      else Toolbar(V.zoomStep == 1 ? "zoomIn" : "noZoomOut");
    }
  } else if (label == "regionLine") {
    Lines = !Lines;
    DrawMarks();
    Toolbar(Lines ? "withLine" : "withoutLine");
  } else if (label == "LoadingSound") {
    var c = ChapterOf(V.single ? Display() : RightPage());
    if (c == null && !V.single) c = ChapterOf(LeftPage());
    if (c != null) fscommand("loadSound", String(c.number));
  } else if (label == "discuss") {
    fscommand("show", "歡迎到本書的討論區：\n" + BOOK.discuss);
  } else if (label == "Buy") {
    var url = BOOK.purchase;
    var from = salepoint == undefined ? "" : String(salepoint);
    if (from != "") url += (url.indexOf("?") < 0 ? "?salepoint=" : "&salepoint=") + from;
    if (url != "") getURL(url, "_blank");
    fscommand("dirov.Win", "closeApp");
  } else if (label == "playAnimation") {
    ShowNarrator();
  } else if (label == "stopAnimation" || label == "stopMan") {
    HideNarrator();
  } else {
    ListsLabel(label);
  }
}

// The book's sound; the toolbar shows which, and the host reads "soundOn"
// back at exit. Only a switch: a sound already playing goes on.
function SetSound(on) {
  soundOn = on ? 1 : 0;
  Toolbar(on ? "soundOn" : "mute");
  if (on && !HumPlaying) Hum.start(0, 32000);
  if (!on) Hum.stop();
  HumPlaying = on;
}

// ---- the settings ----

// The host answers "dirov.getReg" with variables, "news2" last; the book
// uses them once that one is in, never on the command's return.
function WaitForSettings() {
  _root.Settings.onEnterFrame = function() {
    if (news2 == undefined) return;
    delete this.onEnterFrame;
    SettingsArrived();
  };
}

function SettingsArrived() {
  // Nothing on this platform installs the book, so nothing stores the
  // "1" that makes the host open the intro panel: a first run stores it.
  if (showHelp == "none") {
    fscommand("dirov.setReg", "1");
    fscommand("dirov.Win", "showHelp");
  }
}

// ---- what the reader does ----

function PressWindowButton(i) {
  if (i == 0) {
    fscommand("dirov.Win", "showHelp");
  } else if (i == 1) {
    fscommand("dirov.Win", "minimize");
  } else if (i == 2) {
    fscommand("dirov.Win", Maximized ? "restore" : "maximize");
    Maximized = !Maximized;
    DrawWindowButtons();
  } else {
    fscommand("dirov.Win", "close");
  }
}

function Click(x, y) {
  var hit = HitAt(x, y);
  if (hit.what == "windowButton") PressWindowButton(hit.value);
  else if (hit.what == "cover") OnLabel("startPlay");
  else if (hit.what == "note") fscommand("viewNote", String(hit.value));
  else if (hit.what == "narration") fscommand("loadSound", String(hit.value));
  else if (hit.what == "contents") ViewGoTo(hit.value);
  else if (hit.what == "previous") ViewPrevious();
  else if (hit.what == "next") MovePages(ViewNext);
}

// Panning when a zoomed page is larger than the stage; turning otherwise.
function CanPan() {
  return V.single && V.zoomStep > 0;
}

function InputListen() {
  var mouse = {};
  mouse.onMouseDown = function() {
    Press = {x: _root._xmouse, y: _root._ymouse, dragged: false};
  };
  mouse.onMouseMove = function() {
    // Only a zoomed page is dragged; elsewhere a press is always a click.
    if (Press == null || !CanPan()) return;
    var dx = _root._xmouse - Press.x, dy = _root._ymouse - Press.y;
    if (!Press.dragged && dx * dx + dy * dy < 16) return;
    Press.dragged = true;
    Press.x = _root._xmouse;
    Press.y = _root._ymouse;
    if (ViewPan(dx, dy)) updateAfterEvent();
  };
  // A click counts where the button comes up: the player may tell the
  // press before it has told where the mouse went.
  mouse.onMouseUp = function() {
    var p = Press;
    Press = null;
    if (p != null && !p.dragged) Click(_root._xmouse, _root._ymouse);
  };
  mouse.onMouseWheel = function(delta) {
    if (CanPan()) ViewPan(0, delta * 12);
    else if (delta < 0) MovePages(ViewNext);
    else if (delta > 0) ViewPrevious();
  };
  Mouse.addListener(mouse);
  var keys = {};
  keys.onKeyDown = function() {
    var code = Key.getCode();
    if (code == Key.RIGHT || code == Key.PGDN) MovePages(ViewNext);
    else if (code == Key.LEFT || code == Key.PGUP) ViewPrevious();
    else if (code == Key.HOME) ViewFirst();
    else if (code == Key.END) MovePages(ViewOpenAt, BOOK.pages);
    else if (code == Key.SPACE) {
      // Down the zoomed page first, then on to the next.
      if (CanPan() && V.panY > -MaxPanY()) ViewPan(0, -LAYOUT.single.h / 2);
      else MovePages(ViewNext);
    } else if (CanPan() && code == Key.UP) ViewPan(0, 40);
    else if (CanPan() && code == Key.DOWN) ViewPan(0, -40);
  };
  Key.addListener(keys);
}

// ---- where the book was closed ----

// The place is kept in the same local storage as the lists: a book closed
// on an inner spread opens there at the next start.
function PlaceKeep() {
  if (Store == null) return;
  var spread = V.single ? Math.floor(V.page / 2) : V.spread;
  // A pan or a zoom moves no page: nothing to write.
  if (Store.data.opened == V.opened && Store.data.spread == spread) return;
  Store.data.opened = V.opened;
  Store.data.spread = spread;
  Store.flush();
}

// Whether the book opens where it was closed.
function PlaceRestore() {
  if (Store == null || Store.data.opened != true) return false;
  var spread = ParseNumber(Store.data.spread);
  if (spread == null || spread < 1 || 2 * spread > BOOK.pages) return false;
  V.opened = true;
  V.spread = spread;
  return true;
}
