#include "player/script_timeline.h"

#include <cmath>
#include <cstdlib>

namespace player::script {

namespace {
constexpr std::uint16_t kDoAction = 12;
constexpr int kMaxFrameDepth = 16;
}  // namespace

Timeline::Timeline(const SwfMovie& movie, Send send) : send_(std::move(send)) {
  rules_.version = movie.version;
  root_ = std::make_shared<Object>();
  root_->kind = Object::kClip;
  root_->name = "_level0";
  frames_.resize(1);
  for (const Tag& tag : movie.tags) {
    if (tag.code == kShowFrame) {
      frames_.emplace_back();
    } else if (tag.code == kDoAction) {
      frames_.back().push_back(tag.body);
    }
  }
  // Actions after the last ShowFrame belong to no frame shown.
  if (frames_.size() > 1 && movie.shownFrames > 0) frames_.pop_back();
  for (const FrameLabel& l : movie.labels) labels_.emplace(rules_.Key(l.name), l.frame);
}

void Timeline::Start() {
  Begin();
  frame_ = 1;
  playing_ = true;
  RunFrame(1);
  RunPending();
}

void Timeline::NextFrame() {
  if (!playing()) return;
  Begin();
  ++frame_;
  RunFrame(frame_);
  RunPending();
}

void Timeline::RunFrame(int frame) {
  // A label whose actions call it again, or frames that go to each other,
  // are let go past a few levels.
  if (frame < 1 || frame > frameCount() || depth_ >= kMaxFrameDepth) return;
  ++depth_;
  for (std::span<const std::uint8_t> actions : frames_[static_cast<std::size_t>(frame - 1)])
    RunActions(*this, actions, root_);
  --depth_;
}

void Timeline::GoTo(int frame, bool play) {
  if (frame < 1 || frame > frameCount()) return;
  frame_ = frame;
  playing_ = play;
  pending_.push_back(frame);
}

void Timeline::RunPending() {
  // Each goto adds one; a movie whose frames go to one another for ever
  // is stopped after a bounded number.
  for (int run = 0; !pending_.empty() && run < 1000; ++run) {
    int frame = pending_.front();
    pending_.erase(pending_.begin());
    RunFrame(frame);
  }
  pending_.clear();
}

int Timeline::FrameOf(const std::string& labelOrNumber) const {
  auto it = labels_.find(rules_.Key(labelOrNumber));
  if (it != labels_.end()) return it->second;
  char* end = nullptr;
  long n = std::strtol(labelOrNumber.c_str(), &end, 10);
  return !labelOrNumber.empty() && *end == '\0' && n >= 1 && n <= frameCount() ? static_cast<int>(n) : 0;
}

void Timeline::Call(const std::string& label) {
  int frame = FrameOf(label);
  if (!frame) return;
  Begin();
  RunFrame(frame);
  RunPending();
}

std::pair<ObjectRef, std::string> Timeline::Resolve(const std::string& path, const ObjectRef& scope) const {
  std::vector<std::string> names;
  std::string name;
  for (char c : path) {
    if (c == '/' || c == ':' || c == '.') {
      names.push_back(name);
      name.clear();
    } else {
      name += c;
    }
  }
  names.push_back(name);
  ObjectRef at = path.rfind('/', 0) == 0 ? root_ : scope;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    const std::string key = rules_.Key(names[i]);
    if (names[i].empty() || key == "this") continue;
    if (key == "_root" || key == "_level0") {
      at = root_;
    } else if (key == "_parent") {
      at = at->parent.lock();
    } else {
      Value next = GetProperty(rules_, at, names[i]);
      at = next.kind == Value::kObject ? next.object : nullptr;
    }
    if (!at) return {nullptr, {}};
  }
  return {at, names.back()};
}

Value Timeline::GetVariable(const std::string& path, const ObjectRef& scope) const {
  auto [owner, name] = Resolve(path, scope);
  if (!owner) return {};
  const std::string key = rules_.Key(name);
  if (name.empty() || key == "this") return Value::Of(owner);  // "/" and "/clip/": the clip itself
  if (key == "_root" || key == "_level0") return Value::Of(root_);
  return Member(owner, name);
}

Value Timeline::Member(const ObjectRef& object, const std::string& name) const {
  if (!object || object->kind != Object::kClip || name.empty() || name[0] != '_')
    return GetProperty(rules_, object, name);
  std::string p = name;  // a clip's own properties ignore case in every version
  for (char& c : p) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  const bool root = object == root_;
  // Every clip but the main timeline is an empty one of one frame, all in.
  if (p == "_currentframe") return Value::Number(root ? frame_ : 1);
  if (p == "_totalframes" || p == "_framesloaded") return Value::Number(root ? frameCount() : 1);
  Value stored = GetProperty(rules_, object, name);
  if (stored.kind != Value::kUndefined) return stored;
  if (p == "_x" || p == "_y" || p == "_rotation" || p == "_width" || p == "_height") return Value::Number(0);
  if (p == "_xscale" || p == "_yscale" || p == "_alpha") return Value::Number(100);
  if (p == "_visible") return Value::Bool(true);
  if (p == "_name") return Value::Text(root ? "" : object->name);
  if (p == "_target") {
    std::string path;
    for (ObjectRef at = object; at && at != root_; at = at->parent.lock()) path = "/" + at->name + path;
    return Value::Text(path.empty() ? "/" : path);
  }
  return stored;
}

void Timeline::SetVariable(const std::string& path, Value value, const ObjectRef& scope) {
  auto [owner, name] = Resolve(path, scope);
  if (owner && !name.empty()) SetProperty(rules_, owner, name, std::move(value));
}

std::string Timeline::Get(const std::string& path) {
  Value v = GetVariable(path, root_);
  // What the host reads of a value the movie never set is nothing at all.
  return v.kind == Value::kUndefined ? "" : rules_.ToString(v);
}

void Timeline::Set(const std::string& path, const std::string& value) {
  SetVariable(path, Value::Text(value), root_);
}

}  // namespace player::script
