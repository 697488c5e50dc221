// The note manager: the notes by page; show one, delete one, or all.
#include "lists/dialogs.h"
#include "lists/manager.h"
#include "lists/movie_lists.h"

namespace lists {

using namespace components;

WindowDesign NoteManagerDesign() {
  WindowDesign d = FixedDialog("noteAdmin", "註解管理員", 3870, 3015);
  d.controls = {ControlAt("Label1", ControlKind::Label, 480, 120, 1215, 375, "現有註解"),
                ControlAt("List1", ControlKind::ListBox, 120, 480, 1935, 2400),
                ControlAt("Text1", ControlKind::TextBox, 2280, 480, 1455, 375),
                ControlAt("Command1", ControlKind::Button, 2280, 1200, 1335, 375, "顯示"),
                ControlAt("Command2", ControlKind::Button, 2280, 1800, 1335, 375, "刪除"),
                ControlAt("Command3", ControlKind::Button, 2280, 2400, 1335, 375, "全部刪除")};
  d.focusOrder = {"List1", "Text1", "Command1", "Command2", "Command3"};
  return d;
}

void ShowNoteManager(shell::Program& program) {
  ShowManager(program, NoteManagerDesign(),
              {movie::kNoteCounter,
               movie::NotePage,
               movie::kDeleteNote,
               movie::kDeleteAllNotes,
               "確定要刪除全部的註解嗎？",
               {"Command1", "Command2"}},
              [&program](Window& dialog) {
                dialog.OnClick("Command1", [&program, &dialog] {
                  int k = dialog.control("List1").ListIndex();
                  if (k < 0) return;
                  // The list is not read again afterwards: an edit changes no page.
                  ShowNoteViewer(program, dialog, k, program.Player().GetVariable(movie::NoteContent(k)));
                });
              });
}

}  // namespace lists
