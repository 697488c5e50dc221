#include "book/embedded.h"

extern "C" const std::uint8_t reader_movie_begin[];
extern "C" const std::uint8_t reader_movie_end[];

namespace book {

std::span<const posix::ResourceEntry> EmbeddedResources() {
  static const posix::ResourceEntry table[] = {
      {"CUSTOM", 101, 0x0404, reader_movie_begin,
       static_cast<std::size_t>(reader_movie_end - reader_movie_begin)},
  };
  return table;
}

}  // namespace book
