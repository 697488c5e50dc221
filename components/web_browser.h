#pragma once

#include <string>

namespace components {

// The web browser control; the system only ever navigates to a local file.
class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  virtual void Navigate(const std::string& path) = 0;
};

}  // namespace components
