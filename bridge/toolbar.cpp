#include "bridge/toolbar.h"

#include <optional>

#include "components/desktop.h"
#include "components/errors.h"
#include "components/flags.h"
#include "components/number.h"
#include "shell/toolbar_buttons.h"

namespace bridge {

using namespace components;

void ToolbarCommands::Label(const std::string& label) {
  SkipOnFailure([&] { program_.Player().TCallLabel("/", label); });
}

void ToolbarCommands::PopupByFrame(const char* onFirstFrame, const char* otherwise) {
  // A frame that cannot be read counts as "not the first".
  int frame = 0;
  SkipOnFailure([&] { frame = ParseInt16(program_.Player().TGetProperty("/", 4)).value_or(0); });
  SkipOnFailure([&] { program_.MainWindow().PopupMenu(frame == 1 ? onFirstFrame : otherwise); });
}

void ToolbarCommands::Click(int /*firstValue*/, const std::string& key) {
  if (key == "Index") {
    Label("indexPage");
  } else if (key == "Discuss") {
    Label("discuss");
  } else if (key == "mute") {
    Label("soundOn");  // the pair is crossed
  } else if (key == "soundOn") {
    Label("mute");
  } else if (key == "transfer") {
    // nothing
  } else if (key == "Help") {
    SkipOnFailure([&] { program_.ShowHelp(); });
  } else if (key == "regionLine" || key == "regionLine2") {
    Label("regionLine");
  } else if (key == "zoomOut") {
    Label("singleZoomOut");
  } else if (key == "zoomIn") {
    Label("singleZoomIn");
  } else if (key == "doublePage") {
    Label("doublePage");
    SkipOnFailure([&] { program_.ToolbarControl().ButtonVisible(shell::kSinglePageButton, false); });
  } else if (key == "singlePage") {
    SkipOnFailure([&] { program_.MainWindow().PopupMenu("singlePages"); });
  } else if (key == "bookmark") {
    PopupByFrame("Bookmark1", "Bookmark2");
  } else if (key == "Note") {
    PopupByFrame("Notes1", "Notes2");
  } else if (key == "player") {
    if (program_.isDownloadOpen == kFalse) Label("LoadingSound");
  } else if (key == "Buy") {
    SkipOnFailure([&] {
      MessageBox box;
      box.text = "這會開啟購買網頁，並且會關閉程式視窗";
      box.caption = "購買電子書";
      box.icon = Icon::Information;
      box.buttons = Buttons::OK;
      program_.system().desktop.MsgBox(box);
    });
    SkipOnFailure([&] { program_.Player().SetVariable("salepoint", "bindera"); });
    Label("Buy");
  }
}

void ToolbarCommands::Enable(int button, bool enabled) {
  Toolbar& bar = program_.ToolbarControl();
  bar.Button(button).SetProperty("Enabled", enabled);
  bar.ButtonRefresh(button);
  bar.Refresh();
}

void ToolbarCommands::Command(const std::string& keyword) {
  Toolbar& bar = program_.ToolbarControl();
  if (keyword == "mute") {
    bar.ButtonVisible(shell::kMuteButton, true);
    bar.ButtonVisible(shell::kSoundOnButton, false);
  } else if (keyword == "soundOn") {
    bar.ButtonVisible(shell::kMuteButton, false);
    bar.ButtonVisible(shell::kSoundOnButton, true);
  } else if (keyword == "withLine") {
    bar.ButtonVisible(shell::kRegionLineButton, true);
    bar.ButtonVisible(shell::kRegionLine2Button, false);
  } else if (keyword == "withoutLine") {
    bar.ButtonVisible(shell::kRegionLineButton, false);
    bar.ButtonVisible(shell::kRegionLine2Button, true);
  } else if (keyword == "noZoomOut") {
    Enable(shell::kZoomOutButton, false);
  } else if (keyword == "zoomOut") {
    Enable(shell::kZoomOutButton, true);
  } else if (keyword == "noZoomIn") {
    Enable(shell::kZoomInButton, false);
  } else if (keyword == "zoomIn") {
    Enable(shell::kZoomInButton, true);
  } else if (keyword == "noZoom") {
    bar.ButtonVisible(shell::kZoomInButton, false);
    bar.ButtonVisible(shell::kZoomOutButton, false);
    bar.ButtonVisible(shell::kSinglePageButton, true);
    bar.ButtonVisible(shell::kDoublePageButton, false);
  } else if (keyword == "withZoom") {
    bar.ButtonVisible(shell::kZoomInButton, true);
    bar.ButtonVisible(shell::kZoomOutButton, true);
    bar.ButtonVisible(shell::kSinglePageButton, false);
    bar.ButtonVisible(shell::kDoublePageButton, true);
  }
}

}  // namespace bridge
