#include "platform/headless/services.h"

#include "components/errors.h"

namespace headless {

using namespace components;

std::optional<std::string> Environment::Environ(const std::string& name) {
  auto it = variables.find(name);
  if (it == variables.end()) return std::nullopt;
  return it->second;
}

std::span<const std::uint8_t> Resources::LoadResData(int id, const std::string& type) {
  auto it = table.find({type, id});
  if (it == table.end()) throw ComponentError("resource " + type + " " + std::to_string(id) + " not found");
  return it->second;
}

}  // namespace headless
