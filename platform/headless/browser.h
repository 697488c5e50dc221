#pragma once

#include <string>

#include "components/web_browser.h"

namespace headless {

class Desktop;

class Browser : public components::WebBrowser {
 public:
  Browser(Desktop& desktop, std::string id) : desktop_(desktop), id_(std::move(id)) {}
  void Navigate(const std::string& path) override;
  const std::string& location() const { return location_; }

 private:
  Desktop& desktop_;
  std::string id_;
  std::string location_;
};

}  // namespace headless
