#include "media/download_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>

#include "components/errors.h"

namespace media {

using namespace components;

namespace {
// "Content-length" as a length: whole, decimal, 1 or more; else -1.
std::int32_t LengthOf(const std::string& text) {
  if (text.empty() || text.size() > 10) return -1;
  std::int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= INT32_MAX ? static_cast<std::int32_t>(n) : -1;
}
}  // namespace

int Percent(std::int64_t received, std::int32_t announced) {
  double exact = static_cast<double>(received) / announced * 100;
  double rounded = std::nearbyint(exact);  // a half goes to the even neighbour
  int percent = static_cast<int>(std::clamp(rounded, 0.0, 100.0));
  if (received < announced && percent > 99) percent = 99;  // 995 of 1000 is not all of it
  return percent;
}

DownloadEngine::DownloadEngine(shell::Program& program, Window& progress, HandOver handOver)
    : program_(program), progress_(progress), handOver_(std::move(handOver)) {}

Transfer* DownloadEngine::LoadedInet() {
  Window& main = program_.MainWindow();
  return main.IsLoaded() ? &main.control("Inet1").TransferComponent() : nullptr;
}

void DownloadEngine::ShowToolbar() {
  if (program_.MainWindow().IsLoaded()) program_.ToolbarControl().Visible(true);
}

void DownloadEngine::SayNoConnection() {
  MessageBox box;
  box.text = "很抱歉，現在無法與主機連線。\r\n請稍後再連線，謝謝。";
  box.caption = "無法連線";
  box.icon = Icon::Exclamation;
  box.buttons = Buttons::OK;
  program_.system().desktop.MsgBox(box);
}

void DownloadEngine::Cancel() {
  if (receiving_) receptionCancelled_ = true;
  if (Transfer* inet = LoadedInet()) inet->Cancel();
}

bool DownloadEngine::Owns(const std::string& path) const {
  return inProgress_ && (path == finalPath_ || path == tempPath_);
}

void DownloadEngine::DownloadFile(const std::string& source, const std::string& dest, int kind) {
  Transfer* inet = LoadedInet();
  if (!inet) return;
  if (!listening_) {
    inet->OnStateChanged([this](int state) { OnStateChanged(state); });
    listening_ = true;
  }
  isDownloadReady_ = kFalse;
  queryFailureTold_ = false;
  contentLength_ = GetFileSize(source);
  if (contentLength_ == -1) {
    // Nothing to fetch: the reader hears why the narration does not come,
    // once (a failed HEAD's state 11 has said it already), and not at all
    // when the book was closed meanwhile.
    if (!queryFailureTold_ && LoadedInet()) SayNoConnection();
    return;
  }
  saveFilePath_ = dest;
  finalPath_ = program_.chapterPath;
  tempPath_ = program_.chapterTemp;
  isDownloadReady_ = kTrue;
  if (kind == 0) {
    program_.isStartDownload = kTrue;
    inProgress_ = true;
    inet = LoadedInet();
    if (!inet) return;
    inet->Execute(source, "GET \"" + dest + "\"");
  }
}

std::int32_t DownloadEngine::GetFileSize(const std::string& url) {
  isHeadRequest_ = kTrue;
  std::int32_t n = -1;
  try {
    Transfer* inet = LoadedInet();
    if (!inet) throw ComponentError("the main window is closed");
    Desktop& desktop = program_.system().desktop;
    // Events run meanwhile (the HEAD's own states among them, a close of the
    // book too); between them the wait sleeps.
    std::weak_ptr<const void> loaded = program_.MainWindow().LoadToken();
    auto wait = [&] {
      while (!loaded.expired() && inet->StillExecuting()) desktop.WaitForEvents();
      if (loaded.expired()) throw ComponentError("the main window closed during the size query");
    };
    inet->Execute(url, "HEAD \"" + url + "\"");
    wait();
    std::string header = inet->GetHeader("Content-length");
    wait();
    n = LengthOf(header);
  } catch (const std::exception&) {
    n = -1;
  }
  isHeadRequest_ = kFalse;
  return n;
}

void DownloadEngine::OnStateChanged(int state) {
  switch (state) {
    case Transfer::kError:
      if (SkipOnFailure([&] { SayNoConnection(); }) && isHeadRequest_ == kTrue) queryFailureTold_ = true;
      inProgress_ = false;
      SkipOnFailure([&] { progress_.Unload(); });
      SkipOnFailure([&] { ShowToolbar(); });
      break;
    case Transfer::kConnected:
      // The whole reception runs inside this wait.
      if (program_.isStartDownload == kTrue) {
        SkipOnFailure([&] { progress_.ShowModal(&program_.MainWindow()); });
        // Closed: completed, failed or abandoned; a reception, had there been
        // one, ran inside it. Nothing of this transfer is in progress now.
        inProgress_ = false;
      }
      SkipOnFailure([&] { ShowToolbar(); });
      break;
    case Transfer::kResponseCompleted:
      if (isHeadRequest_ == kTrue) return;  // the size query's own reply
      if (isDownloadReady_ == kFalse) {
        SkipOnFailure([&] { ShowToolbar(); });
        return;
      }
      Receive();
      break;
    default: SkipOnFailure([&] { ShowToolbar(); }); break;
  }
}

void DownloadEngine::Receive() {
  FileSystem& files = program_.system().files;
  SkipOnFailure([&] {
    if (files.FileExists(saveFilePath_)) files.DeleteFile(saveFilePath_, true);
  });
  SkipOnFailure([&] { progress_.Load(); });
  receiving_ = true;
  receptionCancelled_ = false;
  std::unique_ptr<OutputFile> file;
  // A body that cannot be written all (no file to be had, a chunk the disk
  // refuses) is short, however long it is.
  bool written = SkipOnFailure([&] { file = files.OpenForAppend(saveFilePath_); }) && file;
  std::int64_t received = 0;
  int percent = 0;
  for (;;) {
    std::vector<std::uint8_t> chunk;
    // Gone with the main window: the reception ends there, as a cancel.
    Transfer* inet = LoadedInet();
    if (!inet) receptionCancelled_ = true;
    if (inet) SkipOnFailure([&] { chunk = inet->GetChunk(1024, Transfer::kByteArray); });
    received += static_cast<std::int64_t>(chunk.size());
    percent = Percent(received, contentLength_);
    // Only while the window is there: touching a control of a closed one
    // would load it again, hidden, and leave it counted as open.
    if (progress_.IsLoaded()) {
      SkipOnFailure([&] { progress_.control("percent").SetCaption(std::to_string(percent) + " %"); });
      SkipOnFailure([&] { progress_.control("progress").ProgressBarComponent().SetValue(percent); });
    }
    if (!chunk.empty() && file) written = SkipOnFailure([&] { file->Write(chunk); }) && written;
    if (chunk.empty()) break;
    SkipOnFailure([&] { program_.system().desktop.DoEvents(); });
  }
  if (file) written = SkipOnFailure([&] { file->Close(); }) && written;
  file.reset();
  receiving_ = false;
  if (percent == 100 && received >= contentLength_ && written && !receptionCancelled_) {
    Complete();
  } else {
    // A short body, a cancelled one, or one not all written: never a chapter.
    SkipOnFailure([&] {
      if (files.FileExists(finalPath_)) files.DeleteFile(finalPath_, true);
    });
    SkipOnFailure([&] {
      if (files.FileExists(tempPath_)) files.DeleteFile(tempPath_, true);
    });
    inProgress_ = false;
  }
}

void DownloadEngine::Complete() {
  FileSystem& files = program_.system().files;
  inProgress_ = false;
  if (!files.FileExists(tempPath_)) return;
  if (files.FileExists(finalPath_)) {
    MessageBox box;
    box.text = "File Already Exists, Replace Anyway ? ";
    box.caption = "檔案已存在";
    box.buttons = Buttons::YesNo;
    box.icon = Icon::None;
    Answer answer = Answer::No;
    SkipOnFailure([&] { answer = program_.system().desktop.MsgBox(box); });
    if (answer != Answer::Yes) return;  // the temporary file stays; so does the window
    SkipOnFailure([&] {
      if (files.FileExists(finalPath_)) files.DeleteFile(finalPath_, true);
    });
  }
  // Only a file that really took its name is a chapter to play.
  if (!SkipOnFailure([&] { files.Rename(tempPath_, finalPath_); })) return;
  program_.endDownload = kTrue;  // before the window goes: its closing must not cancel
  SkipOnFailure([&] { progress_.Unload(); });
  SkipOnFailure([&] { handOver_(finalPath_); });
}

}  // namespace media
