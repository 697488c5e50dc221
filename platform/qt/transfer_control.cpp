#include "platform/qt/transfer_control.h"

#include <QUrl>
#include <algorithm>

#include "components/errors.h"
#include "platform/qt/modules.h"

namespace qtdesk {

using namespace components;

Transfer::Transfer(components::Desktop& desktop) : desktop_(desktop) {}

Transfer::~Transfer() {
  if (backend_) backend_->Abort();
}

void Transfer::Execute(const std::string& url, const std::string& operation) {
  if (executing_) throw ComponentError("Still executing last request");
  QUrl target(QString::fromStdString(url));
  if (!target.isValid() || target.scheme() != "http") throw ComponentError("URL is malformed: " + url);
  std::string verb = operation.substr(0, operation.find(' '));
  if (verb != "HEAD" && verb != "GET") throw ComponentError("operation not supported: " + operation);
  if (!backend_) {
    using Create = TransferBackend* (*)();
    auto create = ResolveModule<Create>("libreader_transfer.so", "reader_transfer_create");
    if (!create) throw ComponentError("the HTTP module libreader_transfer.so is missing beside the program");
    backend_.reset(create());
  }
  body_.clear();
  read_ = 0;
  executing_ = true;
  const int generation = ++generation_;
  TransferBackend::Events events;
  events.headers = [this, generation] {
    if (generation == generation_) Report(kConnected);
  };
  events.data = [this, generation](const QByteArray& bytes) {
    if (generation == generation_) body_ += bytes;
  };
  events.finished = [this, generation](bool failed, bool cancelled) {
    if (generation != generation_) return;
    executing_ = false;
    if (cancelled) return;
    Report(failed ? kError : kResponseCompleted);
  };
  backend_->Start(target, verb == "HEAD", std::move(events));
}

void Transfer::Report(int state) {
  desktop_.RunHandler([&] { RaiseStateChanged(state); });
}

bool Transfer::StillExecuting() { return executing_; }

std::string Transfer::GetHeader(const std::string& name) {
  if (!backend_) return "";
  return backend_->Header(QByteArray::fromStdString(name)).toStdString();
}

std::vector<std::uint8_t> Transfer::GetChunk(int size, int) {
  qsizetype n = std::min<qsizetype>(std::max(size, 0), body_.size() - read_);
  std::vector<std::uint8_t> out(body_.begin() + read_, body_.begin() + read_ + n);
  read_ += n;
  return out;
}

void Transfer::Cancel() {
  ++generation_;
  if (backend_) backend_->Abort();
  executing_ = false;
  read_ = body_.size();
}

}  // namespace qtdesk
