#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "components/desktop.h"
#include "components/transfer.h"
#include "platform/qt/transfer_backend.h"

namespace posix {
class SpoolFile;
}

namespace qtdesk {

struct TransferOptions {
  // Where a body waits to be read. Empty: TEMP, else the program's private
  // folder (never the media folder the engine writes to).
  std::string spoolFolder;
  // A request that makes no progress for this long ends in an error.
  int stallMilliseconds = 30000;
};

// HTTP requests reported as the transfer control's states, each posted to
// the event loop. A GET reports 12 (response completed) as soon as its
// body has begun, so that it is read while it comes: the body is spooled to
// a file as it arrives, and GetChunk waits (letting events run) for the
// next chunk, the end, or a failure. Once 12 has been told, a failure or a
// cancel ends the body (GetChunk gives an empty chunk) and no 11 follows.
// The file goes on every outcome.
class Transfer : public components::Transfer {
 public:
  explicit Transfer(components::Desktop& desktop, TransferOptions options = {});
  ~Transfer() override;
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override;
  // An empty name gives every header line, the status line first.
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

  // The last reply's status code; 0 before one arrived.
  int ResponseCode() const { return reply_.status; }
  // Why the last request ended in an error; empty when it did not.
  const std::string& Failure() const { return failure_; }

 private:
  TransferBackend& Backend();
  std::string SpoolFolder() const;
  void OnHeaders(const TransferReply& reply);
  void OnData(const QByteArray& bytes);
  void OnFinished(const TransferReply& reply, const QString& failure);
  void Keep(const TransferReply& reply);
  std::optional<std::string> Refusal() const;
  void Fail(std::string why);
  // Posted, never raised inside a call of the system's; `last` ends the request.
  void Report(int state, bool last);
  void TellReception(bool last);
  // The body is in whole, or will not be: the request ends once its 12 has
  // been delivered.
  void EndBody();

  components::Desktop& desktop_;
  const TransferOptions options_;
  std::unique_ptr<TransferBackend> backend_;  // loaded at the first request
  std::unique_ptr<posix::SpoolFile> spool_;
  TransferReply reply_;
  std::string failure_;
  bool head_ = false;
  bool executing_ = false;
  bool connectedTold_ = false;
  bool receptionTold_ = false;  // 12 posted: failures end the body, not the request
  bool receptionDelivered_ = false;
  bool bodyEnded_ = false;
  bool complete_ = false;
  // Events of a request cancelled or replaced are dropped.
  int generation_ = 0;
  components::Lifetime lifetime_;
};

}  // namespace qtdesk
