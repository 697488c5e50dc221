#pragma once

namespace shell {

// The toolbar's buttons by position, 1 to 16, as the main window's design
// lays them out (each carries its key there too).
enum ToolbarButton {
  kIndexButton = 1,
  kPlayerButton,
  kZoomInButton,
  kZoomOutButton,
  kSinglePageButton,
  kDoublePageButton,
  kNoteButton,
  kBookmarkButton,
  kMuteButton,
  kSoundOnButton,
  kTransferButton,
  kRegionLineButton,
  kRegionLine2Button,
  kDiscussButton,
  kHelpButton,
  kBuyButton,
};

}  // namespace shell
