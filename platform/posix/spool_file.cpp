#include "platform/posix/spool_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "components/errors.h"
#include "platform/posix/file_replace.h"

namespace posix {

namespace {

// The process number in "<prefix><pid>-<n>.spool", or 0 for any other name.
pid_t SpoolOwner(const std::string& name, const std::string& prefix) {
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  std::size_t i = prefix.size(), digits = 0;
  long pid = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && digits < 9; ++i, ++digits)
    pid = pid * 10 + (name[i] - '0');
  if (digits == 0 || i >= name.size() || name[i] != '-') return 0;
  std::size_t n = 0;
  for (++i; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) ++n;
  return n > 0 && name.compare(i, std::string::npos, ".spool") == 0 ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

void SpoolFile::RemoveAbandoned(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  // Each entry is looked at and removed within this folder, never through
  // its path again: a folder swapped meanwhile leads nowhere else.
  const int at = ::dirfd(dir);
  while (dirent* entry = ::readdir(dir)) {
    const pid_t owner = SpoolOwner(entry->d_name, prefix);
    // Only a copy that no longer runs has no use for its file; a process
    // number in use (by any process: it may be ours under another user)
    // keeps it.
    if (owner <= 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
    struct stat st;
    if (::fstatat(at, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::getuid())
      ::unlinkat(at, entry->d_name, 0);
  }
  ::closedir(dir);
}

std::unique_ptr<SpoolFile> SpoolFile::Create(const std::string& folder, const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  // A copy that was killed during a download left its file behind.
  RemoveAbandoned(folder, prefix);
  const std::string base = folder + (folder.empty() || folder.back() != '/' ? "/" : "") + prefix +
                           std::to_string(::getpid()) + "-";
  int err = 0;
  // A name left by an earlier copy with our process number is passed over.
  for (int attempt = 0; attempt < 64; ++attempt) {
    std::string path = base + std::to_string(counter++) + ".spool";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) return std::unique_ptr<SpoolFile>(new SpoolFile(fd, std::move(path)));
    err = errno;
    if (err != EEXIST) break;
  }
  throw components::ComponentError("cannot create a download file in " + folder + ": " + std::strerror(err));
}

SpoolFile::~SpoolFile() {
  ::unlink(path_.c_str());
  // The name goes at once; freeing a large file's blocks on the last close
  // takes tens of milliseconds a few hundred megabytes, so that happens
  // on a thread of its own.
  constexpr std::uint64_t kCloseAsideBytes = 8 << 20;
  if (written_ >= kCloseAsideBytes) {
    try {
      std::thread([fd = fd_] { ::close(fd); }).detach();
      return;
    } catch (const std::system_error&) {
      // No thread to be had: closed here, slowly.
    }
  }
  ::close(fd_);
}

bool SpoolFile::Append(const void* data, std::size_t size) {
  if (!WriteAll(fd_, data, size)) return false;
  written_ += size;
  return true;
}

std::vector<std::uint8_t> SpoolFile::Read(std::size_t max) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::min<std::uint64_t>(max, written_ - read_)));
  std::size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(read_ + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  read_ += got;
  return out;
}

}  // namespace posix
