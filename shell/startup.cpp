#include <span>

#include "components/errors.h"
#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "shell/window_hook.h"

namespace shell {

using namespace components;

// Start-up: the load handling of the main window.
void Program::Load() {
  isDownloadOpen = kFalse;
  isPlaying = kFalse;
  isAnimation = kTrue;

  // The player component reports to whichever subsystem took the commands.
  Player().OnFSCommand([this](const std::string& command, const std::string& args) {
    if (movieCommand_) movieCommand_(command, args);
  });
  ToolbarControl().OnButtonClick([this](int first, const std::string& key) {
    if (toolbarClick_) toolbarClick_(first, key);
  });

  AtStep("尋找播放器視窗", [&] {
    hook_ = std::make_unique<FlashHook>(*this);
    hook_->Install();
  });

  const std::string path = TempMoviePath();
  if (AtStep("檢查暫存電子書檔案", [&] { return tempMovieExists(); }))
    AtStep("刪除舊的暫存電子書檔案", [&] { system_.files.Kill(path); });

  std::span<const std::uint8_t> movie = AtStep(
      "載入內嵌電子書", [&] { return system_.resources.LoadResData(kMovieResourceId, kMovieResourceType); });

  AtStep("寫入暫存電子書檔案", [&] {
    auto file = system_.files.CreateNew(path);
    file->Write(movie);
    file->Close();
  });

  AtStep("開啟電子書", [&] { Player().Movie(path); });
  AtStep("隱藏工具列", [&] { ToolbarControl().Visible(false); });

  lastRegValue = ReadRegValue(system_.registry, HKEY_LOCAL_MACHINE, BookKey(), "soundOn");

  std::string animation = ProgramPath({"Review", "man.zov"});
  std::string doubled;
  for (char c : animation) {
    if (c == '\\') doubled += '\\';
    doubled += c;
  }

  AtStep("傳送設定給電子書", [&] {
    Player().SetVariable("soundOn", lastRegValue);
    Player().SetVariable("animationFile", doubled);
    Player().TCallLabel("/", lastRegValue == "1" ? "soundOn" : "mute");
  });
}

}  // namespace shell
