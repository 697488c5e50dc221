// The bookmark and note commands and dialogs against a recording player:
// the exact calls, in their order.
#include "lists/lists.h"

#include "tests/support/started.h"

using namespace components;
using testing_support::Label;

namespace {

class Lists : public testing_support::Started {
 protected:
  Lists() { player().Answer("/utility/jump_number.totalPage", "31"); }
  void Menu(const std::string& item) { form().FireMenu(item); }
  void Shown(const std::string& display) { player().Answer("/utility/jump_number.display", display); }
  // Entries the movie holds: counter, and each one's page.
  void Bookmarks(std::vector<std::string> pages) {
    player().Answer("/bookmarkList.counter", std::to_string(pages.size()));
    for (size_t i = 0; i < pages.size(); ++i)
      player().Answer("/bookmarkList/page:" + std::to_string(i), pages[i]);
  }
  void Notes(std::vector<std::pair<std::string, std::string>> notes) {
    player().Answer("/EBookNote.counter", std::to_string(notes.size()));
    for (size_t i = 0; i < notes.size(); ++i) {
      player().Answer("/EBookNote/notes:" + std::to_string(i) + ".page", notes[i].first);
      player().Answer("/EBookNote/notes:" + std::to_string(i) + ".content", notes[i].second);
    }
  }
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    for (const auto& c : PlayerCalls())
      if (c.find("GetVariable") == std::string::npos) out.push_back(c);
    return out;
  }
  static std::string Set(const std::string& name, const std::string& value) {
    return "Form1.ShockwaveFlash1.SetVariable(" + name + ", " + value + ")";
  }
  std::vector<std::string> Lines(Window& w) { return w.control("List1").Items(); }

  lists::Lists subsystem{program, bridge};
};

}  // namespace

// ---- adding ----

TEST_F(Lists, ABookmarkIsAddedWithItsPageAndTitleInThatOrder) {
  Bookmarks({"3"});
  Shown("8");
  std::string pageShown;
  h.desktop.WhenModal("addBookmark", [&](Window& w) {
    pageShown = w.control("Text1").Text();
    EXPECT_FALSE(w.control("Text1").UserType("99"));  // disabled: shows the page only
    EXPECT_TRUE(w.control("Text2").UserType("第一章的開頭，記得回來讀完這一段很重要的說明"));
    w.control("Command1").UserClick();
  });
  Menu("leftBookmark");
  EXPECT_EQ(pageShown, "7");
  EXPECT_EQ(Sent(), (std::vector<std::string>{Set("inputPage", "7"),
                                              Set("inputContent", "第一章的開頭，記得回來讀完這一段很重要的"),
                                              Label("addBookmark")}));
  EXPECT_EQ(h.desktop.FindWindow("addBookmark"), nullptr);  // created afresh, gone again
}

TEST_F(Lists, TheLeftRightAndCurrentPageAndTheirSilentRefusals) {
  auto opens = [&](const std::string& item, const std::string& display) -> std::string {
    Shown(display);
    std::string page = "<none>";
    h.desktop.WhenModal(item.find("Note") != std::string::npos ? "addNote" : "addBookmark", [&](Window& w) {
      page = w.control("Text1").Text();
      w.UserClose();
    });
    Menu(item);
    return page;
  };
  Bookmarks({});
  EXPECT_EQ(opens("leftBookmark", "2"), "1");
  EXPECT_EQ(opens("rightBookmark", "30"), "30");
  EXPECT_EQ(opens("addBookmark2", "0"), "0");  // no range test
  EXPECT_EQ(opens("leftNote", "5"), "4");
  EXPECT_EQ(opens("rightNote", "7"), "7");
  EXPECT_EQ(opens("addNotes2", "-3"), "-3");
  EXPECT_EQ(opens("addNotes2", "03"), "3");  // plain decimal text
  // Nothing opens, nothing is said (an unexpected window or box would fail).
  h.desktop.log().clear();
  for (const auto& [item, display] : std::vector<std::pair<std::string, std::string>>{{"leftBookmark", "1"},
                                                                                      {"rightBookmark", "31"},
                                                                                      {"rightBookmark", "40"},
                                                                                      {"leftNote", "1"},
                                                                                      {"rightNote", "31"}}) {
    Shown(display);
    Menu(item);
  }
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(h.desktop.boxes().empty());
}

TEST_F(Lists, NumbersTheMovieDoesNotHoldNeverEndTheProgram) {
  // A display or total that holds no number: the page command does nothing.
  for (const char* display : {"", "abc", "1.5", "40000", " 8"}) {
    Shown(display);
    Menu("leftBookmark");
    Menu("rightNote");
    Menu("addNotes2");
  }
  Shown("8");
  player().Answer("/utility/jump_number.totalPage", "many");
  Menu("rightBookmark");
  // A counter that holds no number counts nothing: the dialog opens.
  player().Answer("/bookmarkList.counter", "");
  h.desktop.WhenModal("addBookmark", [](Window& w) { w.UserClose(); });
  Menu("addBookmark2");
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(h.desktop.boxes().empty());
}

TEST_F(Lists, AFullBookmarkListIsRefusedBeforeAnythingElseIsRead) {
  for (const char* count : {"20", "25"}) {
    player().Answer("/bookmarkList.counter", count);
    h.desktop.log().clear();
    h.desktop.ExpectBox(Answer::OK, "書籤已滿，請先刪除再加");
    Menu("rightBookmark");
    EXPECT_EQ(PlayerCalls(),
              std::vector<std::string>{"Form1.ShockwaveFlash1.GetVariable(/bookmarkList.counter)"});
  }
  const headless::ShownBox& box = h.desktop.boxes().back();
  EXPECT_EQ(box.box.buttons, Buttons::OK);
  EXPECT_EQ(box.box.icon, Icon::None);
  EXPECT_EQ(box.caption, shell::kBookTitle);
  // 19 is not full; notes have no limit at all.
  player().Answer("/bookmarkList.counter", "19");
  Shown("8");
  h.desktop.WhenModal("addBookmark", [](Window& w) { w.UserClose(); });
  Menu("addBookmark2");
  player().Answer("/EBookNote.counter", "500");
  h.desktop.WhenModal("addNote", [](Window& w) { w.UserClose(); });
  h.desktop.log().clear();
  Menu("addNotes2");
  EXPECT_TRUE(h.desktop.Calls("Form1.ShockwaveFlash1.GetVariable(/EBookNote.counter)").empty());
}

TEST_F(Lists, CancelAndTheCloseBoxSendNothingAndTheNextOpeningStartsEmpty) {
  Bookmarks({});
  Shown("8");
  h.desktop.WhenModal("addBookmark", [](Window& w) {
    w.control("Text2").UserType("半途");
    w.control("Command2").UserClick();
  });
  Menu("addBookmark2");
  h.desktop.WhenModal("addBookmark", [](Window& w) {
    EXPECT_EQ(w.control("Text2").Text(), "");
    w.control("Text2").UserType("x");
    w.UserClose();
  });
  Menu("addBookmark2");
  h.desktop.WhenModal("addBookmark", [](Window& w) { w.control("Command1").UserClick(); });  // empty title
  Menu("addBookmark2");
  EXPECT_EQ(Sent(),
            (std::vector<std::string>{Set("inputPage", "8"), Set("inputContent", ""), Label("addBookmark")}));
}

TEST_F(Lists, ANoteKeepsItsLineBreaksAndClearStaysOpen) {
  Shown("12");
  h.desktop.WhenModal("addNote", [](Window& w) {
    w.control("Text2").UserType("第一行");
    w.control("Command2").UserClick();  // 清除: empty, still open
    EXPECT_EQ(w.control("Text2").Text(), "");
    EXPECT_EQ(w.control("Text1").Text(), "12");
    EXPECT_TRUE(w.IsVisible());
    std::string hundred;
    for (int i = 0; i < 95; ++i) hundred += "註";
    // CR LF counts two; a character beyond the Basic Multilingual Plane, one.
    w.control("Text2").UserType("上\r\n" + hundred + "𠀀下多");
    w.control("Command1").UserClick();
  });
  Menu("addNotes2");
  std::string kept = "上\r\n";
  for (int i = 0; i < 95; ++i) kept += "註";
  kept += "𠀀下";
  EXPECT_EQ(Sent(),
            (std::vector<std::string>{Set("inputPage", "12"), Set("inputContent", kept), Label("addNote")}));
}

// ---- the managers ----

TEST_F(Lists, TheBookmarkManagerKeepsLineKForEntryKThroughEveryDeletion) {
  Bookmarks({"5", "9", "12", "XII"});
  h.desktop.WhenModal("bookmarkAdmin", [&](Window& w) {
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"第 5 頁", "第 9 頁", "第 12 頁", "第 XII 頁"}));
    EXPECT_FALSE(w.control("Command2").Enabled());
    EXPECT_FALSE(w.control("Command2").UserClick());
    EXPECT_TRUE(w.control("List1").UserSelect(1));
    EXPECT_EQ(w.control("Text1").Text(), "第 9 頁");
    EXPECT_TRUE(w.control("Command2").UserClick());
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"第 5 頁", "第 12 頁", "第 XII 頁"}));
    EXPECT_EQ(w.control("Text1").Text(), "");
    EXPECT_EQ(w.control("List1").ListIndex(), -1);
    EXPECT_FALSE(w.control("Command2").Enabled());
    w.control("List1").UserSelect(1);  // now page 12: index 1 again
    w.control("Command2").UserClick();
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"第 5 頁", "第 XII 頁"}));
    w.UserClose();
  });
  Menu("bookmarkAdmin2");
  EXPECT_EQ(Sent(), (std::vector<std::string>{Set("index", "1"), Label("deleteBookmark"), Set("index", "1"),
                                              Label("deleteBookmark")}));
}

TEST_F(Lists, DeleteAllOnAnEmptyListStillCallsItsLabelAndCloses) {
  Bookmarks({});
  h.desktop.WhenModal("bookmarkAdmin", [&](Window& w) {
    EXPECT_TRUE(Lines(w).empty());
    w.control("Command3").UserClick();
  });
  Menu("bookmarkAdmin1");
  Notes({});
  player().Answer("/EBookNote.counter", "-4");
  h.desktop.WhenModal("noteAdmin", [&](Window& w) {
    EXPECT_TRUE(Lines(w).empty());
    EXPECT_FALSE(w.control("Command1").Enabled());
    w.control("Command3").UserClick();
  });
  Menu("noteAdmin2");
  EXPECT_EQ(Sent(), (std::vector<std::string>{Label("deleteAllBookmark"), Label("deleteAllNote")}));
  EXPECT_EQ(h.desktop.FindWindow("noteAdmin"), nullptr);
}

TEST_F(Lists, DeleteAllAsksFirstAndNoKeepsEveryEntryAndTheDialogOpen) {
  Bookmarks({"5", "9"});
  Notes({{"4", "甲"}});
  struct Case {
    std::string item, window, question, caption, label;
  };
  for (const Case& c :
       {Case{"bookmarkAdmin1", "bookmarkAdmin", "確定要刪除全部的書籤嗎？", "書籤管理員",
             "deleteAllBookmark"},
        Case{"noteAdmin1", "noteAdmin", "確定要刪除全部的註解嗎？", "註解管理員", "deleteAllNote"}}) {
    h.desktop.log().clear();
    h.desktop.ExpectBox(Answer::No, c.question);
    h.desktop.ExpectBox(Answer::Yes, c.question);
    h.desktop.WhenModal(c.window, [&](Window& w) {
      EXPECT_TRUE(w.control("Command3").UserClick());
      EXPECT_TRUE(w.IsVisible()) << c.item;  // No: nothing happened
      EXPECT_FALSE(w.control("List1").Items().empty());
      EXPECT_TRUE(Sent().empty());
      w.control("Command3").UserClick();  // Yes: as before
    });
    Menu(c.item);
    EXPECT_EQ(Sent(), std::vector<std::string>{Label(c.label)}) << c.item;
    const headless::ShownBox& asked = h.desktop.boxes().back();
    EXPECT_EQ(asked.caption, c.caption);
    EXPECT_EQ(asked.box.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.box.defaultButton, 2);  // No
  }
}

TEST_F(Lists, TheNoteManagerShowsEditsAndDeletesByIndex) {
  Notes({{"4", "甲"}, {"8", "乙"}, {"15", "丙\r\n第二行"}});
  h.desktop.WhenModal("noteContent", [](Window& v) {
    EXPECT_EQ(v.control("Text1").Text(), "丙\r\n第二行");
    std::string long_text(150, 'a');  // no limit in the viewer
    v.control("Text1").UserType(long_text);
    v.control("Command1").UserClick();
  });
  h.desktop.WhenModal("noteAdmin", [&](Window& w) {
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"第 4 頁", "第 8 頁", "第 15 頁"}));
    w.control("List1").UserSelect(2);
    EXPECT_TRUE(w.control("Command1").Enabled());
    w.control("Command1").UserClick();  // 顯示: the viewer, over the manager
    EXPECT_EQ(Lines(w).size(), 3u);     // not read again
    w.control("List1").UserSelect(0);
    w.control("Command2").UserClick();
    EXPECT_FALSE(w.control("Command1").Enabled());
    EXPECT_FALSE(w.control("Command2").Enabled());
    w.UserClose();
  });
  Menu("noteAdmin1");
  EXPECT_EQ(Sent(), (std::vector<std::string>{Set("index", "2"), Set("inputContent", std::string(150, 'a')),
                                              Label("editNote"), Set("index", "0"), Label("deleteNote")}));
}

TEST_F(Lists, ViewNoteReadsTheNoteByNumberAndItsCloseBoxSendsNothing) {
  Notes({{"4", "甲"}, {"8", "乙"}, {"15", "丙"}, {"20", "丁"}});
  std::string shown;
  h.desktop.WhenModal("noteContent", [&](Window& v) {
    shown = v.control("Text1").Text();
    v.control("Text1").UserType("改過");
    v.UserClose();
  });
  Movie("viewNote", "03");
  EXPECT_EQ(shown, "丁");
  EXPECT_EQ(h.desktop.Calls("Form1.ShockwaveFlash1.GetVariable(/EBookNote/notes:3.content)").size(), 1u);
  EXPECT_TRUE(Sent().empty());
  h.desktop.WhenModal("noteContent", [](Window& v) { v.control("Command1").UserClick(); });
  Movie("viewNote", "1");
  EXPECT_EQ(Sent(),
            (std::vector<std::string>{Set("index", "1"), Set("inputContent", "乙"), Label("editNote")}));
  // No number, or no such note: no window.
  for (const char* args : {"", "x", "1e3", "70000", "-1", "4", "99"}) Movie("viewNote", args);
  EXPECT_EQ(Sent().size(), 3u);
}

TEST_F(Lists, TheDialogsAreModalOverTheMainWindowAndTheViewerOverTheManager) {
  Bookmarks({"5"});
  Notes({{"4", "甲"}});
  Shown("8");
  auto close = [](Window& w) {
    EXPECT_TRUE(w.IsModal());
    w.UserClose();
  };
  struct Case {
    std::string item, window;
  };
  for (const Case& c : {Case{"addBookmark2", "addBookmark"}, Case{"leftBookmark", "addBookmark"},
                        Case{"bookmarkAdmin1", "bookmarkAdmin"}, Case{"addNotes2", "addNote"},
                        Case{"rightNote", "addNote"}, Case{"noteAdmin2", "noteAdmin"}}) {
    h.desktop.log().clear();
    h.desktop.WhenModal(c.window, close);
    Menu(c.item);
    EXPECT_EQ(h.desktop.Calls(c.window + ".ShowModal"),
              std::vector<std::string>{c.window + ".ShowModal(Form1)"})
        << c.item;
  }
  // The viewer: over the manager from its 顯示, over the main window from the page marker.
  h.desktop.log().clear();
  h.desktop.WhenModal("noteContent", close);
  h.desktop.WhenModal("noteAdmin", [](Window& w) {
    w.control("List1").UserSelect(0);
    w.control("Command1").UserClick();
    w.UserClose();
  });
  Menu("noteAdmin2");
  h.desktop.WhenModal("noteContent", close);
  Movie("viewNote", "0");
  EXPECT_EQ(h.desktop.Calls("noteContent.ShowModal"),
            (std::vector<std::string>{"noteContent.ShowModal(noteAdmin)", "noteContent.ShowModal(Form1)"}));
}
