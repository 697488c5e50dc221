#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "player/swf.h"

namespace player {

// Our stand-in for the movie player: reads the movie container and runs the
// book's side of the host protocol. Drawing is the platform's; it watches
// through OnChanged.
class BookPlayer : public components::MoviePlayer {
 public:
  explicit BookPlayer(components::Desktop& desktop);

  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

  // What the player area shows.
  bool HasMovie() const { return movie_.has_value(); }
  const SwfMovie* movie() const { return movie_ ? &*movie_ : nullptr; }
  // Empty while the movie is fine; otherwise why it could not be read.
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }
  int currentFrame() const { return currentFrame_; }
  components::Twips width() const { return width_; }
  components::Twips height() const { return height_; }
  // Labels called so far, in order.
  const std::vector<std::string>& calledLabels() const { return calledLabels_; }

  void OnChanged(std::function<void()> f) { changed_ = std::move(f); }

  // The movie sends a command to its host: delivered from the event loop.
  void Send(const std::string& command, const std::string& args);

 private:
  void Changed() {
    if (changed_) changed_();
  }

  components::Desktop& desktop_;
  std::optional<SwfMovie> movie_;
  std::string error_;
  std::string path_;
  std::map<std::string, std::string> variables_;
  std::vector<std::string> calledLabels_;
  int currentFrame_ = 0;
  components::Twips width_ = 0, height_ = 0;
  std::function<void()> changed_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

 public:
  ~BookPlayer() override { *alive_ = false; }
};

}  // namespace player
