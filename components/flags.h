#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace components {

// Flags shared between windows are 16-bit integers: true is -1, false is 0.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

inline constexpr Flag ToFlag(bool b) { return b ? kTrue : kFalse; }

// Lengths of windows and controls are in twips; 15 twips are one pixel at 96 DPI.
using Twips = double;
inline constexpr double kTwipsPerPixel = 15.0;

// A number as the movie writes it: whole, decimal, a leading minus at most,
// within the 16-bit signed range. nullopt for anything else.
inline std::optional<int> ParseInt16(const std::string& text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  int v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
  }
  if (text[0] == '-') v = -v;
  if (v < -32768 || v > 32767) return std::nullopt;
  return v;
}

}  // namespace components
