// The book starts: its state, its clips, its lists, and the first commands
// to the host. The main timeline comes back to frame 1 from the single
// page, so this runs once.
if (Booted != true) {
  Booted = true;
  V = null;
  Turn = null;
  Press = null;
  Store = null;
  Lists = null;
  Lines = false;
  Maximized = false;
  HumPlaying = false;
  ViewReset();
  _root.createEmptyMovieClip("utility", 100);
  _root.utility.createEmptyMovieClip("jump_number", 1);
  _root.utility.jump_number.totalPage = BOOK.pages;
  _root.createEmptyMovieClip("Settings", 103);
  _root.createEmptyMovieClip("HumClip", 104);
  Hum = new Sound(_root.HumClip);
  Hum.attachSound("hum");
  StageMake();
  ListsOpen();
  var reopened = PlaceRestore();
  _root.utility.jump_number.display = Display();
  DrawPages();
  InputListen();
  // Once loaded, the book asks for its settings and sets the toolbar.
  fscommand("dirov.getReg", "");
  Toolbar("withoutLine");
  Toolbar("noZoom");
  // Reopened inside, the toolbar shows as it does once the cover is opened.
  if (reopened) fscommand("dirov.Win", "showUtility");
  WaitForSettings();
}
stop();
