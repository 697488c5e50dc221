#pragma once

#include <functional>
#include <string>

#include "components/twips.h"

namespace components {

// The movie player control: loads a movie, exchanges variables with it, calls
// its frame labels and reports the commands it sends to its host.
class MoviePlayer {
 public:
  using FSCommandHandler = std::function<void(const std::string& command, const std::string& args)>;

  virtual ~MoviePlayer() = default;

  // Loads and plays the movie file at `path`.
  virtual void Movie(const std::string& path) = 0;
  virtual void SetVariable(const std::string& name, const std::string& value) = 0;
  // Unknown variables read as empty text.
  virtual std::string GetVariable(const std::string& name) = 0;
  virtual void TCallLabel(const std::string& target, const std::string& label) = 0;
  // ("/", 4) gives the main timeline's current frame as decimal text.
  virtual std::string TGetProperty(const std::string& target, int index) = 0;
  virtual void Width(Twips width) = 0;
  virtual void Height(Twips height) = 0;

  // The event FSCommand: raised from the event loop, never from inside a call
  // the host makes on the player.
  void OnFSCommand(FSCommandHandler handler) { fsCommand_ = std::move(handler); }

 protected:
  void RaiseFSCommand(const std::string& command, const std::string& args) {
    // A copy: the handler may end this control.
    if (FSCommandHandler h = fsCommand_) h(command, args);
  }

 private:
  FSCommandHandler fsCommand_;
};

}  // namespace components
