#pragma once

namespace components {

// The progress bar control: shows a value within its range.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void SetRange(double min, double max) = 0;
  virtual void SetValue(double value) = 0;
  virtual double Value() const = 0;
};

}  // namespace components
