#pragma once

#include <map>
#include <set>
#include <string>

#include "components/desktop.h"
#include "components/movie_player.h"

namespace headless {

class Desktop;

// The player as a test sees it: records calls, answers GetVariable from what
// the test set (else what the system set), raises FSCommand on request.
class Player : public components::MoviePlayer {
 public:
  Player(Desktop& desktop, std::string id);
  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

  // Test side.
  void Answer(const std::string& variable, const std::string& value) { answers_[variable] = value; }
  void SetFrame(const std::string& frame) { frame_ = frame; }
  // Calls with these names ("TCallLabel", "SetVariable", ...) fail with ComponentError.
  std::set<std::string> failing;
  // Queued, as the movie's own commands are; run by Desktop::Pump.
  void Send(const std::string& command, const std::string& args);
  const std::string& movie() const { return movie_; }
  components::Twips width() const { return width_; }
  components::Twips height() const { return height_; }
  std::string className = "HeadlessPlayer";

 private:
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  std::string movie_;
  components::Lifetime lifetime_;
  std::map<std::string, std::string> answers_, set_;
  std::string frame_ = "1";
  components::Twips width_ = 0, height_ = 0;
};

}  // namespace headless
