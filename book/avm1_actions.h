#pragma once

#include <cstdint>

#include "player/avm1_actions.h"

namespace avm1 {

using player::avm1::Action;
using player::avm1::ActionRecord;
using player::avm1::IsActionList;
using player::avm1::ReadActionRecord;

// The action's name as the format calls it ("Push", "GetURL2"), or nullptr
// for a code that is none.
const char* ActionName(std::uint8_t code);
// The first SWF version that has the action; 0 for an unknown code.
int ActionVersion(std::uint8_t code);

}  // namespace avm1
