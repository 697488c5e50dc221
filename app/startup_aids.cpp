#include "app/startup_aids.h"

#include <sstream>

#include "components/errors.h"
#include "shell/book.h"

namespace app {

std::optional<StartupAids::Choice> StartupAids::Without(const std::string& names) {
  Choice c;
  std::istringstream in(names);
  for (std::string name; std::getline(in, name, ',');) {
    if (name == "readahead") {
      c.readAhead = false;
    } else if (name == "pictures") {
      c.pictureStore = false;
    } else {
      return std::nullopt;
    }
  }
  return c;
}

StartupAids::StartupAids(Choice choice, posix::Resources& resources) {
  if (choice.readAhead) {
    // The player takes it if the movie file it opens holds these bytes.
    try {
      readAhead_.emplace(resources.LoadResData(shell::kMovieResourceId, shell::kMovieResourceType));
    } catch (const components::ComponentError&) {
      // No book inside: start-up says so at its own step.
    }
  }
  if (choice.pictureStore)
    pictures_ = std::make_unique<qtdesk::PictureStore>(posix::CacheHome() + "/reader/pictures");
}

}  // namespace app
