#include "app/window_designs.h"

#include "lists/dialogs.h"
#include "shell/program.h"

namespace app {

std::vector<components::DesignAsShown> AllWindowDesigns() {
  std::vector<components::DesignAsShown> all;
  for (auto* subsystem : {&shell::ShellDesigns, &lists::ListsDesigns}) {
    auto designs = subsystem();
    all.insert(all.end(), designs.begin(), designs.end());
  }
  return all;
}

}  // namespace app
