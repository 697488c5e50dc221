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

  void Start(const QUrl& url, bool head, Events events) override {
    Abort();
    QNetworkRequest request(url);
    QNetworkReply* reply = head ? manager_.head(request) : manager_.get(request);
    reply_ = reply;
    auto shared = std::make_shared<Events>(std::move(events));
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [shared] {
      if (shared->headers) shared->headers();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [shared, reply] {
      if (shared->data) shared->data(reply->readAll());
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [shared, reply] {
      QByteArray rest = reply->readAll();
      if (!rest.isEmpty() && shared->data) shared->data(rest);
      bool cancelled = reply->error() == QNetworkReply::OperationCanceledError;
      bool failed = reply->error() != QNetworkReply::NoError && !cancelled;
      // Headers stay readable until the next request replaces this reply.
      reply->deleteLater();
      if (shared->finished) shared->finished(failed, cancelled);
    });
  }

  QByteArray Header(const QByteArray& name) const override {
    return reply_ ? reply_->rawHeader(name) : QByteArray();
  }

  void Abort() override {
    if (reply_ && reply_->isRunning()) reply_->abort();
  }

 private:
  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
};

}  // namespace

extern "C" Q_DECL_EXPORT qtdesk::TransferBackend* reader_transfer_create() { return new Backend; }
