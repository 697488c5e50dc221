#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/transfer.h"

namespace headless {

class Desktop;

// A transfer control driven by the test: it says what each request answers.
class Transfer : public components::Transfer {
 public:
  Transfer(Desktop& desktop, std::string id) : desktop_(desktop), id_(std::move(id)) {}
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override { return executing_; }
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

  // Test side: finish the running request, reporting these states in order.
  void Finish(std::vector<int> states);
  void SetHeader(const std::string& name, const std::string& value) { headers_[name] = value; }
  void SetBody(std::vector<std::uint8_t> body) {
    body_ = std::move(body);
    read_ = 0;
  }

 private:
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  components::Lifetime lifetime_;
  bool executing_ = false;
  std::map<std::string, std::string> headers_;
  std::vector<std::uint8_t> body_;
  size_t read_ = 0;
};

}  // namespace headless
