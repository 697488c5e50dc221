#include "platform/posix/hive.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "tests/support/support.h"

using namespace components;
using testing_support::TempDir;

namespace {

const std::string kKey = "SOFTWARE\\Bindera\\K19990317045";

LONG Set(Registry& r, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  HKEY h = 0;
  LONG rc = r.RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &h);
  if (rc != ERROR_SUCCESS) return rc;
  rc = r.RegSetValueExA(h, name, 0, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
  r.RegCloseKey(h);
  return rc;
}

struct Read {
  LONG rc;
  DWORD type;
  std::string bytes;
};

Read Get(Registry& r, const std::string& key, const std::string& name) {
  HKEY h = 0;
  LONG rc = r.RegOpenKeyA(HKEY_LOCAL_MACHINE, key, &h);
  if (rc != ERROR_SUCCESS) return {rc, 0, ""};
  DWORD type = 0, size = 0;
  rc = r.RegQueryValueExA(h, name, nullptr, &type, nullptr, &size);
  std::string bytes(size, '\0');
  if (rc == ERROR_SUCCESS && size)
    rc = r.RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<std::uint8_t*>(bytes.data()), &size);
  r.RegCloseKey(h);
  return {rc, type, bytes};
}

}  // namespace

TEST(Hive, KeysAndValueNamesIgnoreCaseAndKeepTypeAndBytes) {
  TempDir dir;
  posix::Hive hive(dir / "hive.sqlite");
  ASSERT_EQ(Set(hive, kKey, "soundOn", REG_SZ, std::string("1\0junk", 6)), ERROR_SUCCESS);
  ASSERT_EQ(Set(hive, kKey, "kindOfMouse", REG_DWORD, std::string("\x01\0\0\0", 4)), ERROR_SUCCESS);

  Read r = Get(hive, "software\\BINDERA\\k19990317045", "SOUNDON");
  EXPECT_EQ(r.rc, ERROR_SUCCESS);
  EXPECT_EQ(r.type, REG_SZ);
  EXPECT_EQ(r.bytes, std::string("1\0junk", 6));  // size is the stored byte count

  r = Get(hive, kKey, "kindofmouse");
  EXPECT_EQ(r.type, REG_DWORD);
  EXPECT_EQ(r.bytes, std::string("\x01\0\0\0", 4));

  // Overwriting under another spelling replaces the one value.
  ASSERT_EQ(Set(hive, kKey, "SoundOn", REG_EXPAND_SZ, "x"), ERROR_SUCCESS);
  r = Get(hive, kKey, "soundon");
  EXPECT_EQ(r.type, REG_EXPAND_SZ);
  EXPECT_EQ(r.bytes, "x");
}

TEST(Hive, QueryReportsSizeAndRefusesASmallBuffer) {
  TempDir dir;
  posix::Hive hive(dir / "hive.sqlite");
  ASSERT_EQ(Set(hive, kKey, "v", REG_BINARY, "abcdef"), ERROR_SUCCESS);
  HKEY h = 0;
  ASSERT_EQ(hive.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, &h), ERROR_SUCCESS);
  DWORD type = 0, size = 3;
  std::uint8_t buf[3];
  EXPECT_EQ(hive.RegQueryValueExA(h, "v", nullptr, &type, buf, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(hive.RegQueryValueExA(h, "missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(hive.RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(hive.RegCloseKey(h), ERROR_INVALID_HANDLE);  // closed once only
  EXPECT_EQ(hive.RegQueryValueExA(h, "v", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST(Hive, MissingKeysAndEmptyValues) {
  TempDir dir;
  posix::Hive hive(dir / "hive.sqlite");
  HKEY h = 7;
  EXPECT_EQ(hive.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, &h), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(h, 0u);
  ASSERT_EQ(Set(hive, kKey, "empty", REG_SZ, ""), ERROR_SUCCESS);
  Read r = Get(hive, kKey, "empty");
  EXPECT_EQ(r.rc, ERROR_SUCCESS);
  EXPECT_EQ(r.type, REG_SZ);
  EXPECT_EQ(r.bytes, "");
  // Creating a key creates its ancestors.
  EXPECT_EQ(hive.RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Bindera", &h), ERROR_SUCCESS);
  hive.RegCloseKey(h);
  EXPECT_EQ(hive.RegOpenKeyA(HKEY_CURRENT_USER, kKey, &h), ERROR_INVALID_HANDLE);
}

TEST(Hive, ValuesOutliveTheConnection) {
  TempDir dir;
  {
    posix::Hive hive(dir / "hive.sqlite");
    ASSERT_EQ(Set(hive, kKey, "showHelp", REG_SZ, "中文"), ERROR_SUCCESS);
  }
  posix::Hive again(dir / "hive.sqlite");
  EXPECT_EQ(Get(again, kKey, "showHelp").bytes, "中文");
}

TEST(Hive, ItsFolderIsMadeAtTheFirstCallAndOneThatCannotBeMadeFailsWithCantOpen) {
  TempDir dir;
  {
    posix::Hive hive(dir / "data/HKLM.sqlite");
    ASSERT_EQ(Set(hive, kKey, "soundOn", REG_SZ, "1"), ERROR_SUCCESS);
  }
  posix::Hive again(dir / "data/HKLM.sqlite");
  EXPECT_EQ(Get(again, kKey, "soundOn").bytes, "1");
  testing_support::WriteFile(dir / "file", "x");
  posix::Hive blocked(dir / "file/HKLM.sqlite");
  HKEY h = 0;
  EXPECT_EQ(blocked.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, &h), ERROR_CANTOPEN);
}

TEST(Hive, AHiveThatCannotBeOpenedOrWrittenFailsWithRegistryCodes) {
  TempDir dir;
  // A folder where the file should be: nothing can open it.
  ::mkdir((dir / "blocked").c_str(), 0700);
  posix::Hive blocked(dir / "blocked");
  HKEY h = 0;
  EXPECT_EQ(blocked.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, &h), ERROR_CANTOPEN);
  EXPECT_EQ(blocked.RegOpenKeyA(HKEY_LOCAL_MACHINE, kKey, &h), ERROR_CANTOPEN);
  EXPECT_EQ(blocked.RegCloseKey(h), ERROR_INVALID_HANDLE);

  {
    posix::Hive writer(dir / "hive.sqlite");
    ASSERT_EQ(Set(writer, kKey, "soundOn", REG_SZ, "1"), ERROR_SUCCESS);
  }
  posix::Hive readOnly(dir / "hive.sqlite", posix::Hive::Access::ReadOnly);
  EXPECT_EQ(readOnly.RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, &h), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Get(readOnly, kKey, "soundOn").bytes, "1");
}

TEST(Hive, AReadOnlyFileRefusesWritesForOrdinaryUsers) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes to read-only files";
  TempDir dir;
  {
    posix::Hive writer(dir / "hive.sqlite");
    ASSERT_EQ(Set(writer, kKey, "soundOn", REG_SZ, "1"), ERROR_SUCCESS);
  }
  ::chmod((dir / "hive.sqlite").c_str(), 0400);
  ::chmod(dir.path().c_str(), 0500);
  posix::Hive hive(dir / "hive.sqlite");
  EXPECT_NE(Set(hive, kKey, "soundOn", REG_SZ, "0"), ERROR_SUCCESS);
  EXPECT_EQ(Get(hive, kKey, "soundOn").bytes, "1");
  ::chmod(dir.path().c_str(), 0700);
}

namespace {
// Runs fn in a child process; returns its exit status.
template <typename Fn>
pid_t Spawn(Fn fn) {
  pid_t pid = fork();
  if (pid == 0) {
    int rc = fn();
    _exit(rc);
  }
  return pid;
}
int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
}  // namespace

TEST(Hive, TwoCopiesWritingTheSameValueNeverFail) {
  TempDir dir;
  const std::string path = dir / "hive.sqlite";
  auto writer = [&](const char* value) {
    return Spawn([&, value] {
      posix::Hive hive(path);  // a fresh file: both race to create it too
      for (int i = 0; i < 150; ++i) {
        if (Set(hive, kKey, "soundOn", REG_SZ, value) != ERROR_SUCCESS) return 1;
        if (Get(hive, kKey, "soundOn").rc != ERROR_SUCCESS) return 2;
      }
      return 0;
    });
  };
  pid_t a = writer("A"), b = writer("B");
  EXPECT_EQ(Wait(a), 0);
  EXPECT_EQ(Wait(b), 0);
  posix::Hive hive(path);
  Read last = Get(hive, kKey, "soundOn");
  EXPECT_EQ(last.rc, ERROR_SUCCESS);
  EXPECT_TRUE(last.bytes == "A" || last.bytes == "B") << last.bytes;
}

TEST(Hive, AWriterKilledMidRunLosesNothingItAcknowledged) {
  TempDir dir;
  const std::string path = dir / "hive.sqlite";
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t pid = Spawn([&] {
    close(fds[0]);
    posix::Hive hive(path);
    for (int i = 0;; ++i) {
      std::string value(4096, static_cast<char>('a' + i % 26));
      if (Set(hive, kKey, "v" + std::to_string(i), REG_SZ, value) != ERROR_SUCCESS) return 1;
      if (write(fds[1], &i, sizeof i) != sizeof i) return 2;
    }
  });
  close(fds[1]);
  std::set<int> acknowledged;
  int i;
  while (acknowledged.size() < 60 && read(fds[0], &i, sizeof i) == sizeof i) acknowledged.insert(i);
  kill(pid, SIGKILL);
  // Whatever was acknowledged before the kill landed.
  while (read(fds[0], &i, sizeof i) == sizeof i) acknowledged.insert(i);
  close(fds[0]);
  EXPECT_EQ(Wait(pid), 128 + SIGKILL);

  posix::Hive hive(path);
  for (int n : acknowledged) {
    Read r = Get(hive, kKey, "v" + std::to_string(n));
    ASSERT_EQ(r.rc, ERROR_SUCCESS) << n;
    EXPECT_EQ(r.bytes, std::string(4096, static_cast<char>('a' + n % 26)));
  }
  // And the hive still takes writes.
  EXPECT_EQ(Set(hive, kKey, "after", REG_SZ, "ok"), ERROR_SUCCESS);
}
