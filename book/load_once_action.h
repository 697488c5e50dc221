#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace avm1 {

// The body of a DoAction tag that loads a movie into a level once:
//   if (_level0[guard] == undefined) { _level0[guard] = true; loadMovieNum(url, level); }
// so that a first frame played again does not load it twice. The url and
// the guard go in as strings, never as script text. For SWF 5 and later.
std::vector<std::uint8_t> LoadMovieOnceActions(const std::string& url, int level, const std::string& guard);

}  // namespace avm1
