#include "book/avm1_assembler.h"

#include <gtest/gtest.h>

#include <functional>

#include "book/avm1_disassembler.h"

using avm1::Action;
using avm1::Assembler;
using avm1::AssemblyError;
using avm1::Label;
using avm1::PushValue;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct EncodingCase {
  const char* name;
  bool pool;
  std::function<void(Assembler&)> build;
  Bytes bytes;  // checked by hand against the format's tables
};

}  // namespace

TEST(Avm1Assembler, EncodesEachRecordAsTheFormatLaysItOut) {
  const EncodingCase cases[] = {
      {"push of every type",
       false,
       [](Assembler& a) {
         a.Push({"ab", PushValue::Float(1.5f), PushValue::Null(), PushValue::Undefined(),
                 PushValue::Register(3), true, 1.0, -2, PushValue::Constant(5), PushValue::Constant(300)});
       },
       {0x96, 34, 0,    0,    'a', 'b', 0, 1, 0, 0,    0xC0, 0x3F, 2,    3, 4, 3, 5,    1, 6,
        0,    0,  0xF0, 0x3F, 0,   0,   0, 0, 7, 0xFE, 0xFF, 0xFF, 0xFF, 8, 5, 9, 0x2C, 1, 0}},
      {"a double's high word comes first",
       false,
       [](Assembler& a) { a.Push({-0.5}); },
       {0x96, 9, 0, 6, 0, 0, 0xE0, 0xBF, 0, 0, 0, 0, 0}},
      {"forward and backward branches",
       false,
       [](Assembler& a) {
         Label top = a.NewLabel(), over = a.NewLabel();
         a.Bind(top);
         a.Emit(Action::kPlay);
         a.Jump(over);
         a.Emit(Action::kStop);
         a.Bind(over);
         a.If(top);
       },
       {0x06, 0x99, 2, 0, 1, 0, 0x07, 0x9D, 2, 0, 0xF4, 0xFF, 0}},
      {"pooled strings, the inline one kept out",
       true,
       [](Assembler& a) {
         a.Push({"a", "b", "a", PushValue::InlineString("a")});
       },
       {0x88, 6, 0, 2, 0, 'a', 0, 'b', 0, 0x96, 9, 0, 8, 0, 8, 1, 8, 0, 0, 'a', 0, 0}},
      {"an explicit pool leaves pushed strings inline",
       true,
       [](Assembler& a) {
         a.ConstantPool({"x"});
         a.Push({"x", PushValue::Constant(0)});
       },
       {0x88, 4, 0, 1, 0, 'x', 0, 0x96, 5, 0, 0, 'x', 0, 8, 0, 0}},
      {"DefineFunction and its code size",
       false,
       [](Assembler& a) {
         Label end = a.NewLabel();
         a.DefineFunction("f", {"x"}, end);
         a.Push({1});
         a.Emit(Action::kReturn);
         a.Bind(end);
       },
       {0x9B, 8, 0, 'f', 0, 1, 0, 'x', 0, 9, 0, 0x96, 5, 0, 7, 1, 0, 0, 0, 0x3E, 0}},
      {"DefineFunction2 with a register parameter",
       false,
       [](Assembler& a) {
         Label end = a.NewLabel();
         a.DefineFunction2({.name = "g",
                            .parameters = {{1, "a"}},
                            .registerCount = 2,
                            .flags = avm1::function2::kSuppressThis | avm1::function2::kPreloadGlobal},
                           end);
         a.Emit(Action::kReturn);
         a.Bind(end);
       },
       {0x8E, 12, 0, 'g', 0, 1, 0, 2, 0x02, 0x01, 1, 'a', 0, 1, 0, 0x3E, 0}},
      {"With and its block size",
       false,
       [](Assembler& a) {
         Label end = a.NewLabel();
         a.Push({"o"});
         a.With(end);
         a.Emit(Action::kStop);
         a.Bind(end);
       },
       {0x96, 3, 0, 0, 'o', 0, 0x94, 2, 0, 1, 0, 0x07, 0}},
      {"Try with a named catch and a finally",
       false,
       [](Assembler& a) {
         avm1::TryBlock t{
             .catchStart = a.NewLabel(), .finallyStart = a.NewLabel(), .end = a.NewLabel(), .catchName = "e"};
         a.Try(t);
         a.Emit(Action::kPlay);
         a.Bind(*t.catchStart);
         a.Emit(Action::kStop);
         a.Emit(Action::kStop);
         a.Bind(*t.finallyStart);
         a.Emit(Action::kNextFrame);
         a.Bind(t.end);
       },
       {0x8F, 9, 0, 0x03, 1, 0, 2, 0, 1, 0, 'e', 0, 0x06, 0x07, 0x07, 0x04, 0}},
      {"Try catching into a register, no finally",
       false,
       [](Assembler& a) {
         avm1::TryBlock t{.catchStart = a.NewLabel(), .end = a.NewLabel(), .catchRegister = 2};
         a.Try(t);
         a.Emit(Action::kPlay);
         a.Emit(Action::kPlay);
         a.Bind(*t.catchStart);
         a.Emit(Action::kStop);
         a.Bind(t.end);
       },
       {0x8F, 8, 0, 0x05, 2, 0, 1, 0, 0, 0, 2, 0x06, 0x06, 0x07, 0}},
      {"records with payloads",
       false,
       [](Assembler& a) {
         a.GetUrl("FSCommand:q", "x");
         a.GotoFrame(4);
         a.GotoFrame2(true);
         a.GotoFrame2(false, 2);
         a.GetUrl2(avm1::kUrlLoadTarget | avm1::kUrlMethodPost);
         a.StoreRegister(0);
         a.SetTarget("a");
         a.GoToLabel("b");
         a.WaitForFrame(3, 1);
         a.WaitForFrame2(2);
       },
       {0x83, 14,   0,    'F',  'S',  'C', 'o',  'm', 'm',  'a', 'n',  'd', ':', 'q',  0, 'x',
        0,    0x81, 2,    0,    4,    0,   0x9F, 1,   0,    1,   0x9F, 3,   0,   2,    2, 0,
        0x9A, 1,    0,    0x42, 0x87, 1,   0,    0,   0x8B, 2,   0,    'a', 0,   0x8C, 2, 0,
        'b',  0,    0x8A, 3,    0,    3,   0,    1,   0x8D, 1,   0,    2,   0}},
  };
  for (const auto& c : cases) {
    Assembler a(Assembler::Options{.constantPool = c.pool});
    c.build(a);
    EXPECT_EQ(a.Finish(), c.bytes) << c.name;
  }
}

TEST(Avm1Assembler, SplitsAPushTooLargeForOneRecord) {
  Assembler a(Assembler::Options{.constantPool = false});
  std::string big(40000, 'x');
  a.Push({big, big});
  Bytes out = a.Finish();
  EXPECT_TRUE(avm1::IsActionList(out));
  EXPECT_EQ(avm1::Disassemble(out), "Push \"" + big + "\"\nPush \"" + big + "\"\nEnd\n");
}

TEST(Avm1Assembler, RefusesWhatCannotBeEncoded) {
  const std::pair<const char*, std::function<void(Assembler&)>> cases[] = {
      {"never bound", [](Assembler& a) { a.Jump(a.NewLabel()); }},
      {"bound twice",
       [](Assembler& a) {
         Label l = a.NewLabel();
         a.Bind(l);
         a.Bind(l);
       }},
      {"leaves the function",
       [](Assembler& a) {
         Label end = a.NewLabel(), out = a.NewLabel();
         a.DefineFunction("f", {}, end);
         a.Jump(out);
         a.Bind(end);
         a.Emit(Action::kPlay);
         a.Bind(out);
       }},
      {"ends before it begins",
       [](Assembler& a) {
         Label end = a.NewLabel();
         a.Bind(end);
         a.With(end);
       }},
      {"further than 32 kB",
       [](Assembler& a) {
         Label l = a.NewLabel();
         a.Jump(l);
         a.Push({PushValue::InlineString(std::string(40000, 'x'))});
         a.Bind(l);
       }},
      {"zero byte", [](Assembler& a) { a.Push({std::string("a\0b", 3)}); }},
      {"payload action through Emit", [](Assembler& a) { a.Emit(Action::kPush); }},
      {"register the function lacks",
       [](Assembler& a) {
         a.DefineFunction2({.parameters = {{3, "a"}}, .registerCount = 2}, a.NewLabel());
       }},
  };
  for (const auto& [name, build] : cases) {
    EXPECT_THROW(
        {
          Assembler a;
          build(a);
          a.Finish();
        },
        AssemblyError)
        << name;
  }
}

TEST(Avm1Disassembler, ListsActionsWithLabelsAndStopsAtACutRecord) {
  Assembler a;
  Label loop = a.NewLabel(), end = a.NewLabel(), fend = a.NewLabel();
  a.Bind(loop);
  a.Push({"i", PushValue::Register(1), 2.5, PushValue::Float(0.25f), PushValue::Null(), false});
  a.If(end);
  a.DefineFunction2({.name = "f", .parameters = {{1, "a"}, {0, "b"}}, .registerCount = 2}, fend);
  a.Emit(Action::kReturn);
  a.Bind(fend);
  a.Jump(loop);
  a.Bind(end);
  a.GetUrl2(0x40);
  Bytes out = a.Finish();
  EXPECT_EQ(avm1::Disassemble(out),
            "ConstantPool \"i\"\n"
            "L1:\n"
            "Push c:\"i\" r1 d:2.5 f:0.25 null false\n"
            "If L3\n"
            "DefineFunction2 \"f\" regs 2 flags 0x0 (r1:a, b) L2\n"
            "Return\n"
            "L2:\n"
            "Jump L1\n"
            "L3:\n"
            "GetURL2 0x40\n"
            "End\n");
  out.resize(out.size() - 3);  // into GetURL2's payload
  EXPECT_FALSE(avm1::IsActionList(out));
  std::string listing = avm1::Disassemble(out);
  EXPECT_NE(listing.find("! cut at"), std::string::npos) << listing;
}
