#pragma once

// The bodies of the tags a movie's interface is made of: buttons, text
// fields and the device fonts they show.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "book/swf_bits.h"

namespace book {

namespace button_state {
inline constexpr std::uint8_t kUp = 1, kOver = 2, kDown = 4, kHitTest = 8;
}

// When a button's actions run (the state changes of DefineButton2).
namespace button_condition {
inline constexpr std::uint16_t kRollOver = 1 << 0, kRollOut = 1 << 1, kPress = 1 << 2, kRelease = 1 << 3,
                               kDragOut = 1 << 4, kDragOver = 1 << 5, kReleaseOutside = 1 << 6,
                               kIdleToOverDown = 1 << 7, kOverDownToIdle = 1 << 8;
// A key press: the key's code (ASCII, or 1 to 19 for the special keys).
constexpr std::uint16_t KeyPress(std::uint8_t code) { return static_cast<std::uint16_t>(code << 9); }
}  // namespace button_condition

struct ButtonRecord {
  std::uint8_t states = 0;  // button_state flags; at least one
  std::uint16_t character = 0;
  std::uint16_t depth = 1;
  Matrix matrix;
};

struct ButtonAction {
  std::uint16_t conditions = 0;
  Bytes actions;  // an action list, with its end flag
};

// DefineButton2's body.
Bytes DefineButton2Body(std::uint16_t id, const std::vector<ButtonRecord>& records,
                        const std::vector<ButtonAction>& actions, bool trackAsMenu);

struct EditText {
  std::int32_t x = 0, y = 0, width = 0, height = 0;  // bounds, twips
  std::string variable;                              // the variable it shows; empty: none
  std::string text;                                  // the text it starts with
  std::optional<std::uint16_t> font;
  std::uint16_t fontHeight = 240;  // twips
  Rgba color;
  std::optional<std::uint16_t> maxLength;
  enum Align : std::uint8_t { kLeft, kRight, kCenter, kJustify } align = kLeft;
  std::int16_t leading = 0;
  bool wordWrap = false, multiline = false, password = false, readOnly = true, noSelect = false,
       border = false, html = false, autoSize = false, useOutlines = false;
};

// DefineEditText's body.
Bytes DefineEditTextBody(std::uint16_t id, const EditText& text);

// DefineFont2's body for a font without glyphs: the player shows its text
// with the system's font of that name ("_sans", "_serif", "_typewriter").
Bytes DeviceFontBody(std::uint16_t id, const std::string& name, int version);

}  // namespace book
