#pragma once

#include <map>
#include <memory>
#include <string>

#include "components/registry.h"

struct sqlite3;

namespace posix {

// HKEY_LOCAL_MACHINE as one SQLite file. Keys and value names compare
// without regard to ASCII case; a value keeps its type and exact bytes.
// Every write is one immediate transaction, so concurrent copies wait for
// each other instead of failing, and the last writer wins.
class Hive : public components::Registry {
 public:
  enum class Access { ReadWrite, ReadOnly };

  // Opening never fails here: a hive that cannot be created or opened makes
  // every call fail with the registry's error codes.
  explicit Hive(std::string path, Access access = Access::ReadWrite);
  ~Hive() override;
  Hive(const Hive&) = delete;
  Hive& operator=(const Hive&) = delete;

  // The hive file of this user: $XDG_DATA_HOME (or ~/.local/share), then
  // the program's folder.
  static std::string DefaultPath(const std::string& programName);

  const std::string& path() const { return path_; }

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

 private:
  bool Open();
  bool OpenNow();
  bool ResolveKey(components::HKEY handle, std::string* path) const;
  components::HKEY NewHandle(std::string path);
  bool KeyExists(const std::string& path, bool* error);

  std::string path_;
  Access access_;
  sqlite3* db_ = nullptr;
  std::map<components::HKEY, std::string> handles_;
  components::HKEY nextHandle_ = 0x1000;
};

// Key paths in their stored form: separators single, no leading or trailing
// one, ASCII letters folded to lower case.
std::string NormalizeKey(const std::string& path);

}  // namespace posix
