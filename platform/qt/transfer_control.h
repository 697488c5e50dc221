#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "components/desktop.h"
#include "components/transfer.h"
#include "platform/qt/transfer_backend.h"

namespace qtdesk {

// HTTP requests, reported as the transfer control's states. The body is
// streamed into a spool file in the program's temporary folder while it
// arrives and read from there in chunks: never held whole in memory.
class Transfer : public QObject, public components::Transfer {
 public:
  explicit Transfer(components::Desktop& desktop);
  ~Transfer() override;
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override;
  // From the finished request's result, names compared without case; empty
  // for a reply whose status is not 2xx (its headers describe no file).
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

  // A request that makes no progress this long fails (state 11).
  void SetStallLimit(int milliseconds) { stallMs_ = milliseconds; }

 private:
  void Report(int state, bool last = false);
  void OpenSpool();
  void CloseSpool();
  components::Desktop& desktop_;
  std::unique_ptr<TransferBackend> backend_;  // loaded at the first request
  std::optional<TransferResult> result_;
  int spool_ = -1;  // write and read; its name is gone once opened
  bool spoolFailed_ = false;
  bool executing_ = false;
  bool cancelled_ = false;
  int stallMs_ = 30000;
  // Events of a request cancelled or replaced are dropped.
  int generation_ = 0;
  components::Lifetime lifetime_;
};

}  // namespace qtdesk
