#include "player/book_player.h"

namespace player {

BookPlayer::BookPlayer(components::Desktop& desktop) : desktop_(desktop) {}

void BookPlayer::Movie(const std::string& path) {
  path_ = path;
  variables_.clear();
  calledLabels_.clear();
  movie_.reset();
  error_.clear();
  currentFrame_ = 0;
  try {
    movie_ = LoadSwfFile(path);
    currentFrame_ = 1;
  } catch (const SwfError& e) {
    // Shown in the player area instead of the book; the host goes on.
    error_ = e.what();
  }
  Changed();
}

void BookPlayer::SetVariable(const std::string& name, const std::string& value) { variables_[name] = value; }

std::string BookPlayer::GetVariable(const std::string& name) {
  auto it = variables_.find(name);
  return it == variables_.end() ? std::string() : it->second;
}

void BookPlayer::TCallLabel(const std::string& target, const std::string& label) {
  if (target != "/") return;
  calledLabels_.push_back(label);
  Changed();
}

std::string BookPlayer::TGetProperty(const std::string& target, int index) {
  // Property 4 is the current frame; the others are not kept here.
  if (target == "/" && index == 4) return std::to_string(currentFrame_);
  return "";
}

void BookPlayer::Width(components::Twips width) {
  width_ = width;
  Changed();
}

void BookPlayer::Height(components::Twips height) {
  height_ = height;
  Changed();
}

void BookPlayer::Send(const std::string& command, const std::string& args) {
  std::weak_ptr<bool> alive = alive_;
  desktop_.Post([this, alive, command, args] {
    if (auto a = alive.lock(); a && *a) RaiseFSCommand(command, args);
  });
}

}  // namespace player
