#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <functional>

namespace qtdesk {

// What a reply said, kept as a value: the reply object itself goes soon
// after it finishes.
struct TransferReply {
  int status = 0;  // 0 until a status line has arrived
  QByteArray reason;
  QList<QPair<QByteArray, QByteArray>> headers;

  // Names compare without case, as HTTP has it; a repeated header's values
  // are joined by ", ". Empty when absent.
  QByteArray Header(const QByteArray& name) const {
    QByteArray value;
    for (const auto& [n, v] : headers) {
      if (n.compare(name, Qt::CaseInsensitive) != 0) continue;
      if (!value.isEmpty()) value += ", ";
      value += v;
    }
    return value;
  }
};

struct TransferRequest {
  QUrl url;
  bool head = false;
  // A request that makes no progress for this long fails.
  int stallMilliseconds = 30000;
};

// The HTTP side of the transfer control, in a module of its own
// (libreader_transfer.so beside the program): Qt Network and the libraries
// it pulls in would cost every start; they load at the first request.
// Requests ask for the body as it is stored (no content coding) and follow
// redirects only to the same scheme and host.
class TransferBackend {
 public:
  struct Events {
    // The final reply's status and headers (a followed redirect's are not told).
    std::function<void(const TransferReply&)> headers;
    std::function<void(const QByteArray&)> data;
    // failure: empty when the exchange itself went through, whatever the
    // status; else why it did not.
    std::function<void(const TransferReply&, const QString& failure)> finished;
  };
  virtual ~TransferBackend() = default;
  // Abandons a request still running.
  virtual void Start(const TransferRequest& request, Events events) = 0;
  // Abandons the running request; none of its events follows, and nothing
  // of it is deleted before the event loop is back.
  virtual void Abort() = 0;
};

}  // namespace qtdesk
