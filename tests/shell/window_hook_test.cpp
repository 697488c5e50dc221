#include "shell/window_hook.h"

#include "shell/program.h"
#include "tests/support/support.h"

using namespace components;
using testing_support::Headless;
using testing_support::TempDir;

namespace {

class Hook : public ::testing::Test {
 protected:
  Hook() {
    h.environment.variables["TEMP"] = dir.path() + "/";
    h.resources.table[{"CUSTOM", 101}] = {'C', 'W', 'S', 7};
    shell::flashWnd = 0;
    shell::oldWndProc = 0;
  }
  void Children(std::vector<std::pair<HWND, std::string>> kids) {
    for (auto& [hwnd, cls] : kids) {
      h.hooks.childrenOf["Form1"].push_back(hwnd);
      h.hooks.classNames[hwnd] = cls;
    }
  }
  TempDir dir;
  Headless h;
  shell::Program program{h.system};
};

}  // namespace

TEST_F(Hook, TheFirstPlayerClassWinsAndNearMissesDoNot) {
  Children({{11, "MacromediaFlashPlayerActiveXx"},
            {12, "xMacromediaFlashPlayerActiveX"},
            {13, "atl:1234"},
            {14, "ATL1234"},
            {15, "ATL:0F1E"},
            {16, "MacromediaFlashPlayerActiveX"}});
  program.Start();
  EXPECT_EQ(shell::flashWnd, 15u);
  EXPECT_NE(shell::oldWndProc, 0);
}

TEST_F(Hook, NoMatchInstallsNothing) {
  Children({{21, "QWidget"}, {22, ""}});
  program.Start();
  EXPECT_EQ(shell::flashWnd, 0u);
  EXPECT_TRUE(h.desktop.Calls("SetWindowLongA").empty());
}

TEST_F(Hook, RightButtonPopsUpTheHostMenuAndNeverReachesThePlayer) {
  Children({{31, "MacromediaFlashPlayerActiveX"}});
  program.Start();
  h.hooks.Deliver(31, WM_RBUTTONDOWN);
  h.hooks.Deliver(31, WM_RBUTTONUP);
  h.hooks.Deliver(31, WM_RBUTTONDBLCLK);
  h.hooks.Deliver(31, WM_LBUTTONDOWN);
  EXPECT_EQ(h.desktop.popups(), std::vector<std::string>{"Bindera"});
  std::vector<std::pair<HWND, std::uint32_t>> reached = {{31, WM_RBUTTONDBLCLK}, {31, WM_LBUTTONDOWN}};
  EXPECT_EQ(h.hooks.delivered, reached);
}

TEST_F(Hook, AMessageAfterTheProgramIsGoneTouchesNothing) {
  Children({{41, "MacromediaFlashPlayerActiveX"}});
  {
    shell::Program other{h.system};
    other.Start();
    ASSERT_EQ(shell::flashWnd, 41u);
  }
  EXPECT_EQ(shell::FlashWndProc(41, WM_RBUTTONDOWN, 0, 0), 0);
  EXPECT_TRUE(h.desktop.popups().empty());
}
