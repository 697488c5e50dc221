#pragma once

#include <vector>

#include "components/window_design.h"

namespace app {

// Every window the program can show, from every subsystem.
std::vector<components::DesignAsShown> AllWindowDesigns();

}  // namespace app
