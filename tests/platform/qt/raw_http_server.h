#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace testing_support {

// A server on 127.0.0.1 for replies no well-behaved server sends: it reads
// each request's head, answers with the same raw bytes, then closes, resets
// or stalls. One connection at a time, at most kMaxConnections, none after
// kLifetimeSeconds; a stall lasts until the client goes or the server does.
class RawHttpServer {
 public:
  enum class Ending { Close, Reset, Stall };
  static constexpr int kMaxConnections = 8;
  static constexpr int kLifetimeSeconds = 30;

  RawHttpServer(std::string reply, Ending ending);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  std::string Url(const std::string& path = "/file") const;
  int connections() const { return connections_; }
  // The head of the last request read; empty before one.
  std::string LastRequest() const;
  // True once the client has closed the connection being stalled.
  bool ClientGone() const { return clientGone_; }

 private:
  void Run();
  void Answer(int fd, std::chrono::steady_clock::time_point deadline);

  const std::string reply_;
  const Ending ending_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::atomic<bool> clientGone_{false};
  mutable std::mutex mutex_;
  std::string lastRequest_;
  std::thread thread_;
};

}  // namespace testing_support
