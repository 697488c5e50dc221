// HTTP on Qt Network, loaded at the transfer control's first request.
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <utility>

#include "platform/qt/transfer_backend.h"

namespace {

using qtdesk::TransferReply;

// What waits in memory while the program is busy elsewhere; the network
// thread stops reading beyond it.
constexpr qint64 kReadBuffer = 256 * 1024;
constexpr int kMaxRedirects = 8;

bool SameSchemeAndHost(const QUrl& from, const QUrl& to) {
  return from.scheme().compare(to.scheme(), Qt::CaseInsensitive) == 0 &&
         from.host().compare(to.host(), Qt::CaseInsensitive) == 0;
}

// Qt names a reply's 4xx or 5xx status an error too; that is the server's
// answer, not a failed exchange.
bool StatusAnswer(int status, QNetworkReply::NetworkError error) {
  return status >= 400 && ((error >= 201 && error <= 299) || (error >= 401 && error <= 499));
}

// Qt tells a redirect's headers before it asks whether to follow it.
bool Redirect(const TransferReply& said) {
  return (said.status == 301 || said.status == 302 || said.status == 303 || said.status == 307 ||
          said.status == 308) &&
         !said.Header("Location").isEmpty();
}

TransferReply Snapshot(const QNetworkReply& reply) {
  TransferReply said;
  QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
  said.status = status.isValid() ? status.toInt() : 0;
  said.reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
  said.headers = reply.rawHeaderPairs();
  return said;
}

class QtNetworkBackend : public qtdesk::TransferBackend {
 public:
  QtNetworkBackend() : manager_(new QNetworkAccessManager) {
    stall_.setSingleShot(true);
    QObject::connect(&stall_, &QTimer::timeout,
                     [this] { Fail(QString("no progress for %1 ms").arg(stall_.interval())); });
  }

  ~QtNetworkBackend() override {
    Abort();
    // Whatever the manager still has under way unwinds first.
    manager_->deleteLater();
  }

  void Start(const qtdesk::TransferRequest& request, Events events) override {
    Abort();
    QNetworkRequest asked(request.url);
    // So a reply's length is the length of the bytes received.
    asked.setRawHeader("Accept-Encoding", "identity");
    asked.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    asked.setMaximumRedirectsAllowed(kMaxRedirects);
    events_ = std::move(events);
    QNetworkReply* reply = request.head ? manager_->head(asked) : manager_->get(asked);
    reply_ = reply;
    reply->setReadBufferSize(kReadBuffer);
    On(&QNetworkReply::redirected, [this, reply, from = request.url](const QUrl& to) {
      stall_.start();
      if (SameSchemeAndHost(from, to)) {
        emit reply->redirectAllowed();
      } else {
        Fail("redirected to another host: " + to.toDisplayString());
      }
    });
    On(&QNetworkReply::metaDataChanged, [this, reply] {
      stall_.start();
      TransferReply said = Snapshot(*reply);
      if (!Redirect(said)) events_.headers(said);
    });
    On(&QNetworkReply::readyRead, [this, reply] {
      stall_.start();
      events_.data(reply->readAll());
    });
    On(&QNetworkReply::downloadProgress, [this] { stall_.start(); });
    On(&QNetworkReply::finished, [this, reply] { Finish(*reply); });
    stall_.start(request.stallMilliseconds);
  }

  void Abort() override {
    if (reply_) Release(true);
  }

 private:
  template <typename Signal, typename Slot>
  void On(Signal signal, Slot slot) {
    connections_.push_back(QObject::connect(reply_, signal, reply_, std::move(slot)));
  }

  void Finish(QNetworkReply& reply) {
    QByteArray rest = reply.readAll();
    if (!rest.isEmpty()) {
      events_.data(rest);
      if (reply_ != &reply) return;  // the data ended it
    }
    TransferReply said = Snapshot(reply);
    QNetworkReply::NetworkError error = reply.error();
    QString failure =
        error == QNetworkReply::NoError || StatusAnswer(said.status, error) ? QString() : reply.errorString();
    Release(false);
    Told(said, failure);
  }

  void Fail(const QString& why) {
    if (!reply_) return;
    TransferReply said = Snapshot(*reply_);
    Release(true);
    Told(said, why);
  }

  void Told(const TransferReply& said, const QString& failure) {
    // A copy: the handler may start the next request.
    Events events = events_;
    events.finished(said, failure);
  }

  // Qt's `finished` comes at once from abort(): nobody hears it any more.
  void Release(bool abort) {
    QNetworkReply* reply = std::exchange(reply_, nullptr);
    for (const QMetaObject::Connection& c : connections_) QObject::disconnect(c);
    connections_.clear();
    stall_.stop();
    // A reply Qt already holds failed (a 404, say) is not aborted twice:
    // deleting it ends its request all the same.
    if (abort && reply->error() == QNetworkReply::NoError) reply->abort();
    reply->deleteLater();
  }

  QNetworkAccessManager* manager_;
  QNetworkReply* reply_ = nullptr;
  QList<QMetaObject::Connection> connections_;
  QTimer stall_;
  Events events_;
};

}  // namespace

extern "C" Q_DECL_EXPORT qtdesk::TransferBackend* reader_transfer_create() { return new QtNetworkBackend; }
