#include "media/chapter_files.h"

#include "components/number.h"
#include "shell/book.h"

namespace media {

namespace {
bool IsChapter(const std::string& c) {
  size_t digits = c.size() - (!c.empty() && c[0] == '-' ? 1 : 0);
  if (digits < 1 || digits > 5) return false;
  return components::ParseInt16(c).has_value();
}
}  // namespace

std::string MediaFolder(shell::Program& program) { return program.system().environment.MediaFolder(); }

std::optional<ChapterFiles> ChapterFilesOf(shell::Program& program, const std::string& downloadServer,
                                           const std::string& chapter) {
  if (!IsChapter(chapter)) return std::nullopt;
  const std::string base = std::string(shell::kBookCode) + "_" + chapter;
  const std::string folder = MediaFolder(program) + program.system().environment.PathSeparator();
  return ChapterFiles{folder + base + ".zov", folder + base + ".hs",
                      downloadServer + shell::kBookCode + "/Review/" + base + ".zov"};
}

}  // namespace media
