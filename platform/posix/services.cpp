#include "platform/posix/services.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "components/errors.h"
#include "platform/posix/file_replace.h"

namespace posix {

using components::ComponentError;

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err = errno) {
  throw ComponentError(what + " " + path + ": " + std::strerror(err));
}

bool Absolute(const char* s) { return s && s[0] == '/'; }

// A private folder of ours: created 0700, a real folder owned by this user.
bool PrivateFolder(const std::string& dir) {
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

class PosixOutputFile : public components::OutputFile {
 public:
  PosixOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  void Write(std::span<const std::uint8_t> bytes) override {
    if (fd_ < 0) throw ComponentError("file already closed: " + path_);
    if (!WriteAll(fd_, bytes.data(), bytes.size())) Fail("cannot write", path_);
  }
  void Close() override {
    if (fd_ < 0) return;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("cannot close", path_);
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::string ExecutableFolder() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string p(buf, static_cast<size_t>(n));
  auto slash = p.rfind('/');
  return slash == 0 ? "/" : p.substr(0, slash);
}

Environment::Environment(std::string programName, std::string programFolder)
    : programName_(std::move(programName)), programFolder_(std::move(programFolder)) {}

std::optional<std::string> Environment::Environ(const std::string& name) {
  if (const char* v = std::getenv(name.c_str())) return std::string(v);
  if (name == "TEMP") return UserTemp();
  return std::nullopt;
}

std::optional<std::string> Environment::UserTemp() { return RuntimeFolder(programName_); }

std::optional<std::string> RuntimeFolder(const std::string& programName) {
  // Never a shared folder: another user's old file there would block our
  // start, and a planted link would invite writing elsewhere.
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); Absolute(run)) {
    std::string dir = std::string(run) + "/" + programName;
    if (PrivateFolder(dir)) return dir + "/";
  }
  std::string cache = CacheHome();
  mkdir(cache.c_str(), 0700);
  std::string dir = cache + "/" + programName;
  if (PrivateFolder(dir)) return dir + "/";
  return std::nullopt;
}

std::string Environment::ProgramFolder() {
  return programFolder_.empty() ? ExecutableFolder() : programFolder_;
}

std::string Environment::MediaFolder() {
  struct stat st;
  if (::stat((ProgramFolder() + "/installed").c_str(), &st) == 0)
    return DataHome() + "/" + programName_ + "/Review";
  return ProgramFolder() + "/Review";
}

bool FileSystem::FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FileSystem::FolderExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void FileSystem::DeleteFile(const std::string& path, bool force) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) Fail("cannot delete", path);
  if (S_ISDIR(st.st_mode)) Fail("cannot delete", path, EISDIR);
  // Without force a read-only file stays, as the helper object does it.
  if (!force && !S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) Fail("cannot delete", path, EACCES);
  if (unlink(path.c_str()) != 0) Fail("cannot delete", path);
}

void FileSystem::CreateFolder(const std::string& path) {
  // The folders it lies in too (the data folder of an installed copy may
  // not be there yet).
  auto slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(path.substr(0, slash));
  if (mkdir(path.c_str(), 0755) != 0) Fail("cannot create the folder", path);
}

std::string FileSystem::Dir(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return "";
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void FileSystem::Kill(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Fail("cannot delete", path, EISDIR);
  if (unlink(path.c_str()) != 0) Fail("cannot delete", path);
}

void FileSystem::Rename(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) Fail("cannot rename", from + " to " + to);
}

std::unique_ptr<components::OutputFile> FileSystem::CreateNew(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) Fail("cannot create", path);
  return std::make_unique<PosixOutputFile>(fd, path);
}

std::unique_ptr<components::OutputFile> FileSystem::OpenForAppend(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot open", path);
  return std::make_unique<PosixOutputFile>(fd, path);
}

std::span<const std::uint8_t> Resources::LoadResData(int id, const std::string& type) {
  for (const auto& e : table_)
    if (e.id == id && type == e.type) return {e.data, e.size};
  throw ComponentError("resource " + type + " " + std::to_string(id) + " not found");
}

namespace {
// $`variable` when it is an absolute path, else `fallback` in the home folder.
std::string XdgFolder(const char* variable, const char* fallback) {
  if (const char* xdg = std::getenv(variable); Absolute(xdg)) return xdg;
  const char* home = std::getenv("HOME");
  if (!Absolute(home)) {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : "/";
  }
  return std::string(home) + "/" + fallback;
}
}  // namespace

std::string DataHome() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }
std::string CacheHome() { return XdgFolder("XDG_CACHE_HOME", ".cache"); }

bool MakeFolders(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i != dir.size() && dir[i] != '/') continue;
    if (mkdir(dir.substr(0, i).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

std::string PlayerStorage::DefaultFolder(const std::string& programName) {
  return DataHome() + "/" + programName + "/player";
}

std::string PlayerStorage::PathOf(const std::string& name) const {
  // Record names are ours (a book code); anything else is made harmless.
  std::string safe;
  for (char c : name) safe += (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') ? c : '_';
  return folder_ + "/" + safe + ".lists";
}

std::optional<std::string> PlayerStorage::Load(const std::string& name) {
  int fd = ::open(PathOf(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  std::string out;
  char buf[8192];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  ::close(fd);
  if (n < 0) return std::nullopt;
  return out;
}

bool PlayerStorage::Save(const std::string& name, const std::string& bytes) {
  MakeFolders(folder_);
  return ReplaceFile(PathOf(name), ".new", true,
                     [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool Connection::IsThisMachine(const std::string& url) {
  const std::string scheme = "http://";
  if (url.compare(0, scheme.size(), scheme) != 0) return false;
  std::string host = url.substr(scheme.size(), url.find('/', scheme.size()) - scheme.size());
  if (host.size() > 0 && host[0] == '[') {
    host = host.substr(0, host.find(']') + 1);
  } else {
    host = host.substr(0, host.find(':'));
  }
  bool loopbackV4 = host.rfind("127.", 0) == 0 && host.find_first_not_of("0123456789.") == std::string::npos;
  return host == "localhost" || host == "[::1]" || loopbackV4;
}

bool Connection::InternetGetConnectedState() {
  if (IsThisMachine(downloadServer_)) return true;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool connected = false;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || !(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK)) continue;
    int family = a->ifa_addr->sa_family;
    if (family == AF_INET || family == AF_INET6) connected = true;
  }
  freeifaddrs(list);
  return connected;
}

}  // namespace posix
