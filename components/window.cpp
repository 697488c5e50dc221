#include "components/window.h"

#include <algorithm>
#include <stdexcept>

#include "components/errors.h"

namespace components {

// ---- Control ------------------------------------------------------------

Control::Control(Window& window, ControlDesign design)
    : window_(window),
      design_(std::move(design)),
      text_(design_.caption),
      enabled_(design_.enabled),
      visible_(design_.visible),
      interval_(design_.interval) {}

void Control::Changed(Property property) {
  if (WindowPeer* peer = window_.peer()) peer->ControlChanged(*this, property);
}

void Control::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed(Property::Text);
  if (design_.kind == ControlKind::TextBox) window_.FireChange(design_.name);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(Property::Enabled);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Property::Visible);
}

void Control::SetValue(int value) {
  if (value == value_) return;
  value_ = value;
  Changed(Property::Value);
  if (design_.kind == ControlKind::CheckBox) window_.FireClick(design_.name);
}

void Control::AddItem(const std::string& item) {
  items_.push_back(item);
  Changed(Property::List);
}

void Control::RemoveItem(int index) {
  if (index < 0 || index >= ListCount()) throw ComponentError("Invalid list index " + std::to_string(index));
  items_.erase(items_.begin() + index);
  listIndex_ = -1;
  Changed(Property::List);
}

void Control::Clear() {
  items_.clear();
  listIndex_ = -1;
  Changed(Property::List);
}

const std::string& Control::List(int index) const {
  if (index < 0 || index >= ListCount()) throw ComponentError("Invalid list index " + std::to_string(index));
  return items_[static_cast<size_t>(index)];
}

void Control::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) throw ComponentError("Invalid list index " + std::to_string(index));
  if (index == listIndex_) return;
  listIndex_ = index;
  Changed(Property::ListIndex);
  if (index >= 0) window_.FireClick(design_.name);
}

void Control::SetInterval(int milliseconds) {
  if (milliseconds < 0) throw ComponentError("Invalid timer interval");
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Changed(Property::Interval);
}

namespace {
template <typename T>
T& Require(const std::unique_ptr<T>& p, const ControlDesign& d, const char* what) {
  if (!p) throw ComponentError("Control " + d.name + " is not a " + what);
  return *p;
}
}  // namespace

MoviePlayer& Control::Player() {
  window_.Load();
  return Require(player_, design_, "movie player");
}
Toolbar& Control::ToolbarComponent() {
  window_.Load();
  return Require(toolbar_, design_, "toolbar");
}
Transfer& Control::TransferComponent() {
  window_.Load();
  return Require(transfer_, design_, "transfer control");
}
ProgressBar& Control::ProgressBarComponent() {
  window_.Load();
  return Require(progress_, design_, "progress bar");
}
WebBrowser& Control::Browser() {
  window_.Load();
  return Require(browser_, design_, "web browser");
}

void Control::CreateComponent(WindowPeer& peer) {
  switch (design_.kind) {
    case ControlKind::Player: player_ = peer.CreatePlayer(design_); break;
    case ControlKind::Toolbar: toolbar_ = peer.CreateToolbar(design_); break;
    case ControlKind::Transfer: transfer_ = peer.CreateTransfer(design_); break;
    case ControlKind::ProgressBar: progress_ = peer.CreateProgressBar(design_); break;
    case ControlKind::Browser: browser_ = peer.CreateBrowser(design_); break;
    default: break;
  }
}

bool Control::UserType(const std::string& text) {
  if (!enabled_ || !visible_ || design_.kind != ControlKind::TextBox) return false;
  std::string t = text;
  if (design_.maxLength > 0) {
    // The limit counts characters, not bytes: cut at a UTF-8 boundary.
    size_t count = 0, i = 0;
    while (i < t.size() && count < static_cast<size_t>(design_.maxLength)) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      ++count;
    }
    t = t.substr(0, std::min(i, t.size()));
    // A line break is CR LF, two characters: never half of one.
    if (t.size() < text.size() && !t.empty() && t.back() == '\r' && text[t.size()] == '\n') t.pop_back();
  }
  SetText(t);
  return true;
}

bool Control::UserClick() {
  if (!enabled_ || !visible_) return false;
  if (design_.kind == ControlKind::CheckBox) {
    SetValue(value_ == 0 ? 1 : 0);
  } else {
    window_.FireClick(design_.name);
  }
  return true;
}

bool Control::UserSelect(int index) {
  if (!enabled_ || !visible_ || design_.kind != ControlKind::ListBox) return false;
  if (index < 0 || index >= ListCount()) return false;
  SetListIndex(index);
  return true;
}

// ---- Window -------------------------------------------------------------

Window::Window(Desktop& desktop, WindowDesign design)
    : desktop_(desktop),
      design_(std::move(design)),
      caption_(design_.caption),
      alive_(std::make_shared<bool>(true)) {}

Window::~Window() {
  *alive_ = false;
  loadToken_.reset();
  if (peer_) {
    peer_->EndModal();
    peer_->Hide();
  }
  controls_.clear();
  peer_.reset();
}

namespace {
void Require(bool found, const WindowDesign& d, const char* what, const std::string& name) {
  if (!found) throw std::invalid_argument("Window " + d.name + " has no " + what + " " + name);
}
}  // namespace

void Window::OnClick(const std::string& control, Handler h) {
  Require(FindControl(design_, control), design_, "control", control);
  onClick_[control] = std::move(h);
}

void Window::OnChange(const std::string& control, Handler h) {
  Require(FindControl(design_, control), design_, "control", control);
  onChange_[control] = std::move(h);
}

void Window::OnTimer(const std::string& timer, Handler h) {
  const ControlDesign* c = FindControl(design_, timer);
  Require(c && c->kind == ControlKind::Timer, design_, "timer", timer);
  onTimer_[timer] = std::move(h);
}

void Window::OnMenu(const std::string& item, Handler h) {
  Require(FindMenu(design_.menus, item), design_, "menu item", item);
  onMenu_[item] = std::move(h);
}

void Window::Run(const Handler& h) {
  if (!h) return;
  desktop_.RunHandler(h);
}

void Window::Fire(std::map<std::string, Handler>& handlers, const std::string& name) {
  auto it = handlers.find(name);
  if (it == handlers.end()) return;
  Handler h = it->second;  // the handler may replace itself
  Run(h);
}

void Window::Load() {
  if (loaded_ || loading_) return;
  loading_ = true;
  loadToken_ = std::make_shared<const int>(0);
  caption_ = design_.caption;
  peer_ = desktop_.CreatePeer(*this);
  for (const auto& d : design_.controls) {
    auto c = std::make_unique<Control>(*this, d);
    c->CreateComponent(*peer_);
    peer_->ControlCreated(*c);
    controls_.push_back(std::move(c));
  }
  loaded_ = true;
  loading_ = false;
  shown_ = false;
  Run(onLoad_);
}

void Window::Show(Window* owner) {
  Load();
  if (!loaded_) return;
  visible_ = true;
  peer_->Show(owner && owner->peer_ ? owner->peer_.get() : nullptr, false);
  FirstShown();
}

void Window::FirstShown() {
  // A window lays itself out when it first appears, as on every resize.
  if (shown_) return;
  shown_ = true;
  FireResize();
}

void Window::ShowModal(Window* owner) {
  Load();
  if (!loaded_) return;
  if (modalDepth_ > 0) throw ComponentError("Window " + name() + " is already shown modally");
  visible_ = true;
  std::shared_ptr<bool> alive = alive_;
  WindowPeer* peer = peer_.get();
  peer->Show(owner && owner->peer_ ? owner->peer_.get() : nullptr, true);
  FirstShown();
  if (!loaded_ || !visible_) return;
  ++modalDepth_;
  PeerCall([&] { peer->RunModal(); });
  if (*alive) --modalDepth_;
}

template <typename Fn>
void Window::PeerCall(Fn&& fn) {
  std::shared_ptr<bool> alive = alive_;
  ++peerCalls_;
  try {
    fn();
  } catch (...) {
    if (*alive && --peerCalls_ == 0) retired_.clear();
    throw;
  }
  if (*alive && --peerCalls_ == 0) retired_.clear();
}

void Window::Release() {
  loadToken_.reset();
  Remains remains{std::move(peer_), std::move(controls_)};
  peer_.reset();
  controls_.clear();
  if (peerCalls_ > 0) retired_.push_back(std::move(remains));
}

void Window::EndModalIfRunning() {
  if (modalDepth_ > 0 && peer_) peer_->EndModal();
}

void Window::Hide() {
  if (!loaded_) return;
  visible_ = false;
  peer_->Hide();
  EndModalIfRunning();
}

bool Window::Unload(CloseKind kind) {
  if (!loaded_) return true;
  if (unloading_) return false;
  unloading_ = true;
  std::shared_ptr<bool> alive = alive_;
  bool cancel = false;
  if (onQueryUnload_) desktop_.RunHandler([&] { onQueryUnload_(cancel, kind); });
  if (!*alive) return true;
  if (cancel) {
    unloading_ = false;
    return false;
  }
  Run(onUnload_);
  if (!*alive) return true;
  loaded_ = false;
  visible_ = false;
  unloading_ = false;
  if (peer_) {
    peer_->Hide();
    EndModalIfRunning();
  }
  Release();
  return true;
}

WindowState Window::State() {
  Load();
  return peer_->State();
}

void Window::SetState(WindowState state) {
  Load();
  peer_->SetState(state);
  // What follows reads the new size: wait until the platform has applied it.
  while (peer_ && peer_->StatePending()) desktop_.WaitForEvents();
}

Twips Window::Width() {
  Load();
  return peer_->OuterWidth();
}

Twips Window::Height() {
  Load();
  return peer_->OuterHeight();
}

void Window::SetWidth(Twips width) {
  Load();
  peer_->SetOuterSize(width, peer_->OuterHeight());
}

void Window::SetHeight(Twips height) {
  Load();
  peer_->SetOuterSize(peer_->OuterWidth(), height);
}

void Window::SetCaption(const std::string& caption) {
  Load();
  caption_ = caption;
  peer_->SetCaption(caption);
}

HWND Window::Handle() {
  Load();
  return peer_->Handle();
}

Control& Window::control(const std::string& name) {
  Load();
  for (auto& c : controls_)
    if (c->name() == name) return *c;
  throw ComponentError("Window " + design_.name + " has no control " + name);
}

bool Window::HasControl(const std::string& name) const { return FindControl(design_, name) != nullptr; }

std::vector<Control*> Window::Controls() {
  std::vector<Control*> out;
  for (auto& c : controls_) out.push_back(c.get());
  return out;
}

void Window::PopupMenu(const std::string& menu) {
  Load();
  if (!FindMenu(design_.menus, menu)) throw ComponentError("Window " + name() + " has no menu " + menu);
  WindowPeer* peer = peer_.get();
  PeerCall([&] { peer->PopupMenu(menu); });
}

void Window::UserClose() {
  PeerCall([this] { desktop_.RunHandler([this] { Unload(CloseKind::ControlMenu); }); });
}

void Window::FireResize() {
  if (loaded_) Run(onResize_);
}
void Window::FireMenu(const std::string& item) { Fire(onMenu_, item); }
void Window::FireTimer(const std::string& timer) { Fire(onTimer_, timer); }
void Window::FireClick(const std::string& control) { Fire(onClick_, control); }
void Window::FireChange(const std::string& control) { Fire(onChange_, control); }

}  // namespace components
