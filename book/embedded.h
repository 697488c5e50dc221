#pragma once

#include <span>

#include "platform/posix/services.h"

namespace book {

// The resources compiled into the executable: the book's movie as
// type "CUSTOM", id 101, language 0x0404.
std::span<const posix::ResourceEntry> EmbeddedResources();

}  // namespace book
