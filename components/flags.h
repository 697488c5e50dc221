#pragma once

#include <cstdint>

namespace components {

// Flags shared between windows are 16-bit integers: true is -1, false is 0.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

inline constexpr Flag ToFlag(bool b) { return b ? kTrue : kFalse; }

}  // namespace components
