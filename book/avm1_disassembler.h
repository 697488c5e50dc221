#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace avm1 {

// A listing of an action list, one action a line ("Push \"a\" 1 d:2.5",
// "If L1", "L1:"). Branch targets and the ends of blocks are labels numbered
// in the order they lie; pooled strings show as c:"text", registers as r1,
// doubles as d:, floats as f:. A record that runs past the bytes ends the
// listing with a line "! cut at N"; a branch to no record boundary shows its
// offset with "?".
std::string Disassemble(std::span<const std::uint8_t> actions);

}  // namespace avm1
