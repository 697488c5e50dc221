#include "platform/qt/transfer_control.h"

#include <QUrl>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "components/errors.h"
#include "platform/posix/services.h"
#include "platform/posix/spool_file.h"
#include "platform/qt/modules.h"

namespace qtdesk {

using components::ComponentError;

namespace {

constexpr const char* kProgramName = "reader";

bool Success(int status) { return status >= 200 && status <= 299; }

// True for "HEAD \"...\"", false for "GET \"...\"": a verb, a space and one
// non-empty quoted text, nothing else.
bool IsHead(const std::string& operation) {
  for (const auto& [verb, head] : {std::pair{std::string("HEAD \""), true}, {std::string("GET \""), false}}) {
    if (operation.starts_with(verb) && operation.size() > verb.size() + 1 &&
        operation.find('"', verb.size()) == operation.size() - 1)
      return head;
  }
  throw ComponentError("the transfer control cannot run \"" + operation +
                       "\": it runs HEAD \"url\" or GET \"file\"");
}

QUrl HttpUrl(const std::string& url) {
  QUrl target(QString::fromStdString(url), QUrl::StrictMode);
  if (!target.isValid() || target.scheme().compare("http", Qt::CaseInsensitive) != 0 ||
      target.host().isEmpty())
    throw ComponentError("the transfer control takes only http addresses, not \"" + url + "\"");
  return target;
}

std::optional<std::uint64_t> Length(const QByteArray& text) {
  std::uint64_t n = 0;
  const char* end = text.constData() + text.size();
  auto [at, error] = std::from_chars(text.constData(), end, n);
  if (text.isEmpty() || error != std::errc() || at != end) return std::nullopt;
  return n;
}

}  // namespace

Transfer::Transfer(components::Desktop& desktop, TransferOptions options)
    : desktop_(desktop), options_(std::move(options)) {}

// The backend aborts its reply and hands the network objects to the event
// loop; the spool goes with its member; posted states are dropped.
Transfer::~Transfer() = default;

TransferBackend& Transfer::Backend() {
  if (!backend_) {
    using Create = TransferBackend* (*)();
    auto create = ResolveModule<Create>("libreader_transfer.so", "reader_transfer_create");
    if (!create) throw ComponentError("the HTTP module libreader_transfer.so is missing beside the program");
    backend_.reset(create());
  }
  return *backend_;
}

std::string Transfer::SpoolFolder() const {
  if (!options_.spoolFolder.empty()) return options_.spoolFolder;
  std::optional<std::string> temp = posix::Environment(kProgramName).Environ("TEMP");
  if (!temp)
    throw ComponentError("no folder for downloads: TEMP is unset and the private folder cannot be made");
  return *temp;
}

void Transfer::Execute(const std::string& url, const std::string& operation) {
  const bool head = IsHead(operation);
  QUrl target = HttpUrl(url);
  if (executing_) throw ComponentError("the transfer control is still executing its last request");
  TransferBackend& backend = Backend();
  const int generation = ++generation_;
  spool_.reset();
  reply_ = {};
  failure_.clear();
  head_ = head;
  connectedTold_ = receptionTold_ = receptionDelivered_ = bodyEnded_ = complete_ = false;
  executing_ = true;
  TransferBackend::Events events;
  events.headers = [this, generation](const TransferReply& reply) {
    if (generation == generation_) OnHeaders(reply);
  };
  events.data = [this, generation](const QByteArray& bytes) {
    if (generation == generation_) OnData(bytes);
  };
  events.finished = [this, generation](const TransferReply& reply, const QString& failure) {
    if (generation == generation_) OnFinished(reply, failure);
  };
  backend.Start({.url = target, .head = head, .stallMilliseconds = options_.stallMilliseconds},
                std::move(events));
}

void Transfer::OnHeaders(const TransferReply& reply) {
  Keep(reply);
  // An error page is not the file: it is let run to its end (Qt fails the
  // reply itself, and aborting it now would fail it twice), kept nowhere.
  if (!Success(reply_.status)) return spool_.reset();
  if (std::optional<std::string> why = Refusal()) return Fail(*why);
  // The body's file is made once there is a body to keep; a folder that
  // takes none fails this request, not the program.
  if (!head_ && !spool_ && !connectedTold_) {
    try {
      spool_ = posix::SpoolFile::Create(SpoolFolder(), "reader-download-");
    } catch (const std::exception& e) {
      return Fail(e.what());
    }
  }
  if (!connectedTold_) Report(kConnected, false);
  connectedTold_ = true;
}

void Transfer::OnData(const QByteArray& bytes) {
  if (!spool_) return;
  if (!spool_->Append(bytes.constData(), static_cast<std::size_t>(bytes.size()))) {
    const int error = errno;
    return Fail("cannot write " + spool_->path() + ": " + std::strerror(error));
  }
  // The body has begun: it is read while the rest comes.
  if (connectedTold_ && !receptionTold_ && spool_->written() > 0) TellReception(false);
}

void Transfer::TellReception(bool last) {
  receptionTold_ = true;
  Report(kResponseCompleted, last);
}

void Transfer::OnFinished(const TransferReply& reply, const QString& failure) {
  Keep(reply);
  if (!failure.isEmpty()) return Fail(failure.toStdString());
  if (std::optional<std::string> why = Refusal()) return Fail(*why);
  // Qt fails most bodies cut short itself; the count settles it whatever
  // the release.
  if (spool_) {
    std::optional<std::uint64_t> expected = Length(reply_.Header("Content-Length"));
    if (expected && *expected != spool_->written())
      return Fail("the reply ended after " + std::to_string(spool_->written()) + " of " +
                  std::to_string(*expected) + " bytes");
  }
  if (!connectedTold_) Report(kConnected, false);
  connectedTold_ = complete_ = true;
  EndBody();  // all of it is in the spool
  if (!receptionTold_) TellReception(true);
}

void Transfer::EndBody() {
  bodyEnded_ = true;
  if (receptionDelivered_) executing_ = false;
}

// A reply that is not a success has a length, but it is its error page's,
// never the file's.
void Transfer::Keep(const TransferReply& reply) {
  reply_ = reply;
  if (!Success(reply_.status))
    reply_.headers.removeIf(
        [](const auto& h) { return h.first.compare("Content-Length", Qt::CaseInsensitive) == 0; });
}

std::optional<std::string> Transfer::Refusal() const {
  QByteArray coding = reply_.Header("Content-Encoding").trimmed();
  if (!coding.isEmpty() && coding.compare("identity", Qt::CaseInsensitive) != 0)
    return "the reply came " + coding.toStdString() +
           "-coded, though only the bytes themselves were asked for";
  if (!head_ && !Success(reply_.status))
    return "the server answered " + std::to_string(reply_.status) + " " + reply_.reason.toStdString();
  return std::nullopt;
}

void Transfer::Fail(std::string why) {
  if (backend_) backend_->Abort();
  spool_.reset();
  complete_ = false;
  failure_ = std::move(why);
  if (receptionTold_) {
    // Being read (or about to be: 12 may still be on its way): the body
    // ends there, short; no 11 follows.
    EndBody();
    return;
  }
  Report(kError, true);
}

void Transfer::Report(int state, bool last) {
  desktop_.Post(lifetime_, [this, generation = generation_, state, last] {
    if (generation != generation_) return;
    if (state == kResponseCompleted && !head_) receptionDelivered_ = true;
    if (last || (state == kResponseCompleted && bodyEnded_)) executing_ = false;
    RaiseStateChanged(state);
  });
}

bool Transfer::StillExecuting() { return executing_; }

std::string Transfer::GetHeader(const std::string& name) {
  if (!name.empty()) return reply_.Header(QByteArray::fromStdString(name)).toStdString();
  if (reply_.status == 0) return "";
  std::string all = "HTTP/1.1 " + std::to_string(reply_.status) + " " + reply_.reason.toStdString();
  for (const auto& [n, v] : reply_.headers) all += "\r\n" + n.toStdString() + ": " + v.toStdString();
  return all;
}

std::vector<std::uint8_t> Transfer::GetChunk(int size, int dataType) {
  if (dataType != kByteArray)
    throw ComponentError("GetChunk gives bytes (data type 1), not data type " + std::to_string(dataType));
  if (size < 0) throw ComponentError("GetChunk cannot take " + std::to_string(size) + " bytes");
  // Until a whole chunk has come, or the body ended; events run meanwhile
  // (the reader's cancel among them), and this control may go with them.
  std::weak_ptr<const void> alive = lifetime_.token();
  const int generation = generation_;
  const auto wanted = static_cast<std::uint64_t>(size);
  while (spool_ && !bodyEnded_ && spool_->written() - spool_->read() < wanted) {
    desktop_.WaitForEvents();
    // Gone, or another request began meanwhile: nothing of it is this body.
    if (alive.expired() || generation != generation_) return {};
  }
  if (!spool_) return {};
  std::vector<std::uint8_t> bytes = spool_->Read(static_cast<std::size_t>(size));
  if (complete_ && spool_->read() == spool_->written()) spool_.reset();  // read whole: it goes
  return bytes;
}

void Transfer::Cancel() {
  ++generation_;
  if (backend_) backend_->Abort();
  executing_ = complete_ = false;
  spool_.reset();
}

}  // namespace qtdesk
