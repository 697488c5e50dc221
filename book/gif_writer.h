#pragma once

#include <cstdint>
#include <vector>

namespace book {

// A GIF89a picture from 8-bit indices and a palette of up to 256 colours
// (0xRRGGBB), LZW-compressed.
std::vector<std::uint8_t> EncodeGif(int width, int height, const std::vector<std::uint8_t>& indices,
                                    const std::vector<std::uint32_t>& palette);

}  // namespace book
