#include "tests/support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace testing_support {

ScriptedHttpServer::ScriptedHttpServer(Handler handler) : handler_(std::move(handler)) {
  listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::listen(listen_, 8);
  socklen_t len = sizeof addr;
  ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  stopping_ = true;
  ::shutdown(listen_, SHUT_RDWR);
  thread_.join();
  ::close(listen_);
}

std::string ScriptedHttpServer::url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

void ScriptedHttpServer::Send(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void ScriptedHttpServer::Reply(int fd, int status, const std::string& body, const std::string& headers,
                               bool head) {
  Send(fd, "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n" + headers + "\r\n" + (head ? "" : body));
}

void ScriptedHttpServer::Serve() {
  // Bounded: a test makes a handful of requests; the loop ends with the server.
  while (!stopping_) {
    pollfd p{listen_, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::string head;
    char buf[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
      pollfd q{fd, POLLIN, 0};
      if (::poll(&q, 1, 2000) <= 0) break;
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      head.append(buf, static_cast<size_t>(n));
    }
    Request r;
    size_t sp = head.find(' ');
    r.method = head.substr(0, sp);
    r.path = sp == std::string::npos ? "" : head.substr(sp + 1, head.find(' ', sp + 1) - sp - 1);
    ++requests_;
    bool reset = false;
    handler_(r, fd, reset);
    if (reset) {
      linger l{1, 0};  // a reset, not an orderly close
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }
    ::close(fd);
  }
}

}  // namespace testing_support
