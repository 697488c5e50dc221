#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "components/window_design.h"
#include "platform/qt/player_services.h"
#include "platform/qt/qt_player.h"
#include "player/book_player.h"

namespace qtdesk {

// The player control: the stand-in player, drawn by a widget of its window.
class Player : public components::MoviePlayer {
 public:
  Player(components::Desktop& desktop, PlayerServices services, QWidget* parent,
         const components::ControlDesign& design);
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

}  // namespace qtdesk
