#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/window.h"
#include "platform/headless/call_log.h"

namespace headless {

class Player;
class Toolbar;
class Transfer;
class Browser;

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
  // whileOpen runs while the box is shown, as events do under a real one.
  void ExpectBox(components::Answer answer, std::optional<std::string> text = std::nullopt,
                 std::function<void()> whileOpen = {});
  size_t PendingBoxes() const { return expected_.size(); }
  const std::vector<ShownBox>& boxes() const { return shown_; }
  // Acts as the user the next time that window is shown modally. A window
  // still shown when the script returns fails the test.
  void WhenModal(const std::string& window, std::function<void(components::Window&)> script);
  // The same in steps: each runs once what the one before set going has
  // run (posted events, due timers), while the window is still shown.
  void WhenModal(const std::string& window, std::vector<std::function<void(components::Window&)>> steps);
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
  // Makes the player controls instead of the recording player (a test that
  // runs the real stand-in player behind the system).
  std::function<std::unique_ptr<components::MoviePlayer>(const components::ControlDesign&)> makePlayer;

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
  // Runs the next modal script of w, step by step while `ended` stays false.
  void RunModalScript(components::Window& w, const bool& ended);

  std::deque<std::function<void()>> posted_;
  struct ExpectedBox {
    components::Answer answer;
    std::optional<std::string> text;
    std::function<void()> whileOpen;
  };
  std::deque<ExpectedBox> expected_;
  std::vector<ShownBox> shown_;
  std::map<std::string, std::deque<std::vector<std::function<void(components::Window&)>>>> modalScripts_;
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

}  // namespace headless
