#pragma once

#if __has_include(<sys/resource.h>) && __has_include(<unistd.h>)
#include <sys/resource.h>
#include <unistd.h>
#define READER_HAVE_THREAD_NICE 1
#endif

namespace player {

// For a thread that works ahead of the user interface (reading a movie,
// decoding a picture): it runs beside the interface, never in its place,
// however many such threads there are.
inline void WorkInBackground() {
#ifdef READER_HAVE_THREAD_NICE
  // On Linux a thread's niceness is its own.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
}

}  // namespace player
