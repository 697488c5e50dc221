#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace components {

// The Internet transfer control: one request at a time, run in the
// background, reported through StateChanged on the user-interface thread.
class Transfer {
 public:
  using StateHandler = std::function<void(int state)>;

  static constexpr int kConnected = 4;
  static constexpr int kError = 11;
  static constexpr int kResponseCompleted = 12;
  static constexpr int kByteArray = 1;

  virtual ~Transfer() = default;

  // operation: "HEAD \"url\"" or "GET \"destination\"". Returns at once.
  virtual void Execute(const std::string& url, const std::string& operation) = 0;
  virtual bool StillExecuting() = 0;
  // Empty text when the header is absent.
  virtual std::string GetHeader(const std::string& name) = 0;
  // The next `size` bytes or fewer of the body; empty once it is exhausted.
  virtual std::vector<std::uint8_t> GetChunk(int size, int dataType) = 0;
  virtual void Cancel() = 0;

  void OnStateChanged(StateHandler handler) { state_ = std::move(handler); }

 protected:
  void RaiseStateChanged(int state) {
    if (StateHandler h = state_) h(state);  // a copy: it may end this control
  }

 private:
  StateHandler state_;
};

}  // namespace components
