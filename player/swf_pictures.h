#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace player {

// The picture tags: DefineBits, DefineBitsJPEG2/3, DefineBitsLossless/2.
bool IsPicture(std::uint16_t code);

// A picture tag's body (after its id) as an image decoder takes it, given
// the movie's JPEG tables; empty for lossless pictures.
std::vector<std::uint8_t> PictureForDecoder(std::uint16_t code, std::span<const std::uint8_t> body,
                                            std::span<const std::uint8_t> jpegTables);

}  // namespace player
