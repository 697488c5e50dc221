#pragma once

#include <optional>
#include <string>

#include "shell/program.h"

namespace media {

// A chapter's files and address. The chapter text becomes part of file
// names that are tested, played and deleted, and of a URL: only one to five
// decimal digits, after a minus sign at most, within the 16-bit range, are
// a chapter ("3" and "03" stay different files).
struct ChapterFiles {
  std::string finalPath;  // the media folder's book code + "_" + c + ".zov"
  std::string tempPath;   // ... ".hs", what a transfer writes first
  std::string address;    // the download server's book code/Review/ + media file name
};

std::optional<ChapterFiles> ChapterFilesOf(shell::Program& program, const std::string& downloadServer,
                                           const std::string& chapter);

// The media folder: the program folder's "Review" (or, for an installed
// copy, the user's own; see components::Environment::MediaFolder).
std::string MediaFolder(shell::Program& program);

}  // namespace media
