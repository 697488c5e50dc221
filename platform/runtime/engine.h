#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/runtime_module.h"
#include "platform/runtime/shared_objects.h"

class QWebEngineProfile;
class QWebEngineUrlSchemeHandler;
class QWebEngineUrlRequestInterceptor;

namespace runtime {

// The web engine as every player of the program shares it: one named,
// persistent profile (the runtime's compiled code is cached there between
// starts), the reader: scheme that serves the runtime and the movies and
// nothing else, and the movies' local storage.
class Engine : public QObject {
 public:
  // The engine every player shares while any lives; made anew, with this
  // host's folders, when none does.
  static std::shared_ptr<Engine> Get(const Host& host);
  ~Engine() override;

  QWebEngineProfile* profile() const { return profile_; }
  SharedObjects& storage() { return storage_; }
  // The address a movie file is served at: the book (any movie not in the
  // media folder) or a media file; none for a file the scheme may not serve.
  std::optional<QString> AddressOf(const std::string& path);
  // Tells `listener` of every movie address the scheme refused (not found,
  // not a movie) until Forget(token).
  int WhenRefused(std::function<void(const QString& url)> listener);
  void Forget(int token) { refusedListeners_.erase(token); }
  void Refused(const QString& url);
  // Every player's page hears what another's movie stored (null: removed).
  int WhenStored(std::function<void(int from, const QString& key, const QJsonValue& value)> listener);
  void ForgetStored(int token) { storedListeners_.erase(token); }
  void Store(int from, const QString& key, const QJsonValue& value);
  // Where the page that makes the player is.
  static constexpr const char* kPage = "reader://runtime/player.html";

 private:
  explicit Engine(const Host& host);

  Host host_;
  std::vector<std::string> mediaFolders_;  // canonical
  SharedObjects storage_;
  QWebEngineProfile* profile_ = nullptr;
  std::unique_ptr<QWebEngineUrlSchemeHandler> scheme_;
  std::unique_ptr<QWebEngineUrlRequestInterceptor> lockdown_;
  std::map<int, std::function<void(const QString&)>> refusedListeners_;
  std::map<int, std::function<void(int, const QString&, const QJsonValue&)>> storedListeners_;
  int lastToken_ = 0;
  int books_ = 0;
};

}  // namespace runtime
