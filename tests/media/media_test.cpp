// Chapter narration on the headless desktop: the sound commands, the
// download engine's states in their re-entrant order, the progress window
// and the animation window, against a scripted transfer control.
#include "media/media.h"

#include <filesystem>

#include "components/flags.h"
#include "media/download_engine.h"
#include "shell/book.h"
#include "tests/support/support.h"

using namespace components;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr const char* kServer = "http://media.test/";

class Media : public ::testing::Test {
 protected:
  Media() {
    h.environment.variables["TEMP"] = dir.path() + "/";
    h.environment.programFolder = dir / "書 本";
    std::filesystem::create_directories(h.environment.programFolder);
    h.resources.table[{"CUSTOM", 101}] = {'C', 'W', 'S', 7};
    program.Start();
    h.desktop.log().clear();
  }
  std::string Final(const std::string& c) { return dir / ("書 本/Review/K19990317045_" + c + ".zov"); }
  std::string Temp(const std::string& c) { return dir / ("書 本/Review/K19990317045_" + c + ".hs"); }
  std::string Address(const std::string& c) {
    return std::string(kServer) + "K19990317045/Review/K19990317045_" + c + ".zov";
  }
  headless::Transfer& inet() { return h.desktop.TransferOf(program.MainWindow(), "Inet1"); }
  void Serve(int length, std::vector<std::uint8_t> body, std::optional<std::vector<int>> getStates = {}) {
    inet().Respond({{{"content-LENGTH", std::to_string(length)}}, {}, {}, false});
    inet().Respond({{}, std::move(body), getStates, false});
  }
  static std::vector<std::uint8_t> Bytes(size_t n) {
    std::vector<std::uint8_t> b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7);
    return b;
  }
  void LoadSound(const std::string& c) {
    bridge.dispatcher().FSCommand("loadSound", c);
    h.desktop.Pump();
  }
  std::vector<std::string> Calls(const std::string& prefix) { return h.desktop.Calls(prefix); }
  size_t IndexOf(const std::string& entry) {
    auto& log = h.desktop.log();
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }
  Window& progress() { return media.ProgressWindow(); }
  Window& animation() { return media.AnimationWindow(); }

  TempDir dir;
  testing_support::Headless h;
  shell::Program program{h.system};
  bridge::Bridge bridge{program};
  media::Media media{program, bridge, kServer};
};

}  // namespace

TEST_F(Media, APresentChapterPlaysAtOnceWithoutTheNetwork) {
  std::filesystem::create_directories(dir / "書 本/Review");
  WriteFile(Final("3"), "chapter");
  h.connection.connected = false;  // never asked
  LoadSound("3");
  EXPECT_TRUE(Calls("Form1.Inet1").empty());
  EXPECT_EQ(Calls("player.ShockwaveFlash1."),
            (std::vector<std::string>{"player.ShockwaveFlash1.Movie(" + Final("3") + ")",
                                      "player.ShockwaveFlash1.SetVariable(playSound, true)",
                                      "player.ShockwaveFlash1.TCallLabel(/, showPlayer)"}));
  EXPECT_TRUE(animation().IsVisible());
  EXPECT_EQ(Calls("Form1.asxToolbar1.Visible").back(), "Form1.asxToolbar1.Visible(true)");
  EXPECT_EQ(program.endDownload, kTrue);
}

TEST_F(Media, ADownloadRunsInsideTheProgressWindowAndIsHandedOverWhole) {
  Serve(2500, Bytes(2500));
  h.desktop.WhenModal("download", [&](Window&) { EXPECT_TRUE(program.isDownloadOpen == kTrue); });
  LoadSound("3");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "書 本/Review"));  // made before the transfer
  EXPECT_EQ(
      Calls("Form1.Inet1.Execute"),
      (std::vector<std::string>{"Form1.Inet1.Execute(" + Address("3") + ", HEAD \"" + Address("3") + "\")",
                                "Form1.Inet1.Execute(" + Address("3") + ", GET \"" + Temp("3") + "\")"}));
  EXPECT_EQ(ReadFile(Final("3")), Bytes(2500));
  EXPECT_FALSE(std::filesystem::exists(Temp("3")));
  EXPECT_EQ(Calls("Form1.Inet1.GetChunk").size(), 4u);  // three of 1024 or fewer, then the empty one
  EXPECT_EQ(program.endDownload, kTrue);
  EXPECT_EQ(program.isDownloadOpen, kFalse);
  EXPECT_FALSE(progress().IsLoaded());
  EXPECT_TRUE(animation().IsVisible());
  // The reception ran inside the modal window state 4 opened; the toolbar
  // came back only after it closed, when the chapter was already handed over.
  // Both over the main window.
  size_t modal = IndexOf("download.ShowModal(Form1)"), reception = IndexOf("Form1.Inet1.GetChunk(1024, 1)"),
         shown = IndexOf("player.Show(Form1)"), bar = h.desktop.log().size();
  for (size_t i = 0; i < h.desktop.log().size(); ++i)
    if (h.desktop.log()[i] == "Form1.asxToolbar1.Visible(true)") bar = std::min(bar, i);
  EXPECT_LT(modal, reception);
  EXPECT_LT(reception, shown);
  EXPECT_LT(shown, bar);
  // The file was complete before the window went: its closing cancelled nothing.
  EXPECT_TRUE(Calls("Form1.Inet1.Cancel").empty());
}

TEST_F(Media, NoUsableLengthMeansNoRequestAndTheReaderIsToldTheHostCannotBeReached) {
  for (const char* length : {"", "0", "abc", "-5", "99999999999"}) {
    h.desktop.log().clear();
    inet().Respond({{{"Content-length", length}}, {}, {}, false});
    std::filesystem::create_directories(dir / "書 本/Review");
    WriteFile(Temp("5"), "stale");
    h.desktop.ExpectBox(Answer::OK, "很抱歉，現在無法與主機連線。\r\n請稍後再連線，謝謝。");
    LoadSound("5");
    EXPECT_EQ(Calls("Form1.Inet1.Execute").size(), 1u) << length;  // the HEAD only
    EXPECT_TRUE(Calls("Form1.asxToolbar1").empty());               // its own 12 changes nothing
    EXPECT_FALSE(std::filesystem::exists(Temp("5")));              // a leftover goes
    EXPECT_EQ(h.desktop.boxes().back().caption, "無法連線") << length;
  }
  // A HEAD that fails outright: its state 11 says so, and only that.
  h.desktop.ExpectBox(Answer::OK, "很抱歉，現在無法與主機連線。\r\n請稍後再連線，謝謝。");
  inet().Respond({{}, {}, std::vector<int>{Transfer::kError}, false});
  const size_t before = h.desktop.boxes().size();
  LoadSound("5");
  EXPECT_EQ(h.desktop.boxes().size(), before + 1);
  EXPECT_EQ(h.desktop.PendingBoxes(), 0u);
}

TEST_F(Media, ATemporaryFileThatCannotBeOpenedEndsAsAShortBody) {
  std::filesystem::create_directories(Temp("3"));  // a folder where the body would go
  Serve(2500, Bytes(2500));
  std::string shown;
  h.desktop.WhenModal("download", [](Window&) {});
  h.desktop.PostDelayed(40, [&] { shown = progress().control("percent").Caption(); });
  h.desktop.PostDelayed(50, [&] { progress().UserClose(); });
  LoadSound("3");
  h.desktop.Advance(100);
  EXPECT_EQ(shown, "100 %");  // all of it came, none of it was kept
  EXPECT_FALSE(std::filesystem::exists(Final("3")));
  EXPECT_EQ(program.endDownload, kFalse);
  EXPECT_FALSE(animation().IsLoaded());
  EXPECT_TRUE(h.desktop.boxes().empty());
}

TEST_F(Media, ClosingTheBookDuringTheSizeQueryEndsTheWaitAndLoadsNothingAgain) {
  inet().Respond({{{"Content-length", "100"}}, {}, {}, true});  // the server never answers
  h.desktop.ExpectBox(Answer::Yes, "確定要離開電子書嗎 ?");
  h.desktop.Post([&] { program.MainWindow().UserClose(); });
  LoadSound("3");
  EXPECT_FALSE(program.MainWindow().IsLoaded());
  EXPECT_EQ(h.desktop.quitCode(), std::optional<int>(0));
  EXPECT_TRUE(Calls("Form1.Load()").empty());
  EXPECT_EQ(Calls("Form1.Inet1.Execute").size(), 1u);  // no GET
  EXPECT_EQ(h.desktop.boxes().size(), 1u);             // the question only
  EXPECT_FALSE(progress().IsLoaded());
}

TEST_F(Media, ACancelAfterTheLastChunkStillMeansNoChapter) {
  Serve(2048, Bytes(2048));
  inet().beforeChunk = [&](int chunk) {
    if (chunk == 2) progress().control("cancel").UserClick();  // all 2048 bytes are in
  };
  h.desktop.WhenModal("download", [](Window&) {});
  LoadSound("2");
  EXPECT_FALSE(std::filesystem::exists(Final("2")));
  EXPECT_FALSE(std::filesystem::exists(Temp("2")));
  EXPECT_EQ(program.endDownload, kFalse);
  EXPECT_FALSE(animation().IsLoaded());
  EXPECT_FALSE(progress().IsLoaded());
}

TEST_F(Media, ATransferCompletingWhileTheBusyMessageIsOpenPlaysOnlyItsOwnChapter) {
  inet().Respond({{{"Content-length", "1000"}}, {}, {}, false});
  inet().Respond({{}, Bytes(1000), {}, true});  // its states wait
  LoadSound("8");
  h.desktop.WhenModal("download", [](Window&) {});
  // Chapter 9 asked for meanwhile: the busy message, and under it chapter 8 arrives.
  h.desktop.ExpectBox(Answer::OK, "正在下載當中，請稍後。", [&] {
    while (inet().Release()) {
    }
    h.desktop.Pump();
  });
  LoadSound("9");
  EXPECT_EQ(ReadFile(Final("8")), Bytes(1000));
  EXPECT_EQ(Calls("player.ShockwaveFlash1.Movie"),
            std::vector<std::string>{"player.ShockwaveFlash1.Movie(" + Final("8") + ")"});
}

TEST_F(Media, AShortBodyIsNeverAChapterAndNeverShows100) {
  struct Case {
    int announced;
    size_t sent;
    std::string shown;
    bool accepted;
  };
  for (const Case& c :
       {Case{1000, 995, "99 %", false}, Case{1000, 994, "99 %", false}, Case{1000, 0, "0 %", false},
        Case{1000, 1000, "100 %", true}, Case{1000, 1500, "100 %", true}}) {
    std::filesystem::remove_all(dir / "書 本/Review");
    Serve(c.announced, Bytes(c.sent));
    // A short body leaves the window open with its last value: the reader
    // reads it, then closes the window.
    std::string shown;
    h.desktop.WhenModal("download", [](Window&) {});
    if (!c.accepted) {
      h.desktop.PostDelayed(40, [&] { shown = progress().control("percent").Caption(); });
      h.desktop.PostDelayed(50, [&] { progress().UserClose(); });
    }
    LoadSound("7");
    h.desktop.Advance(100);
    EXPECT_EQ(std::filesystem::exists(Final("7")), c.accepted) << c.sent;
    EXPECT_FALSE(std::filesystem::exists(Temp("7"))) << c.sent;
    EXPECT_EQ(program.endDownload == kTrue, c.accepted) << c.sent;
    if (c.accepted) {
      EXPECT_EQ(ReadFile(Final("7")).size(), c.sent);
    } else {
      EXPECT_EQ(shown, c.shown) << c.sent;
    }
    inet().beforeChunk = nullptr;
    animation().Unload();
  }
}

TEST_F(Media, ThePercentageRoundsHalvesToEvenAndAShortBodyStopsAt99) {
  EXPECT_EQ(media::Percent(5, 1000), 0);     // 0.5
  EXPECT_EQ(media::Percent(15, 1000), 2);    // 1.5
  EXPECT_EQ(media::Percent(25, 1000), 2);    // 2.5
  EXPECT_EQ(media::Percent(995, 1000), 99);  // rounds to 100, but is short
  EXPECT_EQ(media::Percent(1000, 1000), 100);
  EXPECT_EQ(media::Percent(3000, 1000), 100);
}

TEST_F(Media, CancelBetweenTwoChunksEndsAsAShortBodyAndTheTimerClosesTheWindow) {
  Serve(5000, Bytes(5000));
  inet().beforeChunk = [&](int chunk) {
    if (chunk != 2) return;
    EXPECT_TRUE(progress().control("cancel").UserClick());
    EXPECT_FALSE(progress().control("cancel").Enabled());  // at once
    EXPECT_TRUE(progress().IsLoaded());                    // until the tick
  };
  h.desktop.WhenModal("download", [](Window&) {});
  LoadSound("2");
  EXPECT_EQ(Calls("Form1.Inet1.Cancel").size(), 2u);  // the button's, then the closing's
  EXPECT_FALSE(progress().IsLoaded());
  EXPECT_EQ(program.isDownloadOpen, kFalse);
  EXPECT_EQ(program.endDownload, kFalse);
  EXPECT_FALSE(std::filesystem::exists(Final("2")));
  EXPECT_FALSE(std::filesystem::exists(Temp("2")));
  EXPECT_FALSE(animation().IsLoaded());
}

TEST_F(Media, TheCloseBoxDuringATransferCancelsItAndLeavesTheWindowClosed) {
  Serve(5000, Bytes(5000));
  inet().beforeChunk = [&](int chunk) {
    if (chunk == 1) progress().UserClose();
  };
  h.desktop.WhenModal("download", [](Window&) {});
  LoadSound("2");
  EXPECT_EQ(Calls("Form1.Inet1.Cancel").size(), 1u);
  EXPECT_FALSE(progress().IsLoaded());  // not loaded again by the reception
  EXPECT_EQ(program.isDownloadOpen, kFalse);
  EXPECT_FALSE(std::filesystem::exists(Final("2")));
}

TEST_F(Media, ADeclinedReplacementKeepsTheOldFileAndTheNewOneBeside) {
  Serve(1024, Bytes(1024));
  inet().beforeChunk = [&](int chunk) {
    if (chunk == 0) WriteFile(Final("4"), "arrived meanwhile");
  };
  h.desktop.ExpectBox(Answer::No, "File Already Exists, Replace Anyway ? ");
  h.desktop.WhenModal("download", [](Window&) {});
  h.desktop.PostDelayed(50, [&] { progress().UserClose(); });
  LoadSound("4");
  h.desktop.Advance(100);
  EXPECT_EQ(h.desktop.boxes().at(0).caption, "檔案已存在");
  EXPECT_EQ(h.desktop.boxes().at(0).box.buttons, Buttons::YesNo);
  EXPECT_EQ(ReadFile(Final("4")), std::vector<std::uint8_t>({'a', 'r', 'r', 'i', 'v', 'e', 'd', ' ', 'm', 'e',
                                                             'a', 'n', 'w', 'h', 'i', 'l', 'e'}));
  EXPECT_EQ(ReadFile(Temp("4")), Bytes(1024));
  EXPECT_EQ(program.endDownload, kFalse);
  EXPECT_FALSE(animation().IsLoaded());
}

TEST_F(Media, AnErrorSaysSoClosesTheProgressWindowAndShowsTheToolbar) {
  Serve(1000, Bytes(1000), std::vector<int>{Transfer::kConnected, Transfer::kError});
  h.desktop.ExpectBox(Answer::OK, "很抱歉，現在無法與主機連線。\r\n請稍後再連線，謝謝。");
  h.desktop.WhenModal("download", [](Window&) {});
  LoadSound("6");
  EXPECT_EQ(h.desktop.boxes().at(0).caption, "無法連線");
  EXPECT_EQ(h.desktop.boxes().at(0).box.icon, Icon::Exclamation);
  EXPECT_FALSE(progress().IsLoaded());
  EXPECT_EQ(Calls("Form1.Inet1.Cancel").size(), 1u);  // closing it abandoned the request
  EXPECT_EQ(Calls("Form1.asxToolbar1.Visible").back(), "Form1.asxToolbar1.Visible(true)");
  EXPECT_FALSE(std::filesystem::exists(Final("6")));
}

TEST_F(Media, AnotherLoadSoundWhileOneDownloadsNeitherStealsNorDeletesItsFiles) {
  Serve(3000, Bytes(3000));
  std::filesystem::create_directories(dir / "書 本/Review");
  WriteFile(Temp("9"), "a leftover of chapter 9");
  inet().beforeChunk = [&](int chunk) {
    if (chunk != 1) return;
    h.desktop.ExpectBox(Answer::OK, "正在下載當中，請稍後。");
    bridge.dispatcher().FSCommand("loadSound", "9");  // another chapter: its leftovers go
    h.desktop.ExpectBox(Answer::OK, "正在下載當中，請稍後。");
    bridge.dispatcher().FSCommand("loadSound", "8");  // the same one: its files stay
  };
  h.desktop.WhenModal("download", [](Window&) {});
  LoadSound("8");
  EXPECT_FALSE(std::filesystem::exists(Temp("9")));
  EXPECT_EQ(ReadFile(Final("8")), Bytes(3000));  // completed under the names it started with
  EXPECT_FALSE(std::filesystem::exists(Temp("8")));
  EXPECT_FALSE(progress().IsLoaded());
  EXPECT_EQ(Calls("player.ShockwaveFlash1.Movie").back(), "player.ShockwaveFlash1.Movie(" + Final("8") + ")");
}

TEST_F(Media, ATransferAbandonedBeforeItsBodyLeavesNothingInProgress) {
  inet().Respond({{{"Content-length", "100"}}, {}, {}, false});
  inet().Respond({{}, Bytes(100), {}, true});  // its states wait for the test
  h.desktop.WhenModal("download", [](Window& w) { w.UserClose(); });
  bridge.dispatcher().FSCommand("loadSound", "3");
  inet().Release();  // connected: the window, which the reader closes
  h.desktop.Pump();
  EXPECT_EQ(Calls("Form1.Inet1.Cancel").size(), 1u);
  EXPECT_FALSE(inet().Release());  // nothing follows a cancel
  // The next chapter downloads; no busy message.
  Serve(10, Bytes(10));
  h.desktop.WhenModal("download", [](Window&) {});
  LoadSound("4");
  EXPECT_EQ(ReadFile(Final("4")), Bytes(10));
}

TEST_F(Media, TheProgressWindowStartsEmptyAndItsCancelActsBeforeTheTimerClosesIt) {
  inet().Respond({{{"Content-length", "100"}}, {}, {}, false});
  inet().Respond({{}, Bytes(100), {}, true});
  h.desktop.WhenModal("download", std::vector<std::function<void(Window&)>>{
                                      [&](Window& w) {
                                        EXPECT_EQ(w.control("percent").Caption(), "");
                                        EXPECT_EQ(w.control("progress").ProgressBarComponent().Value(), 0);
                                        EXPECT_TRUE(w.control("cancel").UserClick());
                                      },
                                      [&](Window& w) {
                                        // Not before the timer's tick, 10 ms on.
                                        EXPECT_TRUE(w.IsVisible());
                                        EXPECT_FALSE(w.control("cancel").UserClick());
                                        EXPECT_EQ(program.isDownloadOpen, kFalse);
                                      }});
  bridge.dispatcher().FSCommand("loadSound", "3");
  inet().Release();
  h.desktop.Pump();
  EXPECT_FALSE(progress().IsLoaded());
  EXPECT_EQ(Calls("Form1.Inet1.Cancel").size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(Final("3")));
}

TEST_F(Media, StatesOutsideATransferOnlyShowTheToolbarOrSaySo) {
  std::filesystem::create_directories(dir / "書 本/Review");
  WriteFile(Final("1"), "chapter");
  LoadSound("1");  // a present chapter: the engine has never listened
  inet().Respond({{{"Content-length", "abc"}}, {}, {}, false});
  h.desktop.ExpectBox(Answer::OK);
  LoadSound("2");  // a failed size query: the engine listens, nothing is ready
  program.ToolbarControl().Visible(false);
  h.desktop.log().clear();
  inet().Respond({{}, {}, std::vector<int>{Transfer::kResponseCompleted, 8}, false});
  inet().Execute("http://media.test/x", "GET \"x\"");
  h.desktop.Pump();
  EXPECT_EQ(Calls("Form1.asxToolbar1"),
            (std::vector<std::string>{"Form1.asxToolbar1.Visible(true)", "Form1.asxToolbar1.Visible(true)"}));
  EXPECT_TRUE(Calls("Form1.Inet1.GetChunk").empty());
  // An error with no progress window open: the message and the toolbar only.
  h.desktop.ExpectBox(Answer::OK);
  inet().Respond({{}, {}, std::vector<int>{Transfer::kError}, false});
  inet().Execute("http://media.test/x", "GET \"x\"");
  h.desktop.Pump();
  EXPECT_EQ(h.desktop.boxes().size(), 2u);
  EXPECT_FALSE(progress().IsLoaded());
}

TEST_F(Media, NoConnectionSaysSoAndDoesNothingElse) {
  h.connection.connected = false;
  h.desktop.ExpectBox(Answer::OK, "請連線，謝謝您。");
  LoadSound("3");
  EXPECT_EQ(h.desktop.boxes().at(0).caption, shell::kBookTitle);
  EXPECT_TRUE(Calls("Form1.Inet1").empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "書 本/Review"));
}

TEST_F(Media, OnlyAChapterNumberNamesFiles) {
  std::filesystem::create_directories(dir / "書 本/Review");
  WriteFile(dir / "書 本/Review/K19990317045_03.zov", "03");
  LoadSound("03");  // "03" is its own file, not chapter 3's
  EXPECT_EQ(Calls("player.ShockwaveFlash1.Movie").back(),
            "player.ShockwaveFlash1.Movie(" + dir.path() + "/書 本/Review/K19990317045_03.zov)");
  h.desktop.log().clear();
  WriteFile(dir / "victim", "x");
  for (const char* bad : {"", "../../victim", "3.5", "123456", "40000", " 3", "+3", "-", "3/..", "1e3"})
    LoadSound(bad);
  EXPECT_TRUE(h.desktop.log().empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "victim"));
}

TEST_F(Media, TheAnimationFollowsTheChapterMoviesRequestsAsItsTableSays) {
  std::filesystem::create_directories(dir / "書 本/Review");
  WriteFile(Final("1"), "chapter");
  LoadSound("1");
  headless::Player& chapter = h.desktop.PlayerOf(animation(), "ShockwaveFlash1");
  auto labels = [&] { return Calls("Form1.ShockwaveFlash1.TCallLabel"); };
  h.desktop.log().clear();
  chapter.Send("playAnimation", "true");
  chapter.Send("playAnimation", "true");  // a repeat calls nothing
  chapter.Send("playAnimation", "TRUE");
  chapter.Send("PlayAnimation", "true");
  h.desktop.Pump();
  EXPECT_EQ(labels(), std::vector<std::string>{"Form1.ShockwaveFlash1.TCallLabel(/, playAnimation)"});
  chapter.Send("toggleAnimation", "");     // off: the narrator stops
  chapter.Send("playAnimation", "false");  // off: no label, but isPlaying follows
  chapter.Send("toggleAnimation", "x");    // on again: plays, whatever isPlaying says
  h.desktop.Pump();
  EXPECT_EQ(labels(), (std::vector<std::string>{"Form1.ShockwaveFlash1.TCallLabel(/, playAnimation)",
                                                "Form1.ShockwaveFlash1.TCallLabel(/, stopAnimation)",
                                                "Form1.ShockwaveFlash1.TCallLabel(/, playAnimation)"}));
  EXPECT_EQ(program.isPlaying, kFalse);
  EXPECT_EQ(program.isAnimation, kTrue);
  chapter.Send("playAnimation", "true");
  h.desktop.Pump();
  h.desktop.log().clear();
  animation().UserClose();  // closing stops it
  EXPECT_EQ(labels(), std::vector<std::string>{"Form1.ShockwaveFlash1.TCallLabel(/, stopAnimation)"});
  EXPECT_EQ(program.isPlaying, kFalse);
}

TEST_F(Media, UnloadSoundAndUnloadManStopTheNarrator) {
  bridge.dispatcher().FSCommand("unloadSound", "");  // the window is not open: still stopMan
  EXPECT_EQ(Calls("Form1.ShockwaveFlash1.TCallLabel"),
            std::vector<std::string>{"Form1.ShockwaveFlash1.TCallLabel(/, stopMan)"});
  EXPECT_FALSE(animation().IsLoaded());
  program.ToolbarControl().Visible(false);
  bridge.dispatcher().FSCommand("unloadMan", "");
  EXPECT_EQ(Calls("Form1.ShockwaveFlash1.TCallLabel").size(), 2u);
  EXPECT_EQ(Calls("Form1.asxToolbar1.Visible").back(), "Form1.asxToolbar1.Visible(true)");
}
