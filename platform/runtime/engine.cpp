#include "platform/runtime/engine.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>
#include <algorithm>
#include <cstdio>

namespace runtime {

namespace {

// Serves reader: addresses from the program's own files, nothing else.
class Scheme : public QWebEngineUrlSchemeHandler {
 public:
  Scheme(std::function<Response(std::string_view)> serve, Engine& engine)
      : serve_(std::move(serve)), engine_(engine) {}
  void requestStarted(QWebEngineUrlRequestJob* job) override {
    QByteArray url = job->requestUrl().toEncoded();
    Response r = serve_ ? serve_(std::string_view(url.constData(), static_cast<std::size_t>(url.size())))
                        : Response{.status = 404};
    if (r.status != 200) {
      std::fprintf(stderr, "reader: refused %s (%d)\n", url.constData(), r.status);
      engine_.Refused(QString::fromUtf8(url));
      job->fail(r.status == 404 ? QWebEngineUrlRequestJob::UrlNotFound
                                : QWebEngineUrlRequestJob::RequestDenied);
      return;
    }
    auto* body = new QBuffer(job);
    body->setData(reinterpret_cast<const char*>(r.body.data()), static_cast<qsizetype>(r.body.size()));
    body->open(QIODevice::ReadOnly);
    job->reply(QByteArray::fromStdString(r.mime), body);
  }

 private:
  std::function<Response(std::string_view)> serve_;
  Engine& engine_;
};

// Nothing reaches the network or the disk but through the scheme.
class Lockdown : public QWebEngineUrlRequestInterceptor {
 public:
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    QString scheme = info.requestUrl().scheme();
    if (scheme == "reader" || scheme == "data" || scheme == "blob") return;
    std::fprintf(stderr, "reader: refused %s\n", info.requestUrl().toEncoded().left(200).constData());
    info.block(true);
  }
};

std::string Canonical(const std::string& path) {
  QFileInfo info(QString::fromStdString(path));
  QString canonical = info.canonicalFilePath();
  return (canonical.isEmpty() ? info.absoluteFilePath() : canonical).toStdString();
}

}  // namespace

std::shared_ptr<Engine> Engine::Get(const Host& host) {
  static std::weak_ptr<Engine> current;
  if (std::shared_ptr<Engine> engine = current.lock()) return engine;
  std::shared_ptr<Engine> engine(new Engine(host));
  current = engine;
  return engine;
}

Engine::Engine(const Host& host)
    : host_(host),
      storage_(QString::fromStdString(host.dataFolder) + "/shared-objects.json"),
      scheme_(std::make_unique<Scheme>(host.serve, *this)),
      lockdown_(std::make_unique<Lockdown>()) {
  for (const std::string& folder : host.mediaFolders) mediaFolders_.push_back(Canonical(folder));
  QString data = QString::fromStdString(host.dataFolder);
  profile_ = new QWebEngineProfile("reader", this);
  profile_->setPersistentStoragePath(data + "/web-engine");
  profile_->setCachePath(data + "/web-engine-cache");
  profile_->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
  profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile_->setSpellCheckEnabled(false);
  profile_->installUrlSchemeHandler("reader", scheme_.get());
  profile_->setUrlRequestInterceptor(lockdown_.get());
}

Engine::~Engine() {
  // The profile first: it still refers to the handler and the interceptor.
  delete profile_;
}

int Engine::WhenRefused(std::function<void(const QString&)> listener) {
  refusedListeners_[++lastToken_] = std::move(listener);
  return lastToken_;
}

void Engine::Refused(const QString& url) {
  auto listeners = refusedListeners_;  // a listener may forget itself
  for (auto& [token, listener] : listeners) listener(url);
}

int Engine::WhenStored(std::function<void(int, const QString&, const QJsonValue&)> listener) {
  storedListeners_[++lastToken_] = std::move(listener);
  return lastToken_;
}

void Engine::Store(int from, const QString& key, const QJsonValue& value) {
  if (value.isString())
    storage_.Set(key, value.toString());
  else
    storage_.Remove(key);
  auto listeners = storedListeners_;
  for (auto& [token, listener] : listeners)
    if (token != from) listener(token, key, value);
}

std::optional<QString> Engine::AddressOf(const std::string& path) {
  QFileInfo info(QString::fromStdString(path));
  if (info.suffix().compare("zov", Qt::CaseInsensitive) == 0) {
    std::string folder = Canonical(info.absolutePath().toStdString());
    if (std::find(mediaFolders_.begin(), mediaFolders_.end(), folder) == mediaFolders_.end())
      return std::nullopt;
    return "reader://media/" + QString::fromUtf8(QUrl::toPercentEncoding(info.fileName()));
  }
  if (host_.setBook) host_.setBook(path);
  // An address of its own each time: no cache hands the view the book before.
  return QString("reader://book/book.swf?%1").arg(++books_);
}

}  // namespace runtime
