// The progress window: how much of a chapter file has arrived, and a way
// to abandon it.
#include "components/flags.h"
#include "media/windows.h"

namespace media {

using namespace components;

WindowDesign ProgressDesign() {
  WindowDesign d = FixedDialog("download", "下載聲音檔。。。。", 4680, 1785);
  d.border = BorderStyle::FixedSingle;
  d.startPosition = StartPosition::CenterScreen;
  const FontDesign blue{"Comic Sans MS", 9, false, 0x0000FF};
  auto label = [&](const char* name, Twips left, Twips top, Twips width, const char* caption) {
    ControlDesign c = ControlAt(name, ControlKind::Label, left, top, width, 255, caption);
    c.font = blue;
    return c;
  };
  ControlDesign timer = ControlAt("Timer1", ControlKind::Timer, 0, 0, 0, 0);
  timer.interval = 10;
  timer.enabled = false;
  d.controls = {label("Label1", 120, 120, 2175, "下載導讀聲音檔案。。"),
                ControlAt("progress", ControlKind::ProgressBar, 120, 480, 4335, 375),
                label("Label2", 120, 960, 1095, "Percentage :"),
                label("percent", 1200, 960, 735, ""),
                ControlAt("cancel", ControlKind::Button, 1680, 1320, 1095, 375, "取消 ( &C )"),
                timer};
  d.focusOrder = {"cancel"};
  return d;
}

std::unique_ptr<Window> MakeProgressWindow(shell::Program& program, std::function<void()> cancelTransfer) {
  auto window = std::make_unique<Window>(program.system().desktop, ProgressDesign());
  Window& w = *window;
  w.OnLoad([&program, &w] {
    program.isDownloadOpen = kTrue;
    w.control("progress").ProgressBarComponent().SetRange(0, 100);
  });
  // Never refused; a transfer not yet complete is abandoned.
  w.OnQueryUnload([&program, cancelTransfer](bool&, CloseKind) {
    program.isDownloadOpen = kFalse;
    if (program.endDownload == kFalse) cancelTransfer();
  });
  w.OnClick("cancel", [&program, &w, cancelTransfer] {
    program.isDownloadOpen = kFalse;
    program.endDownload = kFalse;
    cancelTransfer();
    w.control("cancel").SetEnabled(false);
    w.control("Timer1").SetEnabled(true);
  });
  // The window goes at the next turn of the events, after the click.
  w.OnTimer("Timer1", [&program, &w] {
    w.control("Timer1").SetEnabled(false);
    if (program.isDownloadOpen == kFalse) w.Unload();
  });
  return window;
}

}  // namespace media
