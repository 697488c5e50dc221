#pragma once

#include <cstdint>
#include <string>

namespace components {

// The registry calls, with the Windows values for handles, types and results.
using HKEY = std::uintptr_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_CANTOPEN = 1011;
inline constexpr LONG ERROR_CANTREAD = 1012;
inline constexpr LONG ERROR_CANTWRITE = 1013;

class Registry {
 public:
  virtual ~Registry() = default;

  virtual LONG RegOpenKeyA(HKEY root, const std::string& subKey, HKEY* result) = 0;
  // With data null: reports type and size only. With a buffer smaller than
  // the value: ERROR_MORE_DATA and the needed size.
  virtual LONG RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* reserved, DWORD* type,
                                std::uint8_t* data, DWORD* dataSize) = 0;
  virtual LONG RegCreateKeyA(HKEY root, const std::string& subKey, HKEY* result) = 0;
  virtual LONG RegSetValueExA(HKEY key, const std::string& valueName, DWORD reserved, DWORD type,
                              const std::uint8_t* data, DWORD dataSize) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;
};

}  // namespace components
