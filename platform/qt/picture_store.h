#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qtdesk {

// Decoded pictures kept on disk, so that the picture a book opens on is
// read back, not decoded again, at every start. An entry holds the encoded
// bytes it was made from and is used only for exactly those bytes at exactly
// that size; anything else (a torn or foreign file) is a miss. The folder
// keeps the few most recent entries.
class PictureStore {
 public:
  explicit PictureStore(std::string folder, int keep = 8);

  // The picture decoded from `encoded` at `size`, mapped from its file.
  std::optional<QImage> Load(std::span<const std::uint8_t> encoded, QSize size) const;
  // Keeps `image` (Format_RGB32, of `size`) for `encoded`; false when it
  // cannot be written. Written whole or not at all.
  bool Save(std::span<const std::uint8_t> encoded, const QImage& image) const;
  const std::string& folder() const { return folder_; }

 private:
  std::string PathFor(std::span<const std::uint8_t> encoded, QSize size) const;
  void Trim() const;

  std::string folder_;
  int keep_;
};

}  // namespace qtdesk
