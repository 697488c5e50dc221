#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace posix {

// Bytes that arrive faster than they are taken wait on disk, not in memory:
// written at the end as they come, read back in order, and the file goes
// with this object.
class SpoolFile {
 public:
  // A new file in `folder` named `prefix`, the process number and a
  // number, created afresh (never through a link) with mode 0600; first the
  // files of copies that no longer run go. Throws ComponentError, naming
  // the folder, when none can be made.
  static std::unique_ptr<SpoolFile> Create(const std::string& folder, const std::string& prefix);
  // Deletes this user's spool files in `folder` whose process has ended.
  static void RemoveAbandoned(const std::string& folder, const std::string& prefix);
  ~SpoolFile();
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;

  // False when the disk refuses them; what was written before stays.
  bool Append(const void* data, std::size_t size);
  // Up to `max` bytes after those already read; empty once all that was
  // written has been read.
  std::vector<std::uint8_t> Read(std::size_t max);

  std::uint64_t written() const { return written_; }
  std::uint64_t read() const { return read_; }
  const std::string& path() const { return path_; }

 private:
  SpoolFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::string path_;
  std::uint64_t written_ = 0;
  std::uint64_t read_ = 0;
};

}  // namespace posix
