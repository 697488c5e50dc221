#pragma once

#include <QByteArray>
#include <QUrl>
#include <functional>

namespace qtdesk {

// The HTTP side of the transfer control, in a module of its own
// (libreader_transfer.so beside the program): Qt Network and the libraries
// it pulls in would cost every start; they load at the first request.
class TransferBackend {
 public:
  struct Events {
    std::function<void()> headers;
    std::function<void(const QByteArray&)> data;
    std::function<void(bool failed, bool cancelled)> finished;
  };
  virtual ~TransferBackend() = default;
  virtual void Start(const QUrl& url, bool head, Events events) = 0;
  // Of the last reply; empty when absent.
  virtual QByteArray Header(const QByteArray& name) const = 0;
  virtual void Abort() = 0;
};

}  // namespace qtdesk
