// The demo book's rules that the stand-in's C++ and the book movie's own
// ActionScript both hold: the order and numbering of the lists, which
// inputs they refuse, which page each page label and key shows, and what
// the book tells the host as it goes. One table, one column per player:
// tests/player/book_rules_test.cpp (the stand-in) and
// tests/platform/runtime/runtime_book_test.cpp (the runtime).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace book_rules {

// What the host (or the reader) does to the freshly opened book, with
// empty lists.
struct Step {
  enum Kind { kSet, kLabel, kKey } kind;
  std::string a, b;  // name and value; the label; the key: "Right", "Left", "Home", "End"
};

inline Step Set(std::string name, std::string value) {
  return {Step::kSet, std::move(name), std::move(value)};
}
inline Step Label(std::string label) { return {Step::kLabel, std::move(label), {}}; }
inline Step Key(std::string key) { return {Step::kKey, std::move(key), {}}; }

struct Case {
  const char* name;
  std::vector<Step> steps;
  // GetVariable of each path afterwards; the path "frame" reads
  // TGetProperty("/", 4).
  std::vector<std::pair<std::string, std::string>> reads;
  // Every command the book sent during the steps, "command args", in order.
  std::vector<std::string> sent;
};

inline std::vector<Step> Add(const char* label, const std::string& page, const std::string& text) {
  return {Set("inputPage", page), Set("inputContent", text), Label(label)};
}

inline std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts) {
  std::vector<Step> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The demo book has 31 pages: the cover, the contents (2), the preface (3),
// chapters 1 to 6 on pages 4-7, 8-11, 12-15, 16-20, 21-24 and 25-29, the
// appendix (30) and the back cover (31).
inline const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"bookmarks are kept by page, one a page, inside the book but never on its last page",
       Join({Add("addBookmark", "12", "十二"), Add("addBookmark", "5", "五"), Add("addBookmark", "9", ""),
             Add("addBookmark", "5", "again"), Add("addBookmark", "0", "x"), Add("addBookmark", "31", "x"),
             Add("addBookmark", "-3", "x"), Add("addBookmark", "abc", "x"), Add("addBookmark", "", "x"),
             Add("addBookmark", "30", "the appendix")}),
       {{"/bookmarkList.counter", "4"},
        {"/bookmarkList/page:0", "5"},
        {"/bookmarkList/page:1", "9"},
        {"/bookmarkList/page:2", "12"},
        {"/bookmarkList/page:3", "30"},
        {"/bookmarkList/page:4", ""}},
       {}},
      {"deleting a bookmark moves the later ones down; a wrong index deletes nothing",
       Join({Add("addBookmark", "11", ""),
             Add("addBookmark", "3", ""),
             Add("addBookmark", "7", ""),
             {Set("index", "1"), Label("deleteBookmark"), Set("index", "2"), Label("deleteBookmark"),
              Set("index", "-1"), Label("deleteBookmark"), Set("index", "x"), Label("deleteBookmark")}}),
       {{"/bookmarkList.counter", "2"}, {"/bookmarkList/page:0", "3"}, {"/bookmarkList/page:1", "11"}},
       {}},
      {"deleting all bookmarks leaves none and the notes as they were",
       Join({Add("addBookmark", "4", ""), Add("addNote", "4", "n"), {Label("deleteAllBookmark")}}),
       {{"/bookmarkList.counter", "0"}, {"/bookmarkList/page:0", ""}, {"/EBookNote.counter", "1"}},
       {}},
      {"notes are kept by page, never empty, one a page; their text is kept whole",
       Join({Add("addNote", "8", ""), Add("addNote", "8", "第一行\r\n第二行"), Add("addNote", "4", "四"),
             Add("addNote", "8", "second for the page"), Add("addNote", "31", "last"),
             Add("addNote", "0", "none")}),
       {{"/EBookNote.counter", "2"},
        {"/EBookNote/notes:0.page", "4"},
        {"/EBookNote/notes:0.content", "四"},
        {"/EBookNote/notes:1.page", "8"},
        {"/EBookNote/notes:1.content", "第一行\r\n第二行"},
        {"/EBookNote/notes:2.page", ""}},
       {}},
      {"a note is edited by its index and deleted with renumbering",
       Join({Add("addNote", "9", "nine"),
             Add("addNote", "6", "six"),
             Add("addNote", "20", "twenty"),
             {Set("index", "1"), Set("inputContent", "edited"), Label("editNote"), Set("index", "3"),
              Set("inputContent", "nowhere"), Label("editNote"), Set("index", "0"), Label("deleteNote")}}),
       {{"/EBookNote.counter", "2"},
        {"/EBookNote/notes:0.page", "9"},
        {"/EBookNote/notes:0.content", "edited"},
        {"/EBookNote/notes:1.page", "20"}},
       {}},
      {"deleting all notes leaves none",
       Join({Add("addNote", "5", "a"), Add("addNote", "6", "b"), {Label("deleteAllNote")}}),
       {{"/EBookNote.counter", "0"}, {"/EBookNote/notes:0.content", ""}},
       {}},
      {"the closed book shows its cover; opening it shows the first spread and the toolbar",
       {Label("startPlay")},
       {{"/utility/jump_number.display", "3"}, {"/utility/jump_number.totalPage", "31"}, {"frame", "1"}},
       {"dirov.Win showUtility"}},
      {"the contents label opens the closed book on the contents spread",
       {Label("indexPage")},
       {{"/utility/jump_number.display", "3"}, {"frame", "1"}},
       {"dirov.Win showUtility"}},
      {"keys turn the spread; the last page and the first stay in the book",
       {Key("Right"), Key("Right"), Key("Left"), Key("End"), Key("Right"), Key("Home")},
       {{"/utility/jump_number.display", "1"}, {"frame", "1"}},
       {"dirov.Win showUtility"}},
      {"the end of the book is its last spread",
       {Key("End")},
       {{"/utility/jump_number.display", "31"}, {"frame", "1"}},
       {"dirov.Win showUtility"}},
      {"a single page is the chosen side of the spread, on frame 2; back on the spread on frame 1",
       {Key("Right"), Key("Right"), Label("singleLeft")},
       {{"/utility/jump_number.display", "4"}, {"frame", "2"}},
       {"dirov.Win showUtility", "dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut",
        "dirov.Toolbar zoomIn"}},
      {"single pages turn one at a time, and the spread comes back around the page",
       {Key("Right"), Label("singleRight"), Key("Right"), Key("Right"), Label("doublePage")},
       {{"/utility/jump_number.display", "5"}, {"frame", "1"}},
       {"dirov.Win showUtility", "dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut", "dirov.Toolbar zoomIn",
        "dirov.Toolbar noZoom"}},
      {"the right side of the closed book is its cover alone",
       {Label("singleRight")},
       {{"/utility/jump_number.display", "3"}, {"frame", "2"}},
       {"dirov.Win showUtility", "dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut",
        "dirov.Toolbar zoomIn"}},
      {"zoom goes in two steps and out again, and says which way is left",
       {Label("startPlay"), Label("singleLeft"), Label("singleZoomIn"), Label("singleZoomIn"),
        Label("singleZoomIn"), Label("singleZoomOut"), Label("singleZoomOut"), Label("singleZoomOut")},
       {{"/utility/jump_number.display", "2"}, {"frame", "2"}},
       {"dirov.Win showUtility", "dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut", "dirov.Toolbar zoomIn",
        "dirov.Toolbar zoomOut", "dirov.Toolbar noZoomIn", "dirov.Toolbar zoomIn",
        "dirov.Toolbar noZoomOut"}},
      {"zoom on the spread does nothing",
       {Label("startPlay"), Label("singleZoomIn"), Label("singleZoomOut")},
       {{"frame", "1"}},
       {"dirov.Win showUtility"}},
      {"the narration asked for is the right page's chapter, else the left page's",
       {Key("Right"), Label("LoadingSound"), Key("Right"), Label("LoadingSound"), Key("Right"), Key("Right"),
        Label("LoadingSound"), Key("End"), Label("LoadingSound")},
       {{"/utility/jump_number.display", "31"}},
       {"dirov.Win showUtility", "loadSound 1", "loadSound 2"}},
      {"on a single page the narration is that page's chapter",
       {Key("Right"), Key("Right"), Key("Right"), Key("Right"), Key("Right"), Key("Right"),
        Label("singleLeft"), Label("LoadingSound")},
       {{"/utility/jump_number.display", "12"}},
       {"dirov.Win showUtility", "dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut", "dirov.Toolbar zoomIn",
        "loadSound 3"}},
      {"the marker lines switch on and off",
       {Label("regionLine"), Label("regionLine")},
       {},
       {"dirov.Toolbar withLine", "dirov.Toolbar withoutLine"}},
      {"sound on and off are told to the toolbar and read back as 1 and 0",
       {Set("soundOn", "0"), Label("soundOn"), Label("mute"), Label("soundOn")},
       {{"soundOn", "1"}},
       {"dirov.Toolbar soundOn", "dirov.Toolbar mute", "dirov.Toolbar soundOn"}},
      {"buying opens the page with the sale point and closes the program",
       {Set("salepoint", "bindera"), Label("Buy")},
       {},
       {"dirov.Win closeApp"}},
      {"labels and variables the book does not know change nothing",
       {Set("unknown", "1"), Set("inputPage", "5"), Label("noSuchLabel"), Label("")},
       {{"/bookmarkList.counter", "0"}, {"/utility/jump_number.display", "1"}, {"frame", "1"}},
       {}},
  };
  return cases;
}

// Runs every case on a player column: `Fresh` gives a player with the book
// just opened and empty lists; the player offers Set, Call, Key, Get,
// Frame and Sent (the commands since it opened, which it then forgets).
template <typename Fresh>
void RunAll(Fresh fresh) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    auto player = fresh();
    for (const Step& s : c.steps) {
      switch (s.kind) {
        case Step::kSet: player->Set(s.a, s.b); break;
        case Step::kLabel: player->Call(s.a); break;
        case Step::kKey: player->Key(s.a); break;
      }
    }
    for (const auto& [path, value] : c.reads)
      EXPECT_EQ(path == "frame" ? player->Frame() : player->Get(path), value) << path;
    EXPECT_EQ(player->Sent(), c.sent);
  }
}

}  // namespace book_rules
