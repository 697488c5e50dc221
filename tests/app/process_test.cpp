// Starts the built executable as a person would, without a display.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "tests/support/support.h"

using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

// Starts the reader as this user would, in folders of the test's own; TEMP
// may differ between two starts of the same user.
pid_t Start(const TempDir& dir, const std::string& temp) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TEMP", temp.c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    execl(READER_EXE, READER_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The exit status once it has ended, or nullopt while it still runs then.
std::optional<int> EndedWithin(pid_t pid, int milliseconds) {
  for (int waited = 0; waited <= milliseconds; waited += 20) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

}  // namespace

TEST(Executable, ComesUpAndWritesTheMovie) {
  TempDir dir;
  std::filesystem::create_directories(dir / "run");
  pid_t pid = Start(dir, dir.path() + "/");
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

TEST(Executable, ASecondStartHandsOverToTheFirstBeforeItWritesAnything) {
  TempDir dir;
  std::filesystem::create_directories(dir / "run");
  std::filesystem::create_directories(dir / "second");
  pid_t first = Start(dir, dir.path() + "/");
  ASSERT_GT(first, 0);
  std::vector<std::uint8_t> expected = ReadFile(READER_MOVIE);
  bool up = false;
  for (int i = 0; i < 300 && !up; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    up = ReadFile(dir / "K19990317045") == expected;
  }
  ASSERT_TRUE(up);
  pid_t second = Start(dir, dir / "second/");
  ASSERT_GT(second, 0);
  EXPECT_EQ(EndedWithin(second, 10000), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "second/K19990317045"));  // wrote nothing
  EXPECT_EQ(EndedWithin(first, 0), std::nullopt);                      // the first reads on
  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);
  // Once it is gone, a start is the first again.
  pid_t third = Start(dir, dir / "second/");
  bool written = false;
  for (int i = 0; i < 300 && !written; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    written = ReadFile(dir / "second/K19990317045") == expected;
  }
  EXPECT_TRUE(written);
  kill(third, SIGKILL);
  waitpid(third, nullptr, 0);
}
