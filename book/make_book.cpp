// Builds the demo book's movie: make_book OUTPUT.swf
#include <cstdio>
#include <fstream>
#include <iostream>

#include "book/swf_writer.h"
#include "shell/book.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_book OUTPUT.swf\n";
    return 2;
  }
  // The book's stage: 768 x 576 pixels.
  book::SwfWriter swf(7, 768 * 20, 576 * 20, 12);
  swf.BackgroundColor(0xf4, 0xf0, 0xe6);
  swf.Metadata(std::string("{\"title\":\"") + shell::kBookTitle + "\",\"code\":\"" + shell::kBookCode +
               "\"}");
  // Frame 1 is the spread, frame 2 the single page; then one frame per
  // entry point the host calls.
  const char* labels[] = {"spread",
                          "single",
                          "soundOn",
                          "mute",
                          "indexPage",
                          "discuss",
                          "regionLine",
                          "singleZoomIn",
                          "singleZoomOut",
                          "singleLeft",
                          "singleRight",
                          "doublePage",
                          "LoadingSound",
                          "Buy",
                          "startPlay",
                          "playAnimation",
                          "stopAnimation",
                          "stopMan",
                          "addBookmark",
                          "deleteBookmark",
                          "deleteAllBookmark",
                          "addNote",
                          "deleteNote",
                          "deleteAllNote",
                          "editNote"};
  for (const char* label : labels) {
    swf.FrameLabel(label);
    swf.ShowFrame();
  }
  std::vector<std::uint8_t> movie = swf.Finish(true);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
  if (!out) {
    std::cerr << "make_book: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
