#pragma once

namespace components {

// Whether the computer is connected to a network beyond itself.
class Connection {
 public:
  virtual ~Connection() = default;
  virtual bool InternetGetConnectedState() = 0;
};

}  // namespace components
