#include "tests/support/started.h"

using namespace components;
using testing_support::Label;

namespace {
class ToolbarClicks : public testing_support::Started {};
}  // namespace

TEST_F(ToolbarClicks, EachKeyCallsItsLabelAndTheMutePairIsCrossed) {
  for (const char* key : {"Index", "Discuss", "mute", "soundOn", "transfer", "regionLine", "regionLine2",
                          "zoomOut", "zoomIn", "player", "index", "MUTE", "", "Transfer"})
    Click(key);
  EXPECT_EQ(Labels(),
            (std::vector<std::string>{Label("indexPage"), Label("discuss"), Label("soundOn"), Label("mute"),
                                      Label("regionLine"), Label("regionLine"), Label("singleZoomOut"),
                                      Label("singleZoomIn"), Label("LoadingSound")}));
}

TEST_F(ToolbarClicks, PlayerDoesNothingWhileTheProgressWindowIsOpen) {
  program.isDownloadOpen = kTrue;
  Click("player");
  EXPECT_TRUE(Labels().empty());
}

TEST_F(ToolbarClicks, DoublePageHidesTheSinglePageButtonOnly) {
  Click("doublePage");
  EXPECT_EQ(Labels(), std::vector<std::string>{Label("doublePage")});
  EXPECT_FALSE(toolbar().buttonVisible(5));
  EXPECT_FALSE(toolbar().buttonVisible(6) != true);  // left as it was
}

TEST_F(ToolbarClicks, TheFrameChoosesBetweenTheTwoBookmarkAndNoteMenus) {
  player().SetFrame("1");
  Click("bookmark");
  Click("Note");
  player().SetFrame("2");
  Click("bookmark");
  Click("Note");
  player().SetFrame("frame");  // unreadable: the single-page variant
  Click("bookmark");
  player().SetFrame("01");
  Click("Note");
  Click("singlePage");
  EXPECT_EQ(h.desktop.popups(), (std::vector<std::string>{"Bookmark1", "Notes1", "Bookmark2", "Notes2",
                                                          "Bookmark2", "Notes1", "singlePages"}));
}

TEST_F(ToolbarClicks, BuyWarnsThenTellsTheMovie) {
  h.desktop.ExpectBox(Answer::OK, "這會開啟購買網頁，並且會關閉程式視窗");
  Click("Buy");
  const auto& box = h.desktop.boxes().at(0);
  EXPECT_EQ(box.caption, "購買電子書");
  EXPECT_EQ(box.box.icon, Icon::Information);
  EXPECT_EQ(box.box.buttons, Buttons::OK);
  EXPECT_EQ(PlayerCalls(), (std::vector<std::string>{"Form1.ShockwaveFlash1.SetVariable(salepoint, bindera)",
                                                     Label("Buy")}));
}

TEST_F(ToolbarClicks, HelpShowsTheOneHelpWindow) {
  Click("Help");
  Click("Help");
  EXPECT_TRUE(program.HelpWindow().IsVisible());
  EXPECT_EQ(h.desktop.Calls("helpForm.Load").size(), 1u);
  EXPECT_EQ(h.desktop.Calls("helpForm.Show"), std::vector<std::string>(2, "helpForm.Show(Form1)"));
  EXPECT_EQ(h.desktop.Calls("helpForm.helpContent.Navigate"),
            std::vector<std::string>{"helpForm.helpContent.Navigate(/opt/書 本/Help.html)"});
  program.HelpWindow().UserClose();  // closing unloads it: the next loads anew
  Click("Help");
  EXPECT_EQ(h.desktop.Calls("helpForm.Load").size(), 2u);
}

TEST_F(ToolbarClicks, AFailingStepIsSkippedAndTheNextRuns) {
  player().failing = {"SetVariable", "TGetProperty"};
  h.desktop.ExpectBox(Answer::OK);
  Click("Buy");  // the variable fails, the label still goes
  EXPECT_EQ(Labels().back(), Label("Buy"));
  Click("bookmark");  // the frame fails: the single-page menu
  EXPECT_EQ(h.desktop.popups().back(), "Bookmark2");
  player().failing = {"TCallLabel"};
  Click("doublePage");  // the label fails, the button still hides
  EXPECT_FALSE(toolbar().buttonVisible(5));
  EXPECT_EQ(h.desktop.boxes().size(), 1u);  // nothing shown for any of it

  // The movie's own commands have no such recovery: the error box, the end.
  player().failing = {"Width"};
  player().Send("dirov.Win", "maximize");
  h.desktop.ExpectBox(Answer::OK);
  EXPECT_THROW(h.desktop.Pump(), ProgramEnded);
  EXPECT_NE(h.desktop.boxes().back().box.text.find("the player refused Width"), std::string::npos);
}

TEST_F(ToolbarClicks, ASkippedStepNeverSwallowsAFailureOfTheTestHarness) {
  // No answer queued for Buy's box: the harness fails, and says so.
  EXPECT_THROW(Click("Buy"), headless::HarnessFailure);
  EXPECT_TRUE(Labels().empty());
  // Nor does the fatal-error path, whose own box is unexpected here.
  player().failing = {"Width"};
  player().Send("dirov.Win", "maximize");
  EXPECT_THROW(h.desktop.Pump(), headless::HarnessFailure);
}

TEST_F(ToolbarClicks, TheMoviesKeywordsShowHideEnableAndDisable) {
  Movie("dirov.Toolbar", "noZoom");
  Movie("dirov.Toolbar", "withZoom");
  EXPECT_TRUE(toolbar().buttonVisible(3));
  EXPECT_TRUE(toolbar().buttonVisible(4));
  EXPECT_FALSE(toolbar().buttonVisible(5));
  EXPECT_TRUE(toolbar().buttonVisible(6));

  Movie("dirov.Toolbar", "soundOn");
  EXPECT_FALSE(toolbar().buttonVisible(9));
  EXPECT_TRUE(toolbar().buttonVisible(10));
  Movie("dirov.Toolbar", "withoutLine");
  EXPECT_FALSE(toolbar().buttonVisible(12));
  EXPECT_TRUE(toolbar().buttonVisible(13));

  h.desktop.log().clear();
  Movie("dirov.Toolbar", "noZoomIn");
  EXPECT_EQ(h.desktop.log(),
            (std::vector<std::string>{"Form1.asxToolbar1.Button(3).Enabled(false)",
                                      "Form1.asxToolbar1.ButtonRefresh(3)", "Form1.asxToolbar1.Refresh()"}));
  EXPECT_FALSE(toolbar().buttonEnabled(3));
  Movie("dirov.Toolbar", "zoomIn");
  Movie("dirov.Toolbar", "noZoomOut");
  EXPECT_TRUE(toolbar().buttonEnabled(3));
  EXPECT_FALSE(toolbar().buttonEnabled(4));

  h.desktop.log().clear();
  for (const char* k : {"NoZoom", "mute ", "", "ZOOMIN", "withzoom"}) Movie("dirov.Toolbar", k);
  EXPECT_TRUE(h.desktop.log().empty());
}

TEST_F(ToolbarClicks, TheSinglePageMenuCallsItsLabelAndSwitchesThePageModeButtons) {
  h.desktop.ChoosePopup("singlePages", "leftSingle");
  h.desktop.ChoosePopup("singlePages", "rightSingle");
  h.desktop.ChoosePopup("singlePages", "rightSingle");
  Click("singlePage");
  Click("singlePage");
  Click("singlePage");
  EXPECT_EQ(Labels(),
            (std::vector<std::string>{Label("singleLeft"), Label("singleRight"), Label("singleRight")}));
  EXPECT_FALSE(toolbar().buttonVisible(5));
  EXPECT_TRUE(toolbar().buttonVisible(6));
}
