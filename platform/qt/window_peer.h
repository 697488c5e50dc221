#pragma once

#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "components/desktop.h"
#include "components/window.h"
#include "platform/qt/control_widgets.h"
#include "platform/qt/player_services.h"
#include "platform/qt/window_widgets.h"

class QAction;
class QEventLoop;
class QMenu;

namespace qtdesk {

class WindowWidget;

// A window on Qt: a top-level widget with the widgets of its controls and
// the components it creates, placed at twips / 15 logical pixels.
class WindowPeer : public components::WindowPeer {
 public:
  // `windows`: where its top-level widget is known while it exists;
  // `players`: what the player it creates uses.
  WindowPeer(components::Desktop& desktop, WindowWidgets& windows, components::Window& window,
             PlayerServices players);
  ~WindowPeer() override;

  void Show(components::WindowPeer* owner, bool modal) override;
  void RunModal() override;
  void EndModal() override;
  void Hide() override;
  components::WindowState State() const override;
  void SetState(components::WindowState state) override;
  bool StatePending() const override;
  components::Twips OuterWidth() const override;
  components::Twips OuterHeight() const override;
  void SetOuterSize(components::Twips width, components::Twips height) override;
  void SetCaption(const std::string& caption) override;
  void PopupMenu(const std::string& name) override;
  components::HWND Handle() const override;
  void ControlCreated(components::Control& control) override { controls_.Created(control); }
  void ControlChanged(components::Control& control, components::Property property) override {
    controls_.Changed(control, property);
  }

  std::unique_ptr<components::MoviePlayer> CreatePlayer(const components::ControlDesign& design) override;
  std::unique_ptr<components::Toolbar> CreateToolbar(const components::ControlDesign& design) override;
  std::unique_ptr<components::Transfer> CreateTransfer(const components::ControlDesign& design) override;
  std::unique_ptr<components::ProgressBar> CreateProgressBar(
      const components::ControlDesign& design) override;
  std::unique_ptr<components::WebBrowser> CreateBrowser(const components::ControlDesign& design) override;

 private:
  // The system sees the classic frame whatever the window manager draws, so
  // that the outer size it sets always gives the designed client area.
  components::FrameExtent Frame() const { return components::DefaultFrame(window_.design().border); }
  void PlaceWindow(QWidget* ownerWidget);
  void BuildMenu(QMenu& menu, const components::MenuDesign& design, std::map<QAction*, std::string>& items);

  components::Desktop& desktop_;
  components::Window& window_;
  PlayerServices players_;
  QPointer<WindowWidget> widget_;
  ControlWidgets controls_;
  QEventLoop* loop_ = nullptr;
  bool endRequested_ = false;
  bool placed_ = false;
};

}  // namespace qtdesk
