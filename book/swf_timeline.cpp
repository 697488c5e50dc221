#include "book/swf_timeline.h"

#include <stdexcept>

#include "book/avm1_actions.h"

namespace book {

void Timeline::Tag(std::uint16_t code, const Bytes& body) {
  if (code >= 1024) throw std::invalid_argument("a tag code above 1023");
  // Image and sound tags always take the long header, as players expect.
  bool longForm =
      body.size() >= 0x3f || code == 6 || code == 21 || code == 35 || code == 14 || code == 20 || code == 36;
  if (longForm) {
    Le16(tags_, static_cast<std::uint32_t>(code << 6 | 0x3f));
    Le32(tags_, static_cast<std::uint32_t>(body.size()));
  } else {
    Le16(tags_, static_cast<std::uint32_t>(code << 6 | body.size()));
  }
  if (code == 6 || code == 21 || code == 35) stored_.emplace_back(tags_.size(), body.size());
  tags_.insert(tags_.end(), body.begin(), body.end());
}

void Timeline::ShowFrame() {
  Tag(1, {});
  ++frames_;
  lastFrameEnd_ = tags_.size();
}

void Timeline::FrameLabel(const std::string& name) {
  Bytes b;
  CString(b, name);
  Tag(43, b);
}

void Timeline::DoAction(const Bytes& actions) {
  if (!avm1::IsActionList(actions)) throw std::invalid_argument("DoAction: not a whole action list");
  Tag(12, actions);
}

void Timeline::PlaceObject(const Placement& p) {
  if (!p.character && !p.move) throw std::invalid_argument("a placement needs a character or to move one");
  if (!p.clipActions.empty() && version_ < 5) throw std::invalid_argument("clip actions need SWF 5");
  Bytes b;
  b.push_back(static_cast<std::uint8_t>((p.clipActions.empty() ? 0 : 0x80) | (p.clipDepth ? 0x40 : 0) |
                                        (p.name.empty() ? 0 : 0x20) | (p.matrix ? 0x04 : 0) |
                                        (p.character ? 0x02 : 0) | (p.move ? 0x01 : 0)));
  Le16(b, p.depth);
  if (p.character) Le16(b, *p.character);
  if (p.matrix) WriteMatrix(b, *p.matrix);
  if (!p.name.empty()) CString(b, p.name);
  if (p.clipDepth) Le16(b, *p.clipDepth);
  if (!p.clipActions.empty()) {
    // Event flags take 32 bits from SWF 6 on, 16 before.
    auto flags = [&](std::uint32_t events) {
      if (version_ >= 6) {
        Le32(b, events);
      } else {
        if (events > 0xffff) throw std::invalid_argument("a clip event SWF 5 does not have");
        Le16(b, events);
      }
    };
    std::uint32_t all = 0;
    for (const auto& a : p.clipActions) all |= a.events;
    Le16(b, 0);
    flags(all);
    for (const auto& a : p.clipActions) {
      if (a.events == 0) throw std::invalid_argument("clip actions without an event");
      if (!avm1::IsActionList(a.actions))
        throw std::invalid_argument("clip actions: not a whole action list");
      flags(a.events);
      bool key = a.events & clip_event::kKeyPress;
      Le32(b, static_cast<std::uint32_t>(a.actions.size() + (key ? 1 : 0)));
      if (key) b.push_back(a.keyCode);
      b.insert(b.end(), a.actions.begin(), a.actions.end());
    }
    flags(0);
  }
  Tag(26, b);
}

void Timeline::RemoveObject(std::uint16_t depth) {
  Bytes b;
  Le16(b, depth);
  Tag(28, b);
}

}  // namespace book
