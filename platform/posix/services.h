#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "components/connection.h"
#include "components/environment.h"
#include "components/file_system.h"
#include "components/resources.h"
#include "player/storage.h"

namespace posix {

// The process environment. TEMP, normally unset here, is supplied as a
// Windows environment would: a per-user folder of the program's own, mode
// 0700, with a trailing "/".
class Environment : public components::Environment {
 public:
  // programFolder: empty for the folder of the running executable.
  explicit Environment(std::string programName, std::string programFolder = "");
  std::optional<std::string> Environ(const std::string& name) override;
  std::string ProgramFolder() override;
  // An installed copy (a file "installed" beside the executable) keeps its
  // chapter files in $XDG_DATA_HOME/<program>/Review: a user may not write
  // below /usr. Any other copy keeps them in its program folder.
  std::string MediaFolder() override;

 private:
  std::optional<std::string> UserTemp();
  std::string programName_;
  std::string programFolder_;
};

class FileSystem : public components::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  void DeleteFile(const std::string& path, bool force) override;
  void CreateFolder(const std::string& path) override;
  std::string Dir(const std::string& path) override;
  void Kill(const std::string& path) override;
  void Rename(const std::string& from, const std::string& to) override;
  std::unique_ptr<components::OutputFile> CreateNew(const std::string& path) override;
  std::unique_ptr<components::OutputFile> OpenForAppend(const std::string& path) override;
};

// One embedded resource, as the build records it.
struct ResourceEntry {
  const char* type;
  int id;
  int language;
  const std::uint8_t* data;
  std::size_t size;
};

class Resources : public components::Resources {
 public:
  explicit Resources(std::span<const ResourceEntry> table) : table_(table) {}
  std::span<const std::uint8_t> LoadResData(int id, const std::string& type) override;

 private:
  std::span<const ResourceEntry> table_;
};

// Connected when some interface other than loopback is up with an address.
// Connected when a network interface other than loopback is up, or when
// the download server is this machine itself (the demo's).
class Connection : public components::Connection {
 public:
  explicit Connection(std::string downloadServer = "") : downloadServer_(std::move(downloadServer)) {}
  bool InternetGetConnectedState() override;
  // Whether an http URL's host is this machine.
  static bool IsThisMachine(const std::string& url);

 private:
  std::string downloadServer_;
};

// The player's local storage: a file per record in a private folder,
// replaced atomically (written beside, flushed, renamed), so a crash while
// saving leaves the previous record whole.
class PlayerStorage : public player::LocalStorage {
 public:
  explicit PlayerStorage(std::string folder) : folder_(std::move(folder)) {}
  // $XDG_DATA_HOME (or ~/.local/share), the program's folder, "player".
  static std::string DefaultFolder(const std::string& programName);
  std::optional<std::string> Load(const std::string& name) override;
  bool Save(const std::string& name, const std::string& bytes) override;

 private:
  std::string PathOf(const std::string& name) const;
  std::string folder_;
};

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::string DataHome();
// $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
std::string CacheHome();
// The program's private folder for files of a running copy, with a trailing
// slash: $XDG_RUNTIME_DIR/<program>/, else the cache's; made 0700, refused
// when it is not a folder of this user's alone.
std::optional<std::string> RuntimeFolder(const std::string& programName);
// mkdir -p; what it creates gets mode 0700. False when a part cannot be made.
bool MakeFolders(const std::string& dir);

// The folder that holds the running executable.
std::string ExecutableFolder();

}  // namespace posix
