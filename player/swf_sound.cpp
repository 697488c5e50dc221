#include "player/swf_sound.h"

#include <algorithm>

namespace player {

SwfSound ParseSound(std::span<const std::uint8_t> b) {
  if (b.size() < 7) throw SwfError("DefineSound tag is too short");
  SwfSound s;
  s.id = Le16(b.data());
  int format = b[2] >> 4;
  static const int kRates[] = {5512, 11025, 22050, 44100};
  s.rate = kRates[(b[2] >> 2) & 3];
  bool sixteen = (b[2] >> 1) & 1;
  s.channels = (b[2] & 1) ? 2 : 1;
  std::uint32_t count = Le32(b.data() + 3);
  std::span<const std::uint8_t> data = b.subspan(7);
  // Only raw sound is played here; other encodings are kept silent.
  if (format != 0 && format != 3) return s;
  std::size_t bytesPer = (sixteen ? 2 : 1) * static_cast<std::size_t>(s.channels);
  std::size_t frames = std::min<std::size_t>(count, data.size() / bytesPer);
  s.samples.reserve(frames * static_cast<std::size_t>(s.channels));
  for (std::size_t i = 0; i < frames * static_cast<std::size_t>(s.channels); ++i) {
    if (sixteen) {
      s.samples.push_back(static_cast<std::int16_t>(Le16(&data[2 * i])));
    } else {
      s.samples.push_back(static_cast<std::int16_t>((data[i] - 128) << 8));
    }
  }
  return s;
}

}  // namespace player
