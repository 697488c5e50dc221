#pragma once

namespace player {

// What changed in the player, for whatever draws it or plays its sound.
class Changes {
 public:
  enum Flag : unsigned {
    kNone = 0,
    kMovie = 1u << 0,      // another movie, or none: nothing shown of the one before stays
    kSize = 1u << 1,       // the player's size
    kPages = 1u << 2,      // the pages shown, the view, zoom or panning
    kTurn = 1u << 3,       // with kPages: a leaf turned over the spread (BookView::leaf)
    kLines = 1u << 4,      // the marker lines on the pages, on or off
    kNotes = 1u << 5,      // the notes, drawn as markers on their pages
    kBookmarks = 1u << 6,  // the bookmarks (not drawn)
    kButtons = 1u << 7,    // the book's window buttons (maximise or restore)
    kSound = 1u << 8,      // the book's sound switched on or off
    kNarration = 1u << 9,  // the chapter's narration started, paused or ended
    kNarrator = 1u << 10,  // the narrator's animation shown or hidden
  };

  constexpr Changes(unsigned flags = kNone) : flags_(flags) {}
  constexpr bool Has(unsigned flags) const { return (flags_ & flags) != 0; }
  constexpr bool empty() const { return flags_ == kNone; }
  constexpr unsigned flags() const { return flags_; }
  constexpr Changes& operator|=(Changes other) {
    flags_ |= other.flags_;
    return *this;
  }
  friend constexpr Changes operator|(Changes a, Changes b) { return a |= b; }
  friend constexpr bool operator==(const Changes&, const Changes&) = default;

 private:
  unsigned flags_;
};

}  // namespace player
