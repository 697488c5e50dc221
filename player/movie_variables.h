#pragma once

#include <map>
#include <optional>
#include <string>

namespace player {

// The variables the host set on the movie, by name.
class MovieVariables {
 public:
  void Set(const std::string& name, const std::string& value) { values_[name] = value; }
  void Clear() { values_.clear(); }
  // Empty when the host never set it.
  std::string Text(const std::string& name) const;
  // The number the host wrote, as the movie reads it: 0 when it is none.
  int Number(const std::string& name) const;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace player
