#include "platform/qt/progress_bar_control.h"

#include <QProgressBar>

#include "platform/qt/control_geometry.h"

namespace qtdesk {

ProgressBar::ProgressBar(QWidget* parent, const components::ControlDesign& design)
    : bar_(new QProgressBar(parent)) {
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  Place(bar_, design);
}

void ProgressBar::SetRange(double min, double max) {
  if (bar_) bar_->setRange(static_cast<int>(min), static_cast<int>(max));
}

void ProgressBar::SetValue(double value) {
  value_ = value;
  if (bar_) bar_->setValue(static_cast<int>(value));
}

}  // namespace qtdesk
