#pragma once

#include <QPointer>
#include <QWidget>

#include "components/web_browser.h"
#include "components/window_design.h"

class QTextBrowser;

namespace qtdesk {

// Shows local pages; a missing one says so.
class Browser : public components::WebBrowser {
 public:
  Browser(QWidget* parent, const components::ControlDesign& design);
  void Navigate(const std::string& path) override;

 private:
  QPointer<QTextBrowser> view_;
};

}  // namespace qtdesk
