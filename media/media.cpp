#include "media/media.h"

#include "media/download_engine.h"
#include "media/sound_commands.h"
#include "media/windows.h"

namespace media {

using namespace components;

struct Media::Parts {
  Parts(shell::Program& program, std::string downloadServer)
      : progress(MakeProgressWindow(program, [this] { engine.Cancel(); })),
        animation(MakeAnimationWindow(program)),
        engine(program, *progress,
               [&program, this](const std::string& file) { HandOver(program, *animation, file); }),
        commands(program, engine, *animation, std::move(downloadServer)) {}
  std::unique_ptr<Window> progress;
  std::unique_ptr<Window> animation;
  DownloadEngine engine;
  SoundCommands commands;
};

Media::Media(shell::Program& program, bridge::Bridge& bridge, std::string downloadServer)
    : parts_(std::make_unique<Parts>(program, std::move(downloadServer))) {
  bridge::CommandActions& actions = bridge.dispatcher().actions();
  Parts& p = *parts_;
  actions.loadSound = [&p](const std::string& args) { p.commands.LoadSound(args); };
  actions.unloadSound = [&p](const std::string&) { p.commands.UnloadSound(); };
  actions.unloadMan = [&p](const std::string&) { p.commands.UnloadMan(); };
}

Media::~Media() = default;

Window& Media::AnimationWindow() { return *parts_->animation; }
Window& Media::ProgressWindow() { return *parts_->progress; }

std::vector<DesignAsShown> MediaDesigns() {
  return {{ProgressDesign(), {{"percent", "100 %"}}}, {AnimationDesign(), {}}};
}

}  // namespace media
