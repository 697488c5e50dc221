#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <functional>

namespace runtime {

// The object the page reaches the reader through (the web channel's
// "link"). What it is told goes to whoever listens; nothing when none does.
class PageLink : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  std::function<void()> onPageReady;
  std::function<void(int generation)> onBridgeReady;
  std::function<void(int generation, const QString& message)> onFailed;
  std::function<void(int generation, const QString& command, const QString& args)> onFSCommand;
  std::function<void(int id, const QString& value)> onAnswer;
  std::function<void(const QString& key, const QJsonValue& value)> onStore;
  std::function<void(const QString& url)> onOpenUrl;

 public slots:
  void pageReady() {
    if (onPageReady) onPageReady();
  }
  void bridgeReady(int generation) {
    if (onBridgeReady) onBridgeReady(generation);
  }
  void failed(int generation, const QString& message) {
    if (onFailed) onFailed(generation, message);
  }
  void fsCommand(int generation, const QString& command, const QString& args) {
    if (onFSCommand) onFSCommand(generation, command, args);
  }
  void answer(int id, const QString& value) {
    if (onAnswer) onAnswer(id, value);
  }
  void store(const QString& key, const QJsonValue& value) {
    if (onStore) onStore(key, value);
  }
  void openUrl(const QString& url) {
    if (onOpenUrl) onOpenUrl(url);
  }
};

}  // namespace runtime
