#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "player/script_value.h"
#include "player/swf.h"

namespace player::script {

// The main timeline of a movie that is not a book of ours, with the actions
// of its frames: what the stand-in needs to answer a host that drives such
// a movie. It runs a frame's actions when the playhead enters the frame,
// and a labelled frame's actions when the host calls the label; it keeps
// variables in clips, objects and arrays, reached by slash, colon and dot
// paths; fscommands go to `send`. Functions, sounds and drawing are not
// run: a movie that needs them plays on the real runtime only.
class Timeline {
 public:
  using Send = std::function<void(const std::string& command, const std::string& args)>;
  Timeline(const SwfMovie& movie, Send send);

  // The playhead enters frame 1.
  void Start();
  // Whether the playhead moves on by itself (no stop came); it stops at the
  // last frame.
  bool playing() const { return playing_ && frame_ < frameCount(); }
  void NextFrame();
  int currentFrame() const { return frame_; }
  int frameCount() const { return static_cast<int>(frames_.size()); }

  // The host's calls. A value is text; a missing path reads as "".
  std::string Get(const std::string& path);
  void Set(const std::string& path, const std::string& value);
  // The actions of the frame with that label, the playhead where it is.
  void Call(const std::string& label);

  // ---- for the actions ----
  const Rules& rules() const { return rules_; }
  const ObjectRef& root() const { return root_; }
  // Where a path's last name lives: the object, and the name. A path that
  // leads nowhere gives no object.
  std::pair<ObjectRef, std::string> Resolve(const std::string& path, const ObjectRef& scope) const;
  Value GetVariable(const std::string& path, const ObjectRef& scope) const;
  // A property of an object as GetMember, GetVariable and GetProperty read
  // it; a clip's own (_currentframe, _totalframes, _x, _visible, ...) have
  // the values a player gives them.
  Value Member(const ObjectRef& object, const std::string& name) const;
  void SetVariable(const std::string& path, Value value, const ObjectRef& scope);
  // The frame of a label or number; 0 when there is none.
  int FrameOf(const std::string& labelOrNumber) const;
  // Moves the playhead; the frame's actions run once the actions running
  // now are done.
  void GoTo(int frame, bool play);
  void Play(bool play) { playing_ = play; }
  void FsCommand(const std::string& command, const std::string& args) { send_(command, args); }
  // A movie or page the actions ask for (getURL, loadMovieNum, ...): the
  // stand-in loads none, it only tells whoever asked to know.
  using GetUrlSeen = std::function<void(const std::string& url, const std::string& target)>;
  void OnGetUrl(GetUrlSeen seen) { getUrl_ = std::move(seen); }
  void GetUrl(const std::string& url, const std::string& target) {
    if (getUrl_) getUrl_(url, target);
  }
  // Some of the work a call from outside may cause (an action is 1, a long
  // text or array more); false once it is all spent: a movie that loops for
  // ever, or grows its texts without end, is cut off there.
  bool Spend(long cost = 1) {
    budget_ -= cost;
    return budget_ >= 0;
  }
  void Exhaust() { budget_ = -1; }

 private:
  // Each call from outside (the host, the frame clock) may run this many
  // actions, however its frames call and go to one another.
  static constexpr long kStepsPerCall = 200000;
  void Begin() {
    if (depth_ == 0) budget_ = kStepsPerCall;
  }
  void RunFrame(int frame);
  void RunPending();

  Rules rules_;
  Send send_;
  GetUrlSeen getUrl_;
  ObjectRef root_;
  std::vector<std::vector<std::span<const std::uint8_t>>> frames_;  // frame n's action lists at n - 1
  std::map<std::string, int> labels_;                               // by Rules::Key
  int frame_ = 1;
  bool playing_ = true;
  std::vector<int> pending_;
  int depth_ = 0;
  long budget_ = 0;
};

// Runs one action list on `target` (the clip its names are looked up in).
// A list that does more than a bounded amount of work is cut off there.
void RunActions(Timeline& timeline, std::span<const std::uint8_t> actions, const ObjectRef& target);

}  // namespace player::script
