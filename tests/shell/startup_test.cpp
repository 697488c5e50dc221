#include <sys/stat.h>
#include <unistd.h>

#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"
#include "shell/window_hook.h"
#include "tests/support/support.h"

using namespace components;
using testing_support::Headless;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

class Startup : public ::testing::Test {
 protected:
  Startup() {
    h.environment.variables["TEMP"] = dir / "t";
    h.environment.programFolder = "/opt/book";
    h.resources.table[{"CUSTOM", 101}] = movie;
    shell::flashWnd = 0;
    shell::oldWndProc = 0;
  }
  void Start() {
    program = std::make_unique<shell::Program>(h.system);
    program->Start();
  }
  std::vector<std::string> PlayerCalls() { return h.desktop.Calls("Form1.ShockwaveFlash1."); }
  std::string Path() { return dir / ("t" + std::string(shell::kBookCode)); }

  TempDir dir;
  Headless h;
  std::vector<std::uint8_t> movie{'C', 'W', 'S', 7, 0, 0, 0, 0, 1, 2, 3};
  std::unique_ptr<shell::Program> program;
};

}  // namespace

TEST_F(Startup, WritesTheMovieBesideTempAndHandsTheMovieItsStartValues) {
  Start();
  // TEMP without a trailing separator: the file lies beside the folder.
  EXPECT_EQ(ReadFile(Path()), movie);
  EXPECT_EQ(PlayerCalls(), (std::vector<std::string>{
                               "Form1.ShockwaveFlash1.Movie(" + Path() + ")",
                               "Form1.ShockwaveFlash1.SetVariable(soundOn, none)",
                               "Form1.ShockwaveFlash1.SetVariable(animationFile, /opt/book/Review/man.zov)",
                               "Form1.ShockwaveFlash1.TCallLabel(/, mute)",
                               // then the resize rule of the window being shown
                               "Form1.ShockwaveFlash1.Width(11405)",
                               "Form1.ShockwaveFlash1.Height(8500)",
                           }));
  EXPECT_EQ(program->isDownloadOpen, kFalse);
  EXPECT_EQ(program->isPlaying, kFalse);
  EXPECT_EQ(program->isAnimation, kTrue);
  EXPECT_TRUE(program->MainWindow().IsVisible());
  EXPECT_FALSE(h.desktop.ToolbarOf(program->MainWindow(), "asxToolbar1").visible());
}

TEST_F(Startup, UnsetTempPutsTheMovieInTheCurrentFolder) {
  h.environment.variables.erase("TEMP");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  Start();
  EXPECT_EQ(chdir(cwd), 0);
  EXPECT_EQ(ReadFile(dir / shell::kBookCode), movie);
  EXPECT_EQ(PlayerCalls().front(), std::string("Form1.ShockwaveFlash1.Movie(") + shell::kBookCode + ")");
}

TEST_F(Startup, ReplacesAnOldMovieWhateverItsLength) {
  testing_support::WriteFile(Path(), std::string(100000, 'x'));
  Start();
  EXPECT_EQ(ReadFile(Path()), movie);
}

TEST_F(Startup, APlantedLinkIsRemovedNotWrittenThrough) {
  testing_support::WriteFile(dir / "victim", "keep me");
  ASSERT_EQ(symlink((dir / "victim").c_str(), Path().c_str()), 0);
  Start();
  EXPECT_EQ(ReadFile(dir / "victim"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
  struct stat st;
  ASSERT_EQ(lstat(Path().c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFile(Path()), movie);

  // A dangling link too.
  program.reset();
  ASSERT_EQ(unlink(Path().c_str()), 0);
  ASSERT_EQ(symlink((dir / "nowhere").c_str(), Path().c_str()), 0);
  Start();
  EXPECT_EQ(ReadFile(Path()), movie);
  EXPECT_NE(access((dir / "nowhere").c_str(), F_OK), 0);
}

TEST_F(Startup, OnlyExactlyOneStartsWithSound) {
  struct Case {
    std::optional<std::string> stored;
    std::string variable, label;
  };
  for (const Case& c : {Case{"1", "1", "soundOn"}, Case{"0", "0", "mute"}, Case{" 1", " 1", "mute"},
                        Case{std::nullopt, "none", "mute"}, Case{"", "none", "mute"}}) {
    Headless local;
    local.environment.variables["TEMP"] = dir / "t";
    local.resources.table[{"CUSTOM", 101}] = movie;
    if (c.stored) local.registry.Plant(shell::BookKey(), "soundOn", REG_SZ, *c.stored);
    shell::Program p(local.system);
    p.Start();
    auto calls = local.desktop.Calls("Form1.ShockwaveFlash1.");
    EXPECT_EQ(calls[1], "Form1.ShockwaveFlash1.SetVariable(soundOn, " + c.variable + ")");
    EXPECT_EQ(calls[3], "Form1.ShockwaveFlash1.TCallLabel(/, " + c.label + ")");
  }
}

TEST_F(Startup, DoublesEveryBackslashOfTheAnimationPath) {
  h.environment.programFolder = "/opt/a\\b c/書";
  Start();
  EXPECT_EQ(PlayerCalls()[2],
            "Form1.ShockwaveFlash1.SetVariable(animationFile, /opt/a\\\\b c/書/Review/man.zov)");
}

TEST_F(Startup, AFailingStepIsReportedAndEndsTheProgram) {
  h.resources.table.clear();
  h.desktop.ExpectBox(Answer::OK);
  program = std::make_unique<shell::Program>(h.system);
  try {
    program->Start();
    FAIL() << "the program went on";
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.exitCode, 1);
  }
  ASSERT_EQ(h.desktop.boxes().size(), 1u);
  const auto& box = h.desktop.boxes()[0];
  EXPECT_NE(box.box.text.find("載入內嵌電子書"), std::string::npos) << box.box.text;
  EXPECT_NE(box.box.text.find("CUSTOM 101"), std::string::npos) << box.box.text;
  EXPECT_EQ(box.box.icon, Icon::Critical);
  EXPECT_EQ(box.caption, shell::kBookTitle);
  EXPECT_TRUE(PlayerCalls().empty());
}

TEST_F(Startup, AFileInTheWayThatIsNotDeletableEndsTheProgram) {
  ASSERT_EQ(mkdir(Path().c_str(), 0700), 0);  // a folder: the lookup skips it, creation fails
  h.desktop.ExpectBox(Answer::OK);
  program = std::make_unique<shell::Program>(h.system);
  EXPECT_THROW(program->Start(), ProgramEnded);
  EXPECT_NE(h.desktop.boxes().at(0).box.text.find("寫入暫存電子書檔案"), std::string::npos);
}
