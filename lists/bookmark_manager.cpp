// The bookmark manager: the bookmarks by page; delete one, or all.
#include "lists/dialogs.h"
#include "lists/manager.h"
#include "lists/movie_lists.h"

namespace lists {

using namespace components;

WindowDesign BookmarkManagerDesign() {
  WindowDesign d = FixedDialog("bookmarkAdmin", "書籤管理員", 3870, 3000);
  d.controls = {ControlAt("Label1", ControlKind::Label, 480, 120, 1215, 375, "現有書 籤"),
                ControlAt("List1", ControlKind::ListBox, 120, 480, 1935, 2400),
                ControlAt("Text1", ControlKind::TextBox, 2280, 480, 1455, 375),
                ControlAt("Command2", ControlKind::Button, 2400, 1320, 1335, 375, "刪除"),
                ControlAt("Command3", ControlKind::Button, 2400, 2040, 1335, 375, "全部刪除")};
  d.focusOrder = {"Command3", "Command2", "Text1", "List1"};
  return d;
}

void ShowBookmarkManager(shell::Program& program) {
  ShowManager(program, BookmarkManagerDesign(),
              {movie::kBookmarkCounter,
               movie::BookmarkPage,
               movie::kDeleteBookmark,
               movie::kDeleteAllBookmarks,
               "確定要刪除全部的書籤嗎？",
               {"Command2"}});
}

}  // namespace lists
