#pragma once

#include <string>
#include <vector>

namespace book {

// One printed page of the demo book.
struct Page {
  enum Kind { Cover, Contents, Text, BackCover } kind = Text;
  std::string heading;
  std::vector<std::string> paragraphs;
  int chapter = 0;  // 0: not in a chapter
};

struct Chapter {
  int number;
  std::string title;
  int first, last;        // pages
  std::string narration;  // spoken by the chapter's media file
};

struct ContentsEntry {
  std::string title;
  int page;
};

struct Book {
  std::string title;
  std::string subtitle;
  std::string code;
  std::vector<Page> pages;  // page n is pages[n - 1]
  std::vector<Chapter> chapters;
  std::vector<ContentsEntry> contents;
  std::string purchase;
  std::string discuss;
};

// The demo book: a short guide to this reader.
const Book& DemoBook();

// The book's description as the movie carries it (UTF-8 lines key=value).
std::string Describe(const Book& book);

}  // namespace book
