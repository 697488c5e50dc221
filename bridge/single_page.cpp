// The single-page menu of the toolbar's single-page button.
#include "bridge/commands.h"
#include "shell/toolbar_buttons.h"

namespace bridge {

void SinglePage(shell::Program& program, const std::string& label) {
  program.Player().TCallLabel("/", label);
  program.ToolbarControl().ButtonVisible(shell::kSinglePageButton, false);
  program.ToolbarControl().ButtonVisible(shell::kDoublePageButton, true);
}

}  // namespace bridge
