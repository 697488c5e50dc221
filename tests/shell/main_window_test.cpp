#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "tests/support/support.h"

using namespace components;
using testing_support::Headless;
using testing_support::TempDir;

namespace {

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() {
    h.environment.variables["TEMP"] = dir.path() + "/";
    h.resources.table[{"CUSTOM", 101}] = {'C', 'W', 'S', 7};
    program.Start();
    h.desktop.log().clear();
  }
  Window& form() { return program.MainWindow(); }
  headless::Player& player() { return h.desktop.PlayerOf(form(), "ShockwaveFlash1"); }
  headless::Toolbar& toolbar() { return h.desktop.ToolbarOf(form(), "asxToolbar1"); }

  TempDir dir;
  Headless h;
  shell::Program program{h.system};
};

}  // namespace

TEST_F(MainWindow, TheNormalWindowSnapsBackToItsSize) {
  EXPECT_EQ(form().Width(), 11520);
  EXPECT_EQ(form().Height(), 8640);
  form().SetWidth(9000);  // the user drags the frame
  EXPECT_EQ(form().Width(), 11520);
  EXPECT_EQ(form().Height(), 8640);
  EXPECT_EQ(player().width(), 11405);
  EXPECT_EQ(player().height(), 8500);
  EXPECT_EQ(toolbar().height(), 485);
}

TEST_F(MainWindow, MaximisedTakesNinetyNinePercentAndRestoringGoesBack) {
  form().SetState(WindowState::Maximized);
  float w = static_cast<float>(h.desktop.screenWidth), hh = static_cast<float>(h.desktop.screenHeight);
  EXPECT_FLOAT_EQ(static_cast<float>(player().width()), w - w * 0.01f);
  EXPECT_FLOAT_EQ(static_cast<float>(player().height()), hh - hh * 0.01f);
  EXPECT_EQ(toolbar().height(), 650);

  form().SetState(WindowState::Normal);
  EXPECT_EQ(player().width(), 11405);
  EXPECT_EQ(player().height(), 8500);
  EXPECT_EQ(toolbar().height(), 485);
  EXPECT_EQ(form().Width(), 11520);
}

TEST_F(MainWindow, MinimisingChangesNoSize) {
  form().SetState(WindowState::Minimized);
  EXPECT_TRUE(h.desktop.Calls("Form1.ShockwaveFlash1.Width").empty());
  EXPECT_TRUE(h.desktop.Calls("Form1.asxToolbar1.Height").empty());
  form().SetState(WindowState::Normal);
  EXPECT_EQ(h.desktop.Calls("Form1.asxToolbar1.Height").back(), "Form1.asxToolbar1.Height(485)");
}

TEST_F(MainWindow, ClosingAnsweredNoKeepsTheWindowAndStoresNothing) {
  player().Answer("soundOn", "1");
  h.desktop.ExpectBox(Answer::No, "確定要離開電子書嗎 ?");
  form().UserClose();
  EXPECT_TRUE(form().IsLoaded());
  EXPECT_FALSE(h.registry.Text(shell::BookKey(), "soundOn"));
  const auto& box = h.desktop.boxes().at(0);
  EXPECT_EQ(box.caption, "離開電子書");
  EXPECT_EQ(box.box.buttons, Buttons::YesNo);
  EXPECT_EQ(box.box.icon, Icon::Information);
  EXPECT_EQ(box.box.defaultButton, 2);
  EXPECT_FALSE(h.desktop.quitCode());
}

TEST_F(MainWindow, ClosingAnsweredYesStoresTheMoviesSoundAndEnds) {
  player().Answer("soundOn", "0");
  h.desktop.ExpectBox(Answer::Yes);
  form().UserClose();
  EXPECT_FALSE(form().IsLoaded());
  EXPECT_EQ(h.registry.Text(shell::BookKey(), "soundOn"), "0");
  EXPECT_EQ(shell::lastRegValue, "Success");
  h.desktop.Pump();
  EXPECT_EQ(h.desktop.quitCode(), 0);
}

TEST_F(MainWindow, AnEmptySoundIsStoredAndReadsBackAsNone) {
  player().Answer("soundOn", "");
  h.desktop.ExpectBox(Answer::Yes);
  form().UserClose();
  EXPECT_EQ(h.registry.Text(shell::BookKey(), "soundOn"), "");
  EXPECT_EQ(shell::ReadRegValue(h.registry, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn"), "none");
}

TEST_F(MainWindow, TheCloseItemAsksOnceAndStillClosesTheOtherShellWindows) {
  Window* a = &program.AboutWindow();
  Window* i = &program.IntroPanel();
  a->Show();
  i->Show();  // modeless here, to have it open while the menu is used

  h.desktop.ExpectBox(Answer::No);
  h.desktop.ChoosePopup("Bindera", "close");
  form().PopupMenu("Bindera");
  EXPECT_TRUE(form().IsLoaded());
  EXPECT_FALSE(a->IsLoaded());
  EXPECT_FALSE(i->IsLoaded());
  EXPECT_EQ(h.desktop.boxes().size(), 1u);
}

TEST_F(MainWindow, HasItsSixPopupMenusAndNoMenuBar) {
  const auto& menus = form().design().menus;
  ASSERT_EQ(menus.size(), 6u);
  for (const auto& m : menus) EXPECT_FALSE(m.visible) << m.name;
  const MenuDesign* notes = FindMenu(menus, "addNotes1");
  ASSERT_TRUE(notes);
  EXPECT_EQ(notes->caption, "新增註解");
  ASSERT_EQ(notes->items.size(), 2u);
  EXPECT_EQ(notes->items[0].name, "leftNote");
  EXPECT_EQ(FindMenu(menus, "About")->caption, "關於翻頁電子書");
  EXPECT_EQ(FindMenu(menus, "bookmarkAdmin2")->caption, "書籤管理");
  // Items whose handling is still to come do nothing.
  h.desktop.ChoosePopup("Bookmark2", "addBookmark2");
  form().PopupMenu("Bookmark2");
  EXPECT_TRUE(h.desktop.boxes().empty());
}

TEST_F(MainWindow, AnotherStartBringsTheWindowForwardRestoredFromTheTaskbar) {
  form().SetState(WindowState::Minimized);
  program.BringToFront();
  EXPECT_EQ(form().State(), WindowState::Normal);
  EXPECT_TRUE(form().IsVisible());
  EXPECT_EQ(form().Width(), 11520);
}
