#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "components/window.h"
#include "shell/program.h"

namespace media {

// The progress window `download`: its design, and the window with its
// handlers (it keeps the main window's isDownloadOpen, and calls
// cancelTransfer when the reader abandons the transfer).
components::WindowDesign ProgressDesign();
std::unique_ptr<components::Window> MakeProgressWindow(shell::Program& program,
                                                       std::function<void()> cancelTransfer);

// The animation window `player`: its design, and the window with its
// handlers (the chapter movie's commands drive the main movie's animation).
components::WindowDesign AnimationDesign();
std::unique_ptr<components::Window> MakeAnimationWindow(shell::Program& program);

// The main window's operations on the main movie's animation.
// playAnimation: only kTrue (-1) counts as true.
void PlayAnimation(shell::Program& program, components::Flag state);
void ToggleAnimation(shell::Program& program);

// Plays a chapter file in the animation window, shown over the main window.
void HandOver(shell::Program& program, components::Window& animation, const std::string& chapterFile);

std::vector<components::DesignAsShown> MediaDesigns();

}  // namespace media
