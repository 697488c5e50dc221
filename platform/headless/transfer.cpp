#include "platform/headless/transfer.h"

#include <algorithm>
#include "components/errors.h"
#include "platform/headless/desktop.h"

namespace headless {

using namespace components;

void Transfer::Log(const std::string& s) { desktop_.Log(id_ + "." + s); }
void Transfer::Execute(const std::string& url, const std::string& operation) {
  if (executing_) throw ComponentError("Still executing last request");
  executing_ = true;
  Log("Execute(" + url + ", " + operation + ")");
}
std::string Transfer::GetHeader(const std::string& name) {
  Log("GetHeader(" + name + ")");
  auto it = headers_.find(name);
  return it == headers_.end() ? "" : it->second;
}
std::vector<std::uint8_t> Transfer::GetChunk(int size, int dataType) {
  Log("GetChunk(" + std::to_string(size) + ", " + std::to_string(dataType) + ")");
  size_t n = std::min(body_.size() - read_, static_cast<size_t>(std::max(size, 0)));
  std::vector<std::uint8_t> out(body_.begin() + static_cast<long>(read_),
                                body_.begin() + static_cast<long>(read_ + n));
  read_ += n;
  return out;
}
void Transfer::Cancel() {
  executing_ = false;
  read_ = body_.size();
  Log("Cancel()");
}
void Transfer::Finish(std::vector<int> states) {
  desktop_.Post(lifetime_, [this, states] {
    executing_ = false;
    for (int s : states) RaiseStateChanged(s);
  });
}

}  // namespace headless
