#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace posix {

// Writes all of size bytes to fd, through interrupted calls; false on a failure.
bool WriteAll(int fd, const void* data, std::size_t size);

// Replaces path whole: `fill` writes the new content into a file beside it
// (path + tempSuffix, created afresh, never through a link, mode 0600),
// which is then renamed over path, so a reader sees the old file or the
// whole new one. `durable`: flushed to disk first, and the folder after.
// False, with nothing left beside, when any step fails.
bool ReplaceFile(const std::string& path, const std::string& tempSuffix, bool durable,
                 const std::function<bool(int fd)>& fill);

}  // namespace posix
