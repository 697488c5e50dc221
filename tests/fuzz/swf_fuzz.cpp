// libFuzzer harness for the movie reader: make fuzz
#include <cstddef>
#include <cstdint>

#include "player/swf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    // A small cap keeps each run quick; lying lengths must still be refused.
    player::SwfMovie m = player::ParseSwf({data, size}, 8u << 20);
    for (size_t i = 0; i < m.pictures.size(); ++i) {
      (void)m.EncodedPicture(i);
      (void)m.LosslessPicture(i);
    }
  } catch (const player::SwfError&) {
  }
  return 0;
}
