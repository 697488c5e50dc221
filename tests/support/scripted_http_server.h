#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// An HTTP server for one test, on 127.0.0.1 and a port of the system's
// choosing, answering each request with what the test writes for it, raw:
// a well-formed reply to the HEAD and a misbehaving one to the GET (a short
// body, a reset, a stall), as a download meets them one after the other.
class ScriptedHttpServer {
 public:
  struct Request {
    std::string method, path;
  };
  // Writes the reply for a request on the connection `fd`; the connection
  // closes when it returns (a reset when `reset` is set).
  using Handler = std::function<void(const Request& request, int fd, bool& reset)>;

  explicit ScriptedHttpServer(Handler handler);
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  // "http://127.0.0.1:PORT/"
  std::string url() const;
  int requests() const { return requests_; }

  // A whole reply: status line, Content-Length, other headers, the body.
  static void Reply(int fd, int status, const std::string& body, const std::string& headers = "",
                    bool head = false);
  static void Send(int fd, const std::string& bytes);

 private:
  void Serve();
  Handler handler_;
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

}  // namespace testing_support
