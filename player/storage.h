#pragma once

#include <optional>
#include <string>

namespace player {

// The player's own local storage: one record per name, outliving the
// process. A save either lands whole or leaves the previous record.
class LocalStorage {
 public:
  virtual ~LocalStorage() = default;
  virtual std::optional<std::string> Load(const std::string& name) = 0;
  virtual bool Save(const std::string& name, const std::string& bytes) = 0;
};

}  // namespace player
