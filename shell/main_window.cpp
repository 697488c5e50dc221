#include <span>
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

Program::Program(System& system) : system_(system) {
  system_.desktop.SetAppTitle(kBookTitle);
  form1_ = std::make_unique<Window>(system_.desktop, MainWindowDesign());
  form1_->OnLoad([this] { Load(); });
  form1_->OnResize([this] { Resize(); });
  form1_->OnQueryUnload([this](bool& cancel, CloseKind) { QueryUnload(cancel); });
  form1_->OnUnload([this] { UnloadShell(); });
  form1_->OnMenu("close", [this] { CloseItem(); });
  form1_->OnMenu("About", [this] { form2_->Show(); });
  MakeShellWindows();
}

Program::~Program() = default;

void Program::Start() {
  system_.desktop.RunHandler([this] {
    form1_->Load();
    if (form1_->IsLoaded()) form1_->Show();
  });
}

std::string Program::TempMoviePath() {
  // No separator in between: with TEMP=/a/b the file is /a/bK19990317045.
  return system_.environment.Environ("TEMP").value_or("") + kBookCode;
}

std::string Program::ProgramPath(std::initializer_list<std::string> parts) {
  std::string path = system_.environment.ProgramFolder();
  for (const auto& p : parts) path += system_.environment.PathSeparator() + p;
  return path;
}

bool Program::tempMovieExists() { return !system_.files.Dir(TempMoviePath()).empty(); }

// Start-up: the load handling of the main window.
void Program::Load() {
  isDownloadOpen = kFalse;
  isPlaying = kFalse;
  isAnimation = kTrue;

  // The player component reports to whichever subsystem took the commands.
  Player().OnFSCommand([this](const std::string& command, const std::string& args) {
    if (movieCommand_) movieCommand_(command, args);
  });
  ToolbarControl().OnButtonClick([this](int first, const std::string& key) {
    if (toolbarClick_) toolbarClick_(first, key);
  });

  AtStep("尋找播放器視窗", [&] { InstallFlashHook(*this); });

  const std::string path = TempMoviePath();
  if (AtStep("檢查暫存電子書檔案", [&] { return tempMovieExists(); }))
    AtStep("刪除舊的暫存電子書檔案", [&] { system_.files.Kill(path); });

  std::span<const std::uint8_t> movie = AtStep(
      "載入內嵌電子書", [&] { return system_.resources.LoadResData(kMovieResourceId, kMovieResourceType); });

  AtStep("寫入暫存電子書檔案", [&] {
    auto file = system_.files.CreateNew(path);
    file->Write(movie);
    file->Close();
  });

  AtStep("開啟電子書", [&] { Player().Movie(path); });
  AtStep("隱藏工具列", [&] { ToolbarControl().Visible(false); });

  lastRegValue = ReadRegValue(system_.registry, HKEY_LOCAL_MACHINE, BookKey(), "soundOn");

  std::string animation = ProgramPath({"Review", "man.zov"});
  std::string doubled;
  for (char c : animation) {
    if (c == '\\') doubled += '\\';
    doubled += c;
  }

  AtStep("傳送設定給電子書", [&] {
    Player().SetVariable("soundOn", lastRegValue);
    Player().SetVariable("animationFile", doubled);
    Player().TCallLabel("/", lastRegValue == "1" ? "soundOn" : "mute");
  });
}

void Program::Resize() {
  Window& w = *form1_;
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

void Program::StoreSound() {
  std::string sound = Player().GetVariable("soundOn");
  lastRegValue = WriteRegValue(system_.registry, HKEY_LOCAL_MACHINE, BookKey(), "soundOn", sound);
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
  form1_->Unload();  // already unloading: no effect
  form2_->Unload();
  leftForm_->Unload();
  // With the main window gone the program ends, once the handlers on the
  // stack have returned.
  system_.desktop.Post(lifetime_, [this] { system_.desktop.Quit(0); });
}

void Program::CloseItem() {
  form1_->Unload();
  // These run whatever the answer was.
  form2_->Unload();
  leftForm_->Unload();
}

}  // namespace shell
