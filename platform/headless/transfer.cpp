#include "platform/headless/transfer.h"

#include <algorithm>
#include <cctype>

#include "components/errors.h"
#include "platform/headless/desktop.h"

namespace headless {

using namespace components;

namespace {
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

void Transfer::Log(const std::string& s) { desktop_.Log(id_ + "." + s); }

void Transfer::Execute(const std::string& url, const std::string& operation) {
  if (executing_) throw ComponentError("Still executing last request");
  Log("Execute(" + url + ", " + operation + ")");
  executing_ = true;
  ++generation_;
  current_ = replies_.empty() ? Reply{} : std::move(replies_.front());
  if (!replies_.empty()) replies_.pop_front();
  read_ = 0;
  chunks_ = 0;
  const bool head = operation.rfind("HEAD ", 0) == 0;
  std::vector<int> states = current_.states.value_or(head ? std::vector<int>{kResponseCompleted}
                                                          : std::vector<int>{kConnected, kResponseCompleted});
  heldStates_.assign(states.begin(), states.end());
  if (current_.held) return;
  while (Release()) {
  }
}

bool Transfer::Release() {
  if (heldStates_.empty()) return false;
  int state = heldStates_.front();
  heldStates_.pop_front();
  Post(state, heldStates_.empty());
  return true;
}

void Transfer::Post(int state, bool last) {
  desktop_.Post(lifetime_, [this, state, last, generation = generation_] {
    if (generation != generation_) return;  // cancelled meanwhile
    if (last) executing_ = false;
    Log("StateChanged(" + std::to_string(state) + ")");
    RaiseStateChanged(state);
  });
}

std::string Transfer::GetHeader(const std::string& name) {
  Log("GetHeader(" + name + ")");
  for (const auto& [n, v] : current_.headers)
    if (Lower(n) == Lower(name)) return v;
  return "";
}

std::vector<std::uint8_t> Transfer::GetChunk(int size, int dataType) {
  Log("GetChunk(" + std::to_string(size) + ", " + std::to_string(dataType) + ")");
  if (beforeChunk) beforeChunk(chunks_);
  ++chunks_;
  const std::vector<std::uint8_t>& body = current_.body;
  size_t n = std::min(body.size() - std::min(read_, body.size()), static_cast<size_t>(std::max(size, 0)));
  std::vector<std::uint8_t> out(body.begin() + static_cast<long>(read_),
                                body.begin() + static_cast<long>(read_ + n));
  read_ += n;
  return out;
}

void Transfer::Cancel() {
  Log("Cancel()");
  executing_ = false;
  ++generation_;
  heldStates_.clear();
  read_ = current_.body.size();  // what is left is not handed out
}

}  // namespace headless
