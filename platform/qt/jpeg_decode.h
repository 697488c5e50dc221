#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>

namespace qtdesk {

// Decodes a JPEG at the smallest of the decoder's scales (n/8) that is at
// least `atLeast` in both directions, so detail that would be thrown away
// is never computed. A null image when the data is not a JPEG or is damaged.
QImage DecodeJpeg(std::span<const std::uint8_t> data, QSize atLeast);

}  // namespace qtdesk
