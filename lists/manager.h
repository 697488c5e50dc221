#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/window.h"
#include "shell/program.h"

namespace lists {

// What the bookmark and note managers share: a list whose line k stands for
// entry k of the movie's list, built in index order, never sorted; a line
// selected into Text1 enables the buttons that act on it; a deletion removes
// the very position it asks the movie to delete, so line and entry stay one.
struct ManagerList {
  std::string counter;                           // the movie's count of entries
  std::function<std::string(int)> pageVariable;  // the variable of entry i's page
  std::string deleteLabel, deleteAllLabel;
  // Asked (Yes or No, No the default) before "全部刪除" empties a list that
  // has lines: one key must not lose every entry.
  std::string deleteAllQuestion;
  std::vector<std::string> selectionButtons;  // enabled only with a line selected
};

// Shows a manager, modal over the main window: List1 filled from the movie,
// List1, "刪除" (Command2) and "全部刪除" (Command3) wired; `more` wires
// what else the dialog has.
void ShowManager(shell::Program& program, components::WindowDesign design, const ManagerList& list,
                 const std::function<void(components::Window&)>& more = {});

// The add dialogs' one shape: the page shown (and sent) from Text1, the
// text from Text2; "新增" (Command1) sends both with `label` and closes;
// `second` is what Command2 does.
void ShowAddDialog(shell::Program& program, components::WindowDesign design, int page,
                   const std::string& label, const std::function<void(components::Window&)>& second);

}  // namespace lists
