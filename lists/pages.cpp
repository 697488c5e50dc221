#include "lists/pages.h"

#include "lists/movie_lists.h"

namespace lists {

std::optional<int> LeftPage(components::MoviePlayer& player) {
  std::optional<int> shown = movie::ReadNumber(player, movie::kDisplayedPage);
  if (!shown || *shown - 1 < 1) return std::nullopt;
  return *shown - 1;
}

std::optional<int> RightPage(components::MoviePlayer& player) {
  std::optional<int> shown = movie::ReadNumber(player, movie::kDisplayedPage);
  if (!shown) return std::nullopt;
  std::optional<int> total = movie::ReadNumber(player, movie::kTotalPages);
  if (!total || *shown >= *total) return std::nullopt;
  return shown;
}

std::optional<int> CurrentPage(components::MoviePlayer& player) {
  return movie::ReadNumber(player, movie::kDisplayedPage);
}

}  // namespace lists
