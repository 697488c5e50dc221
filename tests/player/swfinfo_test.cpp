// The movie files the build makes, as the command-line reader sees them.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "tests/support/support.h"

namespace {
std::string Swfinfo(const std::string& args, int* status) {
  std::string out;
  FILE* p = popen((std::string(SWFINFO) + " " + args + " 2>&1").c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  *status = pclose(p);
  return out;
}
}  // namespace

TEST(Swfinfo, DescribesTheBookAndItsChapterFiles) {
  int status = 0;
  std::string book = Swfinfo(BOOK_MOVIE, &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(book.find("signature:   CWS"), std::string::npos);
  EXPECT_NE(book.find("version:     8"), std::string::npos);
  EXPECT_NE(book.find("DefineBitsJPEG2 (21): 31"), std::string::npos) << book;
  EXPECT_NE(book.find("pages=31"), std::string::npos);
  EXPECT_NE(book.find("chapter=4|16|20|"), std::string::npos) << book;
  EXPECT_EQ(book.find("warning"), std::string::npos);

  std::string chapter = Swfinfo(CHAPTER_MOVIE, &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(chapter.find("kind=chapter"), std::string::npos);
  EXPECT_NE(chapter.find("labels: showPlayer@1"), std::string::npos);
  EXPECT_NE(chapter.find("sound 1:"), std::string::npos);
}

TEST(Swfinfo, AFileItCannotReadGivesOneLineAndFailure) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "x.swf", "CWS\x07\xff\xff\xff\xff");
  int status = 0;
  std::string out = Swfinfo(dir / "x.swf", &status);
  EXPECT_NE(status, 0);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  EXPECT_NE(out.find("too large"), std::string::npos) << out;
}
