#include "player/movie_variables.h"

#include "player/description.h"

namespace player {

std::string MovieVariables::Text(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? std::string() : it->second;
}

int MovieVariables::Number(const std::string& name) const { return ParseNumber(Text(name)).value_or(0); }

}  // namespace player
