#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace components {

// A file opened for raw binary output.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  virtual void Close() = 0;
};

// Files and folders. Every failure raises ComponentError with the system's text.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file-system helper object.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // force: read-only files are deleted too.
  virtual void DeleteFile(const std::string& path, bool force) = 0;
  virtual void CreateFolder(const std::string& path) = 0;

  // Directory lookup of an exact path with normal attributes: the entry's
  // name, or "" when there is none. A link counts as an entry (it is never
  // followed), so callers delete it rather than write through it.
  virtual std::string Dir(const std::string& path) = 0;
  // Deletes a file (or link); a missing file is an error.
  virtual void Kill(const std::string& path) = 0;
  virtual void Rename(const std::string& from, const std::string& to) = 0;

  // Creates a new file for writing; fails if anything, a link included,
  // already stands at the path.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path) = 0;
  // Opens for writing at the end, creating the file when missing.
  virtual std::unique_ptr<OutputFile> OpenForAppend(const std::string& path) = 0;
};

}  // namespace components
