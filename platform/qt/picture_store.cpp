#include "platform/qt/picture_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/posix/file_replace.h"
#include "platform/posix/services.h"

namespace qtdesk {

namespace {

constexpr char kMagic[8] = {'R', 'D', 'R', 'P', 'I', 'X', '1', '\n'};

// Fixed-size fields at the start of an entry, then the encoded bytes, then
// the pixels.
struct Header {
  char magic[8];
  std::uint32_t width, height, bytesPerLine, format;
  std::uint64_t encodedLength;
};

std::uint64_t Fnv1a(std::span<const std::uint8_t> bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

// The pixels start on a cache line, whatever the encoded length.
std::size_t PixelsAt(std::size_t encodedLength) { return (sizeof(Header) + encodedLength + 63) / 64 * 64; }

struct Mapping {
  void* at;
  std::size_t length;
};

}  // namespace

PictureStore::PictureStore(std::string folder, int keep) : folder_(std::move(folder)), keep_(keep) {}

std::string PictureStore::PathFor(std::span<const std::uint8_t> encoded, QSize size) const {
  char name[64];
  std::snprintf(name, sizeof name, "/%016llx-%dx%d.pix", static_cast<unsigned long long>(Fnv1a(encoded)),
                size.width(), size.height());
  return folder_ + name;
}

std::optional<QImage> PictureStore::Load(std::span<const std::uint8_t> encoded, QSize size) const {
  if (folder_.empty() || encoded.empty() || size.isEmpty()) return std::nullopt;
  int fd = ::open(PathFor(encoded, size).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st;
  const std::size_t bpl = static_cast<std::size_t>(size.width()) * 4;
  const std::size_t pixels = PixelsAt(encoded.size());
  const std::size_t length = pixels + bpl * static_cast<std::size_t>(size.height());
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) != length) {
    ::close(fd);
    return std::nullopt;
  }
  void* at = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (at == MAP_FAILED) return std::nullopt;
  Header h;
  std::memcpy(&h, at, sizeof h);
  const auto* base = static_cast<const std::uint8_t*>(at);
  bool same = std::memcmp(h.magic, kMagic, sizeof kMagic) == 0 &&
              h.width == static_cast<std::uint32_t>(size.width()) &&
              h.height == static_cast<std::uint32_t>(size.height()) && h.bytesPerLine == bpl &&
              h.format == static_cast<std::uint32_t>(QImage::Format_RGB32) &&
              h.encodedLength == encoded.size() &&
              std::memcmp(base + sizeof h, encoded.data(), encoded.size()) == 0;
  if (!same) {
    ::munmap(at, length);
    return std::nullopt;
  }
  // Drawn straight from the mapping; it goes with the last copy of the image.
  auto* mapping = new Mapping{at, length};
  QImage image(
      base + pixels, size.width(), size.height(), static_cast<qsizetype>(bpl), QImage::Format_RGB32,
      [](void* m) {
        auto* map = static_cast<Mapping*>(m);
        ::munmap(map->at, map->length);
        delete map;
      },
      mapping);
  return image;
}

bool PictureStore::Save(std::span<const std::uint8_t> encoded, const QImage& image) const {
  if (folder_.empty() || encoded.empty() || image.isNull() || image.format() != QImage::Format_RGB32)
    return false;
  if (!posix::MakeFolders(folder_)) return false;
  const std::string path = PathFor(encoded, image.size());
  Header h{};
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.width = static_cast<std::uint32_t>(image.width());
  h.height = static_cast<std::uint32_t>(image.height());
  h.bytesPerLine = static_cast<std::uint32_t>(image.width()) * 4;
  h.format = static_cast<std::uint32_t>(QImage::Format_RGB32);
  h.encodedLength = encoded.size();
  // A reader sees the old entry or the whole new one, never part of it.
  bool ok = posix::ReplaceFile(path, ".part" + std::to_string(::getpid()), false, [&](int fd) {
    using posix::WriteAll;
    static const std::uint8_t zeros[64] = {};
    bool written = WriteAll(fd, &h, sizeof h) && WriteAll(fd, encoded.data(), encoded.size()) &&
                   WriteAll(fd, zeros, PixelsAt(encoded.size()) - sizeof h - encoded.size());
    for (int y = 0; written && y < image.height(); ++y)
      written = WriteAll(fd, image.constScanLine(y), h.bytesPerLine);
    return written;
  });
  if (!ok) return false;
  Trim();
  return true;
}

void PictureStore::Trim() const {
  DIR* dir = ::opendir(folder_.c_str());
  if (!dir) return;
  std::vector<std::pair<struct timespec, std::string>> entries;
  const time_t now = ::time(nullptr);
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    struct stat st;
    std::string path = folder_ + "/" + name;
    // What a writer that died left half done goes once it is surely dead.
    if (name.find(".pix.part") != std::string::npos) {
      if (::lstat(path.c_str(), &st) == 0 && now - st.st_mtim.tv_sec > 600) ::unlink(path.c_str());
      continue;
    }
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".pix") != 0) continue;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) entries.push_back({st.st_mtim, path});
  }
  ::closedir(dir);
  if (static_cast<int>(entries.size()) <= keep_) return;
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.first.tv_sec != b.first.tv_sec ? a.first.tv_sec > b.first.tv_sec
                                            : a.first.tv_nsec > b.first.tv_nsec;
  });
  for (std::size_t i = static_cast<std::size_t>(keep_); i < entries.size(); ++i)
    ::unlink(entries[i].second.c_str());
}

}  // namespace qtdesk
