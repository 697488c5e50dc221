#pragma once

#include <functional>
#include <memory>
#include <string>

namespace components {

class Window;
class WindowPeer;

enum class Buttons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
// Values as the classic message box returns them.
enum class Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBox {
  std::string text;
  std::string caption;  // empty: the application's title
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  int defaultButton = 1;  // 1-based position among the buttons
};

// Thrown by a desktop that cannot really end the process (the headless one)
// to unwind everything at once. Not a std::exception: nothing in the system
// catches it.
struct ProgramEnded {
  int exitCode;
};

// Whoever events are posted on behalf of holds one: what it posted is
// dropped, not run, once it is gone. A copy is a new owner.
class Lifetime {
 public:
  Lifetime() = default;
  Lifetime(const Lifetime&) {}
  Lifetime& operator=(const Lifetime&) { return *this; }
  std::weak_ptr<const void> token() const { return token_; }

 private:
  std::shared_ptr<const int> token_ = std::make_shared<const int>(0);
};

// The desktop: windows, message boxes, the event loop and the program's end.
class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual std::unique_ptr<WindowPeer> CreatePeer(Window& window) = 0;
  virtual Answer MsgBox(const MessageBox& box) = 0;
  // Lets pending events run, then returns.
  virtual void DoEvents() = 0;
  // Lets pending events run; when there were none, sleeps until one comes.
  virtual void WaitForEvents() = 0;
  // Runs fn from the event loop, after the current handler has returned,
  // unless owner is gone by then.
  void Post(const Lifetime& owner, std::function<void()> fn);
  // Runs fn from the event loop once `milliseconds` have passed, unless
  // owner is gone by then.
  void PostDelayed(const Lifetime& owner, int milliseconds, std::function<void()> fn);
  // Ends the program at once: no window runs its closing steps.
  [[noreturn]] virtual void End(int exitCode) = 0;
  // Leaves the main event loop in order.
  virtual void Quit(int exitCode) = 0;

  const std::string& AppTitle() const { return title_; }
  void SetAppTitle(std::string title) { title_ = std::move(title); }

  // Runs an event handler. A failure in it is reported in the standard
  // error box and ends the program with a non-zero status.
  void RunHandler(const std::function<void()>& handler);
  [[noreturn]] void ReportFatal(const std::string& step, const std::string& detail);

 protected:
  // Run fn from the event loop through RunHandler: next, or after `milliseconds`.
  virtual void PostEvent(std::function<void()> fn) = 0;
  virtual void PostDelayedEvent(int milliseconds, std::function<void()> fn) = 0;

 private:
  std::string title_;
};

}  // namespace components
