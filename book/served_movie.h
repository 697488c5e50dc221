#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace avm1 {

// Where the bridge movie is served from, the level it plays in above every
// movie, and the variable on _level0 that says it was asked for.
inline constexpr char kBridgeUrl[] = "reader://runtime/bridge.swf";
inline constexpr int kBridgeLevel = 99;
inline constexpr char kBridgeGuard[] = "$readerBridge";

// A movie as the runtime is given it: uncompressed ("FWS"), with one
// DoAction first in frame 1 that loads the bridge into its level once (a
// frame 1 played again does not load it twice), and the header's length
// fixed. A movie before SWF 5, which cannot run that action, and an AS3
// movie come back unchanged. Not a whole movie (garbage, truncated, a tag
// past the end, "ZWS"): nullopt. The bytes given are never changed.
std::optional<std::vector<std::uint8_t>> ServedMovie(std::span<const std::uint8_t> file);

}  // namespace avm1
