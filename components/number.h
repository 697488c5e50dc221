#pragma once

#include <optional>
#include <string>

namespace components {

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
