// The animation window: a chapter file plays here, and its movie drives the
// main movie's narrator.
#include "components/flags.h"
#include "media/windows.h"

namespace media {

using namespace components;

WindowDesign AnimationDesign() {
  WindowDesign d = FixedDialog("player", "播放導讀", 3255, 1500);
  d.showInTaskbar = false;
  d.startPosition = StartPosition::Manual;
  d.left = 9045;
  d.top = 735;
  d.controls = {ControlAt("ShockwaveFlash1", ControlKind::Player, 0, 0, 3255, 1500)};
  return d;
}

void PlayAnimation(shell::Program& program, Flag state) {
  const bool play = state == kTrue;
  if (play == (program.isPlaying == kTrue)) return;  // a repeat changes nothing
  program.isPlaying = ToFlag(play);
  if (program.isAnimation == kTrue)
    program.Player().TCallLabel("/", play ? "playAnimation" : "stopAnimation");
}

void ToggleAnimation(shell::Program& program) {
  program.Player().TCallLabel("/", program.isAnimation == kTrue ? "stopAnimation" : "playAnimation");
  program.isAnimation = ToFlag(program.isAnimation != kTrue);
}

std::unique_ptr<Window> MakeAnimationWindow(shell::Program& program) {
  auto window = std::make_unique<Window>(program.system().desktop, AnimationDesign());
  Window& w = *window;
  w.OnLoad([&program, &w] {
    // The chapter movie's commands reach only this window.
    w.control("ShockwaveFlash1")
        .Player()
        .OnFSCommand([&program](const std::string& command, const std::string& args) {
          if (command == "playAnimation") {
            if (args == "true") PlayAnimation(program, kTrue);
            if (args == "false") PlayAnimation(program, kFalse);
          } else if (command == "toggleAnimation") {
            ToggleAnimation(program);
          }
        });
  });
  w.OnQueryUnload([&program](bool&, CloseKind) { PlayAnimation(program, kFalse); });
  return window;
}

void HandOver(shell::Program& program, Window& animation, const std::string& chapterFile) {
  MoviePlayer& player = animation.control("ShockwaveFlash1").Player();  // loads the window first
  player.Movie(chapterFile);
  player.SetVariable("playSound", "true");
  player.TCallLabel("/", "showPlayer");
  animation.Show(&program.MainWindow());
}

}  // namespace media
