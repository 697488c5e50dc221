#pragma once

#include <span>

#include "player/swf.h"

namespace player {

// A DefineSound tag's body as samples; raw sound only, other encodings
// come out silent. Raises SwfError.
SwfSound ParseSound(std::span<const std::uint8_t> body);

}  // namespace player
