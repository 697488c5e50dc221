#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "components/connection.h"
#include "components/environment.h"
#include "components/resources.h"

namespace headless {

class Environment : public components::Environment {
 public:
  std::optional<std::string> Environ(const std::string& name) override;
  std::string ProgramFolder() override { return programFolder; }
  std::map<std::string, std::string> variables;
  std::string programFolder = "/program";
};

class Resources : public components::Resources {
 public:
  std::span<const std::uint8_t> LoadResData(int id, const std::string& type) override;
  std::map<std::pair<std::string, int>, std::vector<std::uint8_t>> table;
};

class Connection : public components::Connection {
 public:
  bool InternetGetConnectedState() override { return connected; }
  bool connected = true;
};

}  // namespace headless
