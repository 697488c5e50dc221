// The note viewer: one note's text, which the reader may change.
#include "lists/dialogs.h"
#include "lists/movie_lists.h"

namespace lists {

using namespace components;

WindowDesign NoteViewerDesign() {
  WindowDesign d = FixedDialog("noteContent", "註解", 4590, 5280);
  ControlDesign text = ControlAt("Text1", ControlKind::TextBox, 240, 480, 4095, 4215);
  text.multiLine = true;
  text.scrollBars = ScrollBars::Vertical;  // no length limit
  d.controls = {ControlAt("Label1", ControlKind::Label, 1440, 120, 2055, 375, "註解內容"), text,
                ControlAt("Command1", ControlKind::Button, 1680, 4800, 1215, 375, "修改")};
  d.focusOrder = {"Text1", "Command1"};
  return d;
}

void ShowNoteViewer(shell::Program& program, Window& owner, int index, const std::string& text) {
  Window viewer(program.system().desktop, NoteViewerDesign());
  viewer.OnClick("Command1", [&] {
    MoviePlayer& player = program.Player();
    player.SetVariable(movie::kIndex, std::to_string(index));
    player.SetVariable(movie::kInputContent, viewer.control("Text1").Text());
    movie::Call(player, movie::kEditNote);
    viewer.Unload();
  });
  viewer.control("Text1").SetText(text);
  viewer.ShowModal(&owner);
}

}  // namespace lists
