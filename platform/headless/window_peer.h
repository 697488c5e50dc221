#pragma once

#include <optional>
#include <string>

#include "components/errors.h"
#include "components/window.h"
#include "platform/headless/browser.h"
#include "platform/headless/desktop.h"
#include "platform/headless/harness.h"
#include "platform/headless/player.h"
#include "platform/headless/progress_bar.h"
#include "platform/headless/toolbar.h"
#include "platform/headless/transfer.h"

namespace headless {

// A window of the headless desktop: sizes and states in memory, the modal
// loop runs the test's script, popups take the test's choices.
class Peer : public components::WindowPeer {
 public:
  Peer(Desktop& d, components::Window& w, components::HWND h) : d_(d), w_(w), handle_(h) {
    components::FrameExtent f = components::DefaultFrame(w.design().border);
    width_ = w.design().clientWidth + f.width;
    height_ = w.design().clientHeight + f.height;
    d_.peers_.insert(this);
  }
  ~Peer() override {
    d_.CancelTimers(w_);
    d_.peers_.erase(this);
  }

  components::Window& window() { return w_; }

  // Logged with its owner, e.g. "download.ShowModal(Form1)": a dialog shown
  // over the wrong window is a fault the tests must see.
  void Show(components::WindowPeer* owner, bool modal) override {
    shown_ = true;
    std::string ownerName = owner ? static_cast<Peer*>(owner)->w_.name() : "";
    d_.Log(w_.name() + (modal ? ".ShowModal(" : ".Show(") + ownerName + ")");
  }
  void RunModal() override {
    ended_ = false;
    d_.RunModalScript(w_, ended_);
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
  components::WindowState State() const override { return state_; }
  void SetState(components::WindowState s) override {
    if (d_.applyStatesLater) {
      pending_ = s;
      d_.Post(lifetime_, [this] {
        if (!pending_) return;
        components::WindowState s = *pending_;
        pending_.reset();
        Apply(s);
      });
      return;
    }
    Apply(s);
  }
  bool StatePending() const override { return pending_.has_value(); }
  void Apply(components::WindowState s) {
    if (s == state_) return;
    if (state_ == components::WindowState::Normal) {
      normalWidth_ = width_;
      normalHeight_ = height_;
    }
    state_ = s;
    if (s == components::WindowState::Maximized) {
      width_ = d_.screenWidth;
      height_ = d_.screenHeight;
    } else if (s == components::WindowState::Normal) {
      width_ = normalWidth_;
      height_ = normalHeight_;
    }
    w_.FireResize();
  }
  components::Twips OuterWidth() const override { return width_; }
  components::Twips OuterHeight() const override { return height_; }
  void SetOuterSize(components::Twips width, components::Twips height) override {
    if (state_ != components::WindowState::Normal)
      throw components::ComponentError("A window cannot be sized while it is minimised or maximised");
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
  components::HWND Handle() const override { return handle_; }
  void ControlCreated(components::Control& c) override {
    if (c.kind() == components::ControlKind::Timer) d_.ScheduleTimer(w_, c);
  }
  void ControlChanged(components::Control& c, components::Property p) override {
    if (c.kind() == components::ControlKind::Timer &&
        (p == components::Property::Enabled || p == components::Property::Interval))
      d_.ScheduleTimer(w_, c);
  }

  std::unique_ptr<components::MoviePlayer> CreatePlayer(const components::ControlDesign& design) override {
    if (d_.makePlayer) return d_.makePlayer(design);
    return std::make_unique<Player>(d_, w_.name() + "." + design.name);
  }
  std::unique_ptr<components::Toolbar> CreateToolbar(const components::ControlDesign& design) override {
    return std::make_unique<Toolbar>(d_, w_.name() + "." + design.name, design.toolbar);
  }
  std::unique_ptr<components::Transfer> CreateTransfer(const components::ControlDesign& design) override {
    return std::make_unique<Transfer>(d_, w_.name() + "." + design.name);
  }
  std::unique_ptr<components::ProgressBar> CreateProgressBar(const components::ControlDesign&) override {
    return std::make_unique<ProgressBar>();
  }
  std::unique_ptr<components::WebBrowser> CreateBrowser(const components::ControlDesign& design) override {
    return std::make_unique<Browser>(d_, w_.name() + "." + design.name);
  }

 private:
  Desktop& d_;
  components::Window& w_;
  components::HWND handle_;
  bool shown_ = false;
  bool ended_ = false;
  components::WindowState state_ = components::WindowState::Normal;
  std::optional<components::WindowState> pending_;
  components::Twips width_, height_, normalWidth_ = 0, normalHeight_ = 0;
  components::Lifetime lifetime_;
};

}  // namespace headless
