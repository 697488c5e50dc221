#include "platform/headless/browser.h"

#include "platform/headless/desktop.h"

namespace headless {

using namespace components;

void Browser::Navigate(const std::string& path) {
  location_ = path;
  desktop_.Log(id_ + ".Navigate(" + path + ")");
}

}  // namespace headless
