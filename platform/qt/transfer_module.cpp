// HTTP on Qt Network, loaded at the transfer control's first request.
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <memory>

#include "platform/qt/transfer_backend.h"

namespace {

class Backend : public qtdesk::TransferBackend {
 public:
  ~Backend() override { Abort(); }

  void Start(const QUrl& url, bool head, int stallMs, Events events) override {
    Abort();
    QNetworkRequest request(url);
    // The length announced is then the length of the bytes that come.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(stallMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = head ? manager_.head(request) : manager_.get(request);
    reply_ = reply;
    auto state = std::make_shared<State>();
    state->events = std::move(events);
    state_ = state;
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, url, state](const QUrl& to) {
      // Only within the same server: anything else is no chapter file.
      if (to.scheme() == url.scheme() && to.host() == url.host() && to.port(80) == url.port(80)) {
        emit reply->redirectAllowed();
      } else {
        state->refused = true;
        reply->abort();
      }
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, head, state] {
      int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
      if (status >= 300 && status < 400) return;  // a redirect on its way
      QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
      // A body that is not the file itself, or an error page, is no chapter.
      if ((!encoding.isEmpty() && encoding != "identity") || (!head && (status < 200 || status > 299))) {
        state->refused = true;
        reply->abort();
        return;
      }
      if (state->events.headers) state->events.headers();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, state] {
      if (reply->isOpen() && state->events.data) state->events.data(reply->readAll());
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply, head, state] {
      qtdesk::TransferResult result;
      QByteArray rest = reply->isOpen() ? reply->readAll() : QByteArray();
      if (!rest.isEmpty() && state->events.data) state->events.data(rest);
      result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
      for (const auto& pair : reply->rawHeaderPairs()) result.headers.emplace_back(pair.first, pair.second);
      // Only the caller's Abort is a cancel; Qt aborts a stalled transfer too.
      result.cancelled = state->byCaller;
      // A HEAD that got an answer, whatever its status, completed: the
      // status, kept with the result, says what its headers are worth.
      bool answered = head && result.status != 0 && reply->error() >= QNetworkReply::ContentAccessDenied &&
                      reply->error() <= QNetworkReply::UnknownServerError;
      result.failed =
          !result.cancelled && (state->refused || (reply->error() != QNetworkReply::NoError && !answered));
      if (reply_ == reply) reply_ = nullptr;
      reply->deleteLater();  // not inside its own signal
      if (state->events.finished) state->events.finished(result);
    });
  }

  void Abort() override {
    if (state_) state_->byCaller = true;
    if (reply_ && reply_->isRunning()) reply_->abort();
  }

 private:
  struct State {
    Events events;
    bool refused = false;   // aborted here for a reason: a failure
    bool byCaller = false;  // abandoned by the caller: a cancel
  };
  QNetworkAccessManager manager_;
  std::shared_ptr<State> state_;
  QPointer<QNetworkReply> reply_;
};

}  // namespace

extern "C" Q_DECL_EXPORT qtdesk::TransferBackend* reader_transfer_create() { return new Backend; }
