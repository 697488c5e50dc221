// libFuzzer harness for the movie reader: make fuzz
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "player/swf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Read in steps (handing the first picture over as soon as it is in) and,
  // on odd lengths, without the checksum, as the program's own bytes are.
  std::size_t offered = 0;
  auto first = [&](std::vector<std::uint8_t> picture) { offered += picture.size() + 1; };
  try {
    // A small cap keeps each run quick; lying lengths must still be refused.
    player::SwfMovie m = player::ParseSwf({data, size}, 8u << 20, first, size % 2 == 0);
    for (size_t i = 0; i < m.pictures.size(); ++i) {
      (void)m.EncodedPicture(i);
      (void)m.LosslessPicture(i);
    }
    // A whole movie offered exactly its first picture, once.
    if (!m.pictures.empty() && offered != m.EncodedPicture(0).size() + 1) std::abort();
  } catch (const player::SwfError&) {
  }
  return 0;
}
