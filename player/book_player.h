#pragma once

#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/desktop.h"
#include "components/movie_player.h"
#include "player/book_lists.h"
#include "player/description.h"
#include "player/layout.h"
#include "player/movie_variables.h"
#include "player/read_ahead.h"
#include "player/storage.h"
#include "player/swf.h"

namespace player {

// Our stand-in for the movie player: reads the movie container and runs the
// book's side of the host protocol (pages, views, zoom, bookmarks, notes,
// sound, the narrator, the chapter movies' narration). Drawing and sound
// output are the platform's; they watch through OnChanged.
//
// The movie's own actions never run inside a call of the host: what it
// sends is posted to the event loop.
class BookPlayer : public components::MoviePlayer {
 public:
  enum class Kind { None, Book, Chapter, Animation, Other };
  enum class View { Spread, Single };

  BookPlayer(components::Desktop& desktop, LocalStorage* storage);
  ~BookPlayer() override;

  // ---- the player control ----
  void Movie(const std::string& path) override;
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void TCallLabel(const std::string& target, const std::string& label) override;
  std::string TGetProperty(const std::string& target, int index) override;
  void Width(components::Twips width) override;
  void Height(components::Twips height) override;

  // ---- what there is to draw ----
  Kind kind() const { return kind_; }
  const SwfMovie* movie() const { return movie_ ? &*movie_ : nullptr; }
  const BookDescription& book() const { return book_; }
  // Empty while the movie is fine; otherwise why it could not be shown.
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }
  int pageCount() const;
  bool opened() const { return opened_; }
  View view() const { return view_; }
  int display() const;    // the right-hand page of the spread, or the single page
  int leftPage() const;   // 0: none
  int rightPage() const;  // 0: none
  double zoom() const { return kZooms[zoomStep_]; }
  double panX() const { return panX_; }
  double panY() const { return panY_; }
  layout::Rect SingleRect() const;  // where the single page lies on the stage
  bool lines() const { return lines_; }
  bool soundOn() const { return soundOn_; }
  bool animationRunning() const { return animation_; }
  bool narrating() const { return narrating_; }
  bool paused() const { return paused_; }
  bool maximized() const { return maximized_; }
  const BookLists& lists() const { return lists_; }
  // The encoded picture of a page (1-based); empty when there is none.
  std::vector<std::uint8_t> PagePicture(int page) const;
  // The narrator's frames (from "animationFile") and the chapter's sound.
  const SwfMovie* narrator() const { return narrator_ ? &*narrator_ : nullptr; }
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

  // A movie is read on a thread of its own. Until it is in, labels and
  // variables the host sets queue, in order, and what needs the movie
  // waits for it; Settle() waits now. The event loop settles it anyway.
  bool loading() const { return loading_.valid(); }
  void Settle();
  // Asked on this thread when a movie starts loading, for what the reading
  // thread hands the movie's first picture to (the drawing decodes it
  // meanwhile); may give an empty function.
  void OnFirstPicture(std::function<PictureReady()> f) { firstPicture_ = std::move(f); }
  // Where a movie read ahead of time may be waiting (it must outlive this).
  void UseReadAhead(ReadAhead* ahead) { readAhead_ = ahead; }

  void OnChanged(std::function<void()> f) { changed_ = std::move(f); }
  // Where the book opens a web page (the desktop's browser).
  void OnOpenUrl(std::function<void(const std::string&)> f) { openUrl_ = std::move(f); }

  // The movie sends a command to its host: delivered from the event loop.
  // When the host's answer to "dirov.getReg" hands the book "showHelp" as
  // "none" (a first run), the book has "1" stored and the intro panel shown.
  void Send(const std::string& command, const std::string& args);

  static constexpr double kZooms[] = {1.0, 1.5, 2.0};

 private:
  void Changed() {
    if (changed_) changed_();
  }
  void ResetState();
  // The movie read ahead, when the file at `path` holds exactly it.
  std::optional<SwfMovie> TakeReadAhead(const std::string& path);
  void SetSound(bool on);
  void EnterSingle(int page);
  void Open();
  void StartNarration();
  void EndNarration();
  void ClampPan();
  bool ClickPage(const layout::Rect& rect, int page, double x, double y);

  struct HostCall {
    bool label;  // TCallLabel(target, name), else SetVariable(name, value)
    std::string target, name, value;
  };

  components::Desktop& desktop_;
  std::future<SwfMovie> loading_;
  std::vector<HostCall> queued_;
  std::function<PictureReady()> firstPicture_;
  ReadAhead* readAhead_ = nullptr;
  std::optional<SwfMovie> movie_;
  std::optional<SwfMovie> narrator_;
  BookDescription book_;
  Kind kind_ = Kind::None;
  std::string error_;
  std::string path_;
  MovieVariables variables_;
  std::vector<std::string> calledLabels_;
  bool opened_ = false;
  View view_ = View::Spread;
  int spread_ = 0;  // spread s shows pages 2s and 2s + 1
  int single_ = 1;
  int zoomStep_ = 0;
  double panX_ = 0, panY_ = 0;
  bool lines_ = false;
  bool soundOn_ = false;
  bool animation_ = false;
  bool narrating_ = false;
  bool paused_ = false;
  bool maximized_ = false;
  int narrationGeneration_ = 0;
  long narrationLeftMs_ = 0;
  BookLists lists_;
  components::Twips width_ = 0, height_ = 0;
  std::function<void()> changed_;
  std::function<void(const std::string&)> openUrl_;
  components::Lifetime lifetime_;  // what it posted goes with it
  // Inside the host's answer to "dirov.getReg", until the book has asked
  // for the intro panel.
  bool answeringGetReg_ = false;
};

}  // namespace player
