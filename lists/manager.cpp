#include "lists/manager.h"

#include "lists/movie_lists.h"

namespace lists {

using namespace components;

namespace {
void EnableSelectionButtons(Window& dialog, const ManagerList& list, bool enabled) {
  for (const auto& name : list.selectionButtons) dialog.control(name).SetEnabled(enabled);
}

bool DeleteAllConfirmed(Window& dialog, const ManagerList& list) {
  if (dialog.control("List1").ListCount() == 0) return true;
  MessageBox box;
  box.text = list.deleteAllQuestion;
  box.caption = dialog.Caption();
  box.buttons = Buttons::YesNo;
  box.icon = Icon::Question;
  box.defaultButton = 2;
  return dialog.desktop().MsgBox(box) == Answer::Yes;
}

void ManageList(Window& dialog, MoviePlayer& player, const ManagerList& list) {
  dialog.OnClick("List1", [&dialog, &list] {
    Control& lines = dialog.control("List1");
    if (lines.ListIndex() < 0) return;
    dialog.control("Text1").SetText(lines.List(lines.ListIndex()));
    EnableSelectionButtons(dialog, list, true);
  });
  dialog.OnClick("Command2", [&dialog, &player, &list] {
    Control& lines = dialog.control("List1");
    int k = lines.ListIndex();
    if (k < 0) return;
    movie::DeleteEntry(player, k, list.deleteLabel);
    dialog.control("Text1").SetText("");
    lines.RemoveItem(k);
    EnableSelectionButtons(dialog, list, false);
  });
  dialog.OnClick("Command3", [&dialog, &player, &list] {
    if (!DeleteAllConfirmed(dialog, list)) return;
    movie::Call(player, list.deleteAllLabel);
    dialog.control("Text1").SetText("");
    dialog.control("List1").Clear();
    dialog.Unload();
  });

  Control& lines = dialog.control("List1");
  int count = movie::ReadCount(player, list.counter);
  for (int i = 0; i < count; ++i) lines.AddItem(movie::ListLine(player.GetVariable(list.pageVariable(i))));
  EnableSelectionButtons(dialog, list, false);
}
}  // namespace

void ShowManager(shell::Program& program, WindowDesign design, const ManagerList& list,
                 const std::function<void(Window&)>& more) {
  Window dialog(program.system().desktop, std::move(design));
  if (more) more(dialog);
  dialog.Load();
  ManageList(dialog, program.Player(), list);
  dialog.ShowModal(&program.MainWindow());
}

void ShowAddDialog(shell::Program& program, WindowDesign design, int page, const std::string& label,
                   const std::function<void(Window&)>& second) {
  Window dialog(program.system().desktop, std::move(design));
  dialog.OnClick("Command1", [&] {
    movie::AddEntry(program.Player(), dialog.control("Text1").Text(), dialog.control("Text2").Text(), label);
    dialog.Unload();
  });
  dialog.OnClick("Command2", [&] { second(dialog); });
  dialog.control("Text1").SetText(std::to_string(page));
  dialog.ShowModal(&program.MainWindow());
}

}  // namespace lists
