#pragma once

#include <string>

namespace shell {

// The book this executable carries.
inline constexpr const char* kBookCode = "K19990317045";
inline constexpr const char* kBookTitle = "電子書閱讀器使用導覽";

// The embedded movie.
inline constexpr int kMovieResourceId = 101;
inline constexpr const char* kMovieResourceType = "CUSTOM";

// Where every setting of the book lives, below HKEY_LOCAL_MACHINE.
inline std::string BookKey() { return std::string("SOFTWARE\\Bindera\\") + kBookCode; }

}  // namespace shell
