#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "player/book_lists.h"
#include "player/book_view.h"
#include "player/changes.h"
#include "player/description.h"
#include "player/movie_loader.h"
#include "player/movie_variables.h"
#include "player/narration.h"
#include "player/read_ahead.h"
#include "player/script_timeline.h"
#include "player/storage.h"
#include "player/swf.h"

namespace player {

// Our stand-in for the movie player: the player control, running the book's
// side of the host protocol through one helper per job. MovieLoader reads
// the movie; BookView holds the pages, zoom and panning and hit-tests
// clicks; BookLists holds bookmarks and notes; Narration holds the book's
// sound, the narrator and a chapter's narration. Drawing and sound output
// are the platform's: OnChanged tells them what changed.
//
// The movie's own actions never run inside a call of the host: what it
// sends is posted to the event loop.
class BookPlayer : public components::MoviePlayer {
 public:
  enum class Kind { None, Book, Chapter, Animation, Other };

  BookPlayer(components::Desktop& desktop, LocalStorage* storage);
  ~BookPlayer() override;

  // ---- the player control ----
  // Returns at once: the movie is read on a thread of its own; what the host
  // calls meanwhile queues, and what needs the movie waits for it.
  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

  // ---- what there is to draw ----
  // The movie, once it is in: waits for one still loading. Everything else
  // here tells what the player holds now.
  const SwfMovie* movie();
  Kind kind() const { return loaded_.kind; }
  const BookDescription& book() const { return loaded_.book; }
  // Empty while the movie is fine; otherwise why it could not be shown.
  const std::string& error() const { return loaded_.error; }
  int pageCount() const { return pages_.pageCount(); }
  const BookView& pages() const { return pages_; }
  const BookLists& lists() const { return lists_; }
  const Narration& narration() const { return narration_; }
  // The encoded picture of a page (1-based); empty when there is none.
  std::vector<std::uint8_t> PagePicture(int page) const;
  // The movie's first sound: the chapter's narration or the book's own.
  const SwfSound* sound() const;
  components::Twips width() const { return width_; }
  components::Twips height() const { return height_; }
  const std::vector<std::string>& calledLabels() const { return calledLabels_; }

  // ---- what the reader does (stage coordinates) ----
  void Click(double x, double y);
  void NextPage();
  void PreviousPage();
  void FirstPage();
  void LastPage();
  void GoToPage(int page);
  void Pan(double dx, double dy);
  // The chapter movie's own buttons.
  void PauseOrResume();
  void ToggleAnimationButton();

  // Asked on this thread when a movie starts loading, for what the reading
  // thread hands the movie's first picture to (the drawing decodes it
  // meanwhile); may give an empty function.
  void OnFirstPicture(std::function<PictureReady()> f) { loader_.OnFirstPicture(std::move(f)); }
  // Where a movie read ahead of time may be waiting (it must outlive this).
  void UseReadAhead(ReadAhead* ahead) { loader_.UseReadAhead(ahead); }

  // Told what changed, after every call that changed something.
  void OnChanged(std::function<void(Changes)> f) { changed_ = std::move(f); }
  // Where the book opens a web page (the desktop's browser).
  void OnOpenUrl(std::function<void(const std::string&)> f) { openUrl_ = std::move(f); }

  // The movie sends a command to its host: delivered from the event loop.
  // When the host's answer to "dirov.getReg" hands the book "showHelp" as
  // "none" (a first run), the book has "1" stored and the intro panel shown.
  void Send(const std::string& command, const std::string& args);

 private:
  // The movie as the player has it once it is in.
  struct Loaded {
    std::optional<SwfMovie> movie;
    std::string error;
    BookDescription book;
    Kind kind = Kind::None;
  };
  // The one place that waits for a movie still loading: whatever needs the
  // movie reaches it through here.
  const Loaded& Settled();
  void Arrive(MovieLoader::Arrival arrival);
  // Waits for the movie, as Settled does.
  bool ShowsBook() { return Settled().kind == Kind::Book; }
  void Notify(Changes changes);
  void ResetState();

  Changes CallLabel(const std::string& target, const std::string& label);
  Changes BookLabel(const std::string& label);
  Changes ChapterLabel(const std::string& label);
  // A move of the pages; one that opens the closed book has the host show
  // its utility bar, as opening it always does.
  Changes MovePages(const std::function<Changes()>& move);
  Changes Open();
  Changes PressWindowButton(int button);
  double NarrationSeconds() const;
  // A movie that is not a book of ours plays its own frames' actions.
  void PlayScript();

  components::Desktop& desktop_;
  MovieLoader loader_;
  Loaded loaded_;
  MovieVariables variables_;
  std::vector<std::string> calledLabels_;
  BookView pages_;
  BookLists lists_;
  Narration narration_;
  std::unique_ptr<script::Timeline> script_;
  components::Twips width_ = 0, height_ = 0;
  std::function<void(Changes)> changed_;
  std::function<void(const std::string&)> openUrl_;
  components::Lifetime lifetime_;  // what it posted goes with it
  // Inside the host's answer to "dirov.getReg", until the book has asked
  // for the intro panel.
  bool answeringGetReg_ = false;
  bool scriptTicking_ = false;
  int scriptRun_ = 0;  // which movie a tick was posted for
};

}  // namespace player
