#include "shell/settings_store.h"

#include <vector>

#include "shell/book.h"

namespace shell {

using namespace components;

std::string lastRegValue;

std::string ReadRegValue(Registry& registry, HKEY root, const std::string& key,
                         const std::string& valueName) {
  HKEY handle = 0;
  // A failed open is not tested: the query below then fails in turn.
  registry.RegOpenKeyA(root, key, &handle);

  std::string result = "none";
  DWORD type = REG_NONE;
  DWORD size = 0;
  registry.RegQueryValueExA(handle, valueName, nullptr, &type, nullptr, &size);
  if (type == REG_SZ) {
    std::vector<std::uint8_t> buffer(size);
    DWORD got = size;
    // A zero-length buffer still asks for data, not just the size.
    std::uint8_t zero = 0;
    LONG rc = registry.RegQueryValueExA(handle, valueName, nullptr, &type,
                                        buffer.empty() ? &zero : buffer.data(), &got);
    if (rc == ERROR_SUCCESS) {
      // This port's code page is UTF-8: the bytes are the text.
      std::string text(buffer.begin(), buffer.begin() + std::min<DWORD>(got, size));
      if (auto zeroAt = text.find('\0'); zeroAt != std::string::npos) text.resize(zeroAt);
      if (!text.empty()) result = text;
    }
  }
  if (handle != 0) registry.RegCloseKey(handle);
  return result;
}

std::string WriteRegValue(Registry& registry, HKEY root, const std::string& key, const std::string& valueName,
                          const std::string& value) {
  HKEY handle = 0;
  registry.RegCreateKeyA(root, key, &handle);
  // The size is the stored text's byte length, without a terminating zero;
  // a character count would cut non-ASCII text short.
  registry.RegSetValueExA(handle, valueName, 0, REG_SZ, reinterpret_cast<const std::uint8_t*>(value.data()),
                          static_cast<DWORD>(value.size()));
  return registry.RegCloseKey(handle) == ERROR_SUCCESS ? "Success" : "none";
}

void WriteShowHelp(Registry& registry, const std::string& value) {
  lastRegValue = WriteRegValue(registry, HKEY_LOCAL_MACHINE, BookKey(), "showHelp", value);
}

}  // namespace shell
