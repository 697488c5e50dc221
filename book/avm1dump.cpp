// avm1dump MOVIE.swf: the movie's action lists, one listing each, with where
//   they run (a frame, a sprite's frame, init actions, a clip event, a button).
// avm1dump --compile SCRIPT.as [--swf N] [--no-pool]: the actions the
//   compiler makes of a script, or its error.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "book/as_compiler.h"
#include "book/avm1_disassembler.h"
#include "player/swf.h"

namespace {

using Span = std::span<const std::uint8_t>;

void List(const std::string& where, Span actions) {
  std::cout << "== " << where << "\n" << avm1::Disassemble(actions);
}

// Bit fields, to step over MATRIX and CXFORMWITHALPHA records.
class Bits {
 public:
  Bits(Span d, std::size_t at) : d_(d), at_(at) {}
  std::uint32_t Read(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i, ++bit_) {
      if (at_ + bit_ / 8 >= d_.size()) throw player::SwfError("a record runs past its tag");
      v = v << 1 | ((d_[at_ + bit_ / 8] >> (7 - bit_ % 8)) & 1);
    }
    return v;
  }
  std::size_t End() const { return at_ + (bit_ + 7) / 8; }

 private:
  Span d_;
  std::size_t at_, bit_ = 0;
};

std::size_t SkipMatrix(Span d, std::size_t at) {
  Bits b(d, at);
  for (int part = 0; part < 2; ++part)
    if (b.Read(1)) b.Read(2 * static_cast<int>(b.Read(5)));
  b.Read(2 * static_cast<int>(b.Read(5)));
  return b.End();
}

std::size_t SkipColorTransform(Span d, std::size_t at) {
  Bits b(d, at);
  std::uint32_t add = b.Read(1), mult = b.Read(1), n = b.Read(4);
  b.Read(static_cast<int>(4 * n * (add + mult)));
  return b.End();
}

std::string CString(Span d, std::size_t& at) {
  std::string s;
  while (at < d.size() && d[at]) s += static_cast<char>(d[at++]);
  ++at;
  return s;
}

void PlaceObject2(const std::string& where, Span b, int version) {
  if (b.size() < 3) return;
  std::uint8_t flags = b[0];
  std::size_t at = 3;
  if (flags & 0x02) at += 2;
  if (flags & 0x04) at = SkipMatrix(b, at);
  if (flags & 0x08) at = SkipColorTransform(b, at);
  if (flags & 0x10) at += 2;
  std::string name = flags & 0x20 ? CString(b, at) : "";
  if (flags & 0x40) at += 2;
  if (!(flags & 0x80)) return;
  const std::size_t flagBytes = version >= 6 ? 4 : 2;
  at += 2 + flagBytes;
  for (;;) {
    if (at + flagBytes + 4 > b.size()) return;
    std::uint32_t events = flagBytes == 4 ? player::Le32(&b[at]) : player::Le16(&b[at]);
    if (events == 0) return;
    at += flagBytes;
    std::uint32_t size = player::Le32(&b[at]);
    at += 4;
    if (size > b.size() - at) throw player::SwfError("clip actions run past their tag");
    std::size_t begin = at + ((events & (1 << 17)) ? 1 : 0);
    char e[16];
    std::snprintf(e, sizeof e, "0x%x", events);
    List(where + " clip " + (name.empty() ? "at depth " + std::to_string(player::Le16(&b[1])) : name) +
             " events " + e,
         b.subspan(begin, at + size - begin));
    at += size;
  }
}

void Button2(const std::string& where, Span b) {
  if (b.size() < 5) return;
  std::size_t offset = player::Le16(&b[3]);
  if (offset == 0) return;
  for (std::size_t at = 3 + offset; at + 4 <= b.size();) {
    std::size_t size = player::Le16(&b[at]);
    std::size_t end = size ? at + size : b.size();
    if (end > b.size() || end < at + 4) throw player::SwfError("button actions run past their tag");
    char c[16];
    std::snprintf(c, sizeof c, "0x%x", player::Le16(&b[at + 2]));
    List(where + " conditions " + c, b.subspan(at + 4, end - at - 4));
    if (!size) break;
    at = end;
  }
}

void Tags(const std::string& where, Span tags, int version) {
  int frame = 1;
  for (std::size_t pos = 0;;) {
    player::TagRecord t = player::ReadTag(tags, pos);
    if (t.cut != player::TagRecord::kWhole || t.code == player::kEnd) return;
    Span b = t.body;
    const std::string here = where + "frame " + std::to_string(frame);
    switch (t.code) {
      case player::kShowFrame: ++frame; break;
      case 12: List(here, b); break;
      case 59:
        if (b.size() >= 2)
          List("init actions of sprite " + std::to_string(player::Le16(b.data())), b.subspan(2));
        break;
      case 26: PlaceObject2(here, b, version); break;
      case 34:
        if (b.size() >= 2) Button2("button " + std::to_string(player::Le16(b.data())), b);
        break;
      case 39:
        if (b.size() >= 4)
          Tags("sprite " + std::to_string(player::Le16(b.data())) + " ", b.subspan(4), version);
        break;
      default: break;
    }
    pos = t.next;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--compile" && argc >= 3) {
    avm1::CompileOptions options;
    for (int i = 3; i < argc; ++i) {
      std::string option = argv[i];
      if (option == "--swf" && i + 1 < argc) {
        options.swfVersion = std::atoi(argv[++i]);
      } else if (option == "--no-pool") {
        options.constantPool = false;
      } else {
        std::cerr << "avm1dump: unknown option " << option << "\n";
        return 2;
      }
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
      std::cerr << "avm1dump: cannot read " << argv[2] << "\n";
      return 1;
    }
    std::stringstream source;
    source << in.rdbuf();
    try {
      std::vector<std::uint8_t> actions = avm1::Compile(source.str(), options);
      std::cout << avm1::Disassemble(actions);
    } catch (const avm1::CompileError& e) {
      std::cerr << argv[2] << ":" << e.what() << "\n";
      return 1;
    }
    return 0;
  }
  if (argc != 2 || mode.rfind("--", 0) == 0) {
    std::cerr << "usage: avm1dump MOVIE.swf\n       avm1dump --compile SCRIPT.as [--swf N] [--no-pool]\n";
    return 2;
  }
  try {
    player::SwfMovie m = player::LoadSwfFile(argv[1]);
    // The tags begin after the header's frame rectangle, rate and count.
    std::size_t first = 8 + (5 + 4 * static_cast<std::size_t>(m.data[8] >> 3) + 7) / 8 + 4;
    Tags("", Span(m.data).subspan(first), m.version);
  } catch (const player::SwfError& e) {
    std::cerr << "avm1dump: " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
