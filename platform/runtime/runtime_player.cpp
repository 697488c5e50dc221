#include "platform/runtime/runtime_player.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <cstdio>

#include "platform/qt/control_geometry.h"
#include "platform/runtime/engine.h"
#include "platform/runtime/page_link.h"
#include "platform/runtime/player_view.h"
#include "player/avm1_actions.h"

namespace runtime {

using components::Twips;

namespace {

QString Json(const QJsonArray& values) {
  QByteArray text = QJsonDocument(values).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(text.mid(1, text.size() - 2));  // the elements, without the brackets
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Scripts the page has before any of its own runs: the web channel's
// client, and what the movies stored.
void AddPageScripts(QWebEnginePage& page, const QJsonObject& stored) {
  QFile channel(":/qtwebchannel/qwebchannel.js");
  channel.open(QIODevice::ReadOnly);
  QWebEngineScript client;
  client.setName("reader-channel");
  client.setSourceCode(QString::fromUtf8(channel.readAll()));
  client.setInjectionPoint(QWebEngineScript::DocumentCreation);
  client.setWorldId(QWebEngineScript::MainWorld);
  QWebEngineScript storage;
  storage.setName("reader-storage");
  storage.setSourceCode("window.readerStored = " +
                        QString::fromUtf8(QJsonDocument(stored).toJson(QJsonDocument::Compact)) + ";");
  storage.setInjectionPoint(QWebEngineScript::DocumentCreation);
  storage.setWorldId(QWebEngineScript::MainWorld);
  page.scripts().insert(client);
  page.scripts().insert(storage);
}

}  // namespace

Player::Player(Host host, QWidget* parent, const components::ControlDesign& design)
    : host_(std::move(host)), engine_(Engine::Get(host_)), width_(design.width), height_(design.height) {
  std::function<void(const std::string&)> open = host_.openUrl;
  view_ = new PlayerView(parent, engine_, [open](const QString& url) {
    if (open) open(url.toStdString());
  });
  qtdesk::Place(view_, design);
  QWebEnginePage* page = view_->page();
  link_ = new PageLink(page);
  auto* channel = new QWebChannel(page);
  channel->registerObject("link", link_);
  page->setWebChannel(channel);
  AddPageScripts(*page, engine_->storage().all());

  link_->onPageReady = [this] {
    pageReady_ = true;
    if (url_) {
      unresponsive_ = false;
      Load();
    }
  };
  link_->onBridgeReady = [this](int generation) {
    if (generation != generation_ || bridgeReady_) return;
    bridgeReady_ = true;
    unresponsive_ = false;
    if (!waiting_.empty()) {
      QString all;
      for (const QString& s : waiting_) all += s + ";\n";
      waiting_.clear();
      Send(all);
    }
    if (loop_) loop_->quit();
  };
  link_->onFailed = [this](int generation, const QString& message) {
    std::fprintf(stderr, "reader: the runtime cannot play %s: %s\n", url_ ? qPrintable(*url_) : "",
                 qPrintable(message));
    if (generation != generation_) return;
    GiveUp();
  };
  link_->onFSCommand = [this](int generation, const QString& command, const QString& args) {
    if (generation != generation_ || !host_.post) return;
    host_.post(
        [alive = std::weak_ptr<bool>(alive_), this, c = command.toStdString(), a = args.toStdString()] {
          if (!alive.expired()) RaiseFSCommand(c, a);
        });
  };
  link_->onAnswer = [this](int id, const QString& value) {
    unresponsive_ = false;  // even a late answer: it answers again
    if (id != awaited_) return;
    answer_ = value;
    if (loop_) loop_->quit();
  };
  link_->onStore = [this](const QString& key, const QJsonValue& value) {
    engine_->Store(storedToken_, key, value);
  };
  storedToken_ = engine_->WhenStored([this](int, const QString& key, const QJsonValue& value) {
    if (view_)
      view_->page()->runJavaScript(
          QString("window.readerHost && readerHost.stored(%1)")
              .arg(Json({key, value.isString() ? QJsonValue(value) : QJsonValue()})));
  });
  link_->onOpenUrl = [this](const QString& url) {
    QUrl u(url);
    if ((u.scheme() == "http" || u.scheme() == "https") && host_.openUrl)
      host_.openUrl(url.toStdString());
    else
      std::fprintf(stderr, "reader: the movie may not open %s\n", qPrintable(url.left(200)));
  };
  // A movie the scheme will not serve never gets ready: no call waits for it.
  refusedToken_ = engine_->WhenRefused([this](const QString& url) {
    if (!url_ || url != *url_ || bridgeReady_) return;
    GiveUp();
  });
  // An engine process that ends takes the page with it: a new page, and
  // the movie again.
  ended_ = QObject::connect(page, &QWebEnginePage::renderProcessTerminated, link_,
                            [this](QWebEnginePage::RenderProcessTerminationStatus, int code) {
                              // A few times: a page that ends at every start stays ended.
                              bool again = ++restarts_ <= kRestarts;
                              std::fprintf(stderr, "reader: the runtime's page ended (%d)%s\n", code,
                                           again ? "; it starts again" : "; the movie plays no more");
                              pageReady_ = false;
                              bridgeReady_ = false;
                              GiveUp();
                              if (view_ && again) view_->page()->load(QUrl(Engine::kPage));
                            });
  page->load(QUrl(Engine::kPage));
}

Player::~Player() {
  alive_.reset();
  engine_->Forget(refusedToken_);
  engine_->ForgetStored(storedToken_);
  QObject::disconnect(ended_);
  if (loop_) loop_->quit();
  if (link_) {
    link_->onPageReady = nullptr;
    link_->onBridgeReady = nullptr;
    link_->onFailed = nullptr;
    link_->onFSCommand = nullptr;
    link_->onAnswer = nullptr;
    link_->onStore = nullptr;
    link_->onOpenUrl = nullptr;
  }
  // The widget may be inside one of its own events now (the right click
  // that closed the book): it goes later, and the page with it.
  if (view_) {
    view_->hide();
    view_->deleteLater();
  }
}

void Player::Movie(const std::string& path) {
  ++generation_;
  bridgeReady_ = false;
  unresponsive_ = false;
  waiting_.clear();  // what was meant for the movie before
  url_ = engine_->AddressOf(path);
  if (!url_) {
    std::fprintf(stderr, "reader: %s is not a movie the reader serves\n", path.c_str());
    unresponsive_ = true;
    return;
  }
  if (pageReady_) Load();
}

void Player::GiveUp() {
  unresponsive_ = true;
  waiting_.clear();
  if (loop_) loop_->quit();
}

void Player::Load() {
  if (view_) view_->page()->runJavaScript(QString("readerHost.load(%1)").arg(Json({generation_, *url_})));
}

void Player::Send(const QString& script) {
  if (!bridgeReady_) {
    if (url_ && !unresponsive_) waiting_.push_back(script);
    return;
  }
  if (view_) view_->page()->runJavaScript(script);
}

void Player::SetVariable(const std::string& name, const std::string& value) {
  Send(QString("readerHost.set(%1)").arg(Json({Q(name), Q(value)})));
}

void Player::TCallLabel(const std::string& target, const std::string& label) {
  std::string full = target.empty() || target == "/" ? label : target + ":" + label;
  Send(QString("readerHost.call(%1)").arg(Json({Q(full)})));
}

std::string Player::GetVariable(const std::string& name) { return Ask("readerGet", {Q(name)}); }

std::string Player::TGetProperty(const std::string& target, int index) {
  bool root = target.empty() || target == "/";
  if (root && index == 4) return Ask("readerFrame", {});
  if (root && index == 5) return Ask("readerTotalFrames", {});
  if (root && index == 12) return Ask("readerFramesLoaded", {});
  const char* property = player::avm1::PropertyName(index);
  if (!property) return "";
  return Ask("readerGet", {Q((root ? std::string("/") : target) + ":" + property)});
}

std::string Player::Ask(const QString& callback, const QStringList& args) {
  if (!url_ || unresponsive_ || !view_) return "";
  QElapsedTimer since;
  since.start();
  if (host_.hold) host_.hold();
  struct Release {
    const Host& host;
    ~Release() {
      if (host.release) host.release();
    }
  } release{host_};
  std::weak_ptr<bool> alive = alive_;
  if (!bridgeReady_ && !WaitUntil(since, [this] { return bridgeReady_ || unresponsive_; })) {
    if (alive.expired()) return "";
    std::fprintf(stderr, "reader: the movie %s was not ready after %d ms; %s gives \"\"\n", qPrintable(*url_),
                 host_.callTimeoutMs, qPrintable(callback));
    unresponsive_ = true;
    return "";
  }
  if (alive.expired() || unresponsive_ || !view_) return "";
  int id = awaited_ = ++lastId_;
  answer_.reset();
  QJsonArray all{id, callback};
  for (const QString& a : args) all.append(a);
  view_->page()->runJavaScript(QString("readerHost.get(%1)").arg(Json(all)));
  if (!WaitUntil(since, [this] { return answer_.has_value(); })) {
    if (alive.expired()) return "";
    std::fprintf(stderr, "reader: the movie did not answer %s(%s) within %d ms; it gives \"\"\n",
                 qPrintable(callback), qPrintable(args.join(", ").left(200)), host_.callTimeoutMs);
    unresponsive_ = true;
    awaited_ = 0;
    return "";
  }
  awaited_ = 0;
  return answer_->toStdString();
}

bool Player::WaitUntil(const QElapsedTimer& since, const std::function<bool()>& done) {
  std::weak_ptr<bool> alive = alive_;
  while (!done()) {
    qint64 left = host_.callTimeoutMs - since.elapsed();
    if (left <= 0) return false;
    // In short turns: the engine may hold back a reply the page itself
    // waits for until a nested loop returns, and the page answers nothing
    // meanwhile (seen after a click on the page, as a stall of the whole
    // wait). A turn of 10 ms lets that reply go.
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(std::min<qint64>(left, kWaitTurnMs)), &loop, &QEventLoop::quit);
    loop_ = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (alive.expired()) return false;
    loop_ = nullptr;
  }
  return true;
}

void Player::Width(Twips width) {
  width_ = width;
  Resize();
}
void Player::Height(Twips height) {
  height_ = height;
  Resize();
}
void Player::Resize() {
  if (view_) view_->resize(qtdesk::Px(width_), qtdesk::Px(height_));
}

}  // namespace runtime
