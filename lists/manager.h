#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/window.h"

namespace lists {

// What the bookmark and note managers share: a list whose line k stands for
// entry k of the movie's list, built in index order, never sorted; a line
// selected into Text1 enables the buttons that act on it; a deletion removes
// the very position it asks the movie to delete, so line and entry stay one.
struct ManagerList {
  std::string counter;                   // the movie's count of entries
  std::function<std::string(int)> page;  // the variable of entry i's page
  std::string deleteLabel, deleteAllLabel;
  std::vector<std::string> selectionButtons;  // enabled only with a line selected
};

// Fills the dialog's List1 from the movie and wires List1, "刪除"
// (Command2) and "全部刪除" (Command3).
void ManageList(components::Window& dialog, components::MoviePlayer& player, const ManagerList& list);

}  // namespace lists
