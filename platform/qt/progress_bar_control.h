#pragma once

#include <QPointer>
#include <QWidget>

#include "components/progress_bar.h"
#include "components/window_design.h"

class QProgressBar;

namespace qtdesk {

class ProgressBar : public components::ProgressBar {
 public:
  ProgressBar(QWidget* parent, const components::ControlDesign& design);
  void SetRange(double min, double max) override;
  void SetValue(double value) override;
  double Value() const override { return value_; }

 private:
  QPointer<QProgressBar> bar_;
  double value_ = 0;
};

}  // namespace qtdesk
