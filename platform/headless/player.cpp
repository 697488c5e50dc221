#include "platform/headless/player.h"

#include "components/errors.h"
#include "platform/headless/call_log.h"
#include "platform/headless/desktop.h"

namespace headless {

using namespace components;

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
  Log("Width(" + LogNumber(width) + ")");
}
void Player::Height(Twips height) {
  height_ = height;
  Log("Height(" + LogNumber(height) + ")");
}
void Player::Send(const std::string& command, const std::string& args) {
  desktop_.Post(lifetime_, [this, command, args] { RaiseFSCommand(command, args); });
}

}  // namespace headless
