#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/system.h"
#include "platform/headless/headless.h"
#include "platform/posix/services.h"

namespace testing_support {

// A folder of its own for one test, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::vector<std::uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// The headless desktop with every service a test of the system needs:
// in-memory registry, environment and resources, real files.
struct Headless {
  headless::Desktop desktop;
  headless::Registry registry;
  posix::FileSystem files;
  headless::Environment environment;
  headless::Resources resources;
  headless::Connection connection;
  headless::WindowHooks hooks{desktop};
  components::System system{desktop, registry, files, environment, resources, connection, hooks};
};

}  // namespace testing_support
