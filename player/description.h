#pragma once

#include <optional>
#include <string>
#include <vector>

namespace player {

// What a book movie says about itself (UTF-8 lines "key=value").
struct BookDescription {
  struct Entry {
    int page;
    std::string title;
  };
  struct Chapter {
    int number, first, last;
    std::string title;
  };
  std::string kind = "book";  // "book", "chapter" or "animation"
  std::string title;
  std::string code;
  int pages = 0;
  std::string purchase;
  std::string discuss;
  std::vector<Entry> contents;
  std::vector<Chapter> chapters;
  int chapter = 0;  // for a chapter movie: its number

  // The chapter a page belongs to, or nullopt.
  std::optional<Chapter> ChapterOf(int page) const;
};

// Lines it does not understand are skipped.
BookDescription ParseDescription(const std::string& text);

// A whole decimal number in the 16-bit signed range, as the host writes
// them; nullopt for anything else.
std::optional<int> ParseNumber(const std::string& text);

}  // namespace player
