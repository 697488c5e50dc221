#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
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

// Sets environment variables for one test and puts them back.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv();
  // value: null unsets the variable.
  void Set(const char* name, const char* value);

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

// `size` bytes of a pattern that does not repeat in step, so a chunk out of
// place shows.
std::string PatternBytes(std::size_t size);

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
