#include "tests/platform/qt/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace testing_support {

namespace {

constexpr int kPollMilliseconds = 20;

// Waits up to kPollMilliseconds for fd to become readable.
bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, kPollMilliseconds) > 0;
}

}  // namespace

RawHttpServer::RawHttpServer(std::string reply, Ending ending) : reply_(std::move(reply)), ending_(ending) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, kMaxConnections) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    throw std::runtime_error("the raw test server cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

RawHttpServer::~RawHttpServer() {
  stop_ = true;
  thread_.join();
  ::close(listener_);
}

std::string RawHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string RawHttpServer::LastRequest() const {
  std::lock_guard lock(mutex_);
  return lastRequest_;
}

void RawHttpServer::Run() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kLifetimeSeconds);
  while (!stop_ && connections_ < kMaxConnections && std::chrono::steady_clock::now() < deadline) {
    if (!Readable(listener_)) continue;
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    Answer(fd, deadline);
  }
}

void RawHttpServer::Answer(int fd, std::chrono::steady_clock::time_point deadline) {
  std::string request;
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && !stop_ &&
         std::chrono::steady_clock::now() < deadline) {
    if (!Readable(fd)) continue;
    char buffer[4096];
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<std::size_t>(n));
  }
  {
    std::lock_guard lock(mutex_);
    lastRequest_ = request.substr(0, request.find("\r\n\r\n"));
  }
  for (std::size_t sent = 0; sent < reply_.size() && !stop_;) {
    ssize_t n = ::send(fd, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  if (ending_ == Ending::Stall) {
    clientGone_ = false;
    char byte;
    while (!stop_ && std::chrono::steady_clock::now() < deadline) {
      if (Readable(fd) && ::recv(fd, &byte, 1, 0) <= 0) {
        clientGone_ = true;
        break;
      }
    }
  }
  if (ending_ == Ending::Reset) {
    linger abortive{1, 0};  // close sends RST
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  }
  ::close(fd);
}

}  // namespace testing_support
