#include "shell/settings_store.h"

#include "platform/posix/hive.h"
#include "shell/book.h"
#include "tests/support/support.h"

using namespace components;
using shell::ReadRegValue;
using shell::WriteRegValue;
using testing_support::TempDir;

namespace {

class SettingsStore : public ::testing::Test {
 protected:
  void Plant(const std::string& name, DWORD type, const std::string& bytes) {
    HKEY h = 0;
    ASSERT_EQ(hive.RegCreateKeyA(HKEY_LOCAL_MACHINE, shell::BookKey(), &h), ERROR_SUCCESS);
    ASSERT_EQ(hive.RegSetValueExA(h, name, 0, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                  static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    hive.RegCloseKey(h);
  }
  std::string Read(const std::string& name) {
    return ReadRegValue(hive, HKEY_LOCAL_MACHINE, shell::BookKey(), name);
  }

  TempDir dir;
  posix::Hive hive{dir / "hive.sqlite"};
};

}  // namespace

TEST_F(SettingsStore, AbsentKeyReadsNoneAndTheFirstWriteCreatesIt) {
  EXPECT_EQ(Read("soundOn"), "none");
  EXPECT_EQ(Read("showHelp"), "none");
  EXPECT_EQ(WriteRegValue(hive, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn", "1"), "Success");
  EXPECT_EQ(Read("soundOn"), "1");
  EXPECT_EQ(Read("SOUNDON"), "1");
}

TEST_F(SettingsStore, OnlyNonEmptyTextValuesCount) {
  Plant("empty", REG_SZ, "");
  Plant("dword", REG_DWORD, std::string("\x01\0\0\0", 4));
  Plant("expand", REG_EXPAND_SZ, "1");
  Plant("binary", REG_BINARY, "1");
  EXPECT_EQ(Read("empty"), "none");
  EXPECT_EQ(Read("dword"), "none");
  EXPECT_EQ(Read("expand"), "none");
  EXPECT_EQ(Read("binary"), "none");
  EXPECT_EQ(Read("missing"), "none");
}

TEST_F(SettingsStore, TextIsCutAtItsFirstZeroAndNeverTrimmed) {
  Plant("withZero", REG_SZ, std::string("1\0more", 6));
  Plant("noZero", REG_SZ, "abc");
  Plant("leadingBlank", REG_SZ, " 1");
  Plant("zeroFirst", REG_SZ, std::string("\0abc", 4));
  EXPECT_EQ(Read("withZero"), "1");
  EXPECT_EQ(Read("noZero"), "abc");
  EXPECT_EQ(Read("leadingBlank"), " 1");
  EXPECT_EQ(Read("zeroFirst"), "none");
}

TEST_F(SettingsStore, WritesStoreTheWholeTextWithoutATerminatingZero) {
  EXPECT_EQ(WriteRegValue(hive, HKEY_LOCAL_MACHINE, shell::BookKey(), "showHelp", "說明-1"), "Success");
  HKEY h = 0;
  ASSERT_EQ(hive.RegOpenKeyA(HKEY_LOCAL_MACHINE, shell::BookKey(), &h), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(hive.RegQueryValueExA(h, "showHelp", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  hive.RegCloseKey(h);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, std::string("說明-1").size());  // bytes, not characters
  EXPECT_EQ(Read("showHelp"), "說明-1");
}

TEST_F(SettingsStore, WriteShowHelpKeepsItsResult) {
  shell::lastRegValue = "";
  shell::WriteShowHelp(hive, "-2");
  EXPECT_EQ(shell::lastRegValue, "Success");
  EXPECT_EQ(Read("showHelp"), "-2");
}

TEST_F(SettingsStore, AnUnwritableHiveGivesNoneAndChangesNothing) {
  ASSERT_EQ(WriteRegValue(hive, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn", "1"), "Success");
  posix::Hive readOnly(dir / "hive.sqlite", posix::Hive::Access::ReadOnly);
  EXPECT_EQ(WriteRegValue(readOnly, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn", "0"), "none");
  shell::WriteShowHelp(readOnly, "-1");
  EXPECT_EQ(shell::lastRegValue, "none");
  EXPECT_EQ(Read("soundOn"), "1");
  EXPECT_EQ(Read("showHelp"), "none");

  posix::Hive unopenable(dir.path());  // a folder, not a database
  EXPECT_EQ(ReadRegValue(unopenable, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn"), "none");
  EXPECT_EQ(WriteRegValue(unopenable, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn", "1"), "none");
}
