#pragma once

#include <QJsonObject>
#include <QString>

namespace runtime {

// The movies' local storage (their SharedObjects) in one JSON file of the
// user's: every change is on disk when Set or Remove returns, written
// beside the file and renamed over it, so a killed reader loses nothing it
// was told before.
class SharedObjects {
 public:
  explicit SharedObjects(QString file);

  const QJsonObject& all() const { return items_; }
  // False when the file could not be written (the change is kept in memory).
  bool Set(const QString& key, const QString& value);
  bool Remove(const QString& key);
  const QString& file() const { return file_; }

 private:
  bool Save() const;

  QString file_;
  QJsonObject items_;
};

}  // namespace runtime
