#pragma once

#include <stdexcept>
#include <string>

namespace components {

// A platform component or file call failed. The system turns an uncaught one
// into the standard error message box and ends the program.
class ComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure tagged with the step of the system that was running, so the
// error box can say what was being done, not just what the platform said.
class StepError : public std::runtime_error {
 public:
  StepError(std::string step, const std::string& detail)
      : std::runtime_error(detail), step_(std::move(step)) {}
  const std::string& step() const { return step_; }

 private:
  std::string step_;
};

// Runs fn; any exception it throws becomes a StepError naming `step`.
template <typename Fn>
auto AtStep(const std::string& step, Fn&& fn) -> decltype(fn()) {
  try {
    return fn();
  } catch (const StepError&) {
    throw;
  } catch (const std::exception& e) {
    throw StepError(step, e.what());
  }
}

// Runs one step of a handler that goes on past failures (the toolbar's
// clicks, the transfer's states): a failure only skips this step. True
// when it ran through.
template <typename Fn>
bool SkipOnFailure(Fn&& fn) {
  try {
    fn();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace components
