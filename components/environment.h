#pragma once

#include <optional>
#include <string>

namespace components {

// The process environment and where the program lives.
class Environment {
 public:
  virtual ~Environment() = default;
  // Unset variables give nullopt (an empty text is a set variable).
  virtual std::optional<std::string> Environ(const std::string& name) = 0;
  // The folder of the executable, without a trailing separator.
  virtual std::string ProgramFolder() = 0;
  // The platform's path separator, in which the program's own paths are built.
  virtual char PathSeparator() const { return '/'; }
  // Where downloaded chapter files go: the program folder's "Review". An
  // installed copy, whose program folder its user may not write, has one
  // of the user's own instead.
  virtual std::string MediaFolder() { return ProgramFolder() + PathSeparator() + "Review"; }
};

}  // namespace components
