#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "components/progress_bar.h"
#include "components/toolbar.h"
#include "components/transfer.h"
#include "components/web_browser.h"
#include "components/window_design.h"
#include "components/window_hook.h"

namespace components {

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
// The kinds of close request, with their classic values.
enum class CloseKind { ControlMenu = 0, Code = 1, AppWindows = 2, TaskManager = 3 };

class Window;
class Control;

enum class Property { Text, Caption, Enabled, Visible, Value, List, ListIndex, Interval };

// The platform's side of a window: what is drawn and what the user does.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;

  virtual void Show(WindowPeer* owner, bool modal) = 0;
  // Runs the window's own loop until EndModal.
  virtual void RunModal() = 0;
  virtual void EndModal() = 0;
  virtual void Hide() = 0;
  virtual WindowState State() const = 0;
  virtual void SetState(WindowState state) = 0;
  // A state change the platform has not applied yet (it may do so later,
  // with the new size); false once applied, or once it will not come.
  virtual bool StatePending() const { return false; }
  virtual Twips OuterWidth() const = 0;
  virtual Twips OuterHeight() const = 0;
  virtual void SetOuterSize(Twips width, Twips height) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Shows a menu at the mouse position and returns once it is closed; a
  // chosen item is reported through Window::FireMenu before that.
  virtual void PopupMenu(const std::string& menu) = 0;
  virtual HWND Handle() const = 0;
  // A control was created for the window being loaded (in design order).
  virtual void ControlCreated(Control& control) = 0;
  // The model of a control changed from code.
  virtual void ControlChanged(Control& control, Property property) = 0;

  virtual std::unique_ptr<MoviePlayer> CreatePlayer(const ControlDesign& design) = 0;
  virtual std::unique_ptr<Toolbar> CreateToolbar(const ControlDesign& design) = 0;
  virtual std::unique_ptr<Transfer> CreateTransfer(const ControlDesign& design) = 0;
  virtual std::unique_ptr<ProgressBar> CreateProgressBar(const ControlDesign& design) = 0;
  virtual std::unique_ptr<WebBrowser> CreateBrowser(const ControlDesign& design) = 0;
};

// A control of a window: its properties as the system sees them. Code sets
// them through the setters (the peer is told); the user's actions come in
// through the User* calls (the window's handlers are run).
class Control {
 public:
  Control(Window& window, ControlDesign design);

  const ControlDesign& design() const { return design_; }
  const std::string& name() const { return design_.name; }
  ControlKind kind() const { return design_.kind; }

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& caption) { SetText(caption); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Check boxes: 0 cleared, 1 set; a change runs the click handler.
  int Value() const { return value_; }
  void SetValue(int value);

  // List boxes.
  void AddItem(const std::string& item);
  void RemoveItem(int index);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const;
  const std::vector<std::string>& Items() const { return items_; }
  int ListIndex() const { return listIndex_; }
  // A change of selection runs the click handler.
  void SetListIndex(int index);

  // Timers.
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);

  // The platform component behind a component control.
  MoviePlayer& Player();
  Toolbar& ToolbarComponent();
  Transfer& TransferComponent();
  ProgressBar& ProgressBarComponent();
  WebBrowser& Browser();

  // What the user does. Each is refused (returns false) where the user
  // could not do it: a disabled or hidden control.
  bool UserType(const std::string& text);  // replaces the text, cut at maxLength
  bool UserClick();
  bool UserSelect(int index);

 private:
  friend class Window;
  void Changed(Property property);
  void CreateComponent(WindowPeer& peer);

  Window& window_;
  ControlDesign design_;
  std::string text_;
  bool enabled_;
  bool visible_;
  int value_ = 0;
  std::vector<std::string> items_;
  int listIndex_ = -1;
  int interval_;
  std::unique_ptr<MoviePlayer> player_;
  std::unique_ptr<Toolbar> toolbar_;
  std::unique_ptr<Transfer> transfer_;
  std::unique_ptr<ProgressBar> progress_;
  std::unique_ptr<WebBrowser> browser_;
};

// A window built from its design, with the system's handlers. Lifecycle:
// not loaded -> loaded (hidden) -> shown (modeless or modal) -> unloaded.
class Window {
 public:
  using Handler = std::function<void()>;
  using QueryUnloadHandler = std::function<void(bool& cancel, CloseKind kind)>;

  Window(Desktop& desktop, WindowDesign design);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const WindowDesign& design() const { return design_; }
  const std::string& name() const { return design_.name; }
  Desktop& desktop() { return desktop_; }

  // Handlers, set by the system before the window is loaded.
  void OnLoad(Handler h) { onLoad_ = std::move(h); }
  void OnResize(Handler h) { onResize_ = std::move(h); }
  void OnQueryUnload(QueryUnloadHandler h) { onQueryUnload_ = std::move(h); }
  void OnUnload(Handler h) { onUnload_ = std::move(h); }
  // A control, timer or menu item that the design does not have is a typo:
  // std::invalid_argument, not a handler that never runs.
  void OnClick(const std::string& control, Handler h);
  void OnChange(const std::string& control, Handler h);
  void OnTimer(const std::string& timer, Handler h);
  void OnMenu(const std::string& item, Handler h);

  // Creates the window and its controls and runs the load handler; nothing
  // happens when it is loaded already.
  void Load();
  // Loads if needed and shows the window without waiting.
  void Show(Window* owner = nullptr);
  // Loads if needed, shows the window and returns once it is hidden or unloaded.
  void ShowModal(Window* owner);
  void Hide();
  // The close request (which may cancel), then the unload handler. Returns
  // true when the window is not loaded afterwards. Never runs twice at once.
  bool Unload(CloseKind kind = CloseKind::Code);

  bool IsLoaded() const { return loaded_; }
  // This load of the window: expires once it unloads or goes, so a wait
  // that holds one of its components can tell it is gone.
  std::weak_ptr<const void> LoadToken() const { return loadToken_; }
  bool IsVisible() const { return visible_; }
  bool IsModal() const { return modalDepth_ > 0; }

  WindowState State();
  void SetState(WindowState state);
  Twips Width();
  Twips Height();
  void SetWidth(Twips width);
  void SetHeight(Twips height);
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  HWND Handle();

  // Referring to a control loads the window first.
  Control& control(const std::string& name);
  bool HasControl(const std::string& name) const;
  std::vector<Control*> Controls();
  void PopupMenu(const std::string& menu);
  WindowPeer* peer() { return peer_.get(); }

  // Called by the peer for what the user or the platform does.
  void UserClose();  // the close box
  void FireResize();
  void FireMenu(const std::string& item);
  void FireTimer(const std::string& timer);
  void FireClick(const std::string& control);
  void FireChange(const std::string& control);

 private:
  void Run(const Handler& h);
  void Fire(std::map<std::string, Handler>& handlers, const std::string& name);
  void EndModalIfRunning();
  void FirstShown();
  // The peer and controls go, or wait in retired_ while a call of the peer
  // (a modal loop, a popup, its close box) is still on the stack.
  void Release();
  // Runs a call of the peer that may unload this window meanwhile.
  template <typename Fn>
  void PeerCall(Fn&& fn);

  Desktop& desktop_;
  WindowDesign design_;
  std::string caption_;
  // Declared before the controls: they go first, their peer after them.
  struct Remains {
    std::unique_ptr<WindowPeer> peer;
    std::vector<std::unique_ptr<Control>> controls;
  };
  std::unique_ptr<WindowPeer> peer_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Remains> retired_;
  int peerCalls_ = 0;
  bool loaded_ = false;
  bool loading_ = false;
  bool unloading_ = false;
  bool visible_ = false;
  bool shown_ = false;
  int modalDepth_ = 0;
  std::shared_ptr<bool> alive_;
  std::shared_ptr<const int> loadToken_;

  Handler onLoad_, onResize_, onUnload_;
  QueryUnloadHandler onQueryUnload_;
  std::map<std::string, Handler> onClick_, onChange_, onTimer_, onMenu_;
};

}  // namespace components
