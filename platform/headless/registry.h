#pragma once

#include <optional>
#include <string>

#include "components/registry.h"
#include "platform/posix/hive.h"

namespace headless {

// The real hive, kept in memory, with what tests need on top: values
// planted and read as stored, and writes that fail at will. Tests see the
// registry's one behaviour, the hive's.
class Registry : public components::Registry {
 public:
  components::LONG RegOpenKeyA(components::HKEY root, const std::string& subKey,
                               components::HKEY* result) override;
  components::LONG RegQueryValueExA(components::HKEY key, const std::string& valueName,
                                    components::DWORD* reserved, components::DWORD* type, std::uint8_t* data,
                                    components::DWORD* dataSize) override;
  components::LONG RegCreateKeyA(components::HKEY root, const std::string& subKey,
                                 components::HKEY* result) override;
  components::LONG RegSetValueExA(components::HKEY key, const std::string& valueName,
                                  components::DWORD reserved, components::DWORD type,
                                  const std::uint8_t* data, components::DWORD dataSize) override;
  components::LONG RegCloseKey(components::HKEY key) override;

  // False: creating keys and setting values is refused (access denied).
  bool writable = true;
  // Stored text of a REG_SZ value, or nullopt.
  std::optional<std::string> Text(const std::string& key, const std::string& name);
  void Plant(const std::string& key, const std::string& name, components::DWORD type,
             const std::string& bytes);

 private:
  posix::Hive hive_{":memory:"};
};

}  // namespace headless
