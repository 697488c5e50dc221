#pragma once

#include "components/progress_bar.h"

namespace headless {

class ProgressBar : public components::ProgressBar {
 public:
  void SetRange(double min, double max) override { min_ = min, max_ = max; }
  void SetValue(double value) override { value_ = value; }
  double Value() const override { return value_; }

 private:
  double min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace headless
