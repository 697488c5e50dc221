#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace player {

// A movie file's bytes, mapped where the system can (nothing copied before
// inflating), read otherwise. Raises SwfError, also for a file over
// `maxBytes`.
class FileBytes {
 public:
  FileBytes(const std::string& path, std::uint64_t maxBytes);
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  std::span<const std::uint8_t> bytes() const;

 private:
  const std::uint8_t* map_ = nullptr;
  std::size_t size_ = 0;
  std::vector<std::uint8_t> copy_;
};

// A compressed movie file is never larger than its content plus a little.
inline std::uint64_t MaxFileBytes(std::uint32_t maxBytes) {
  return static_cast<std::uint64_t>(maxBytes) + 1024;
}

}  // namespace player
