#pragma once

#include <optional>

#include "components/movie_player.h"

namespace lists {

// The page an add command offers, or nothing (the command then does
// nothing, silently): a page the movie's numbers do not give, or a display
// or total that holds no number.
// The left page of the spread: the displayed page less one, from 1 up.
std::optional<int> LeftPage(components::MoviePlayer& player);
// The right page: the displayed page while it is below the total.
std::optional<int> RightPage(components::MoviePlayer& player);
// The single page shown: the displayed page, with no range test.
std::optional<int> CurrentPage(components::MoviePlayer& player);

}  // namespace lists
