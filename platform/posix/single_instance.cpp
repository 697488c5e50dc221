#include "platform/posix/single_instance.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/posix/services.h"

namespace posix {

namespace {
constexpr char kShow[] = "show\n";
constexpr char kShown[] = "shown\n";

// What a claim holds is never a child's: a process this one forks (a
// library's helper that may never reach exec, so close-on-exec does not
// help) drops it at once, and the claim ends with this process.
std::atomic<int> g_heldInChildren[8] = {-1, -1, -1, -1, -1, -1, -1, -1};

void CloseInChild() {
  for (auto& fd : g_heldInChildren)
    if (int f = fd.load(); f >= 0) ::close(f);  // async-signal-safe, as a forked child needs
}

void KeepFromChildren(int fd) {
  static std::once_flag registered;
  std::call_once(registered, [] { ::pthread_atfork(nullptr, nullptr, CloseInChild); });
  for (auto& slot : g_heldInChildren) {
    int free = -1;
    if (slot.compare_exchange_strong(free, fd)) return;
  }
}

void GiveBack(int fd) {
  for (auto& slot : g_heldInChildren) {
    int held = fd;
    if (slot.compare_exchange_strong(held, -1)) return;
  }
}

bool Address(const std::string& path, sockaddr_un* addr) {
  std::memset(addr, 0, sizeof *addr);
  addr->sun_family = AF_UNIX;
  if (path.size() >= sizeof addr->sun_path) return false;
  std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
  return true;
}
}  // namespace

SingleInstance::SingleInstance(const std::string& programName, const std::string& book) {
  std::optional<std::string> folder = RuntimeFolder(programName);
  if (!folder) return;  // nowhere private to meet: every copy runs
  lockPath_ = *folder + book + ".lock";
  socketPath_ = *folder + book + ".sock";
  Claim();
}

void SingleInstance::Claim() {
  claimed_ = false;
  int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    claimed_ = true;
    return;
  }
  lockFd_ = fd;
  KeepFromChildren(fd);
  // Holding the lock, the socket name is ours: an old one is a dead copy's.
  sockaddr_un addr;
  if (!Address(socketPath_, &addr)) return;
  ::unlink(socketPath_.c_str());
  int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s < 0) return;
  if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, 4) != 0) {
    ::close(s);
    return;
  }
  listenFd_ = s;
  KeepFromChildren(s);
}

void SingleInstance::Retry() {
  if (first() || lockPath_.empty()) return;
  Claim();
}

SingleInstance::~SingleInstance() {
  if (listenFd_ >= 0) {
    GiveBack(listenFd_);
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
  }
  if (lockFd_ >= 0) {
    GiveBack(lockFd_);
    ::close(lockFd_);  // releases the lock
  }
}

namespace {
// Waits at most a moment for what the other side says.
void ShortWait(int fd) {
  timeval limit{0, 300000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}
bool Receive(int fd, const char* expected) {
  const size_t n = std::strlen(expected);
  char buffer[16] = {};
  return ::recv(fd, buffer, n, MSG_WAITALL) == static_cast<ssize_t>(n) &&
         std::memcmp(buffer, expected, n) == 0;
}
bool SendText(int fd, const char* text) {
  const size_t n = std::strlen(text);
  return ::send(fd, text, n, MSG_NOSIGNAL) == static_cast<ssize_t>(n);
}
}  // namespace

bool SingleInstance::AskFirstToShow() const {
  sockaddr_un addr;
  if (!claimed_ || !Address(socketPath_, &addr)) return false;
  // The first copy may be between taking the lock and listening: a moment.
  for (int attempt = 0; attempt < 50; ++attempt) {
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      ShortWait(s);
      bool shown = SendText(s, kShow) && Receive(s, kShown);
      ::close(s);
      return shown;
    }
    ::close(s);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void SingleInstance::TakeRequest(const std::function<bool()>& show) const {
  if (listenFd_ < 0) return;
  int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (c < 0) return;
  // A copy that connects and says nothing holds no one up for long.
  ShortWait(c);
  if (Receive(c, kShow) && show()) SendText(c, kShown);
  ::close(c);
}

}  // namespace posix
