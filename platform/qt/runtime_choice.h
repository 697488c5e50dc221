#pragma once

#include <memory>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "components/window_design.h"
#include "platform/qt/player_services.h"

class QWidget;

namespace qtdesk {

// Which player plays movies: the Flash runtime when the program was built
// with it, unless READER_PLAYER=standin asks for the stand-in.
bool RuntimeChosen();
// Before the application object exists: loads the runtime's module (a
// start on the stand-in never does) and lets it set the engine up.
void PrepareRuntime();
// A player on the runtime; null when the stand-in plays (not chosen, no
// folders lent, the module missing).
std::unique_ptr<components::MoviePlayer> CreateRuntimePlayer(components::Desktop& desktop,
                                                             const PlayerServices& services, QWidget* parent,
                                                             const components::ControlDesign& design);

}  // namespace qtdesk
