// The main window: its design, its layout in each state, and the orderly ways out.
#include <vector>

#include "components/errors.h"
#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "shell/window_hook.h"

namespace shell {

using namespace components;

namespace {

ToolbarDesign ToolbarButtons() {
  ToolbarDesign t;
  auto add = [&](const char* key, const char* tip, const char* shortcut, bool enabled = true,
                 bool visible = true) {
    t.buttons.push_back({key, tip, enabled, visible, shortcut});
  };
  // The pairs share a key: only one of each is shown at a time.
  add("Index", "目錄", "Ctrl+T");
  add("player", "撥放導讀", "Ctrl+P", false);
  add("zoomIn", "放大", "Ctrl+=");
  add("zoomOut", "縮小", "Ctrl+-");
  add("singlePage", "單頁模式", "Ctrl+1");
  add("doublePage", "雙頁模式", "Ctrl+2");
  add("Note", "註解", "Ctrl+N");
  add("bookmark", "書籤", "Ctrl+B");
  add("mute", "靜音", "Ctrl+M");
  add("soundOn", "靜音", "Ctrl+M", true, false);
  add("transfer", "移轉", "Ctrl+E", false);
  add("regionLine", "標示線", "Ctrl+L");
  add("regionLine2", "標示線", "Ctrl+L");
  add("Discuss", "討論", "Ctrl+D");
  add("Help", "說明", "F1");
  add("Buy", "購買", "Ctrl+U", false);
  return t;
}

MenuDesign Menu(const char* name, const char* caption, std::vector<MenuDesign> items = {},
                bool visible = true) {
  return MenuDesign{name, caption, visible, std::move(items)};
}

}  // namespace

WindowDesign MainWindowDesign() {
  WindowDesign d;
  d.name = "Form1";
  d.caption = kBookTitle;
  d.clientWidth = 11400;
  d.clientHeight = 8235;
  d.border = BorderStyle::Sizable;
  d.startPosition = StartPosition::CenterScreen;

  ControlDesign player;
  player.name = "ShockwaveFlash1";
  player.kind = ControlKind::Player;
  player.left = 0;
  player.top = -100;  // its top edge lies above the client area
  player.width = 11405;
  player.height = 8500;
  d.controls.push_back(player);

  ControlDesign toolbar;
  toolbar.name = "asxToolbar1";
  toolbar.kind = ControlKind::Toolbar;
  toolbar.left = 0;
  toolbar.top = 0;
  toolbar.width = 8295;
  toolbar.height = 570;
  toolbar.toolbar = ToolbarButtons();
  d.controls.push_back(toolbar);

  ControlDesign inet;
  inet.name = "Inet1";
  inet.kind = ControlKind::Transfer;
  inet.visible = false;
  d.controls.push_back(inet);

  // No menu bar: every top-level menu is hidden and only ever pops up.
  d.menus = {
      Menu("Bindera", "Bindera", {Menu("About", "關於翻頁電子書"), Menu("close", "關閉")}, false),
      Menu("singlePages", "singlePage", {Menu("leftSingle", "左頁"), Menu("rightSingle", "右頁")}, false),
      Menu("Notes1", "Note",
           {Menu("addNotes1", "新增註解", {Menu("leftNote", "左頁"), Menu("rightNote", "右頁")}),
            Menu("noteAdmin1", "註解管理")},
           false),
      Menu("Notes2", "Note", {Menu("addNotes2", "新增註解"), Menu("noteAdmin2", "註解管理")}, false),
      Menu("Bookmark1", "Bookmark",
           {Menu("addBookmark1", "新增書籤", {Menu("leftBookmark", "左頁"), Menu("rightBookmark", "右頁")}),
            Menu("bookmarkAdmin1", "書籤管理")},
           false),
      Menu("Bookmark2", "Bookmark", {Menu("addBookmark2", "新增書籤"), Menu("bookmarkAdmin2", "書籤管理")},
           false),
  };
  return d;
}

void Program::Resize() {
  Window& w = *main_;
  WindowState state = w.State();
  if (state == WindowState::Maximized) {
    // Single precision, as the layout constants are.
    float width = static_cast<float>(w.Width());
    Player().Width(width - width * 0.01f);
    float height = static_cast<float>(w.Height());
    Player().Height(height - height * 0.01f);
    ToolbarControl().Height(650);
  } else if (state == WindowState::Minimized) {
    // Nothing to lay out.
  } else {
    w.SetWidth(11520);
    w.SetHeight(8640);
    Player().Width(11405);
    Player().Height(8500);
    ToolbarControl().Height(485);
  }
}

bool AskToLeave(Desktop& desktop, const std::string& caption) {
  MessageBox box;
  box.text = "確定要離開電子書嗎 ?";
  box.caption = caption;
  box.buttons = Buttons::YesNo;
  box.icon = Icon::Information;
  box.defaultButton = 2;
  return desktop.MsgBox(box) == Answer::Yes;
}

void Program::QueryUnload(bool& cancel) {
  if (AskToLeave(system_.desktop, "離開電子書")) {
    StoreSound();
    cancel = false;
  } else {
    cancel = true;
  }
}

void Program::UnloadShell() {
  main_->Unload();  // already unloading: no effect
  about_->Unload();
  intro_->Unload();
  // With the main window gone the program ends, once the handlers on the
  // stack have returned.
  system_.desktop.Post(lifetime_, [this] { system_.desktop.Quit(0); });
}

void Program::CloseItem() {
  main_->Unload();
  // These run whatever the answer was.
  about_->Unload();
  intro_->Unload();
}

}  // namespace shell
