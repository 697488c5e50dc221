#include "bridge/dispatcher.h"

#include "tests/support/support.h"

using namespace components;
using testing_support::Headless;

namespace {

class Dispatch : public ::testing::Test {
 protected:
  Dispatch() {
    auto record = [this](const char* name) {
      return [this, name](const std::string& args) { seen.push_back(std::string(name) + "(" + args + ")"); };
    };
    actions.getReg = record("getReg");
    actions.setReg = record("setReg");
    actions.win = record("win");
    actions.startPlay = record("startPlay");
    actions.viewNote = record("viewNote");
    actions.loadSound = record("loadSound");
    actions.unloadSound = record("unloadSound");
    actions.unloadMan = record("unloadMan");
    actions.toolbar = record("toolbar");
  }
  Headless h;
  shell::Program program{h.system};
  bridge::CommandActions actions;
  std::vector<std::string> seen;
};

}  // namespace

TEST_F(Dispatch, EachCommandReachesItsOwnAction) {
  bridge::Dispatcher d(program, actions);
  for (auto [command, args] : std::vector<std::pair<std::string, std::string>>{
           {"dirov.getReg", "x"},
           {"dirov.setReg", "1"},
           {"dirov.Win", "maximize"},
           {"startPlay", ""},
           {"viewNote", "03"},
           {"loadSound", "3"},
           {"unloadSound", ""},
           {"unloadMan", ""},
           {"dirov.Toolbar", "noZoom"},
       })
    d.FSCommand(command, args);
  EXPECT_EQ(seen, (std::vector<std::string>{"getReg(x)", "setReg(1)", "win(maximize)", "startPlay()",
                                            "viewNote(03)", "loadSound(3)", "unloadSound()", "unloadMan()",
                                            "toolbar(noZoom)"}));
}

TEST_F(Dispatch, OnlyTheExactWholeNameMatches) {
  bridge::Dispatcher d(program, actions);
  for (const char* command : {"Show", "DIROV.WIN", "viewnote", "", " show", "show ", "dirov.Win ", "dirov.",
                              "loadSound\n", "stopAnimation"})
    d.FSCommand(command, "x");
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(h.desktop.boxes().empty());
}

TEST_F(Dispatch, ShowDisplaysTheTextAsItIs) {
  bridge::Dispatcher d(program, actions);
  h.desktop.ExpectBox(Answer::OK, "<b>粗體</b> & 1");
  d.FSCommand("show", "<b>粗體</b> & 1");
  h.desktop.ExpectBox(Answer::OK, "");
  d.FSCommand("show", "");
  ASSERT_EQ(h.desktop.boxes().size(), 2u);
  EXPECT_EQ(h.desktop.boxes()[0].box.buttons, Buttons::OK);
  EXPECT_EQ(h.desktop.boxes()[0].box.icon, Icon::None);
  EXPECT_EQ(h.desktop.boxes()[0].caption, h.desktop.AppTitle());
}

TEST_F(Dispatch, CommandsWhosePartsAreStillToComeDoNothing) {
  bridge::Dispatcher d(program, bridge::CommandActions{});
  d.FSCommand("dirov.getReg", "");
  d.FSCommand("loadSound", "1");
  EXPECT_TRUE(h.desktop.log().empty());
}

TEST_F(Dispatch, TheMoviesCommandsArriveThroughThePlayersEvent) {
  h.environment.variables["TEMP"] = "/nonexistent-folder/";
  h.resources.table[{"CUSTOM", 101}] = {'C', 'W', 'S'};
  bridge::Dispatcher d(program, actions);
  program.OnMovieCommand([&](const std::string& c, const std::string& a) { d.FSCommand(c, a); });
  h.desktop.ExpectBox(Answer::OK);  // the temporary folder does not exist
  EXPECT_THROW(program.Start(), ProgramEnded);

  testing_support::TempDir dir;
  Headless h2;
  h2.environment.variables["TEMP"] = dir.path() + "/";
  h2.resources.table[{"CUSTOM", 101}] = {'C', 'W', 'S'};
  shell::Program p2(h2.system);
  bridge::Dispatcher d2(p2, actions);
  p2.OnMovieCommand([&](const std::string& c, const std::string& a) { d2.FSCommand(c, a); });
  p2.Start();
  auto& player = h2.desktop.PlayerOf(p2.MainWindow(), "ShockwaveFlash1");
  player.Send("dirov.Toolbar", "mute");
  EXPECT_TRUE(seen.empty());  // delivered from the event loop, not at once
  h2.desktop.Pump();
  EXPECT_EQ(seen, std::vector<std::string>{"toolbar(mute)"});
}
