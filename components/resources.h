#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace components {

// The executable's embedded resources, found by type and id.
class Resources {
 public:
  virtual ~Resources() = default;
  // Raises ComponentError when there is no such resource.
  virtual std::vector<std::uint8_t> LoadResData(int id, const std::string& type) = 0;
};

}  // namespace components
