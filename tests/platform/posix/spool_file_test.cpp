#include "platform/posix/spool_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "components/errors.h"
#include "tests/support/support.h"

using posix::SpoolFile;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

TEST(SpoolFile, ReadsBackInOrderWhatWasWrittenEvenWhileItGrows) {
  TempDir dir;
  auto spool = SpoolFile::Create(dir.path(), "dl-");
  ASSERT_TRUE(spool->Append("abcdef", 6));
  EXPECT_EQ(spool->Read(4), Bytes("abcd"));
  ASSERT_TRUE(spool->Append("gh", 2));
  EXPECT_EQ(spool->Read(100), Bytes("efgh"));
  EXPECT_TRUE(spool->Read(100).empty());
  EXPECT_EQ(spool->written(), 8u);
  EXPECT_EQ(spool->read(), 8u);
  EXPECT_EQ(ReadFile(spool->path()), Bytes("abcdefgh"));
}

TEST(SpoolFile, IsPrivateNewAndGoesWithItsObject) {
  TempDir dir;
  std::string path;
  {
    auto spool = SpoolFile::Create(dir.path() + "/", "dl-");
    path = spool->path();
    EXPECT_EQ(path.rfind(dir.path() + "/dl-", 0), 0u) << path;
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(SpoolFile::Create(dir.path(), "dl-")->path(), path);
  }
  EXPECT_FALSE(Exists(path));
}

TEST(SpoolFile, ALargeOneGoesTooThoughItsBlocksAreFreedAside) {
  TempDir dir;
  std::string path;
  {
    auto spool = SpoolFile::Create(dir.path(), "dl-");
    path = spool->path();
    const std::string block(1 << 20, 'x');
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(spool->Append(block.data(), block.size()));
  }
  EXPECT_FALSE(Exists(path));
}

TEST(SpoolFile, NeverWritesThroughALinkPlantedAtItsNextName) {
  TempDir dir;
  std::string first = SpoolFile::Create(dir.path(), "dl-")->path();
  // Names run on by one: plant a link where the next would be.
  std::string stem = first.substr(0, first.rfind('-') + 1);
  int number = std::stoi(first.substr(stem.size()));
  std::string next = stem + std::to_string(number + 1) + ".spool";
  testing_support::WriteFile(dir / "target", "precious");
  ASSERT_EQ(symlink((dir / "target").c_str(), next.c_str()), 0);

  auto spool = SpoolFile::Create(dir.path(), "dl-");
  EXPECT_NE(spool->path(), next);
  ASSERT_TRUE(spool->Append("x", 1));
  EXPECT_EQ(ReadFile(dir / "target"), Bytes("precious"));
}

TEST(SpoolFile, AFolderThatCannotTakeOneIsNamedInTheError) {
  TempDir dir;
  try {
    SpoolFile::Create(dir / "missing", "dl-");
    FAIL() << "created a spool in a missing folder";
  } catch (const components::ComponentError& e) {
    EXPECT_NE(std::string(e.what()).find(dir / "missing"), std::string::npos) << e.what();
  }
}

}  // namespace

TEST(SpoolFile, TheFilesOfCopiesThatNoLongerRunGoWhenTheNextOneIsMade) {
  TempDir dir;
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  const std::string dead = std::to_string(gone), alive = std::to_string(getppid());
  struct Case {
    std::string name;
    bool kept;
  };
  const std::vector<Case> cases = {
      {"dl-" + dead + "-0.spool", false},
      {"dl-" + dead + "-17.spool", false},
      {"dl-" + alive + "-0.spool", true},   // its copy runs
      {"dl-" + dead + "-0.spool.x", true},  // not a spool's name
      {"dl-" + dead + ".spool", true},
      {"other-" + dead + "-0.spool", true},
      {"dl--0.spool", true},
  };
  for (const Case& c : cases) testing_support::WriteFile(dir / c.name, "left");
  // A link under a spool's name is never followed, nor taken for one.
  testing_support::WriteFile(dir / "victim", "x");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / ("dl-" + dead + "-1.spool")).c_str()), 0);
  auto spool = SpoolFile::Create(dir.path(), "dl-");
  for (const Case& c : cases) EXPECT_EQ(Exists(dir / c.name), c.kept) << c.name;
  EXPECT_TRUE(Exists(dir / ("dl-" + dead + "-1.spool")));
  EXPECT_TRUE(Exists(dir / "victim"));
  EXPECT_TRUE(Exists(spool->path()));
}
