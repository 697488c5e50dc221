#include "platform/qt/window_icon.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QRegularExpression>

namespace qtdesk {

void LoadWindowIcon(const std::string& programFolder) {
  QDir icons(QDir(QString::fromStdString(programFolder)).filePath("icons"));
  static const QRegularExpression name("^reader-([1-9][0-9]{0,3})\\.png$");
  QIcon icon;
  for (const QString& file : icons.entryList({"reader-*.png"}, QDir::Files, QDir::Name)) {
    QRegularExpressionMatch m = name.match(file);
    if (!m.hasMatch()) continue;
    // The header says whether it is a picture of the size its name gives;
    // the pixels are read when a window first needs that size.
    int n = m.captured(1).toInt();
    QString path = icons.filePath(file);
    if (QImageReader(path, "png").size() != QSize(n, n)) continue;
    icon.addFile(path, QSize(n, n));
  }
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

}  // namespace qtdesk
