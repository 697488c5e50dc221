// Builds the bridge movie at build time:
//   make_bridge BRIDGE.as BRIDGE.swf
// one frame of the compiled script, nothing drawn: it plays in a level of
// its own above the movie the runtime shows.
#include <fstream>
#include <iostream>

#include "book/as_compiler.h"
#include "book/swf_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_bridge BRIDGE.as BRIDGE.swf\n";
    return 2;
  }
  try {
    // SWF 8: ExternalInterface is there for no earlier movie.
    book::SwfWriter swf(8, 20, 20, 12);
    swf.DoAction(avm1::CompileFile(argv[1], {.swfVersion = 8}));
    swf.ShowFrame();
    const std::vector<std::uint8_t> movie = swf.Finish(false);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
    out.close();
    if (!out) {
      std::cerr << "make_bridge: cannot write " << argv[2] << "\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << "make_bridge: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
