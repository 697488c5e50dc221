#pragma once

// The demo book's three kinds of movie, written from their pictures and
// sounds and their ActionScript (book/movie/): the book, a chapter's
// narration and the narrator's animation. Each also carries the
// description the stand-in player reads (Metadata).

#include <cstdint>
#include <string>
#include <vector>

#include "book/content.h"

namespace book {

struct PageArt {
  std::vector<std::uint8_t> jpeg;  // layout::kPagePictureWidth x kPagePictureHeight
  std::vector<int> lines;          // where a marker line goes under each text line, in page design units
};

struct Sound16 {
  int rate = 11025;
  std::vector<std::int16_t> samples;  // mono
};

// The scripts are read from `scripts` (book/movie): a file that cannot be
// read or compiled raises std::runtime_error naming it.
std::vector<std::uint8_t> BookMovie(const Book& book, const std::vector<PageArt>& pages, const Sound16& hum,
                                    const std::string& scripts);
// The chapter's face (a JPEG of its 217 x 100 stage at twice the size).
std::vector<std::uint8_t> ChapterMovie(const Chapter& chapter, const std::vector<std::uint8_t>& face,
                                       const Sound16& narration, const std::string& scripts);
// One 160 x 160 JPEG a frame, looping.
std::vector<std::uint8_t> NarratorMovie(const std::vector<std::vector<std::uint8_t>>& frames);

// The book's description and layout as ActionScript: BOOK and LAYOUT.
std::string BookData(const Book& book, const std::vector<PageArt>& pages);

}  // namespace book
