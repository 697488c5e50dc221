#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>

#include "components/desktop.h"
#include "components/transfer.h"
#include "platform/qt/transfer_backend.h"

namespace qtdesk {

// HTTP requests, reported as the transfer control's states.
class Transfer : public QObject, public components::Transfer {
 public:
  explicit Transfer(components::Desktop& desktop);
  ~Transfer() override;
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override;
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

 private:
  void Report(int state);
  components::Desktop& desktop_;
  std::unique_ptr<TransferBackend> backend_;  // loaded at the first request
  QByteArray body_;
  qsizetype read_ = 0;
  bool executing_ = false;
  // Events of a request cancelled or replaced are dropped.
  int generation_ = 0;
};

}  // namespace qtdesk
