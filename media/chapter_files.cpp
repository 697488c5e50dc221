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

std::string MediaFolder(shell::Program& program) { return program.ProgramPath({"Review"}); }

std::optional<ChapterFiles> ChapterFilesOf(shell::Program& program, const std::string& downloadServer,
                                           const std::string& chapter) {
  if (!IsChapter(chapter)) return std::nullopt;
  const std::string base = std::string(shell::kBookCode) + "_" + chapter;
  return ChapterFiles{program.ProgramPath({"Review", base + ".zov"}),
                      program.ProgramPath({"Review", base + ".hs"}),
                      downloadServer + shell::kBookCode + "/Review/" + base + ".zov"};
}

}  // namespace media
