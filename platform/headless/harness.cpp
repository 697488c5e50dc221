#include "platform/headless/harness.h"

#include <cstdio>

namespace headless {

HarnessFailure::HarnessFailure(std::string message) : message_(std::move(message)) {
  // Not a std::exception: the test runner cannot print it, so say it here.
  std::fprintf(stderr, "headless harness: %s\n", message_.c_str());
}

}  // namespace headless
