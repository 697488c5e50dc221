#include "platform/posix/services.h"
#include "platform/posix/single_instance.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "components/errors.h"
#include "tests/support/support.h"

using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

mode_t ModeOf(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

}  // namespace

TEST(PosixEnvironment, TempIsTheVariableWhenSet) {
  ScopedEnv env;
  env.Set("TEMP", "/x/y");
  posix::Environment e("reader");
  EXPECT_EQ(e.Environ("TEMP"), "/x/y");
  env.Set("TEMP", "");
  EXPECT_EQ(e.Environ("TEMP"), "");
}

TEST(PosixEnvironment, UnsetTempIsAPrivateFolderOfTheProgram) {
  TempDir dir;
  ScopedEnv env;
  env.Set("TEMP", nullptr);
  env.Set("XDG_RUNTIME_DIR", dir.path().c_str());
  posix::Environment e("reader");
  EXPECT_EQ(e.Environ("TEMP"), dir / "reader/");
  EXPECT_EQ(ModeOf(dir / "reader"), 0700u);

  // Without a runtime folder: the cache folder.
  env.Set("XDG_RUNTIME_DIR", nullptr);
  env.Set("XDG_CACHE_HOME", (dir / "cache").c_str());
  EXPECT_EQ(e.Environ("TEMP"), dir / "cache/reader/");

  env.Set("XDG_CACHE_HOME", nullptr);
  env.Set("HOME", (dir / "home").c_str());
  ::mkdir((dir / "home").c_str(), 0700);
  EXPECT_EQ(e.Environ("TEMP"), dir / "home/.cache/reader/");
}

TEST(PosixEnvironment, AFolderThatIsNotPrivatelyOursIsPassedOver) {
  TempDir dir;
  ScopedEnv env;
  env.Set("TEMP", nullptr);
  env.Set("XDG_RUNTIME_DIR", dir.path().c_str());
  env.Set("XDG_CACHE_HOME", (dir / "cache").c_str());
  // A link planted where the runtime folder would be.
  ::mkdir((dir / "elsewhere").c_str(), 0700);
  ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "reader").c_str()), 0);
  posix::Environment e("reader");
  EXPECT_EQ(e.Environ("TEMP"), dir / "cache/reader/");
  // An open folder.
  ::mkdir((dir / "cache/reader").c_str(), 0755);
  ::chmod((dir / "cache/reader").c_str(), 0777);
  env.Set("HOME", "/nonexistent");
  EXPECT_EQ(e.Environ("TEMP"), std::nullopt);
}

TEST(PosixFiles, NewFilesNeverFollowALink) {
  TempDir dir;
  posix::FileSystem fs;
  testing_support::WriteFile(dir / "target", "precious");
  ASSERT_EQ(symlink((dir / "target").c_str(), (dir / "link").c_str()), 0);
  EXPECT_THROW(fs.CreateNew(dir / "link"), components::ComponentError);
  EXPECT_EQ(ReadFile(dir / "target").size(), 8u);
  EXPECT_EQ(fs.Dir(dir / "link"), "link");  // a link counts as an entry
  fs.Kill(dir / "link");
  EXPECT_EQ(fs.Dir(dir / "link"), "");
  EXPECT_EQ(fs.Dir(dir.path()), "");  // folders are not normal files
  EXPECT_THROW(fs.Kill(dir / "link"), components::ComponentError);
  auto f = fs.CreateNew(dir / "link");
  std::uint8_t bytes[] = {1, 2, 3};
  f->Write(bytes);
  f->Close();
  EXPECT_EQ(ReadFile(dir / "link"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(PosixFiles, ForcedDeleteTakesReadOnlyFiles) {
  TempDir dir;
  posix::FileSystem fs;
  testing_support::WriteFile(dir / "ro", "x");
  ::chmod((dir / "ro").c_str(), 0444);
  EXPECT_THROW(fs.DeleteFile(dir / "ro", false), components::ComponentError);
  EXPECT_TRUE(fs.FileExists(dir / "ro"));
  fs.DeleteFile(dir / "ro", true);
  EXPECT_FALSE(fs.FileExists(dir / "ro"));
  EXPECT_FALSE(fs.FolderExists(dir / "Review"));
  fs.CreateFolder(dir / "Review");
  EXPECT_TRUE(fs.FolderExists(dir / "Review"));
}

TEST(PosixResources, FoundByTypeAndIdOnly) {
  static const std::uint8_t data[] = {9, 8, 7};
  const posix::ResourceEntry table[] = {{"CUSTOM", 101, 0x0404, data, 3}};
  posix::Resources r(table);
  auto bytes = r.LoadResData(101, "CUSTOM");
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_THROW(r.LoadResData(102, "CUSTOM"), components::ComponentError);
  EXPECT_THROW(r.LoadResData(101, "custom2"), components::ComponentError);
}

TEST(PosixPlayerStorage, SavesWholeRecordsInAPrivateFolder) {
  TempDir dir;
  posix::PlayerStorage storage(dir / "data/reader/player");
  EXPECT_EQ(storage.Load("K19990317045"), std::nullopt);
  ASSERT_TRUE(storage.Save("K19990317045", "first"));
  ASSERT_TRUE(storage.Save("K19990317045", "second, longer"));
  EXPECT_EQ(storage.Load("K19990317045"), "second, longer");
  EXPECT_EQ(ModeOf(dir / "data/reader/player"), 0700u);
  // A save torn before its rename leaves only a stray file beside; the
  // record stays whole and the next save still lands.
  testing_support::WriteFile(dir / "data/reader/player/K19990317045.lists.new", "torn");
  EXPECT_EQ(storage.Load("K19990317045"), "second, longer");
  ASSERT_TRUE(storage.Save("K19990317045", "third"));
  EXPECT_EQ(storage.Load("K19990317045"), "third");
  // Names cannot reach outside the folder.
  ASSERT_TRUE(storage.Save("../../escape", "x"));
  EXPECT_NE(access((dir / "data/escape.lists").c_str(), F_OK), 0);
  EXPECT_EQ(storage.Load("../../escape"), "x");
}

TEST(SingleInstance, TheFirstCopyClaimsTheBookALaterOneAsksItForwardAndTheClaimGoesWithIt) {
  TempDir dir;
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  struct Unset {
    ~Unset() { unsetenv("XDG_RUNTIME_DIR"); }
  } unset;
  testing_support::WriteFile(dir / "reader/K1.sock", "a dead copy's");  // a crash left it
  {
    posix::SingleInstance first("reader", "K1");
    ASSERT_TRUE(first.first());
    ASSERT_GE(first.listener(), 0);
    posix::SingleInstance later("reader", "K1");
    EXPECT_FALSE(later.first());
    // The first answers once it has come forward; a later copy hears it.
    std::thread asking([&] { EXPECT_TRUE(later.AskFirstToShow()); });
    bool asked = false;
    while (!asked) first.TakeRequest([&] { return asked = true; });
    asking.join();
    // A first that cannot come forward (it is closing) says nothing.
    std::thread refused([&] { EXPECT_FALSE(later.AskFirstToShow()); });
    bool tried = false;
    while (!tried)
      first.TakeRequest([&] {
        tried = true;
        return false;
      });
    refused.join();
    later.Retry();
    EXPECT_FALSE(later.first());                                 // the first still holds it
    EXPECT_TRUE(posix::SingleInstance("reader", "K2").first());  // another book
  }
  posix::SingleInstance again("reader", "K1");
  EXPECT_TRUE(again.first());
}

TEST(SingleInstance, AChildThatNeverRunsAnotherProgramDoesNotKeepTheClaim) {
  TempDir dir;
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  struct Unset {
    ~Unset() { unsetenv("XDG_RUNTIME_DIR"); }
  } unset;
  pid_t stuck = -1;
  struct Reap {
    pid_t& child;
    ~Reap() {
      if (child > 0) kill(child, SIGKILL), waitpid(child, nullptr, 0);
    }
  } reap{stuck};
  {
    posix::SingleInstance first("reader", "K1");
    ASSERT_TRUE(first.first());
    int running[2];
    ASSERT_EQ(pipe(running), 0);
    stuck = fork();  // as a library's helper that hangs before exec
    if (stuck == 0) {
      (void)!write(running[1], "r", 1);
      ::pause();
      _exit(0);
    }
    ASSERT_GT(stuck, 0);
    char c;
    ASSERT_EQ(read(running[0], &c, 1), 1);  // the child runs its own code now
    close(running[0]);
    close(running[1]);
  }
  posix::SingleInstance next("reader", "K1");
  EXPECT_TRUE(next.first());
  EXPECT_GE(next.listener(), 0);
}

TEST(Environment, AnInstalledCopyKeepsChapterFilesInTheUsersOwnFolder) {
  TempDir dir;
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  struct Unset {
    ~Unset() { unsetenv("XDG_DATA_HOME"); }
  } unset;
  posix::Environment copy("reader", dir / "program");
  EXPECT_EQ(copy.MediaFolder(), dir / "program/Review");  // a build folder, a stick: as shipped
  std::filesystem::create_directories(dir / "program");
  testing_support::WriteFile(dir / "program/installed", "");
  EXPECT_EQ(copy.MediaFolder(), dir / "data/reader/Review");
  posix::FileSystem files;
  files.CreateFolder(copy.MediaFolder());  // its parents made too
  EXPECT_TRUE(files.FolderExists(dir / "data/reader/Review"));
}

TEST(Connection, ADownloadServerOnThisMachineCountsAsConnected) {
  for (const char* url :
       {"http://127.0.0.1:18417/", "http://localhost/", "http://127.1.2.3/x/", "http://[::1]:80/"})
    EXPECT_TRUE(posix::Connection::IsThisMachine(url)) << url;
  for (const char* url :
       {"http://example.com/", "http://127.example.com/", "https://127.0.0.1/", "", "http://10.0.0.1/"})
    EXPECT_FALSE(posix::Connection::IsThisMachine(url)) << url;
  EXPECT_TRUE(posix::Connection("http://127.0.0.1:18417/").InternetGetConnectedState());
}
