#pragma once

// The cases every movie player must answer alike, whichever plays them:
// small movies written with our own tools, what the host does with them
// through components::MoviePlayer, and what it must hear back. Run by
// tests/player/player_contract_test.cpp on the stand-in, and with the same
// table on the runtime, each with a Harness of its own.
//
// A runtime answers some things a moment later (a frame gone to runs its
// actions after the call that went there; fscommands come from the event
// loop), so every check lets events run until it holds or the harness
// gives up; nothing is checked inside the call that caused it.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "components/movie_player.h"

namespace contract {

using Bytes = std::vector<std::uint8_t>;

struct Step {
  enum Kind {
    kSet,       // SetVariable(a, b)
    kGet,       // GetVariable(a) gives b
    kCall,      // TCallLabel("/", a)
    kFrame,     // TGetProperty("/", 4) gives a
    kCommands,  // these FSCommands ("command args") came since the last kCommands, in order
  };
  Kind kind;
  std::string a, b;
  std::vector<std::string> commands;
};

struct Case {
  std::string name;
  Bytes movie;  // loaded with Movie() first of all
  std::vector<Step> steps;
};

// How a player is driven. `place` puts a movie where the player's Movie()
// can load it and gives that path; `runUntil` lets the player's events run
// until `done` holds (true) or it gives up (false), and never throws;
// `settle` lets what is under way run out (a frame or two, an answer), for
// a check that nothing more comes.
struct Harness {
  std::function<std::string(const Bytes& movie, const std::string& name)> place;
  std::function<bool(const std::function<bool()>& done)> runUntil;
  std::function<void()> settle;
};

inline Step Set(std::string path, std::string value) {
  return {Step::kSet, std::move(path), std::move(value)};
}
inline Step Get(std::string path, std::string value) {
  return {Step::kGet, std::move(path), std::move(value)};
}
inline Step Call(std::string label) { return {Step::kCall, std::move(label)}; }
inline Step Frame(std::string frame) { return {Step::kFrame, std::move(frame)}; }
inline Step Commands(std::vector<std::string> commands) {
  return {Step::kCommands, {}, {}, std::move(commands)};
}

struct FrameScript {
  std::string label, script;
};

// A movie whose frames hold these scripts, compiled for `version`.
inline Bytes MovieOf(int version, const std::vector<FrameScript>& frames, bool compressed = false) {
  book::SwfWriter swf(version, 4000, 3000, 12);
  for (const FrameScript& f : frames) {
    if (!f.label.empty()) swf.FrameLabel(f.label);
    if (!f.script.empty()) swf.DoAction(avm1::Compile(f.script, {.swfVersion = version}));
    swf.ShowFrame();
  }
  return swf.Finish(compressed);
}

inline std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (int version : {6, 8}) {
    const std::string v = " (SWF " + std::to_string(version) + ")";
    cases.push_back({"variables in clips by slash, colon and dot paths" + v,
                     MovieOf(version, {{"", R"(
                       stop();
                       plain = "hello";
                       count = 2 + 40;
                       half = 0.5;
                       yes = true;
                       _root.createEmptyMovieClip("clip", 1);
                       clip.name = "inner";
                       clip.createEmptyMovieClip("sub", 1);
                       clip.sub.deep = "down";
                       bookmarkList = new Object();
                       bookmarkList.counter = 3;
                     )"}}),
                     {Get("plain", "hello"),
                      Get("/:plain", "hello"),
                      Get("count", "42"),
                      Get("half", "0.5"),
                      Get("yes", "true"),
                      Get("/clip:name", "inner"),
                      Get("clip.name", "inner"),
                      Get("/clip/sub:deep", "down"),
                      Get("clip.sub.deep", "down"),
                      Get("_level0.clip.name", "inner"),
                      Get("/bookmarkList.counter", "3"),
                      Set("/clip:name", "changed"),
                      Get("clip.name", "changed"),
                      Set("clip.sub.made", "new"),
                      Get("/clip/sub:made", "new"),
                      Set("/bookmarkList.counter", "4"),
                      Get("bookmarkList.counter", "4"),
                      Set("fresh", "甲乙 \"丙\""),
                      Get("fresh", "甲乙 \"丙\""),
                      Commands({})}});
    cases.push_back({"arrays of objects by /clip/arr:3.field" + v,
                     MovieOf(version, {{"", R"(
                       stop();
                       _root.createEmptyMovieClip("EBookNote", 2);
                       EBookNote.notes = new Array();
                       for (var i = 0; i < 5; i++) EBookNote.notes.push({content: "note " + i, page: i * 2});
                     )"}}),
                     {Get("/EBookNote/notes:3.content", "note 3"), Get("/EBookNote/notes:4.page", "8"),
                      Get("EBookNote.notes.length", "5"), Set("/EBookNote/notes:3.content", "改過"),
                      Get("/EBookNote/notes:3.content", "改過"), Get("EBookNote.notes.length", "5"),
                      Get("/EBookNote/notes:9.content", "")}});
    cases.push_back(
        {"labels read what was set just before and answer with fscommand" + v,
         MovieOf(version, {{"", "stop();"},
                           {"echo", "fscommand(\"echo\", input);"},
                           {"sum", "fscommand(\"sum\", Number(a) + Number(b));"},
                           {"count", "if (n == undefined) n = 0; n++; fscommand(\"count\", n);"}}),
         {Set("input", "甲乙 \"丙\""), Call("echo"), Set("a", "2"), Set("b", "40"), Call("sum"),
          Commands({"echo 甲乙 \"丙\"", "sum 42"}), Frame("1"), Call("count"), Call("count"),
          Commands({"count 1", "count 2"}), Get("n", "2"), Call("no such label"), Commands({}), Frame("1")}});
    cases.push_back(
        {"the playhead: current, total and loaded frames" + v,
         MovieOf(version, {{"", R"(
                       stop();
                       total = _totalframes;
                       loaded = _framesloaded;
                       here = _currentframe;
                       viaProperty = getProperty("/", _totalframes);
                     )"},
                           {"toFive", "gotoAndStop(5);"},
                           {"", ""},
                           {"back", "gotoAndStop(1);"},
                           {"five", "fscommand(\"arrived\", _currentframe + \"/\" + _root._totalframes);"},
                           {"report", "fscommand(\"frame\", getProperty(\"\", _currentframe));"}}),
         {Frame("1"), Get("total", "6"), Get("loaded", "6"), Get("here", "1"), Get("viaProperty", "6"),
          Call("report"), Commands({"frame 1"}), Call("toFive"), Frame("5"), Commands({"arrived 5/6"}),
          Call("report"), Commands({"frame 5"}), Call("back"), Frame("1")}});
  }
  cases.push_back(
      {"missing paths read as nothing and setting them does nothing",
       MovieOf(8, {{"", "stop(); _root.createEmptyMovieClip(\"clip\", 1); clip.x = 1;"}}),
       {Get("never", ""), Get("/nowhere/at:all", ""), Get("nowhere.at.all", ""), Get("/clip:none", ""),
        Get("clip.x.y", ""), Set("/nowhere/at:all", "x"), Get("/nowhere/at:all", ""), Get("/clip:x", "1")}});
  for (int version : {5, 8}) {
    const std::string v = " (SWF " + std::to_string(version) + ")";
    cases.push_back({"what the host does before the movie is in applies once it is, in order" + v,
                     MovieOf(version, {{"", "stop(); early = \"movie\"; fscommand(\"loaded\", early);"},
                                       {"report", "fscommand(\"report\", early + \",\" + second);"}}),
                     // No step waits between Movie() and these.
                     {Set("early", "host"), Set("second", "2"), Call("report"),
                      Commands({"loaded movie", "report host,2"}), Get("early", "host")}});
    cases.push_back({"a frame action's fscommand reaches the host" + v,
                     MovieOf(version, {{"", "fscommand(\"loaded\", \"v\" + 8);"},
                                       {"", "stop(); fscommand(\"second\", _currentframe);"}}),
                     {Commands({"loaded v8", "second 2"}), Frame("2")}});
  }
  cases.push_back({"a compressed movie plays as an uncompressed one",
                   MovieOf(8, {{"", "stop(); kind = \"CWS\"; fscommand(\"loaded\", kind);"}}, true),
                   {Commands({"loaded CWS"}), Get("kind", "CWS")}});
  return cases;
}

// Runs one case on `player` (which plays nothing yet), reporting each
// answer that differs as a test failure naming its step.
inline void Run(const Case& c, components::MoviePlayer& player, const Harness& harness) {
  std::vector<std::string> heard;
  player.OnFSCommand([&heard](const std::string& command, const std::string& args) {
    heard.push_back(command + " " + args);
  });
  player.Movie(harness.place(c.movie, "contract.swf"));
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    const Step& s = c.steps[i];
    SCOPED_TRACE("step " + std::to_string(i + 1));
    std::string got;
    switch (s.kind) {
      case Step::kSet: player.SetVariable(s.a, s.b); break;
      case Step::kCall: player.TCallLabel("/", s.a); break;
      case Step::kGet:
        harness.runUntil([&] { return (got = player.GetVariable(s.a)) == s.b; });
        EXPECT_EQ(got, s.b) << "GetVariable(\"" << s.a << "\")";
        break;
      case Step::kFrame:
        harness.runUntil([&] { return (got = player.TGetProperty("/", 4)) == s.a; });
        EXPECT_EQ(got, s.a) << "TGetProperty(\"/\", 4)";
        break;
      case Step::kCommands:
        harness.runUntil([&] { return heard.size() >= s.commands.size(); });
        // Then nothing more: what came late would be counted as the next step's.
        harness.settle();
        EXPECT_EQ(heard, s.commands) << "the FSCommands heard";
        heard.clear();
        break;
    }
  }
  player.OnFSCommand({});
}

}  // namespace contract
