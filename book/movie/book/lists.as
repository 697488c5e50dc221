// The bookmarks and notes: sorted by page, one entry a page, renumbered on
// every deletion, kept in the player's local storage (a SharedObject,
// flushed at every change so a killed reader keeps them). The host reads
// them as real clips and arrays:
//   /bookmarkList.counter, /bookmarkList/page:<i>
//   /EBookNote.counter, /EBookNote/notes:<i>.page, /EBookNote/notes:<i>.content

// Decimal text as the host writes a number: digits, a leading minus, within
// 16 bits; null otherwise.
function ParseNumber(value) {
  var text = String(value);
  if (value == undefined || text.length == 0 || text.length > 6) return null;
  var i = text.charAt(0) == "-" ? 1 : 0;
  if (i == text.length) return null;
  var v = 0;
  for (; i < text.length; i++) {
    var c = text.charCodeAt(i);
    if (c < 48 || c > 57) return null;
    v = v * 10 + (c - 48);
  }
  if (text.charAt(0) == "-") v = -v;
  if (v < -32768 || v > 32767) return null;
  return v;
}

function NumberOr0(value) {
  var n = ParseNumber(value);
  return n == null ? 0 : n;
}

function ListsOpen() {
  Store = SharedObject.getLocal(BOOK.code, "/");
  var bookmarks = [], notes = [];
  if (Store != null && Store.data.version == 1) {
    bookmarks = ValidEntries(Store.data.bookmarks, "title");
    notes = ValidEntries(Store.data.notes, "content");
  }
  Lists = {bookmarks: bookmarks, notes: notes};
  _root.createEmptyMovieClip("bookmarkList", 101);
  _root.createEmptyMovieClip("EBookNote", 102);
  ListsShow();
}

// What a stored list holds that is a whole entry, in order; a damaged
// record gives none of it rather than half.
function ValidEntries(list, field) {
  var out = [];
  if (!(list instanceof Array)) return out;
  for (var i = 0; i < list.length; i++) {
    var e = list[i];
    if (typeof e != "object" || ParseNumber(e.page) == null || typeof e[field] != "string") return [];
    var entry = {page: ParseNumber(e.page)};
    entry[field] = e[field];
    out.push(entry);
  }
  return out;
}

function ListsSave() {
  if (Store == null) return;
  Store.data.version = 1;
  Store.data.bookmarks = Lists.bookmarks;
  Store.data.notes = Lists.notes;
  Store.flush();
}

// The lists as the host reads them, rebuilt after every change.
function ListsShow() {
  var b = _root.bookmarkList;
  b.counter = Lists.bookmarks.length;
  b.page = [];
  b.title = [];
  for (var i = 0; i < Lists.bookmarks.length; i++) {
    b.page.push(Lists.bookmarks[i].page);
    b.title.push(Lists.bookmarks[i].title);
  }
  var n = _root.EBookNote;
  n.counter = Lists.notes.length;
  n.notes = [];
  for (var j = 0; j < Lists.notes.length; j++)
    n.notes.push({page: Lists.notes[j].page, content: Lists.notes[j].content});
}

function NoteIndexOf(page) {
  for (var i = 0; i < Lists.notes.length; i++)
    if (Lists.notes[i].page == page) return i;
  return -1;
}

// One entry a page, the list sorted by page: false when the page has one.
function AddToPage(list, entry) {
  var at = 0;
  while (at < list.length && list[at].page < entry.page) at++;
  if (at < list.length && list[at].page == entry.page) return false;
  list.splice(at, 0, entry);
  return true;
}

// Entry `index` (decimal text) of `list`, or -1.
function IndexIn(list, index) {
  var i = ParseNumber(index);
  return i == null || i < 0 || i >= list.length ? -1 : i;
}

// Removes the entry at the host's index; false when there is none.
function RemoveAt(list, index) {
  var i = IndexIn(list, index);
  if (i < 0) return false;
  list.splice(i, 1);
  return true;
}

// The labels that change the lists, with the inputs the host set; false
// for a label that is not one of them.
function ListsLabel(label) {
  // Only a page inside the book, never the last one.
  var page = NumberOr0(inputPage);
  var onAPage = page > 0 && page < BOOK.pages;
  var content = inputContent == undefined ? "" : String(inputContent);
  var changed = false;
  var i;
  if (label == "addBookmark") {
    changed = onAPage && AddToPage(Lists.bookmarks, {page: page, title: content});
  } else if (label == "deleteBookmark") {
    changed = RemoveAt(Lists.bookmarks, index);
  } else if (label == "deleteAllBookmark") {
    Lists.bookmarks = [];
    changed = true;
  } else if (label == "addNote") {
    changed = onAPage && content.length > 0 && AddToPage(Lists.notes, {page: page, content: content});
  } else if (label == "deleteNote") {
    changed = RemoveAt(Lists.notes, index);
  } else if (label == "deleteAllNote") {
    Lists.notes = [];
    changed = true;
  } else if (label == "editNote") {
    i = IndexIn(Lists.notes, index);
    if (i >= 0) {
      Lists.notes[i].content = content;
      changed = true;
    }
  } else {
    return false;
  }
  if (changed) {
    ListsSave();
    ListsShow();
    DrawPages();
  }
  return true;
}
