#include "book/swf_interactive.h"

#include <stdexcept>

#include "book/avm1_actions.h"

namespace book {

Bytes DefineButton2Body(std::uint16_t id, const std::vector<ButtonRecord>& records,
                        const std::vector<ButtonAction>& actions, bool trackAsMenu) {
  Bytes b;
  Le16(b, id);
  b.push_back(trackAsMenu ? 1 : 0);
  const std::size_t offsetAt = b.size();
  Le16(b, 0);
  for (const auto& r : records) {
    // A record of no state would read as the list's end.
    if ((r.states & 0x0f) == 0 || r.states > 0x0f) throw std::invalid_argument("a button record of no state");
    b.push_back(r.states);
    Le16(b, r.character);
    Le16(b, r.depth);
    WriteMatrix(b, r.matrix);
    b.push_back(0);  // a colour transform that changes nothing
  }
  b.push_back(0);
  if (!actions.empty()) {
    std::size_t offset = b.size() - offsetAt;
    b[offsetAt] = static_cast<std::uint8_t>(offset);
    b[offsetAt + 1] = static_cast<std::uint8_t>(offset >> 8);
  }
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const auto& a = actions[i];
    if (a.conditions == 0) throw std::invalid_argument("button actions without a condition");
    if (!avm1::IsActionList(a.actions))
      throw std::invalid_argument("button actions: not a whole action list");
    std::size_t size = i + 1 == actions.size() ? 0 : 4 + a.actions.size();
    if (size > 0xffff) throw std::invalid_argument("button actions larger than 64 kB");
    Le16(b, static_cast<std::uint32_t>(size));
    Le16(b, a.conditions);
    b.insert(b.end(), a.actions.begin(), a.actions.end());
  }
  return b;
}

Bytes DefineEditTextBody(std::uint16_t id, const EditText& t) {
  const bool layout = t.align != EditText::kLeft || t.leading != 0;
  std::uint16_t flags = static_cast<std::uint16_t>(
      (t.font ? 1 << 0 : 0) | (t.maxLength ? 1 << 1 : 0) | 1 << 2 | (t.readOnly ? 1 << 3 : 0) |
      (t.password ? 1 << 4 : 0) | (t.multiline ? 1 << 5 : 0) | (t.wordWrap ? 1 << 6 : 0) |
      (t.text.empty() ? 0 : 1 << 7) | (t.useOutlines ? 1 << 8 : 0) | (t.html ? 1 << 9 : 0) |
      (t.border ? 1 << 11 : 0) | (t.noSelect ? 1 << 12 : 0) | (layout ? 1 << 13 : 0) |
      (t.autoSize ? 1 << 14 : 0));
  Bytes b;
  Le16(b, id);
  WriteRect(b, t.x, t.x + t.width, t.y, t.y + t.height);
  Le16(b, flags);
  if (t.font) {
    Le16(b, *t.font);
    Le16(b, t.fontHeight);
  }
  WriteRgba(b, t.color);
  if (t.maxLength) Le16(b, *t.maxLength);
  if (layout) {
    b.push_back(t.align);
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, static_cast<std::uint16_t>(t.leading));
  }
  CString(b, t.variable);
  if (!t.text.empty()) CString(b, t.text);
  return b;
}

Bytes DeviceFontBody(std::uint16_t id, const std::string& name, int version) {
  if (name.empty() || name.size() > 255) throw std::invalid_argument("a font name of 1 to 255 bytes");
  Bytes b;
  Le16(b, id);
  b.push_back(version >= 6 ? 0x04 : 0);  // wide codes, as SWF 6 and later require
  b.push_back(0);                        // no language
  b.push_back(static_cast<std::uint8_t>(name.size()));
  b.insert(b.end(), name.begin(), name.end());
  Le16(b, 0);  // no glyphs
  Le16(b, 0);  // so the code table starts right away
  return b;
}

}  // namespace book
