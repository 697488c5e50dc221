// Starts the built executable as a person would, without a display.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/support.h"

using testing_support::ReadFile;
using testing_support::TempDir;

TEST(Executable, ComesUpAndWritesTheMovie) {
  TempDir dir;
  std::string temp = dir.path() + "/";
  std::string data = dir / "data";
  pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TEMP", temp.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    execl(READER_EXE, READER_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  std::vector<std::uint8_t> expected = ReadFile(READER_MOVIE);
  ASSERT_FALSE(expected.empty());
  bool written = false;
  for (int i = 0; i < 300 && !written; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    written = ReadFile(dir / "K19990317045") == expected;
  }
  // The cover it drew is kept for the next start.
  bool kept = false;
  for (int i = 0; i < 100 && !kept; ++i) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir / "cache/reader/pictures", ec))
      kept = kept || e.path().extension() == ".pix";
    if (!kept) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(kept);
  // Still running: it came up and waits for the reader.
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0);
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  EXPECT_TRUE(written);
}
