#include "platform/headless/desktop.h"

#include <algorithm>

#include "platform/headless/browser.h"
#include "platform/headless/harness.h"
#include "platform/headless/player.h"
#include "platform/headless/toolbar.h"
#include "platform/headless/transfer.h"
#include "platform/headless/window_peer.h"

namespace headless {

using namespace components;

Desktop::Desktop() = default;
Desktop::~Desktop() = default;

std::unique_ptr<WindowPeer> Desktop::CreatePeer(Window& window) {
  Log(window.name() + ".Load()");
  return std::make_unique<Peer>(*this, window, nextHandle_ += 0x10);
}

Answer Desktop::MsgBox(const MessageBox& box) {
  std::string caption = box.caption.empty() ? AppTitle() : box.caption;
  Log("MsgBox(" + box.text + ")");
  if (expected_.empty()) throw HarnessFailure("unexpected message box: \"" + box.text + "\"");
  auto [answer, text, whileOpen] = expected_.front();
  expected_.pop_front();
  if (text && *text != box.text)
    throw HarnessFailure("message box \"" + box.text + "\" where \"" + *text + "\" was expected");
  std::vector<Answer> allowed;
  switch (box.buttons) {
    case Buttons::OK: allowed = {Answer::OK}; break;
    case Buttons::OKCancel: allowed = {Answer::OK, Answer::Cancel}; break;
    case Buttons::YesNo: allowed = {Answer::Yes, Answer::No}; break;
    case Buttons::YesNoCancel: allowed = {Answer::Yes, Answer::No, Answer::Cancel}; break;
    case Buttons::RetryCancel: allowed = {Answer::Retry, Answer::Cancel}; break;
  }
  if (std::find(allowed.begin(), allowed.end(), answer) == allowed.end())
    throw HarnessFailure("message box \"" + box.text + "\" has no button for the queued answer");
  shown_.push_back({box, caption, answer});
  if (whileOpen) whileOpen();
  return answer;
}

void Desktop::PostEvent(std::function<void()> fn) { posted_.push_back(std::move(fn)); }

void Desktop::PostDelayedEvent(int milliseconds, std::function<void()> fn) {
  timers_.push_back({nullptr, "", now_ + std::max(0, milliseconds), ++seq_, std::move(fn)});
}

bool Desktop::RunPosted() {
  if (posted_.empty()) return false;
  auto fn = std::move(posted_.front());
  posted_.pop_front();
  RunHandler(fn);
  return true;
}

void Desktop::DoEvents() {
  // Each round of waiting lets a millisecond pass.
  ++now_;
  bool ran = false;
  for (int i = 0; i < 100000 && RunPosted(); ++i) ran = true;
  while (RunOneTimer(now_)) ran = true;
  if (ran) {
    idleRounds_ = 0;
  } else if (++idleRounds_ > 1000000) {
    throw HarnessFailure("the system waits for an event that never comes");
  }
}

void Desktop::Pump() {
  for (int i = 0; i < 100000; ++i) {
    if (RunPosted()) continue;
    if (RunOneTimer(now_)) continue;
    return;
  }
  throw HarnessFailure("events never settle");
}

void Desktop::Advance(int milliseconds) {
  long until = now_ + milliseconds;
  Pump();
  while (RunOneTimer(until)) Pump();
  now_ = until;
  Pump();
}

void Desktop::End(int exitCode) {
  Log("End(" + std::to_string(exitCode) + ")");
  throw ProgramEnded{exitCode};
}

void Desktop::Quit(int exitCode) {
  Log("Quit(" + std::to_string(exitCode) + ")");
  quit_ = exitCode;
}

void Desktop::ExpectBox(Answer answer, std::optional<std::string> text, std::function<void()> whileOpen) {
  expected_.push_back({answer, std::move(text), std::move(whileOpen)});
}

void Desktop::WhenModal(const std::string& window, std::function<void(Window&)> script) {
  modalScripts_[window].push_back({std::move(script)});
}

void Desktop::WhenModal(const std::string& window, std::vector<std::function<void(Window&)>> steps) {
  modalScripts_[window].push_back(std::move(steps));
}

void Desktop::ChoosePopup(const std::string& menu, const std::string& item) {
  popupChoices_[menu].push_back(item);
}

void Desktop::RunModalScript(Window& w, const bool& ended) {
  auto& q = modalScripts_[w.name()];
  if (q.empty()) throw HarnessFailure("window " + w.name() + " shown modally with no script to act in it");
  auto steps = std::move(q.front());
  q.pop_front();
  for (size_t i = 0; i < steps.size(); ++i) {
    if (ended) throw HarnessFailure("window " + w.name() + " closed before its script's last step");
    if (i > 0) Pump();
    steps[i](w);
  }
}

std::vector<std::string> Desktop::Calls(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& e : log_)
    if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
  return out;
}

Window* Desktop::FindWindow(const std::string& name) {
  for (Peer* p : peers_)
    if (p->window().name() == name) return &p->window();
  return nullptr;
}

Window* Desktop::FindWindow(HWND handle) {
  for (Peer* p : peers_)
    if (p->Handle() == handle) return &p->window();
  return nullptr;
}

namespace {
template <typename T, typename U>
T& As(U& u, const std::string& what) {
  auto* t = dynamic_cast<T*>(&u);
  if (!t) throw HarnessFailure(what + " is not a headless component");
  return *t;
}
}  // namespace

Player& Desktop::PlayerOf(Window& w, const std::string& c) { return As<Player>(w.control(c).Player(), c); }
Toolbar& Desktop::ToolbarOf(Window& w, const std::string& c) {
  return As<Toolbar>(w.control(c).ToolbarComponent(), c);
}
Transfer& Desktop::TransferOf(Window& w, const std::string& c) {
  return As<Transfer>(w.control(c).TransferComponent(), c);
}
Browser& Desktop::BrowserOf(Window& w, const std::string& c) {
  return As<Browser>(w.control(c).Browser(), c);
}

void Desktop::ScheduleTimer(Window& w, Control& c) {
  CancelTimers(w, c.name());
  if (c.Enabled() && c.Interval() > 0)
    timers_.push_back({&w, c.name(), now_ + c.Interval(), ++seq_, nullptr});
}

void Desktop::CancelTimers(Window& w, const std::string& name) {
  std::erase_if(timers_,
                [&](const TimerEntry& t) { return t.window == &w && (name.empty() || t.name == name); });
}

bool Desktop::RunOneTimer(long until) {
  if (timers_.empty()) return false;
  auto it = std::min_element(timers_.begin(), timers_.end(), [](const TimerEntry& a, const TimerEntry& b) {
    return a.due != b.due ? a.due < b.due : a.seq < b.seq;
  });
  if (until >= 0 && it->due > until) return false;
  TimerEntry t = *it;
  now_ = std::max(now_, t.due);
  if (!t.window) {
    timers_.erase(it);
    RunHandler(t.once);
    return true;
  }
  Control& c = t.window->control(t.name);
  it->due += c.Interval();
  it->seq = ++seq_;
  t.window->FireTimer(t.name);
  return true;
}

}  // namespace headless
