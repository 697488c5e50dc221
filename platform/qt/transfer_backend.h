#pragma once

#include <QByteArray>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

namespace qtdesk {

// What a finished request left: kept as a value, since the reply it came
// from goes away.
struct TransferResult {
  bool failed = false;     // connection, framing, status, encoding, redirect, stall
  bool cancelled = false;  // abandoned by the caller: reported as nothing
  int status = 0;
  std::vector<std::pair<QByteArray, QByteArray>> headers;
};

// The HTTP side of the transfer control, in a module of its own
// (libreader_transfer.so beside the program): Qt Network and the libraries
// it pulls in would cost every start; they load at the first request.
class TransferBackend {
 public:
  struct Events {
    std::function<void()> headers;  // the reply's headers are in
    std::function<void(const QByteArray&)> data;
    std::function<void(const TransferResult&)> finished;
  };
  virtual ~TransferBackend() = default;
  // A request that makes no progress for `stallMs` fails.
  virtual void Start(const QUrl& url, bool head, int stallMs, Events events) = 0;
  // Ends the running request at once; its finished event says cancelled.
  virtual void Abort() = 0;
};

}  // namespace qtdesk
