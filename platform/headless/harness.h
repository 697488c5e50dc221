#pragma once

#include <string>

namespace headless {

// A check of the test harness itself failed. Not a std::exception, so no
// handler of the system ever takes it for an error of its own.
class HarnessFailure {
 public:
  explicit HarnessFailure(std::string message);
  const char* what() const { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace headless
