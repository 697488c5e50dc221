#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/posix/services.h"
#include "platform/qt/picture_store.h"
#include "player/read_ahead.h"

namespace app {

// What start-up does beside the desktop's own start so that the book is up
// sooner, in one place that main() owns. Each aid can be left out: the
// start-up probe leaves out what READER_STARTUP_WITHOUT names, so that the
// benchmark measures what each one earns; the program always has them all.
class StartupAids {
 public:
  struct Choice {
    bool readAhead = true;     // the movie inflates while Qt starts
    bool pictureStore = true;  // the cover's pixels kept between starts
  };
  // All but a comma-separated list of "readahead", "pictures"; nothing
  // for a name it does not know (a measurement of nothing is no measure).
  static std::optional<Choice> Without(const std::string& names);

  // Starts what runs beside the desktop's start; before the QApplication.
  StartupAids(Choice choice, posix::Resources& resources);

  player::ReadAhead* readAhead() { return readAhead_ ? &*readAhead_ : nullptr; }
  const qtdesk::PictureStore* pictures() const { return pictures_.get(); }

 private:
  std::optional<player::ReadAhead> readAhead_;
  std::unique_ptr<qtdesk::PictureStore> pictures_;
};

}  // namespace app
