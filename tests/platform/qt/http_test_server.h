#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace testing_support {

// cpp-httplib on 127.0.0.1, on a thread of its own, with the routes a test
// gives; it counts the requests it answered.
class HttpTestServer {
 public:
  explicit HttpTestServer(const std::function<void(httplib::Server&)>& routes) {
    routes(server_);
    server_.set_keep_alive_timeout(1);  // a client's idle connection holds up the end no longer
    server_.set_logger([this](const httplib::Request&, const httplib::Response&) { ++requests_; });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ < 0) throw std::runtime_error("the test server cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~HttpTestServer() {
    server_.stop();
    thread_.join();
  }
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  int requests() const { return requests_; }

 private:
  httplib::Server server_;
  int port_ = -1;
  std::atomic<int> requests_{0};
  std::thread thread_;
};

}  // namespace testing_support
