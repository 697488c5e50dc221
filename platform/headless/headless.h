#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "components/connection.h"
#include "components/desktop.h"
#include "components/environment.h"
#include "components/registry.h"
#include "components/resources.h"
#include "components/window.h"

namespace headless {

class Desktop;

// A check of the test harness itself failed. Not a std::exception, so no
// handler of the system ever takes it for an error of its own.
class HarnessFailure {
 public:
  explicit HarnessFailure(std::string message);
  const char* what() const { return message_.c_str(); }

 private:
  std::string message_;
};

// Every call the system makes on a component, in order: "Form1.ShockwaveFlash1.SetVariable(soundOn, 1)".
using CallLog = std::vector<std::string>;

// The player as a test sees it: records calls, answers GetVariable from what
// the test set (else what the system set), raises FSCommand on request.
class Player : public components::MoviePlayer {
 public:
  Player(Desktop& desktop, std::string id);
  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

  // Test side.
  void Answer(const std::string& variable, const std::string& value) { answers_[variable] = value; }
  void SetFrame(const std::string& frame) { frame_ = frame; }
  // Calls with these names ("TCallLabel", "SetVariable", ...) fail with ComponentError.
  std::set<std::string> failing;
  // Queued, as the movie's own commands are; run by Desktop::Pump.
  void Send(const std::string& command, const std::string& args);
  const std::string& movie() const { return movie_; }
  components::Twips width() const { return width_; }
  components::Twips height() const { return height_; }
  std::string className = "HeadlessPlayer";

 private:
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  std::string movie_;
  components::Lifetime lifetime_;
  std::map<std::string, std::string> answers_, set_;
  std::string frame_ = "1";
  components::Twips width_ = 0, height_ = 0;
};

class ToolbarButton : public components::ToolbarButton {
 public:
  ToolbarButton(Desktop& desktop, std::string id, bool enabled)
      : desktop_(desktop), id_(std::move(id)), enabled_(enabled) {}
  void SetProperty(const std::string& name, bool value) override;
  bool enabled() const { return enabled_; }

 private:
  Desktop& desktop_;
  std::string id_;
  bool enabled_;
};

class Toolbar : public components::Toolbar {
 public:
  Toolbar(Desktop& desktop, std::string id, const components::ToolbarDesign& design);
  void Visible(bool visible) override;
  void Height(components::Twips height) override;
  void ButtonVisible(int button, bool visible) override;
  components::ToolbarButton& Button(int button) override;
  void ButtonRefresh(int button) override;
  void Refresh() override;

  bool visible() const { return visible_; }
  components::Twips height() const { return height_; }
  bool buttonVisible(int button) const;
  bool buttonEnabled(int button) const;
  // The user clicks a button; refused when it or the bar is hidden or disabled.
  bool Click(int button);

 private:
  void Check(int button) const;
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  components::ToolbarDesign design_;
  bool visible_ = true;
  components::Twips height_ = 0;
  std::vector<bool> buttonVisible_;
  std::vector<std::unique_ptr<ToolbarButton>> buttons_;
};

// A transfer control driven by the test: it says what each request answers.
class Transfer : public components::Transfer {
 public:
  Transfer(Desktop& desktop, std::string id) : desktop_(desktop), id_(std::move(id)) {}
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override { return executing_; }
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

  // Test side: finish the running request, reporting these states in order.
  void Finish(std::vector<int> states);
  void SetHeader(const std::string& name, const std::string& value) { headers_[name] = value; }
  void SetBody(std::vector<std::uint8_t> body) {
    body_ = std::move(body);
    read_ = 0;
  }

 private:
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  components::Lifetime lifetime_;
  bool executing_ = false;
  std::map<std::string, std::string> headers_;
  std::vector<std::uint8_t> body_;
  size_t read_ = 0;
};

class ProgressBar : public components::ProgressBar {
 public:
  void SetRange(double min, double max) override { min_ = min, max_ = max; }
  void SetValue(double value) override { value_ = value; }
  double Value() const override { return value_; }

 private:
  double min_ = 0, max_ = 100, value_ = 0;
};

class Browser : public components::WebBrowser {
 public:
  Browser(Desktop& desktop, std::string id) : desktop_(desktop), id_(std::move(id)) {}
  void Navigate(const std::string& path) override;
  const std::string& location() const { return location_; }

 private:
  Desktop& desktop_;
  std::string id_;
  std::string location_;
};

// A message box as it was shown.
struct ShownBox {
  components::MessageBox box;
  std::string caption;  // the caption it carried (the title when none was given)
  components::Answer answer;
};

// A deterministic in-memory desktop. Events posted by components and timer
// ticks run only when the system lets pending events run, or the test pumps.
class Desktop : public components::Desktop {
 public:
  Desktop();
  ~Desktop() override;

  std::unique_ptr<components::WindowPeer> CreatePeer(components::Window& window) override;
  components::Answer MsgBox(const components::MessageBox& box) override;
  void DoEvents() override;
  void WaitForEvents() override { DoEvents(); }
  [[noreturn]] void End(int exitCode) override;
  void Quit(int exitCode) override;

  // ---- the test's side ----
  // The next message box gets this answer; text, when given, must match.
  void ExpectBox(components::Answer answer, std::optional<std::string> text = std::nullopt);
  size_t PendingBoxes() const { return expected_.size(); }
  const std::vector<ShownBox>& boxes() const { return shown_; }
  // Acts as the user the next time that window is shown modally. A window
  // still shown when the script returns fails the test.
  void WhenModal(const std::string& window, std::function<void(components::Window&)> script);
  // The next popup of `menu` chooses `item` (empty: dismissed).
  void ChoosePopup(const std::string& menu, const std::string& item);
  const std::vector<std::string>& popups() const { return popups_; }
  // Runs everything pending: posted events, then timers that are due.
  void Pump();
  // Moves the clock on, running the timers that fall due, in order.
  void Advance(int milliseconds);
  long now() const { return now_; }
  std::optional<int> quitCode() const { return quit_; }

  CallLog& log() { return log_; }
  void Log(const std::string& entry) { log_.push_back(entry); }
  // Log entries that begin with prefix.
  std::vector<std::string> Calls(const std::string& prefix) const;

  // Every window that has a peer now, by name.
  components::Window* FindWindow(const std::string& name);
  components::Window* FindWindow(components::HWND handle);
  Player& PlayerOf(components::Window& w, const std::string& control);
  Toolbar& ToolbarOf(components::Window& w, const std::string& control);
  Transfer& TransferOf(components::Window& w, const std::string& control);
  Browser& BrowserOf(components::Window& w, const std::string& control);

  // Screen size for maximised windows, in twips.
  components::Twips screenWidth = 1920 * 15, screenHeight = 1080 * 15;
  // Window states take effect when events next run, as a real platform
  // applies them, instead of at once.
  bool applyStatesLater = false;

  // Posted for no owner in particular (the test's own events).
  void Post(std::function<void()> fn) { PostEvent(std::move(fn)); }
  void PostDelayed(int milliseconds, std::function<void()> fn) {
    PostDelayedEvent(milliseconds, std::move(fn));
  }
  using components::Desktop::Post;
  using components::Desktop::PostDelayed;

 protected:
  void PostEvent(std::function<void()> fn) override;
  void PostDelayedEvent(int milliseconds, std::function<void()> fn) override;

 private:
  friend class Peer;
  // A window's timer, or (window null) a delayed event.
  struct TimerEntry {
    components::Window* window;
    std::string name;
    long due;
    long seq;
    std::function<void()> once;
  };
  void ScheduleTimer(components::Window& w, components::Control& c);
  void CancelTimers(components::Window& w, const std::string& name = "");
  bool RunOneTimer(long until);
  bool RunPosted();
  void RunModalScript(components::Window& w);

  std::deque<std::function<void()>> posted_;
  std::deque<std::pair<components::Answer, std::optional<std::string>>> expected_;
  std::vector<ShownBox> shown_;
  std::map<std::string, std::deque<std::function<void(components::Window&)>>> modalScripts_;
  std::map<std::string, std::deque<std::string>> popupChoices_;
  std::vector<std::string> popups_;
  std::vector<TimerEntry> timers_;
  long now_ = 0;
  long seq_ = 0;
  int idleRounds_ = 0;
  std::optional<int> quit_;
  CallLog log_;
  std::set<class Peer*> peers_;
  components::HWND nextHandle_ = 0x100;
};

// In-memory registry with the hive's semantics, for tests that need to make
// a call fail at will.
class Registry : public components::Registry {
 public:
  components::LONG RegOpenKeyA(components::HKEY root, const std::string& subKey,
                               components::HKEY* result) override;
  components::LONG RegQueryValueExA(components::HKEY key, const std::string& valueName,
                                    components::DWORD* reserved, components::DWORD* type, std::uint8_t* data,
                                    components::DWORD* dataSize) override;
  components::LONG RegCreateKeyA(components::HKEY root, const std::string& subKey,
                                 components::HKEY* result) override;
  components::LONG RegSetValueExA(components::HKEY key, const std::string& valueName,
                                  components::DWORD reserved, components::DWORD type,
                                  const std::uint8_t* data, components::DWORD dataSize) override;
  components::LONG RegCloseKey(components::HKEY key) override;

  bool writable = true;
  // Stored text of a REG_SZ value, or nullopt.
  std::optional<std::string> Text(const std::string& key, const std::string& name) const;
  void Plant(const std::string& key, const std::string& name, components::DWORD type, std::string bytes);

 private:
  struct Value {
    components::DWORD type;
    std::string bytes;
  };
  static std::string Fold(std::string s);
  std::map<std::string, std::map<std::string, Value>> keys_;
  std::map<components::HKEY, std::string> handles_;
  components::HKEY next_ = 0x2000;
};

class Environment : public components::Environment {
 public:
  std::optional<std::string> Environ(const std::string& name) override;
  std::string ProgramFolder() override { return programFolder; }
  std::map<std::string, std::string> variables;
  std::string programFolder = "/program";
};

class Resources : public components::Resources {
 public:
  std::span<const std::uint8_t> LoadResData(int id, const std::string& type) override;
  std::map<std::pair<std::string, int>, std::vector<std::uint8_t>> table;
};

class Connection : public components::Connection {
 public:
  bool InternetGetConnectedState() override { return connected; }
  bool connected = true;
};

// Child windows are the loaded windows' controls; class names come from
// the headless player (others answer their kind).
class WindowHooks : public components::WindowHooks {
 public:
  explicit WindowHooks(Desktop& desktop) : desktop_(desktop) {}
  std::int32_t EnumChildWindows(components::HWND parent, components::ENUMPROC callback,
                                components::LPARAM extra) override;
  int GetClassNameA(components::HWND window, char* buffer, int maxCount) override;
  std::intptr_t SetWindowLongA(components::HWND window, int index, std::intptr_t newLong) override;
  components::LRESULT CallWindowProcA(std::intptr_t previous, components::HWND window, std::uint32_t message,
                                      components::WPARAM wParam, components::LPARAM lParam) override;

  // Test side: a message arrives at a child window.
  components::LRESULT Deliver(components::HWND window, std::uint32_t message);
  // The child windows of a window (by handle, or by the window's name for
  // windows not loaded yet), in enumeration order, and their class names.
  std::map<components::HWND, std::string> classNames;
  std::map<components::HWND, std::vector<components::HWND>> children;
  std::map<std::string, std::vector<components::HWND>> childrenOf;
  // Messages that reached a window's own procedure.
  std::vector<std::pair<components::HWND, std::uint32_t>> delivered;

 private:
  Desktop& desktop_;
  std::map<components::HWND, std::intptr_t> procs_;
};

}  // namespace headless
