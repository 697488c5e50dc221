#include "shell/settings_store.h"
#include "tests/support/started.h"

using namespace components;
using testing_support::Label;

namespace {
class Settings : public testing_support::Started {};
class WindowCommands : public testing_support::Started {};
const char* kNews = "Form1.ShockwaveFlash1.SetVariable(news, /opt/書 本/news.ezy)";
const char* kNews2 = "Form1.ShockwaveFlash1.SetVariable(news2, /opt/書 本/news2.ezy)";
}  // namespace

TEST_F(Settings, AnAbsentKeyGivesNoneToEveryRowAndStillTheNews) {
  Movie("dirov.getReg", "ignored");
  EXPECT_EQ(PlayerCalls(), (std::vector<std::string>{
                               "Form1.ShockwaveFlash1.SetVariable(transfer, none)",
                               "Form1.ShockwaveFlash1.SetVariable(showHelp, none)",
                               "Form1.ShockwaveFlash1.SetVariable(firstRun, none)",
                               "Form1.ShockwaveFlash1.SetVariable(installString, none)",
                               "Form1.ShockwaveFlash1.SetVariable(uninstallString, none)",
                               "Form1.ShockwaveFlash1.SetVariable(kindOfMouse, none)",
                               kNews,
                               kNews2,
                           }));
  EXPECT_EQ(h.desktop.FindWindow("leftForm"), nullptr);
}

TEST_F(Settings, ShowHelpOneOpensTheIntroPanelBeforeTheRestIsPassed) {
  h.registry.Plant(shell::BookKey(), "showHelp", REG_SZ, "1");
  h.registry.Plant(shell::BookKey(), "helpMe", REG_SZ, "yes");
  size_t callsWhenShown = 0;
  h.desktop.WhenModal("leftForm", [&](Window& w) {
    callsWhenShown = PlayerCalls().size();
    w.UserClose();
  });
  Movie("dirov.getReg", "");
  EXPECT_EQ(callsWhenShown, 2u);  // transfer and showHelp only
  EXPECT_EQ(PlayerCalls()[1], "Form1.ShockwaveFlash1.SetVariable(showHelp, 1)");
  EXPECT_EQ(PlayerCalls()[2], "Form1.ShockwaveFlash1.SetVariable(firstRun, yes)");
  EXPECT_EQ(PlayerCalls().size(), 8u);
  EXPECT_FALSE(program.IntroPanel().IsLoaded());
  EXPECT_TRUE(Labels().empty());  // no label afterwards
}

TEST_F(Settings, NearlyOneOpensNoPanel) {
  for (const char* v : {" 1", "01", "1 ", "-1"}) {
    h.registry.Plant(shell::BookKey(), "showHelp", REG_SZ, v);
    Movie("dirov.getReg", "");  // a panel would fail: no script for it
  }
  EXPECT_EQ(h.desktop.FindWindow("leftForm"), nullptr);
}

TEST_F(Settings, SetRegStoresItsArgumentAndTurnsTheSoundOn) {
  Movie("dirov.setReg", "");
  EXPECT_EQ(Stored("showHelp"), "");
  EXPECT_EQ(Stored("soundOn"), "1");
  h.desktop.log().clear();
  Movie("dirov.getReg", "");
  EXPECT_EQ(PlayerCalls()[1], "Form1.ShockwaveFlash1.SetVariable(showHelp, none)");
  Movie("dirov.setReg", "說明 x");
  EXPECT_EQ(Stored("showHelp"), "說明 x");
  h.registry.writable = false;  // silent
  Movie("dirov.setReg", "2");
  EXPECT_EQ(shell::lastRegValue, "none");
}

TEST_F(WindowCommands, CloseAsksAndYesKeepsTheSoundSettingThenEndsAtOnce) {
  h.desktop.ExpectBox(Answer::No, "確定要離開電子書嗎 ?");
  Movie("dirov.Win", "close");
  EXPECT_EQ(h.desktop.boxes().at(0).caption, "離開電子書 ?");
  EXPECT_EQ(h.desktop.boxes().at(0).box.defaultButton, 2);
  EXPECT_TRUE(form().IsLoaded());

  player().Answer("soundOn", "1");
  h.desktop.ExpectBox(Answer::Yes);
  try {
    Movie("dirov.Win", "close");
    FAIL();
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.exitCode, 0);
  }
  EXPECT_EQ(h.desktop.boxes().size(), 2u);  // not the main window's own question
  EXPECT_EQ(Stored("soundOn"), "1");        // what the movie holds, as the frame's close keeps it
  EXPECT_TRUE(form().IsLoaded());           // no window ran its closing steps
}

TEST_F(WindowCommands, CloseAppEndsAtOnceWithoutAskingOrStoring) {
  player().Answer("soundOn", "0");
  EXPECT_THROW(Movie("dirov.Win", "closeApp"), ProgramEnded);
  EXPECT_TRUE(h.desktop.boxes().empty());
  EXPECT_EQ(Stored("soundOn"), "<absent>");
}

TEST_F(WindowCommands, CloseKeepsTheSoundTheReaderSwitchedOff) {
  player().Answer("soundOn", "0");
  h.desktop.ExpectBox(Answer::Yes);
  EXPECT_THROW(Movie("dirov.Win", "close"), ProgramEnded);
  EXPECT_EQ(Stored("soundOn"), "0");
}

// A real platform applies a window state later, with the new size; the
// player must still end up as large as the window it then has.
class StatesApplied : public WindowCommands, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(AtOnceAndLater, StatesApplied, ::testing::Bool());

TEST_P(StatesApplied, MaximiseAndRestoreSizeThePlayerToTheWholeWindow) {
  h.desktop.applyStatesLater = GetParam();
  Movie("dirov.Win", "maximize");
  EXPECT_EQ(form().State(), WindowState::Maximized);
  EXPECT_EQ(player().width(), h.desktop.screenWidth);
  EXPECT_EQ(player().height(), h.desktop.screenHeight);
  EXPECT_EQ(toolbar().height(), 650);  // the resize rule ran first
  Movie("dirov.Win", "maximize");      // again: the sizing repeats
  EXPECT_EQ(h.desktop.Calls("Form1.ShockwaveFlash1.Width").back(), "Form1.ShockwaveFlash1.Width(28800)");
  Movie("dirov.Win", "restore");
  EXPECT_EQ(form().State(), WindowState::Normal);
  EXPECT_EQ(player().width(), 11520);
  EXPECT_EQ(player().height(), 8640);
  h.desktop.log().clear();
  Movie("dirov.Win", "minimize");
  h.desktop.Pump();
  EXPECT_EQ(form().State(), WindowState::Minimized);
  EXPECT_TRUE(PlayerCalls().empty());
}

TEST_F(WindowCommands, ToolbarIntroAndTheRestOfTheKeywords) {
  Movie("dirov.Win", "showUtility");
  Movie("dirov.Win", "showUtility");
  EXPECT_TRUE(toolbar().visible());
  Movie("dirov.Win", "hideUtility");
  EXPECT_FALSE(toolbar().visible());
  // The panel opens whatever the stored setting.
  h.desktop.WhenModal("leftForm", [](Window& w) { w.UserClose(); });
  Movie("dirov.Win", "showHelp");
  EXPECT_EQ(h.desktop.Calls("leftForm.ShowModal").size(), 1u);
  h.desktop.log().clear();
  for (const char* k : {"move", "Close", "MOVE", "", "Maximize", "showhelp"}) Movie("dirov.Win", k);
  EXPECT_TRUE(h.desktop.log().empty());
  Movie("startPlay", "whatever");
  EXPECT_EQ(Labels(), std::vector<std::string>{Label("startPlay")});
}
