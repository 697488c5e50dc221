#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

struct Response {
  int status = 0;  // 200, or 403 refused, 404 missing, 415 not a movie
  std::string mime;
  std::vector<std::uint8_t> body;
};

// What the runtime's view may load, by its "reader:" address, and nothing
// else: the runtime's own files and the bridge, the book, the media
// folder's ".zov" movies and the program folder's news files. The book
// and the media movies go out with the bridge's load added (ServedMovie);
// their files are only read. Any other address, or a path that could leave
// its folder, is refused.
//   reader://runtime/<file>      runtime folder (.js .wasm .html .swf)
//   reader://book/book.swf       the file SetBook named
//   reader://media/<name>.zov    media folder
//   reader://program/news.ezy    program folder (news.ezy, news2.ezy)
class MovieFiles {
 public:
  MovieFiles(std::string runtimeDir, std::string programDir, std::string mediaDir);
  // The movie the main window plays; none (404) until it is set.
  void SetBook(std::string path) { book_ = std::move(path); }
  Response Get(std::string_view url) const;

 private:
  std::string runtimeDir_, programDir_, mediaDir_, book_;
};

}  // namespace runtime
