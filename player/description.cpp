#include "player/description.h"

#include <sstream>

#include "components/number.h"

namespace player {

std::optional<int> ParseNumber(const std::string& text) { return components::ParseInt16(text); }

namespace {
std::vector<std::string> Split(const std::string& s, char sep, size_t parts) {
  std::vector<std::string> out;
  size_t start = 0;
  while (out.size() + 1 < parts) {
    size_t at = s.find(sep, start);
    if (at == std::string::npos) break;
    out.push_back(s.substr(start, at - start));
    start = at + 1;
  }
  out.push_back(s.substr(start));
  return out;
}
}  // namespace

BookDescription ParseDescription(const std::string& text) {
  BookDescription d;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "kind") {
      d.kind = value;
    } else if (key == "title") {
      d.title = value;
    } else if (key == "code") {
      d.code = value;
    } else if (key == "pages") {
      d.pages = ParseNumber(value).value_or(0);
    } else if (key == "purchase") {
      d.purchase = value;
    } else if (key == "discuss") {
      d.discuss = value;
    } else if (key == "chapter" && value.find('|') == std::string::npos) {
      d.chapter = ParseNumber(value).value_or(0);
    } else if (key == "contents") {
      auto f = Split(value, '|', 2);
      auto page = ParseNumber(f[0]);
      if (f.size() == 2 && page) d.contents.push_back({*page, f[1]});
    } else if (key == "chapter") {
      auto f = Split(value, '|', 4);
      if (f.size() == 4) {
        auto n = ParseNumber(f[0]), first = ParseNumber(f[1]), last = ParseNumber(f[2]);
        if (n && first && last && *first <= *last) d.chapters.push_back({*n, *first, *last, f[3]});
      }
    }
  }
  return d;
}

std::optional<BookDescription::Chapter> BookDescription::ChapterOf(int page) const {
  for (const auto& c : chapters)
    if (page >= c.first && page <= c.last) return c;
  return std::nullopt;
}

}  // namespace player
