// The dialog that adds a note: the page it was opened for, the note's text.
#include "lists/dialogs.h"
#include "lists/manager.h"
#include "lists/movie_lists.h"

namespace lists {

using namespace components;

WindowDesign AddNoteDesign() {
  WindowDesign d = FixedDialog("addNote", "新增註解", 6990, 2655);
  ControlDesign page = ControlAt("Text1", ControlKind::TextBox, 1440, 240, 1335, 375);
  page.enabled = false;  // shows the page; not edited, not focused
  ControlDesign note = ControlAt("Text2", ControlKind::TextBox, 1440, 840, 4095, 1455);
  note.maxLength = 100;
  note.multiLine = true;
  note.scrollBars = ScrollBars::Vertical;
  d.controls = {ControlAt("Label1", ControlKind::Label, 120, 240, 1335, 375, "註解頁數 :"),
                page,
                ControlAt("Label2", ControlKind::Label, 120, 840, 1215, 375, "註解內容 :"),
                note,
                ControlAt("Label3", ControlKind::Label, 1440, 2400, 1575, 255, "(* 100 個字以內 )"),
                ControlAt("Command1", ControlKind::Button, 5760, 1200, 1095, 375, "新增"),
                ControlAt("Command2", ControlKind::Button, 5760, 1800, 1095, 375, "清除")};
  d.focusOrder = {"Text1", "Text2", "Command1", "Command2"};
  return d;
}

void ShowAddNote(shell::Program& program, int page) {
  // 清除 empties the note and stays: the close box is the only way out unsent.
  ShowAddDialog(program, AddNoteDesign(), page, movie::kAddNote,
                [](Window& d) { d.control("Text2").SetText(""); });
}

}  // namespace lists
