#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace components {

// The executable's embedded resources, found by type and id.
class Resources {
 public:
  virtual ~Resources() = default;
  // The resource's bytes, valid as long as these resources are: a resource
  // is never copied to be read. Raises ComponentError when there is none.
  virtual std::span<const std::uint8_t> LoadResData(int id, const std::string& type) = 0;
};

}  // namespace components
