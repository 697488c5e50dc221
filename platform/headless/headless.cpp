#include "platform/headless/headless.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "components/errors.h"

namespace headless {

using namespace components;

HarnessFailure::HarnessFailure(std::string message) : message_(std::move(message)) {
  // Not a std::exception: the test runner cannot print it, so say it here.
  std::fprintf(stderr, "headless harness: %s\n", message_.c_str());
}

namespace {
std::string Num(double v) {
  std::string s = std::to_string(v);
  s.erase(s.find_last_not_of('0') + 1);
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}
}  // namespace

// ---- Player -------------------------------------------------------------

Player::Player(Desktop& desktop, std::string id) : desktop_(desktop), id_(std::move(id)) {}
void Player::Log(const std::string& s) {
  desktop_.Log(id_ + "." + s);
  std::string op = s.substr(0, s.find('('));
  if (failing.count(op)) throw ComponentError("the player refused " + op);
}
void Player::Movie(const std::string& path) {
  movie_ = path;
  Log("Movie(" + path + ")");
}
void Player::SetVariable(const std::string& name, const std::string& value) {
  set_[name] = value;
  Log("SetVariable(" + name + ", " + value + ")");
}
std::string Player::GetVariable(const std::string& name) {
  Log("GetVariable(" + name + ")");
  if (auto it = answers_.find(name); it != answers_.end()) return it->second;
  if (auto it = set_.find(name); it != set_.end()) return it->second;
  return "";
}
void Player::TCallLabel(const std::string& target, const std::string& label) {
  Log("TCallLabel(" + target + ", " + label + ")");
}
std::string Player::TGetProperty(const std::string& target, int index) {
  Log("TGetProperty(" + target + ", " + std::to_string(index) + ")");
  return target == "/" && index == 4 ? frame_ : "";
}
void Player::Width(Twips width) {
  width_ = width;
  Log("Width(" + Num(width) + ")");
}
void Player::Height(Twips height) {
  height_ = height;
  Log("Height(" + Num(height) + ")");
}
void Player::Send(const std::string& command, const std::string& args) {
  desktop_.Post(lifetime_, [this, command, args] { RaiseFSCommand(command, args); });
}

// ---- Toolbar ------------------------------------------------------------

void ToolbarButton::SetProperty(const std::string& name, bool value) {
  if (name != "Enabled") throw ComponentError("toolbar button has no property " + name);
  enabled_ = value;
  desktop_.Log(id_ + ".Enabled(" + (value ? "true" : "false") + ")");
}

Toolbar::Toolbar(Desktop& desktop, std::string id, const ToolbarDesign& design)
    : desktop_(desktop), id_(std::move(id)), design_(design) {
  for (size_t i = 0; i < design_.buttons.size(); ++i) {
    buttonVisible_.push_back(design_.buttons[i].visible);
    buttons_.push_back(std::make_unique<ToolbarButton>(
        desktop_, id_ + ".Button(" + std::to_string(i + 1) + ")", design_.buttons[i].enabled));
  }
}
void Toolbar::Log(const std::string& s) { desktop_.Log(id_ + "." + s); }
void Toolbar::Check(int button) const {
  if (button < 1 || button > static_cast<int>(buttons_.size()))
    throw ComponentError("toolbar has no button " + std::to_string(button));
}
void Toolbar::Visible(bool visible) {
  visible_ = visible;
  Log(std::string("Visible(") + (visible ? "true" : "false") + ")");
}
void Toolbar::Height(Twips height) {
  height_ = height;
  Log("Height(" + Num(height) + ")");
}
void Toolbar::ButtonVisible(int button, bool visible) {
  Check(button);
  buttonVisible_[static_cast<size_t>(button - 1)] = visible;
  Log("ButtonVisible(" + std::to_string(button) + ", " + (visible ? "true" : "false") + ")");
}
components::ToolbarButton& Toolbar::Button(int button) {
  Check(button);
  return *buttons_[static_cast<size_t>(button - 1)];
}
void Toolbar::ButtonRefresh(int button) {
  Check(button);
  Log("ButtonRefresh(" + std::to_string(button) + ")");
}
void Toolbar::Refresh() { Log("Refresh()"); }
bool Toolbar::buttonVisible(int button) const {
  Check(button);
  return buttonVisible_[static_cast<size_t>(button - 1)];
}
bool Toolbar::buttonEnabled(int button) const {
  Check(button);
  return buttons_[static_cast<size_t>(button - 1)]->enabled();
}
bool Toolbar::Click(int button) {
  if (!visible_ || !buttonVisible(button) || !buttonEnabled(button)) return false;
  std::string key = design_.buttons[static_cast<size_t>(button - 1)].key;
  desktop_.RunHandler([&] { RaiseButtonClick(0, key); });
  return true;
}

// ---- Transfer -----------------------------------------------------------

void Transfer::Log(const std::string& s) { desktop_.Log(id_ + "." + s); }
void Transfer::Execute(const std::string& url, const std::string& operation) {
  if (executing_) throw ComponentError("Still executing last request");
  executing_ = true;
  Log("Execute(" + url + ", " + operation + ")");
}
std::string Transfer::GetHeader(const std::string& name) {
  Log("GetHeader(" + name + ")");
  auto it = headers_.find(name);
  return it == headers_.end() ? "" : it->second;
}
std::vector<std::uint8_t> Transfer::GetChunk(int size, int dataType) {
  Log("GetChunk(" + std::to_string(size) + ", " + std::to_string(dataType) + ")");
  size_t n = std::min(body_.size() - read_, static_cast<size_t>(std::max(size, 0)));
  std::vector<std::uint8_t> out(body_.begin() + static_cast<long>(read_),
                                body_.begin() + static_cast<long>(read_ + n));
  read_ += n;
  return out;
}
void Transfer::Cancel() {
  executing_ = false;
  read_ = body_.size();
  Log("Cancel()");
}
void Transfer::Finish(std::vector<int> states) {
  desktop_.Post(lifetime_, [this, states] {
    executing_ = false;
    for (int s : states) RaiseStateChanged(s);
  });
}

void Browser::Navigate(const std::string& path) {
  location_ = path;
  desktop_.Log(id_ + ".Navigate(" + path + ")");
}

// ---- Windows ------------------------------------------------------------

class Peer : public WindowPeer {
 public:
  Peer(Desktop& d, Window& w, HWND h) : d_(d), w_(w), handle_(h) {
    FrameExtent f = DefaultFrame(w.design().border);
    width_ = w.design().clientWidth + f.width;
    height_ = w.design().clientHeight + f.height;
    d_.peers_.insert(this);
  }
  ~Peer() override {
    d_.CancelTimers(w_);
    d_.peers_.erase(this);
  }

  Window& window() { return w_; }

  void Show(WindowPeer*, bool modal) override {
    shown_ = true;
    d_.Log(w_.name() + (modal ? ".ShowModal()" : ".Show()"));
  }
  void RunModal() override {
    ended_ = false;
    d_.RunModalScript(w_);
    // Whatever the script set going (a timer, a posted event) may still end it.
    for (int round = 0; round < 1000 && !ended_; ++round) {
      d_.Pump();
      if (ended_) break;
      if (!d_.RunOneTimer(-1)) break;
    }
    if (!ended_) throw HarnessFailure("window " + w_.name() + " is still shown modally after its script");
  }
  void EndModal() override { ended_ = true; }
  void Hide() override {
    if (shown_) d_.Log(w_.name() + ".Hide()");
    shown_ = false;
  }
  WindowState State() const override { return state_; }
  void SetState(WindowState s) override {
    if (d_.applyStatesLater) {
      pending_ = s;
      d_.Post(lifetime_, [this] {
        if (!pending_) return;
        WindowState s = *pending_;
        pending_.reset();
        Apply(s);
      });
      return;
    }
    Apply(s);
  }
  bool StatePending() const override { return pending_.has_value(); }
  void Apply(WindowState s) {
    if (s == state_) return;
    if (state_ == WindowState::Normal) {
      normalWidth_ = width_;
      normalHeight_ = height_;
    }
    state_ = s;
    if (s == WindowState::Maximized) {
      width_ = d_.screenWidth;
      height_ = d_.screenHeight;
    } else if (s == WindowState::Normal) {
      width_ = normalWidth_;
      height_ = normalHeight_;
    }
    w_.FireResize();
  }
  Twips OuterWidth() const override { return width_; }
  Twips OuterHeight() const override { return height_; }
  void SetOuterSize(Twips width, Twips height) override {
    if (state_ != WindowState::Normal)
      throw ComponentError("A window cannot be sized while it is minimised or maximised");
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    w_.FireResize();
  }
  void SetCaption(const std::string&) override {}
  void PopupMenu(const std::string& menu) override {
    d_.popups_.push_back(menu);
    d_.Log(w_.name() + ".PopupMenu(" + menu + ")");
    auto& q = d_.popupChoices_[menu];
    if (q.empty()) return;
    std::string item = q.front();
    q.pop_front();
    if (!item.empty()) w_.FireMenu(item);
  }
  HWND Handle() const override { return handle_; }
  void ControlCreated(Control& c) override {
    if (c.kind() == ControlKind::Timer) d_.ScheduleTimer(w_, c);
  }
  void ControlChanged(Control& c, Property p) override {
    if (c.kind() == ControlKind::Timer && (p == Property::Enabled || p == Property::Interval))
      d_.ScheduleTimer(w_, c);
  }

  std::unique_ptr<MoviePlayer> CreatePlayer(const ControlDesign& design) override {
    return std::make_unique<Player>(d_, w_.name() + "." + design.name);
  }
  std::unique_ptr<components::Toolbar> CreateToolbar(const ControlDesign& design) override {
    return std::make_unique<Toolbar>(d_, w_.name() + "." + design.name, design.toolbar);
  }
  std::unique_ptr<components::Transfer> CreateTransfer(const ControlDesign& design) override {
    return std::make_unique<Transfer>(d_, w_.name() + "." + design.name);
  }
  std::unique_ptr<components::ProgressBar> CreateProgressBar(const ControlDesign&) override {
    return std::make_unique<ProgressBar>();
  }
  std::unique_ptr<WebBrowser> CreateBrowser(const ControlDesign& design) override {
    return std::make_unique<Browser>(d_, w_.name() + "." + design.name);
  }

 private:
  Desktop& d_;
  Window& w_;
  HWND handle_;
  bool shown_ = false;
  bool ended_ = false;
  WindowState state_ = WindowState::Normal;
  std::optional<WindowState> pending_;
  Twips width_, height_, normalWidth_ = 0, normalHeight_ = 0;
  Lifetime lifetime_;
};

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
  auto [answer, text] = expected_.front();
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

void Desktop::ExpectBox(Answer answer, std::optional<std::string> text) {
  expected_.emplace_back(answer, std::move(text));
}

void Desktop::WhenModal(const std::string& window, std::function<void(Window&)> script) {
  modalScripts_[window].push_back(std::move(script));
}

void Desktop::ChoosePopup(const std::string& menu, const std::string& item) {
  popupChoices_[menu].push_back(item);
}

void Desktop::RunModalScript(Window& w) {
  auto& q = modalScripts_[w.name()];
  if (q.empty()) throw HarnessFailure("window " + w.name() + " shown modally with no script to act in it");
  auto script = std::move(q.front());
  q.pop_front();
  script(w);
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

// ---- Registry -----------------------------------------------------------

std::string Registry::Fold(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

LONG Registry::RegOpenKeyA(HKEY root, const std::string& subKey, HKEY* result) {
  *result = 0;
  if (root != HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
  std::string k = Fold(subKey);
  if (!keys_.count(k)) return ERROR_FILE_NOT_FOUND;
  *result = next_++;
  handles_[*result] = k;
  return ERROR_SUCCESS;
}

LONG Registry::RegQueryValueExA(HKEY key, const std::string& valueName, DWORD*, DWORD* type,
                                std::uint8_t* data, DWORD* dataSize) {
  auto h = handles_.find(key);
  if (h == handles_.end()) return ERROR_INVALID_HANDLE;
  auto& values = keys_[h->second];
  auto v = values.find(Fold(valueName));
  if (v == values.end()) return ERROR_FILE_NOT_FOUND;
  if (type) *type = v->second.type;
  DWORD size = static_cast<DWORD>(v->second.bytes.size());
  if (!data) {
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
  }
  if (*dataSize < size) {
    *dataSize = size;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, v->second.bytes.data(), size);
  *dataSize = size;
  return ERROR_SUCCESS;
}

LONG Registry::RegCreateKeyA(HKEY root, const std::string& subKey, HKEY* result) {
  *result = 0;
  if (root != HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
  if (!writable) return ERROR_ACCESS_DENIED;
  std::string k = Fold(subKey);
  keys_[k];
  *result = next_++;
  handles_[*result] = k;
  return ERROR_SUCCESS;
}

LONG Registry::RegSetValueExA(HKEY key, const std::string& valueName, DWORD, DWORD type,
                              const std::uint8_t* data, DWORD dataSize) {
  auto h = handles_.find(key);
  if (h == handles_.end()) return ERROR_INVALID_HANDLE;
  if (!writable) return ERROR_ACCESS_DENIED;
  keys_[h->second][Fold(valueName)] = {type, std::string(reinterpret_cast<const char*>(data), dataSize)};
  return ERROR_SUCCESS;
}

LONG Registry::RegCloseKey(HKEY key) { return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

std::optional<std::string> Registry::Text(const std::string& key, const std::string& name) const {
  auto k = keys_.find(Fold(key));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(Fold(name));
  if (v == k->second.end() || v->second.type != REG_SZ) return std::nullopt;
  return v->second.bytes;
}

void Registry::Plant(const std::string& key, const std::string& name, DWORD type, std::string bytes) {
  keys_[Fold(key)][Fold(name)] = {type, std::move(bytes)};
}

// ---- Environment, resources, hooks ----------------------------------------

std::optional<std::string> Environment::Environ(const std::string& name) {
  auto it = variables.find(name);
  if (it == variables.end()) return std::nullopt;
  return it->second;
}

std::span<const std::uint8_t> Resources::LoadResData(int id, const std::string& type) {
  auto it = table.find({type, id});
  if (it == table.end()) throw ComponentError("resource " + type + " " + std::to_string(id) + " not found");
  return it->second;
}

std::int32_t WindowHooks::EnumChildWindows(HWND parent, ENUMPROC callback, LPARAM extra) {
  // Depth first: a window's descendants follow it.
  std::function<bool(const std::vector<HWND>&)> walk = [&](const std::vector<HWND>& kids) {
    for (HWND child : kids) {
      if (!callback(child, extra)) return false;
      if (auto c = children.find(child); c != children.end() && !walk(c->second)) return false;
    }
    return true;
  };
  if (auto c = children.find(parent); c != children.end()) {
    walk(c->second);
  } else if (Window* w = desktop_.FindWindow(parent)) {
    if (auto n = childrenOf.find(w->name()); n != childrenOf.end()) walk(n->second);
  }
  return 1;
}

int WindowHooks::GetClassNameA(HWND window, char* buffer, int maxCount) {
  if (maxCount <= 0) return 0;
  auto it = classNames.find(window);
  std::string name = it == classNames.end() ? "" : it->second;
  int n = std::min(static_cast<int>(name.size()), maxCount - 1);
  std::memcpy(buffer, name.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

namespace {
LRESULT DefaultProc(HWND, std::uint32_t, WPARAM, LPARAM) { return 0; }
}  // namespace

std::intptr_t WindowHooks::SetWindowLongA(HWND window, int index, std::intptr_t newLong) {
  if (index != GWL_WNDPROC) return 0;
  auto it = procs_.find(window);
  std::intptr_t old = it == procs_.end() ? reinterpret_cast<std::intptr_t>(&DefaultProc) : it->second;
  procs_[window] = newLong;
  desktop_.Log("SetWindowLongA(" + std::to_string(window) + ")");
  return old;
}

LRESULT WindowHooks::CallWindowProcA(std::intptr_t previous, HWND window, std::uint32_t message,
                                     WPARAM wParam, LPARAM lParam) {
  if (previous == reinterpret_cast<std::intptr_t>(&DefaultProc)) {
    delivered.emplace_back(window, message);
    return 0;
  }
  return reinterpret_cast<WNDPROC>(previous)(window, message, wParam, lParam);
}

LRESULT WindowHooks::Deliver(HWND window, std::uint32_t message) {
  auto it = procs_.find(window);
  if (it == procs_.end()) {
    delivered.emplace_back(window, message);
    return 0;
  }
  return reinterpret_cast<WNDPROC>(it->second)(window, message, 0, 0);
}

}  // namespace headless
