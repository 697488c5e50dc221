// The book file's size: the book with its own ActionScript against the
// same pictures and sound in the layout the book had before it held any
// (the stand-in's: the pictures, the sound, one empty frame a label).
//   book_size_bench BOOK.swf
#include <cstdio>
#include <string>

#include "book/swf_writer.h"
#include "player/description.h"
#include "player/file_bytes.h"
#include "player/swf.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: book_size_bench BOOK.swf\n");
    return 2;
  }
  try {
    const player::FileBytes file(argv[1], player::kMaxMovieBytes);
    const player::SwfMovie m = player::ParseSwf(file.bytes());
    const player::BookDescription book = player::ParseDescription(m.metadata);
    int jpegs = 0;
    book::SwfWriter before(7, m.frameSize.Width(), m.frameSize.Height(), 12);
    before.Metadata(m.metadata);
    for (const player::Tag* t : m.pictures) {
      if (t->code != player::kDefineBitsJpeg2) continue;
      ++jpegs;
      before.DefineBitsJpeg2(static_cast<std::uint16_t>(jpegs),
                             std::vector<std::uint8_t>(t->body.begin() + 2, t->body.end()));
    }
    if (!m.sounds.empty()) before.DefineSound(1000, m.sounds[0].rate, m.sounds[0].samples);
    for (const player::FrameLabel& label : m.labels) {
      before.FrameLabel(label.name);
      before.ShowFrame();
    }
    const std::size_t was = before.Finish(true).size(), now = file.bytes().size();
    std::printf("book file, %s\n", argv[1]);
    std::printf("  with its ActionScript:                       %zu bytes\n", now);
    std::printf("  the same pictures and sound without it:      %zu bytes (+%.1f %%)\n", was,
                100.0 * (static_cast<double>(now) - static_cast<double>(was)) / static_cast<double>(was));
    std::printf(
        "  pages as JPEG pictures:                      %d of %d%s\n", jpegs, book.pages,
        jpegs == static_cast<int>(m.pictures.size()) && jpegs >= book.pages ? "" : "  (NOT all JPEG)");
    return jpegs >= book.pages ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "book_size_bench: %s\n", e.what());
    return 1;
  }
}
