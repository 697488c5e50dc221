#include "shell/settings_store.h"
#include "tests/support/started.h"

using namespace components;

namespace {
class ShellWindows : public testing_support::Started {};
}  // namespace

TEST_F(ShellWindows, TheIntroCheckBoxStoresTheComplementOfItsState) {
  h.desktop.WhenModal("leftForm", [&](Window& w) {
    EXPECT_EQ(w.control("Check1").Value(), 0);
    w.control("Check1").UserClick();
    EXPECT_EQ(Stored("showHelp"), "-2");
    w.control("Check1").UserClick();
    EXPECT_EQ(Stored("showHelp"), "-1");
    w.control("Check1").UserClick();
    w.UserClose();
  });
  program.ShowIntro();
  EXPECT_EQ(Stored("showHelp"), "-2");
  EXPECT_EQ(h.desktop.Calls("leftForm.ShowModal"), std::vector<std::string>{"leftForm.ShowModal(Form1)"});
  EXPECT_EQ(h.desktop.Calls("leftForm.WebBrowser1.Navigate"),
            std::vector<std::string>{"leftForm.WebBrowser1.Navigate(/opt/書 本/introduction_open.html)"});

  // Opened again: loaded anew, the box cleared; leaving it alone writes nothing.
  h.registry.Plant(shell::BookKey(), "showHelp", REG_SZ, "1");
  h.desktop.WhenModal("leftForm", [&](Window& w) {
    EXPECT_EQ(w.control("Check1").Value(), 0);
    w.UserClose();
  });
  program.ShowIntro();
  EXPECT_EQ(Stored("showHelp"), "1");
}

TEST_F(ShellWindows, AboutShowsItsCreditsAndStaysOneWindow) {
  h.desktop.ChoosePopup("Bindera", "About");
  form().PopupMenu("Bindera");
  Window& about = program.AboutWindow();
  ASSERT_TRUE(about.IsVisible());
  std::string text = about.control("Label1").Caption();
  EXPECT_EQ(text.rfind("本電子書由", 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  EXPECT_NE(text.find("）製作，\r\n 如欲製作電子書，請洽\r\nTel: "), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 3), "。");
  EXPECT_EQ(about.design().controls[0].picture, "/opt/書 本/about.gif");

  h.desktop.ChoosePopup("Bindera", "About");
  form().PopupMenu("Bindera");  // the same window again
  EXPECT_EQ(h.desktop.Calls("Form2.Load").size(), 1u);
  EXPECT_EQ(h.desktop.Calls("Form2.Show"), std::vector<std::string>(2, "Form2.Show()"));  // no owner
  about.control("Command1").UserClick();
  EXPECT_TRUE(about.IsLoaded());
  EXPECT_FALSE(about.IsVisible());
}

TEST_F(ShellWindows, DesignsAsTheTablesGiveThem) {
  const WindowDesign& intro = program.IntroPanel().design();
  EXPECT_EQ(intro.caption, "基礎操作說明");
  EXPECT_EQ(intro.clientWidth, 7500);
  EXPECT_EQ(FindControl(intro, "WebBrowser1")->width, 7830);
  EXPECT_EQ(FindControl(intro, "Check1")->caption, "以後不要再顯示這個說明");
  const WindowDesign& help = program.HelpWindow().design();
  EXPECT_EQ(help.caption, "說明");
  ASSERT_TRUE(FindControl(help, "Label1")->font);
  EXPECT_TRUE(FindControl(help, "Label1")->font->bold);
  EXPECT_DOUBLE_EQ(FindControl(help, "Label1")->font->points, 14.25);
  const WindowDesign& about = program.AboutWindow().design();
  EXPECT_EQ(about.caption, "關於翻頁電子書");
  EXPECT_EQ(FindControl(about, "Command1")->caption, "確定");
  for (const WindowDesign* d : {&intro, &help, &about}) {
    EXPECT_EQ(d->border, BorderStyle::FixedDialog);
    EXPECT_FALSE(d->minButton);
    EXPECT_EQ(d->startPosition, StartPosition::CenterOwner);
  }
}
