#include "platform/headless/registry.h"

#include <vector>

#include "platform/headless/harness.h"

namespace headless {

using namespace components;

LONG Registry::RegOpenKeyA(HKEY root, const std::string& subKey, HKEY* result) {
  return hive_.RegOpenKeyA(root, subKey, result);
}

LONG Registry::RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* reserved, DWORD* type,
                                std::uint8_t* data, DWORD* dataSize) {
  return hive_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG Registry::RegCreateKeyA(HKEY root, const std::string& subKey, HKEY* result) {
  if (!writable) {
    *result = 0;
    return ERROR_ACCESS_DENIED;
  }
  return hive_.RegCreateKeyA(root, subKey, result);
}

LONG Registry::RegSetValueExA(HKEY key, const std::string& valueName, DWORD reserved, DWORD type,
                              const std::uint8_t* data, DWORD dataSize) {
  if (!writable) return ERROR_ACCESS_DENIED;
  return hive_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG Registry::RegCloseKey(HKEY key) { return hive_.RegCloseKey(key); }

std::optional<std::string> Registry::Text(const std::string& key, const std::string& name) {
  HKEY h = 0;
  if (hive_.RegOpenKeyA(HKEY_LOCAL_MACHINE, key, &h) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<std::string> text;
  if (hive_.RegQueryValueExA(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
    std::vector<std::uint8_t> bytes(size);
    if (hive_.RegQueryValueExA(h, name, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS)
      text = std::string(bytes.begin(), bytes.begin() + size);
  }
  hive_.RegCloseKey(h);
  return text;
}

void Registry::Plant(const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  HKEY h = 0;
  if (hive_.RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &h) != ERROR_SUCCESS ||
      hive_.RegSetValueExA(h, name, 0, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS)
    throw HarnessFailure("cannot plant " + key + "\\" + name);
  hive_.RegCloseKey(h);
}

}  // namespace headless
