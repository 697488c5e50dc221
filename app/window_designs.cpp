#include "app/window_designs.h"

#include "lists/dialogs.h"
#include "media/windows.h"
#include "shell/program.h"

namespace app {

std::vector<components::DesignAsShown> AllWindowDesigns() {
  std::vector<components::DesignAsShown> all;
  for (auto* subsystem : {&shell::ShellDesigns, &lists::ListsDesigns, &media::MediaDesigns}) {
    auto designs = subsystem();
    all.insert(all.end(), designs.begin(), designs.end());
  }
  return all;
}

}  // namespace app
