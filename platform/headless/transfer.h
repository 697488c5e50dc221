#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/transfer.h"

namespace headless {

class Desktop;

// A transfer control the test scripts: it gives each request the reply the
// test queued, and reports its states as the test releases them, or, by
// default, as a server that answers at once would.
class Transfer : public components::Transfer {
 public:
  struct Reply {
    std::map<std::string, std::string> headers;  // names compare without case
    std::vector<std::uint8_t> body;
    // The states it reports, in order; by default a HEAD reports 12, a GET
    // 4 then 12. The request stops executing before the last one.
    std::optional<std::vector<int>> states;
    // Released by the test (Release) instead of posted at once.
    bool held = false;
  };

  Transfer(Desktop& desktop, std::string id) : desktop_(desktop), id_(std::move(id)) {}
  void Execute(const std::string& url, const std::string& operation) override;
  bool StillExecuting() override { return executing_; }
  std::string GetHeader(const std::string& name) override;
  std::vector<std::uint8_t> GetChunk(int size, int dataType) override;
  void Cancel() override;

  // ---- the test's side ----
  // The reply to the next request not yet answered.
  void Respond(Reply reply) { replies_.push_back(std::move(reply)); }
  // Posts the next held state of the running request; false when none is left.
  bool Release();
  // Runs before chunk n (0-based) of a body is handed out: the test acts
  // between two chunks, as a user would.
  std::function<void(int chunk)> beforeChunk;
  int chunksRead() const { return chunks_; }

 private:
  void Post(int state, bool last);
  void Log(const std::string& s);
  Desktop& desktop_;
  std::string id_;
  components::Lifetime lifetime_;
  bool executing_ = false;
  int generation_ = 0;  // states of a cancelled request are dropped
  std::deque<Reply> replies_;
  Reply current_;
  std::deque<int> heldStates_;
  size_t read_ = 0;
  int chunks_ = 0;
};

}  // namespace headless
