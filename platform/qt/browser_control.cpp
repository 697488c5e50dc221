#include "platform/qt/browser_control.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "platform/qt/control_geometry.h"

namespace qtdesk {

Browser::Browser(QWidget* parent, const components::ControlDesign& design) : view_(new QTextBrowser(parent)) {
  view_->setOpenExternalLinks(true);
  Place(view_, design);
}

void Browser::Navigate(const std::string& path) {
  if (!view_) return;
  QString file = QString::fromStdString(path);
  if (!QFileInfo(file).isFile()) {
    view_->setHtml(QString::fromUtf8("<h3>找不到網頁</h3><p>%1</p>").arg(file.toHtmlEscaped()));
    return;
  }
  view_->setSource(QUrl::fromLocalFile(file));
}

}  // namespace qtdesk
