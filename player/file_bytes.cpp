#include "player/file_bytes.h"

#include <fstream>

#include "player/swf.h"

#if __has_include(<sys/mman.h>)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define READER_HAVE_MMAP 1
#else
#define READER_HAVE_MMAP 0
#endif

namespace player {

FileBytes::FileBytes(const std::string& path, std::uint64_t maxBytes) {
#if READER_HAVE_MMAP
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw SwfError("cannot open the movie file " + path);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw SwfError("cannot read the movie file " + path);
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    throw SwfError("movie file is too large");
  }
  size_ = static_cast<std::size_t>(st.st_size);
  if (size_ > 0) {
    void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (m != MAP_FAILED) map_ = static_cast<const std::uint8_t*>(m);
  }
  ::close(fd);
  if (map_ || size_ == 0) return;
#endif
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SwfError("cannot open the movie file " + path);
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) throw SwfError("cannot read the movie file " + path);
  if (static_cast<std::uint64_t>(size) > maxBytes) throw SwfError("movie file is too large");
  copy_.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(copy_.data()), size))
    throw SwfError("cannot read the movie file " + path);
}

FileBytes::~FileBytes() {
#if READER_HAVE_MMAP
  if (map_) ::munmap(const_cast<std::uint8_t*>(map_), size_);
#endif
}

std::span<const std::uint8_t> FileBytes::bytes() const {
  return map_ ? std::span<const std::uint8_t>(map_, size_) : std::span<const std::uint8_t>(copy_);
}

}  // namespace player
