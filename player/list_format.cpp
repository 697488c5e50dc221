#include "player/list_format.h"

#include "player/description.h"

namespace player {

namespace {
std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}
bool Unescape(const std::string& s, std::string* out) {
  out->clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      *out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\': *out += '\\'; break;
      case 't': *out += '\t'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      default: return false;
    }
  }
  return true;
}
}  // namespace

std::string EncodeLists(const std::vector<Bookmark>& bookmarks, const std::vector<Note>& notes) {
  std::string out = "reader-lists 1\n";
  for (const auto& b : bookmarks)
    out += "bookmark\t" + std::to_string(b.page) + "\t" + Escape(b.title) + "\n";
  for (const auto& n : notes) out += "note\t" + std::to_string(n.page) + "\t" + Escape(n.content) + "\n";
  return out;
}

bool DecodeLists(const std::string& text, std::vector<Bookmark>* bookmarks, std::vector<Note>* notes) {
  std::vector<Bookmark> b;
  std::vector<Note> n;
  size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) return false;  // a torn record: not ours
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (first) {
      if (line != "reader-lists 1") return false;
      first = false;
      continue;
    }
    size_t t1 = line.find('\t'), t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
    if (t2 == std::string::npos) return false;
    auto page = ParseNumber(line.substr(t1 + 1, t2 - t1 - 1));
    std::string value;
    if (!page || !Unescape(line.substr(t2 + 1), &value)) return false;
    std::string kind = line.substr(0, t1);
    if (kind == "bookmark") {
      b.push_back({*page, value});
    } else if (kind == "note") {
      n.push_back({*page, value});
    } else {
      return false;
    }
  }
  if (first) return false;
  *bookmarks = std::move(b);
  *notes = std::move(n);
  return true;
}

}  // namespace player
