// The global functions that are actions of their own: trace, fscommand,
// getURL, the timeline's and the clips' functions, the old string functions.
#include <cmath>

#include "book/as_codegen.h"
#include "player/avm1_actions.h"

namespace avm1 {

namespace {

using player::avm1::kPropertyNames;

// Functions of one argument that are one action.
const std::pair<const char*, Action> kOneArgument[] = {{"trace", Action::kTrace},
                                                       {"call", Action::kCall},
                                                       {"eval", Action::kGetVariable},
                                                       {"String", Action::kToString},
                                                       {"Number", Action::kToNumber},
                                                       {"int", Action::kToInteger},
                                                       {"random", Action::kRandomNumber},
                                                       {"chr", Action::kAsciiToChar},
                                                       {"mbchr", Action::kMbAsciiToChar},
                                                       {"ord", Action::kCharToAscii},
                                                       {"mbord", Action::kMbCharToAscii},
                                                       {"length", Action::kStringLength},
                                                       {"mblength", Action::kMbStringLength},
                                                       {"targetPath", Action::kTargetPath},
                                                       {"removeMovieClip", Action::kRemoveSprite}};

// Functions of no argument that are one action and give no value.
const std::pair<const char*, Action> kNoArgument[] = {{"play", Action::kPlay},
                                                      {"stop", Action::kStop},
                                                      {"nextFrame", Action::kNextFrame},
                                                      {"prevFrame", Action::kPrevFrame},
                                                      {"stopAllSounds", Action::kStopSounds},
                                                      {"toggleHighQuality", Action::kToggleQuality},
                                                      {"stopDrag", Action::kEndDrag}};

bool Literal(const Node& n) { return n.kind == Node::kString; }

std::optional<int> WholeNumber(const Node& n) {
  if (n.kind != Node::kNumber || n.number != std::floor(n.number) || n.number < 0 || n.number > 65535)
    return std::nullopt;
  return static_cast<int>(n.number);
}

}  // namespace

bool CodeGen::Builtin(const Node& e, bool keep) {
  const std::string& name = e.kids[0]->text;
  const std::size_t n = e.kids.size() - 1;
  auto arg = [&](std::size_t i) -> const Node& { return *e.kids[i + 1]; };
  auto count = [&](std::size_t least, std::size_t most) {
    if (n < least || n > most)
      Fail(e, name + " takes " +
                  (least == most ? std::to_string(least)
                                 : std::to_string(least) + " to " + std::to_string(most)) +
                  " argument" + (most == 1 ? "" : "s") + ", not " + std::to_string(n));
  };
  // Most of these leave no value; a script that uses one gets undefined.
  auto done = [&](bool value) {
    if (value && !keep) a_.Emit(Action::kPop);
    if (!value && keep) a_.Push({PushValue::Undefined()});
    return true;
  };
  auto method = [&](std::size_t i) -> std::uint8_t {
    if (n <= i) return 0;
    const Node& m = arg(i);
    if (Literal(m) && (m.text == "GET" || m.text == "get")) return kUrlMethodGet;
    if (Literal(m) && (m.text == "POST" || m.text == "post")) return kUrlMethodPost;
    Fail(m, "the method is \"GET\" or \"POST\"");
  };
  // "_levelN" for a level.
  auto level = [&](const Node& l) {
    if (auto v = WholeNumber(l)) {
      a_.Push({"_level" + std::to_string(*v)});
    } else {
      a_.Push({"_level"});
      Value(l);
      Op(Action::kAdd2, l);
    }
  };

  for (auto [word, action] : kNoArgument)
    if (name == word) {
      count(0, 0);
      Op(action, e);
      return done(false);
    }
  for (auto [word, action] : kOneArgument)
    if (name == word) {
      // String(), Number() and the like with other counts are the ordinary functions.
      if (n != 1 && (name == "String" || name == "Number")) return false;
      count(1, 1);
      Value(arg(0));
      Op(action, e);
      return done(action != Action::kTrace && action != Action::kCall && action != Action::kRemoveSprite);
    }
  if (name == "fscommand") {
    count(1, 2);
    if (Literal(arg(0)) && (n == 1 || Literal(arg(1)))) {
      CheckText(arg(0).text, arg(0));
      if (n == 2) CheckText(arg(1).text, arg(1));
      a_.GetUrl("FSCommand:" + arg(0).text, n == 2 ? arg(1).text : "");
      return done(false);
    }
    if (Literal(arg(0))) {
      PushString("FSCommand:" + arg(0).text, arg(0));
    } else {
      a_.Push({"FSCommand:"});
      Value(arg(0));
      Op(Action::kAdd2, e);
    }
    if (n == 2)
      Value(arg(1));
    else
      a_.Push({""});
    a_.GetUrl2(0);
    return done(false);
  }
  if (name == "getURL") {
    count(1, 3);
    std::uint8_t m = method(2);
    if (m == 0 && Literal(arg(0)) && (n == 1 || Literal(arg(1)))) {
      CheckText(arg(0).text, arg(0));
      if (n == 2) CheckText(arg(1).text, arg(1));
      a_.GetUrl(arg(0).text, n >= 2 ? arg(1).text : "");
      return done(false);
    }
    Value(arg(0));
    if (n >= 2)
      Value(arg(1));
    else
      a_.Push({""});
    a_.GetUrl2(m);
    return done(false);
  }
  if (name == "loadMovie" || name == "loadVariables") {
    count(2, 3);
    Value(arg(0));
    Value(arg(1));
    a_.GetUrl2(static_cast<std::uint8_t>(kUrlLoadTarget | (name == "loadVariables" ? kUrlLoadVariables : 0) |
                                         method(2)));
    return done(false);
  }
  if (name == "loadMovieNum" || name == "loadVariablesNum") {
    count(2, 3);
    std::uint8_t m = method(2);
    if (name == "loadMovieNum" && m == 0 && Literal(arg(0)) && WholeNumber(arg(1))) {
      CheckText(arg(0).text, arg(0));
      a_.GetUrl(arg(0).text, "_level" + std::to_string(*WholeNumber(arg(1))));
      return done(false);
    }
    Value(arg(0));
    level(arg(1));
    a_.GetUrl2(static_cast<std::uint8_t>((name == "loadVariablesNum" ? kUrlLoadVariables : 0) | m));
    return done(false);
  }
  if (name == "unloadMovie") {
    count(1, 1);
    a_.Push({""});
    Value(arg(0));
    a_.GetUrl2(kUrlLoadTarget);
    return done(false);
  }
  if (name == "unloadMovieNum") {
    count(1, 1);
    a_.Push({""});
    level(arg(0));
    a_.GetUrl2(0);
    return done(false);
  }
  if (name == "gotoAndStop" || name == "gotoAndPlay") {
    if (n == 2) Fail(e, "scenes are not supported: give " + name + " a frame number or label");
    count(1, 1);
    const bool play = name == "gotoAndPlay";
    const Node& f = arg(0);
    if (auto frame = WholeNumber(f); frame && *frame >= 1) {
      a_.GotoFrame(static_cast<std::uint16_t>(*frame - 1));
      if (play) a_.Emit(Action::kPlay);
    } else if (Literal(f)) {
      CheckText(f.text, f);
      a_.GoToLabel(f.text);
      if (play) a_.Emit(Action::kPlay);
    } else {
      Value(f);
      a_.GotoFrame2(play);
    }
    return done(false);
  }
  if (name == "set") {
    count(2, 2);
    Value(arg(0));
    Value(arg(1));
    if (keep) a_.StoreRegister(scope().temps[0]);
    Op(Action::kSetVariable, e);
    if (keep) a_.Push({PushValue::Register(scope().temps[0])});
    return true;
  }
  if (name == "getTimer") {
    count(0, 0);
    Op(Action::kGetTime, e);
    return done(true);
  }
  if (name == "substring" || name == "mbsubstring") {
    count(3, 3);
    for (std::size_t i = 0; i < 3; ++i) Value(arg(i));
    Op(name == "substring" ? Action::kStringExtract : Action::kMbStringExtract, e);
    return done(true);
  }
  if (name == "getProperty" || name == "setProperty") {
    const bool set = name == "setProperty";
    count(set ? 3 : 2, set ? 3 : 2);
    const Node& p = arg(1);
    int index = -1;
    for (int i = 0; i < static_cast<int>(std::size(kPropertyNames)); ++i)
      if ((p.kind == Node::kIdentifier || p.kind == Node::kString) && p.text == kPropertyNames[i]) index = i;
    if (index < 0) Fail(p, "not a property " + name + " knows (_x, _alpha, _visible, ...)");
    Value(arg(0));
    a_.Push({index});
    if (set) Value(arg(2));
    Op(set ? Action::kSetProperty : Action::kGetProperty, e);
    return done(!set);
  }
  if (name == "duplicateMovieClip") {
    count(3, 3);
    for (std::size_t i = 0; i < 3; ++i) Value(arg(i));
    // The action takes the depth unbiased; the function's depth is above the timeline's.
    a_.Push({16384});
    Op(Action::kAdd2, e);
    Op(Action::kCloneSprite, e);
    return done(false);
  }
  if (name == "startDrag") {
    if (n != 1 && n != 2 && n != 6) Fail(e, "startDrag takes 1, 2 or 6 arguments, not " + std::to_string(n));
    if (n == 6)
      for (std::size_t i = 2; i < 6; ++i) Value(arg(i));
    a_.Push({n == 6});
    if (n >= 2)
      Value(arg(1));
    else
      a_.Push({false});
    Value(arg(0));
    Op(Action::kStartDrag, e);
    return done(false);
  }
  return false;
}

}  // namespace avm1
