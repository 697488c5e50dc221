#include "book/as_compiler.h"

#include <gtest/gtest.h>

#include "book/avm1_disassembler.h"
#include "book/load_once_action.h"

namespace {

std::string Listing(const std::string& source, int version = 8) {
  return avm1::Disassemble(avm1::Compile(source, {.swfVersion = version, .constantPool = false}));
}

std::string ErrorOf(const std::string& source, int version = 8) {
  try {
    avm1::Compile(source, {.swfVersion = version});
  } catch (const avm1::CompileError& e) {
    return e.what();
  }
  return "";
}

struct Case {
  const char* source;
  const char* listing;
  int version = 8;
};

}  // namespace

// Each listing was checked by hand against the format: the order values are
// pushed in, the types they are pushed as, where each branch lands.
TEST(AsCompiler, CompilesEachConstructToTheActionsItStandsFor) {
  const Case cases[] = {
      {"x = a + b * c - d;",
       "Push \"x\" \"a\"\nGetVariable\nPush \"b\"\nGetVariable\nPush \"c\"\nGetVariable\nMultiply\nAdd2\n"
       "Push \"d\"\nGetVariable\nSubtract\nSetVariable\nEnd\n"},
      // Short-circuit: the left value stays as the result when it decides.
      {"r = p && q || !s;",
       "Push \"r\" \"p\"\nGetVariable\nPushDuplicate\nNot\nIf L1\nPop\nPush \"q\"\nGetVariable\nL1:\n"
       "PushDuplicate\nIf L2\nPop\nPush \"s\"\nGetVariable\nNot\nL2:\nSetVariable\nEnd\n"},
      {"v = t ? 1 : 2.5;",
       "Push \"v\" \"t\"\nGetVariable\nNot\nIf L1\nPush 1\nJump L2\nL1:\nPush "
       "d:2.5\nL2:\nSetVariable\nEnd\n"},
      // The object and the name are taken once; the old value of o["k"]++ is the result.
      {"o.n += 2; y = o[\"k\"]++;",
       "Push \"o\"\nGetVariable\nPush \"n\"\nStoreRegister r1\nPop\nStoreRegister r0\nPush r1 r0 "
       "r1\nGetMember\n"
       "Push 2\nAdd2\nSetMember\nPush \"y\" \"o\"\nGetVariable\nPush \"k\"\nStoreRegister r1\nPop\n"
       "StoreRegister r0\nPush r1 r0 r1\nGetMember\nToNumber\nStoreRegister r0\nIncrement\nSetMember\nPush "
       "r0\n"
       "SetVariable\nEnd\n"},
      {"i++; j = --i; a = b = 0;",
       "Push \"i\" \"i\"\nGetVariable\nIncrement\nSetVariable\nPush \"j\" \"i\"\nGetVariable\nDecrement\n"
       "PushDuplicate\nPush \"i\"\nStackSwap\nSetVariable\nSetVariable\nPush \"a\" 0\nPushDuplicate\nPush "
       "\"b\"\n"
       "StackSwap\nSetVariable\nSetVariable\nEnd\n"},
      // Arguments go last first, then their count.
      {"mc.gotoAndStop(3); f(1, \"two\"); var p = new Point(1, 2); q = new flash.geom.Point();",
       "Push 3 1 \"mc\"\nGetVariable\nPush \"gotoAndStop\"\nCallMethod\nPop\nPush \"two\" 1 2 "
       "\"f\"\nCallFunction\n"
       "Pop\nPush \"p\" 2 1 2 \"Point\"\nNewObject\nDefineLocal\nPush \"q\" 0 \"flash\"\nGetVariable\n"
       "Push \"geom\"\nGetMember\nPush \"Point\"\nNewMethod\nSetVariable\nEnd\n"},
      {"var a = [1, \"b\"]; var o = {x: 1, \"y z\": null}; n = -1; m = -(n);",
       "Push \"a\" \"b\" 1 2\nInitArray\nDefineLocal\nPush \"o\" \"x\" 1 \"y z\" null "
       "2\nInitObject\nDefineLocal\n"
       "Push \"n\" -1\nSetVariable\nPush \"m\" 0 \"n\"\nGetVariable\nSubtract\nSetVariable\nEnd\n"},
      // Parameters and locals in registers; r0 and the last one for short-lived values.
      {"function add(a, b) { var s = a + b; return s; }",
       "DefineFunction2 \"add\" regs 5 flags 0x0 (r1:a, r2:b) L1\nPush r1 r2\nAdd2\nStoreRegister r3\nPop\n"
       "Push r3\nReturn\nL1:\nEnd\n"},
      // A nested function reaches v through the scope: by name, not in a register.
      {"function outer(a) { var v = a; return function () { return v; }; }",
       "DefineFunction2 \"outer\" regs 2 flags 0x0 (a) L2\nPush \"v\" \"a\"\nGetVariable\nDefineLocal\n"
       "DefineFunction2 \"\" regs 2 flags 0x0 () L1\nPush "
       "\"v\"\nGetVariable\nReturn\nL1:\nReturn\nL2:\nEnd\n"},
      // Functions are defined before the script that calls them runs.
      {"f(); function f() {}",
       "DefineFunction2 \"f\" regs 2 flags 0x0 () L1\nL1:\nPush 0 \"f\"\nCallFunction\nPop\nEnd\n"},
      {"function g(n) { return n; }",
       "DefineFunction \"g\" (n) L1\nPush \"n\"\nGetVariable\nReturn\nL1:\nEnd\n", 6},
      // A break takes the names left by Enumerate off the stack.
      {"for (var k in o) { if (k == \"x\") break; trace(k); }",
       "Push \"o\"\nGetVariable\nEnumerate2\nL1:\nStoreRegister r0\nPush null\nEquals2\nIf L4\nPush \"k\" "
       "r0\n"
       "DefineLocal\nPush \"k\"\nGetVariable\nPush \"x\"\nEquals2\nNot\nIf L3\nL2:\nPush null\nEquals2\nNot\n"
       "If L2\nJump L4\nL3:\nPush \"k\"\nGetVariable\nTrace\nJump L1\nL4:\nEnd\n"},
      {"for (k in o.p) {}",
       "Push \"o.p\"\nEnumerate\nL1:\nStoreRegister r0\nPush null\nEquals2\nIf L2\nPush \"k\" "
       "r0\nSetVariable\n"
       "Jump L1\nL2:\nEnd\n",
       5},
      {"switch (n) { case 1: trace(\"one\"); break; default: trace(\"other\"); }",
       "Push \"n\"\nGetVariable\nPushDuplicate\nPush 1\nStrictEquals\nNot\nIf L1\nPop\nJump L2\nL1:\nPop\n"
       "Jump L3\nL2:\nPush \"one\"\nTrace\nJump L4\nL3:\nPush \"other\"\nTrace\nL4:\nEnd\n"},
      {"while (i < 3) { i++; if (i == 1) continue; } do { i--; } while (i > 0);",
       "L1:\nPush \"i\"\nGetVariable\nPush 3\nLess2\nNot\nIf L3\nPush \"i\" \"i\"\nGetVariable\nIncrement\n"
       "SetVariable\nPush \"i\"\nGetVariable\nPush 1\nEquals2\nNot\nIf L2\nJump L1\nL2:\nJump L1\nL3:\n"
       "Push \"i\" \"i\"\nGetVariable\nDecrement\nSetVariable\nPush \"i\"\nGetVariable\nPush 0\nGreater\nIf "
       "L3\n"
       "End\n"},
      {"b = a > c;",
       "Push \"b\" \"a\"\nGetVariable\nPush \"c\"\nGetVariable\nStackSwap\nLess2\nSetVariable\nEnd\n", 5},
      {"tellTarget (\"/clip\") { play(); } tellTarget (name) { stop(); } with (o) { x = 1; }",
       "SetTarget \"/clip\"\nPlay\nSetTarget \"\"\nPush \"name\"\nGetVariable\nSetTarget2\nStop\nSetTarget "
       "\"\"\n"
       "Push \"o\"\nGetVariable\nWith L1\nPush \"x\" 1\nSetVariable\nL1:\nEnd\n"},
      {"try { f(); } catch (e) { trace(e); } finally { done = true; }",
       "Try catch \"e\" L1 finally L2 end L3\nPush 0 \"f\"\nCallFunction\nPop\nL1:\nPush \"e\"\nGetVariable\n"
       "Trace\nL2:\nPush \"done\" true\nSetVariable\nL3:\nEnd\n"},
      {"fscommand(\"dirov.Win\", \"close\"); fscommand(\"viewNote\", n); getURL(\"http://example.com/\", "
       "\"_blank\"); loadMovieNum(\"bridge.swf\", 99); loadMovieNum(u, lv);",
       "GetURL \"FSCommand:dirov.Win\" \"close\"\nPush \"FSCommand:viewNote\" \"n\"\nGetVariable\nGetURL2 "
       "0x00\n"
       "GetURL \"http://example.com/\" \"_blank\"\nGetURL \"bridge.swf\" \"_level99\"\nPush "
       "\"u\"\nGetVariable\n"
       "Push \"_level\" \"lv\"\nGetVariable\nAdd2\nGetURL2 0x00\nEnd\n"},
      {"gotoAndStop(2); gotoAndPlay(\"singleLeft\"); gotoAndStop(f + 1); call(\"addNote\");",
       "GotoFrame 1\nGoToLabel \"singleLeft\"\nPlay\nPush \"f\"\nGetVariable\nPush 1\nAdd2\nGotoFrame2 stop\n"
       "Push \"addNote\"\nCall\nEnd\n"},
      // duplicateMovieClip's depth is biased as the function's is; startDrag takes the target last.
      {"x = getProperty(\"/clip\", _x); setProperty(this, _alpha, 50); duplicateMovieClip(\"a\", \"b\", 3); "
       "startDrag(\"d\", true, 0, 0, 10, 20);",
       "Push \"x\" \"/clip\" 0\nGetProperty\nSetVariable\nPush \"this\"\nGetVariable\nPush 6 "
       "50\nSetProperty\n"
       "Push \"a\" \"b\" 3 16384\nAdd2\nCloneSprite\nPush 0 0 10 20 true true \"d\"\nStartDrag\nEnd\n"},
      {"v = eval(\"/bookmarkList:counter\"); set(\"/a:b\", String(n) + Number(s) + int(z));",
       "Push \"v\" \"/bookmarkList:counter\"\nGetVariable\nSetVariable\nPush \"/a:b\" \"n\"\nGetVariable\n"
       "ToString\nPush \"s\"\nGetVariable\nToNumber\nAdd2\nPush \"z\"\nGetVariable\nToInteger\nAdd2\n"
       "SetVariable\nEnd\n"},
      {"import flash.external.ExternalInterface;\nExternalInterface.addCallback(\"get\", null, g);",
       "Push \"g\"\nGetVariable\nPush null \"get\" 3 \"flash\"\nGetVariable\nPush \"external\"\nGetMember\n"
       "Push \"ExternalInterface\"\nGetMember\nPush \"addCallback\"\nCallMethod\nPop\nEnd\n"},
      {"delete o.p; delete g; t = typeof o;",
       "Push \"o\"\nGetVariable\nPush \"p\"\nDelete\nPop\nPush \"g\"\nDelete2\nPop\nPush \"t\" "
       "\"o\"\nGetVariable\n"
       "TypeOf\nSetVariable\nEnd\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Listing(c.source, c.version), c.listing) << c.source;
}

TEST(AsCompiler, PoolsTheBlocksStringsOnceAndReadsUtf8) {
  std::vector<std::uint8_t> actions = avm1::Compile("a = \"書籤\"; b = a + \"書籤\" + '\\u8a3b\\x41';");
  EXPECT_EQ(avm1::Disassemble(actions),
            "ConstantPool \"a\" \"書籤\" \"b\" \"註A\"\n"
            "Push c:\"a\" c:\"書籤\"\nSetVariable\nPush c:\"b\" c:\"a\"\nGetVariable\nPush c:\"書籤\"\nAdd2\n"
            "Push c:\"註A\"\nAdd2\nSetVariable\nEnd\n");
}

TEST(AsCompiler, RefusesWhatItCannotCompileFaithfullyWithWhere) {
  const std::pair<const char*, const char*> cases[] = {
      {"x = ;", "1:5: expected a value but found ';'"},
      {"a = 1\nb = ", "2:5: expected a value but found the end of the script"},
      {"class Foo {}", "1:1: classes are not supported"},
      {"1 = x;", "1:3: the left side of '=' is not a variable or a property"},
      {"if (a in b) {}", "1:7: the 'in' operator is not supported"},
      {"break;", "1:1: break outside a loop or switch"},
      {"while (1) { with (o) { break; } }", "1:24: break cannot leave a with block"},
      {"while (1) { try { continue; } finally {} }", "1:19: continue cannot leave a try"},
      {"x = \"書\";", ""},
      {"gotoAndStop(\"scene\", 1);", "1:1: scenes are not supported"},
      {"trace(1, 2);", "1:1: trace takes 1 argument, not 2"},
      {"x = getProperty(c, _nothing);", "1:20: not a property getProperty knows"},
      {"s = \"open", "1:5: a string that never ends"},
      {"/* open", "1:1: a comment that never ends"},
      {"x = 08abc;", "1:5: a number runs into a name"},
      {"a: while (1) {}", "1:1: statement labels are not supported"},
      {"var f = function g() {};", "1:9: a function expression cannot have a name"},
      {"x = /re/;", "1:5: regular expressions are not supported"},
      {"  書 = 1 @", "1:9: unexpected character '@'"},
      {"import flash.*;", "1:14: import of a whole package is not supported"},
      {"getURL(u, \"_self\", \"PUT\");", "1:20: the method is \"GET\" or \"POST\""},
      {"s = \"a\";\nt = \"\xE6\x9B\";", "2:6: the script is not UTF-8 text"},
  };
  for (auto [source, message] : cases) {
    std::string error = ErrorOf(source);
    if (!*message)
      EXPECT_EQ(error, "") << source;
    else
      EXPECT_EQ(error.substr(0, std::string(message).size()), message) << source;
  }
}

TEST(AsCompiler, HoldsToWhatTheMoviesVersionHas) {
  const std::pair<const char*, const char*> cases[] = {
      {"x = \"書\";", "1:5: text other than ASCII needs SWF 6 or later"},
      {"b = a === c;", "1:7: this (StrictEquals) needs SWF 6"},
      {"try { } finally { }", "1:1: try needs SWF 7"},
      {"throw 1;", "1:1: this (Throw) needs SWF 7"},
      {"for (k in f()) {}", "1:11: in SWF 5, for..in takes a variable or a chain of properties"},
  };
  for (auto [source, message] : cases)
    EXPECT_EQ(ErrorOf(source, 5).substr(0, std::string(message).size()), message) << source;
  EXPECT_EQ(ErrorOf("x = 1;", 4), "1:1: scripts compile for SWF 5 to 10, not 4");
  // Deep nesting is an error, not a crash.
  std::string deep = "x = " + std::string(5000, '(') + "1" + std::string(5000, ')') + ";";
  EXPECT_NE(ErrorOf(deep).find("nested too deeply"), std::string::npos);
}

TEST(LoadMovieOnce, LoadsIntoTheLevelOnlyWhileTheGuardIsUnset) {
  EXPECT_EQ(avm1::Disassemble(avm1::LoadMovieOnceActions("http://127.0.0.1:1/b.swf?x=\"1\"", 99, "loaded")),
            "Push \"_level0\"\nGetVariable\nPush \"loaded\"\nGetMember\nPush undefined\nEquals2\nNot\nIf L1\n"
            "Push \"_level0\"\nGetVariable\nPush \"loaded\" true\nSetMember\n"
            "GetURL \"http://127.0.0.1:1/b.swf?x=\\\"1\\\"\" \"_level99\"\nL1:\nEnd\n");
  EXPECT_THROW(avm1::LoadMovieOnceActions(std::string("a\0b", 3), 99, "g"), std::invalid_argument);
  EXPECT_THROW(avm1::LoadMovieOnceActions("a", 99, ""), std::invalid_argument);
}
