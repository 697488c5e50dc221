#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "book/swf_bits.h"

namespace book {

// Clip events a placed clip's actions run on (PlaceObject2's clip actions).
namespace clip_event {
inline constexpr std::uint32_t kLoad = 1 << 0, kEnterFrame = 1 << 1, kUnload = 1 << 2, kMouseMove = 1 << 3,
                               kMouseDown = 1 << 4, kMouseUp = 1 << 5, kKeyDown = 1 << 6, kKeyUp = 1 << 7,
                               kData = 1 << 8, kInitialize = 1 << 9, kPress = 1 << 10, kRelease = 1 << 11,
                               kReleaseOutside = 1 << 12, kRollOver = 1 << 13, kRollOut = 1 << 14,
                               kDragOver = 1 << 15, kDragOut = 1 << 16, kKeyPress = 1 << 17,
                               kConstruct = 1 << 18;
}

struct ClipAction {
  std::uint32_t events = 0;  // clip_event flags
  std::uint8_t keyCode = 0;  // with kKeyPress
  Bytes actions;             // an action list, with its end flag
};

// One PlaceObject2: a character put at a depth, or the one there moved.
struct Placement {
  std::uint16_t depth = 1;
  std::optional<std::uint16_t> character;
  bool move = false;
  std::optional<Matrix> matrix;
  std::string name;  // the instance name ActionScript knows it by; empty: none
  std::optional<std::uint16_t> clipDepth;
  std::vector<ClipAction> clipActions;  // SWF 5 and later
};

// The tags of one timeline: the movie's own or a sprite's. Frame by frame:
// the frame's tags, then ShowFrame.
class Timeline {
 public:
  explicit Timeline(int version) : version_(version) {}

  int version() const { return version_; }
  int frames() const { return frames_; }
  const Bytes& tags() const { return tags_; }
  // Whether tags follow the last ShowFrame (a frame never shown).
  bool openFrame() const { return tags_.size() > lastFrameEnd_; }

  void Tag(std::uint16_t code, const Bytes& body);
  void ShowFrame();
  void FrameLabel(const std::string& name);
  // An action list: an assembler's or the compiler's output, end flag included.
  void DoAction(const Bytes& actions);
  void PlaceObject(const Placement& placement);
  void RemoveObject(std::uint16_t depth);

 protected:
  int version_;
  int frames_ = 0;
  std::size_t lastFrameEnd_ = 0;
  Bytes tags_;
  // Ranges of tags_ that are compressed already (JPEG data): stored as they
  // are, since deflating them gains nothing and costs every reader time.
  std::vector<std::pair<std::size_t, std::size_t>> stored_;
};

}  // namespace book
