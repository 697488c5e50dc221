#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "components/flags.h"
#include "components/window.h"
#include "shell/program.h"

namespace media {

// The download engine of the main window: a HEAD request for the announced
// length, a GET request, the progress window shown while the reply comes,
// then the body read in 1024-byte chunks into the temporary file, which
// takes the chapter's name and is handed to the animation window.
class DownloadEngine {
 public:
  using HandOver = std::function<void(const std::string& chapterFile)>;
  DownloadEngine(shell::Program& program, components::Window& progress, HandOver handOver);

  // Starts a transfer of the chapter the program's chapterPath and
  // chapterTemp name (dest is chapterTemp); kind 0 issues the GET request.
  void DownloadFile(const std::string& source, const std::string& dest, int kind);
  // The transfer control's StateChanged.
  void OnStateChanged(int state);
  // A file of the transfer in progress: what later requests must not delete.
  bool Owns(const std::string& path) const;
  // From the GET request until its file is taken or dropped, the reception
  // included (the control itself has finished by then).
  bool InProgress() const { return inProgress_; }
  // The reader abandons the transfer (the progress window's cancel or its
  // closing): a body still being received is then never a chapter, however
  // much of it has come.
  void Cancel();

 private:
  std::int32_t GetFileSize(const std::string& url);
  void Receive();
  void Complete();
  // The main window's transfer control, or null once the main window has
  // unloaded: referring to it then would load the window again.
  components::Transfer* LoadedInet();
  void ShowToolbar();
  void SayNoConnection();

  shell::Program& program_;
  components::Window& progress_;
  HandOver handOver_;
  components::Flag isHeadRequest_ = components::kFalse;
  components::Flag isDownloadReady_ = components::kFalse;
  std::int32_t contentLength_ = 0;
  std::string saveFilePath_;
  // The names the transfer started with: a later "loadSound" rewrites the
  // program's chapterPath and chapterTemp, never these.
  std::string finalPath_, tempPath_;
  bool inProgress_ = false;
  bool listening_ = false;
  bool receiving_ = false;
  bool queryFailureTold_ = false;  // the size query's own state 11 said it
  bool receptionCancelled_ = false;
};

// The percentage shown for `received` of `announced` bytes: rounded to the
// nearest, a half to the even one, within 0 to 100; a short body never
// shows 100.
int Percent(std::int64_t received, std::int32_t announced);

}  // namespace media
