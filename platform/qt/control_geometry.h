#pragma once

#include <QWidget>

#include "components/window_design.h"
#include "platform/qt/conversions.h"

namespace qtdesk {

// A control's widget where its design puts it, enabled and shown as designed.
inline void Place(QWidget* widget, const components::ControlDesign& design) {
  widget->setGeometry(Px(design.left), Px(design.top), Px(design.width), Px(design.height));
  widget->setEnabled(design.enabled);
  widget->setVisible(design.visible);
}

}  // namespace qtdesk
