#include "media/sound_commands.h"

#include "components/flags.h"
#include "media/chapter_files.h"
#include "media/windows.h"

namespace media {

using namespace components;

SoundCommands::SoundCommands(shell::Program& program, DownloadEngine& engine, Window& animation,
                             std::string downloadServer)
    : program_(program), engine_(engine), animation_(animation), downloadServer_(std::move(downloadServer)) {}

namespace {
void Say(Desktop& desktop, const char* text) {
  MessageBox box;
  box.text = text;
  box.buttons = Buttons::OK;
  box.icon = Icon::None;
  desktop.MsgBox(box);
}
}  // namespace

void SoundCommands::LoadSound(const std::string& chapter) {
  std::optional<ChapterFiles> files = ChapterFilesOf(program_, downloadServer_, chapter);
  if (!files) return;  // no chapter: nothing is tested, deleted or fetched
  program_.chapterPath = files->finalPath;
  program_.chapterTemp = files->tempPath;
  FileSystem& fs = program_.system().files;
  Desktop& desktop = program_.system().desktop;
  bool busy = false;
  if (fs.FileExists(program_.chapterPath)) {
    program_.endDownload = kTrue;
  } else {
    if (!program_.system().connection.InternetGetConnectedState()) {
      Say(desktop, "請連線，謝謝您。");
      return;
    }
    if (!fs.FolderExists(MediaFolder(program_))) fs.CreateFolder(MediaFolder(program_));
    if (program_.MainWindow().control("Inet1").TransferComponent().StillExecuting() || engine_.InProgress()) {
      Say(desktop, "正在下載當中，請稍後。");
      busy = true;
    } else {
      program_.endDownload = kFalse;
      program_.isStartDownload = kFalse;
      engine_.DownloadFile(files->address, program_.chapterTemp, 0);
    }
  }
  // Only a file that is there is played: a transfer that completed while
  // the busy message was open set endDownload for its own chapter (the
  // same chapter, asked for again, plays again).
  if (program_.endDownload == kTrue && fs.FileExists(program_.chapterPath)) {
    HandOver(program_, animation_, program_.chapterPath);
    if (program_.MainWindow().IsLoaded()) program_.ToolbarControl().Visible(true);
    return;
  }
  // Leftovers of an earlier, interrupted transfer go; a running transfer's
  // own files (the same chapter asked for again meanwhile) stay.
  for (const std::string& path : {program_.chapterPath, program_.chapterTemp}) {
    if (busy && engine_.Owns(path)) continue;
    if (fs.FileExists(path)) fs.DeleteFile(path, true);
  }
}

void SoundCommands::UnloadSound() {
  program_.Player().TCallLabel("/", "stopMan");
  animation_.Unload();
}

void SoundCommands::UnloadMan() {
  program_.Player().TCallLabel("/", "stopMan");
  program_.ToolbarControl().Visible(true);
}

}  // namespace media
