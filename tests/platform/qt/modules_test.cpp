#include "platform/qt/modules.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "tests/support/core_app.h"

namespace {

using Answer = int (*)();

TEST(Modules, AreFoundInTheProgramFolderAndNowhereElse) {
  testing_support::CoreApp();
  Answer beside = qtdesk::ResolveModule<Answer>("libreader_test_module.so", "reader_test_module_answer");
  ASSERT_NE(beside, nullptr);
  EXPECT_EQ(beside(), 42);
  EXPECT_EQ(qtdesk::ResolveModule<Answer>("libreader_test_module.so", "no_such_entry"), nullptr);
  EXPECT_EQ(qtdesk::ResolveModule<Answer>("libreader_no_such_module.so", "reader_test_module_answer"),
            nullptr);
  // The reader's own modules lie in its folder, not this program's: the
  // build's folder is no place to look.
  ASSERT_TRUE(QFile::exists(READER_PROGRAM_DIR "/libreader_transfer.so"));
  EXPECT_EQ(qtdesk::ResolveModule<Answer>("libreader_transfer.so", "reader_transfer_create"), nullptr);
}

}  // namespace
