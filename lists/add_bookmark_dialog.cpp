// The dialog that adds a bookmark: the page it was opened for, a title.
#include "lists/dialogs.h"
#include "lists/manager.h"
#include "lists/movie_lists.h"

namespace lists {

using namespace components;

WindowDesign AddBookmarkDesign() {
  WindowDesign d = FixedDialog("addBookmark", "新增書籤", 4995, 1920);
  ControlDesign page = ControlAt("Text1", ControlKind::TextBox, 1320, 120, 3495, 375);
  page.enabled = false;  // shows the page; not edited, not focused
  ControlDesign title = ControlAt("Text2", ControlKind::TextBox, 1320, 720, 3495, 375);
  title.maxLength = 20;
  d.controls = {ControlAt("Label1", ControlKind::Label, 120, 120, 1335, 375, "書籤頁數 :"),
                page,
                ControlAt("Label2", ControlKind::Label, 120, 720, 1215, 375, "書籤標題 :"),
                title,
                ControlAt("Label3", ControlKind::Label, 1440, 1140, 2535, 255, "(*  20 個字以內)"),
                ControlAt("Command1", ControlKind::Button, 960, 1440, 1215, 375, "新增"),
                ControlAt("Command2", ControlKind::Button, 2760, 1440, 1215, 375, "取消")};
  d.focusOrder = {"Text1", "Text2", "Command1", "Command2"};
  return d;
}

void ShowAddBookmark(shell::Program& program, int page) {
  ShowAddDialog(program, AddBookmarkDesign(), page, movie::kAddBookmark, [](Window& d) { d.Unload(); });
}

}  // namespace lists
