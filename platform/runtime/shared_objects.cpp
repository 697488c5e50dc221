#include "platform/runtime/shared_objects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <cstdio>

namespace runtime {

SharedObjects::SharedObjects(QString file) : file_(std::move(file)) {
  QFile in(file_);
  if (!in.open(QIODevice::ReadOnly)) return;  // none yet
  QJsonParseError error{};
  QJsonDocument doc = QJsonDocument::fromJson(in.readAll(), &error);
  if (doc.isObject()) {
    items_ = doc.object();
  } else {
    // Kept as it is for whoever wants it back; the movies start afresh.
    std::fprintf(stderr, "reader: %s is not a storage file (%s); it is kept as %s.bad\n", qPrintable(file_),
                 qPrintable(error.errorString()), qPrintable(file_));
    in.close();
    QFile::remove(file_ + ".bad");
    QFile::rename(file_, file_ + ".bad");
  }
}

bool SharedObjects::Set(const QString& key, const QString& value) {
  items_.insert(key, value);
  return Save();
}

bool SharedObjects::Remove(const QString& key) {
  if (!items_.contains(key)) return true;
  items_.remove(key);
  return Save();
}

bool SharedObjects::Save() const {
  QDir().mkpath(QFileInfo(file_).absolutePath());
  QSaveFile out(file_);  // a file beside, renamed over this one on commit
  bool saved = out.open(QIODevice::WriteOnly) &&
               out.write(QJsonDocument(items_).toJson(QJsonDocument::Compact)) >= 0 && out.commit();
  if (!saved)
    std::fprintf(stderr, "reader: cannot write %s: %s\n", qPrintable(file_), qPrintable(out.errorString()));
  return saved;
}

}  // namespace runtime
