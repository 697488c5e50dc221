// avm1dump finds every action list a written movie holds: a wrong clip
// action size, button offset or sprite length would lose or cut one.
#include <cstdio>
#include <fstream>

#include "book/as_compiler.h"
#include "book/swf_writer.h"
#include "tests/support/support.h"

namespace {
std::string Avm1dump(const std::string& args, int* status) {
  std::string out;
  FILE* p = popen((std::string(AVM1DUMP) + " " + args + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  *status = pclose(p);
  return out;
}
}  // namespace

TEST(Avm1Dump, ListsEveryActionListWhereItRuns) {
  book::SwfWriter w(8, 2000, 2000, 12);
  book::Shape square;
  square.Use(square.AddFill(book::FillStyle::Solid({0, 0, 255, 255})));
  square.Rectangle(0, 0, 100, 100);
  w.DefineShape(1, square);
  book::Timeline clip(8);
  clip.ShowFrame();
  clip.DoAction(avm1::Compile("trace(\"second\");"));
  clip.ShowFrame();
  w.DefineSprite(2, clip);
  w.DoInitAction(2, avm1::Compile("trace(\"init\");"));
  w.DefineButton2(3, {{.states = book::button_state::kHitTest, .character = 1}},
                  {{book::button_condition::kPress, avm1::Compile("trace(\"press\");")},
                   {book::button_condition::KeyPress(13), avm1::Compile("trace(\"enter\");")}});
  w.PlaceObject({.depth = 1,
                 .character = 2,
                 .matrix = book::Matrix::Scale(2, 2, 10, 10),
                 .name = "clip",
                 .clipActions = {{book::clip_event::kKeyPress, 'k', avm1::Compile("trace(\"key\");")},
                                 {book::clip_event::kEnterFrame, 0, avm1::Compile("trace(\"frame\");")}}});
  w.DoAction(avm1::Compile("trace(\"main\");"));
  w.ShowFrame();
  testing_support::TempDir dir;
  std::vector<std::uint8_t> movie = w.Finish(true);
  std::ofstream(dir / "m.swf", std::ios::binary)
      .write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));

  int status = 0;
  std::string out = Avm1dump(dir / "m.swf", &status);
  EXPECT_EQ(status, 0) << out;
  for (const char* expected :
       {"== sprite 2 frame 2\nConstantPool \"second\"\nPush c:\"second\"\nTrace\nEnd\n",
        "== init actions of sprite 2\nConstantPool \"init\"\n",
        "== button 3 conditions 0x4\nConstantPool \"press\"\n",
        "== button 3 conditions 0x1a00\nConstantPool \"enter\"\n",
        "== frame 1 clip clip events 0x20000\nConstantPool \"key\"\n",
        "== frame 1 clip clip events 0x2\nConstantPool \"frame\"\n", "== frame 1\nConstantPool \"main\"\n"})
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\nin:\n" << out;

  std::ofstream(dir / "a.as") << "x = 1;\ny = ;\n";
  out = Avm1dump("--compile " + dir / "a.as", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("a.as:2:5: expected a value"), std::string::npos) << out;
}
