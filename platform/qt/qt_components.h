#pragma once

#include <QByteArray>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "components/progress_bar.h"
#include "components/toolbar.h"
#include "components/transfer.h"
#include "components/web_browser.h"
#include "components/window_design.h"
#include "platform/qt/qt_player.h"
#include "platform/qt/transfer_backend.h"
#include "player/book_player.h"

class QProgressBar;
class QTextBrowser;
class QToolButton;

namespace qtdesk {

// The player control: the stand-in player, drawn by a widget of its window.
class Player : public components::MoviePlayer {
 public:
  Player(components::Desktop& desktop, player::LocalStorage* storage, player::ReadAhead* ahead,
         const PictureStore* store, QWidget* parent, const components::ControlDesign& design);
  ~Player() override;
  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

  player::BookPlayer& book() { return *book_; }
  QWidget* widget() { return widget_; }

 private:
  std::unique_ptr<player::BookPlayer> book_;
  QPointer<PlayerWidget> widget_;
  components::Twips width_, height_;
};

class ToolbarWidget;

class Toolbar : public components::Toolbar {
 public:
  Toolbar(components::Desktop& desktop, QWidget* parent, const components::ControlDesign& design);
  ~Toolbar() override;
  void Visible(bool visible) override;
  void Height(components::Twips height) override;
  void ButtonVisible(int button, bool visible) override;
  components::ToolbarButton& Button(int button) override;
  void ButtonRefresh(int button) override;
  void Refresh() override;

  QWidget* widget();
  // A button is clicked (by the user or a test): the event carries its key.
  void Clicked(int button);
  // Whether the reader could click the button now (bar and button shown, enabled).
  bool Clickable(int button) const;

 private:
  void Build();
  void Check(int button) const;
  QToolButton* At(int button);
  components::Desktop& desktop_;
  components::ToolbarDesign design_;
  QPointer<QWidget> widget_;
  std::vector<bool> buttonVisible_;
  std::vector<QPointer<QToolButton>> buttons_;
  std::vector<std::unique_ptr<components::ToolbarButton>> objects_;
};

// HTTP requests, reported as the transfer control's states.
class Transfer : public QObject, public components::Transfer {
 public:
  explicit Transfer(components::Desktop& desktop);
  ~Transfer() override;
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override;
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

 private:
  void Report(int state);
  components::Desktop& desktop_;
  std::unique_ptr<TransferBackend> backend_;  // loaded at the first request
  QByteArray body_;
  qsizetype read_ = 0;
  bool executing_ = false;
  // Events of a request cancelled or replaced are dropped.
  int generation_ = 0;
};

class ProgressBar : public components::ProgressBar {
 public:
  ProgressBar(QWidget* parent, const components::ControlDesign& design);
  void SetRange(double min, double max) override;
  void SetValue(double value) override;
  double Value() const override { return value_; }

 private:
  QPointer<QProgressBar> bar_;
  double value_ = 0;
};

class Browser : public components::WebBrowser {
 public:
  Browser(QWidget* parent, const components::ControlDesign& design);
  void Navigate(const std::string& path) override;

 private:
  QPointer<QTextBrowser> view_;
};

void Place(QWidget* w, const components::ControlDesign& d);

}  // namespace qtdesk
