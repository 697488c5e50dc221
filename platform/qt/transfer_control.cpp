#include "platform/qt/transfer_control.h"

#include <fcntl.h>
#include <unistd.h>

#include <QUrl>
#include <algorithm>
#include <cstdlib>

#include "components/errors.h"
#include "platform/posix/file_replace.h"
#include "platform/posix/services.h"
#include "platform/qt/modules.h"

namespace qtdesk {

using namespace components;

namespace {

// The program's temporary folder: TEMP, else its private one.
std::string TempFolder() {
  if (const char* temp = std::getenv("TEMP"); temp && *temp) return temp;
  return posix::RuntimeFolder("reader").value_or("/tmp/");
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

Transfer::Transfer(components::Desktop& desktop) : desktop_(desktop) {}

Transfer::~Transfer() {
  ++generation_;
  if (backend_) backend_->Abort();
  CloseSpool();
}

void Transfer::OpenSpool() {
  CloseSpool();
  std::string path = TempFolder();
  if (!path.empty() && path.back() != '/') path += '/';
  path += "reader-transfer-XXXXXX";
  spool_ = ::mkostemp(path.data(), O_CLOEXEC);  // 0600, created afresh
  spoolFailed_ = spool_ < 0;
  // Nothing else needs its name: gone with the last descriptor, whatever
  // the outcome.
  if (spool_ >= 0) ::unlink(path.c_str());
}

void Transfer::CloseSpool() {
  if (spool_ >= 0) ::close(spool_);
  spool_ = -1;
}

void Transfer::Execute(const std::string& url, const std::string& operation) {
  if (executing_) throw ComponentError("Still executing last request");
  QUrl target(QString::fromStdString(url));
  if (!target.isValid() || target.scheme() != "http") throw ComponentError("URL is malformed: " + url);
  std::string verb = operation.substr(0, operation.find(' '));
  const std::string rest = operation.size() > verb.size() ? operation.substr(verb.size() + 1) : "";
  if ((verb != "HEAD" && verb != "GET") || rest.size() < 2 || rest.front() != '"' || rest.back() != '"')
    throw ComponentError("operation not supported: " + operation);
  if (!backend_) {
    using Create = TransferBackend* (*)();
    auto create = ResolveModule<Create>("libreader_transfer.so", "reader_transfer_create");
    if (!create) throw ComponentError("the HTTP module libreader_transfer.so is missing beside the program");
    backend_.reset(create());
  }
  result_.reset();
  cancelled_ = false;
  OpenSpool();
  executing_ = true;
  const int generation = ++generation_;
  TransferBackend::Events events;
  events.headers = [this, generation] {
    if (generation == generation_) Report(kConnected);
  };
  events.data = [this, generation](const QByteArray& bytes) {
    if (generation != generation_ || spool_ < 0) return;
    if (!posix::WriteAll(spool_, bytes.constData(), static_cast<std::size_t>(bytes.size())))
      spoolFailed_ = true;
  };
  events.finished = [this, generation](const TransferResult& result) {
    if (generation != generation_) return;  // cancelled or replaced: nothing follows
    result_ = result;
    const bool failed = result.failed || spoolFailed_;
    if (failed) CloseSpool();
    if (spool_ >= 0) ::lseek(spool_, 0, SEEK_SET);  // read from the start
    // Executing until its last state is handled: a wait on StillExecuting
    // sees the request's own states first.
    Report(failed ? kError : kResponseCompleted, true);
  };
  backend_->Start(target, verb == "HEAD", stallMs_, std::move(events));
}

void Transfer::Report(int state, bool last) {
  // From the event loop, never inside a call of the system's on this control
  // (Qt may finish a reply inside abort()).
  desktop_.Post(lifetime_, [this, state, last, generation = generation_] {
    if (generation != generation_) return;
    if (last) executing_ = false;
    RaiseStateChanged(state);
  });
}

bool Transfer::StillExecuting() { return executing_; }

std::string Transfer::GetHeader(const std::string& name) {
  if (!result_ || result_->status < 200 || result_->status > 299) return "";
  for (const auto& [n, v] : result_->headers)
    if (Lower(n.toStdString()) == Lower(name)) return v.toStdString();
  return "";
}

std::vector<std::uint8_t> Transfer::GetChunk(int size, int) {
  std::vector<std::uint8_t> out;
  if (cancelled_ || spool_ < 0 || size <= 0) return out;
  out.resize(static_cast<std::size_t>(size));
  ssize_t n;
  do {
    n = ::read(spool_, out.data(), out.size());
  } while (n < 0 && errno == EINTR);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (out.empty()) CloseSpool();  // all read: the spool goes
  return out;
}

void Transfer::Cancel() {
  ++generation_;  // before abort(): Qt may report the reply finished inside it
  cancelled_ = true;
  executing_ = false;
  if (backend_) backend_->Abort();
  CloseSpool();
}

}  // namespace qtdesk
