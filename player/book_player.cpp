#include "player/book_player.h"

#include <algorithm>

#include "player/background.h"
#include "player/file_bytes.h"

namespace player {

namespace L = layout;

BookPlayer::BookPlayer(components::Desktop& desktop, LocalStorage* storage)
    : desktop_(desktop), lists_(storage) {}

BookPlayer::~BookPlayer() {
  // The reading thread touches nothing of ours, but must not outlive us.
  if (loading_.valid()) loading_.wait();
}

void BookPlayer::ResetState() {
  variables_.Clear();
  calledLabels_.clear();
  answeringGetReg_ = false;
  movie_.reset();
  narrator_.reset();
  book_ = BookDescription{};
  kind_ = Kind::None;
  error_.clear();
  opened_ = false;
  view_ = View::Spread;
  spread_ = 0;
  single_ = 1;
  zoomStep_ = 0;
  panX_ = panY_ = 0;
  lines_ = false;
  soundOn_ = false;
  animation_ = false;
  narrating_ = false;
  paused_ = false;
  ++narrationGeneration_;
  lists_.Close();
}

void BookPlayer::Movie(const std::string& path) {
  Settle();
  ResetState();
  path_ = path;
  // Read on a thread of its own, as a player streams a movie in: the host
  // goes on with its start while the movie inflates. The thread gets only
  // what it needs by value; what the host asks meanwhile waits or queues.
  PictureReady ahead = firstPicture_ ? firstPicture_() : PictureReady();
  if (std::optional<SwfMovie> movie = TakeReadAhead(path)) {
    if (ahead && !movie->pictures.empty()) ahead(movie->EncodedPicture(0));
    std::promise<SwfMovie> in;
    in.set_value(std::move(*movie));
    loading_ = in.get_future();
  } else {
    loading_ = std::async(std::launch::async, [path, ahead = std::move(ahead)] {
      WorkInBackground();
      return LoadSwfFile(path, kMaxMovieBytes, ahead);
    });
  }
  // The event loop settles it at the latest.
  desktop_.Post(lifetime_, [this] { Settle(); });
}

std::optional<SwfMovie> BookPlayer::TakeReadAhead(const std::string& path) {
  if (!readAhead_) return std::nullopt;
  try {
    // Mapping and comparing the file costs less than a thread.
    FileBytes file(path, MaxFileBytes(kMaxMovieBytes));
    return readAhead_->Take(file.bytes());
  } catch (const SwfError&) {
    return std::nullopt;  // reading it on the thread says what is wrong
  }
}

void BookPlayer::Settle() {
  if (!loading_.valid()) return;
  std::future<SwfMovie> loading = std::move(loading_);
  try {
    movie_ = loading.get();
  } catch (const std::exception& e) {
    // Shown in the player area instead of the book; the host goes on.
    error_ = e.what();
  }
  if (movie_) {
    book_ = ParseDescription(movie_->metadata);
    if (book_.kind == "chapter") {
      kind_ = Kind::Chapter;
    } else if (book_.kind == "animation") {
      kind_ = Kind::Animation;
    } else if (book_.pages > 0) {
      kind_ = Kind::Book;
      if (movie_->pictures.size() < static_cast<size_t>(book_.pages))
        error_ = "the book has " + std::to_string(book_.pages) + " pages but only " +
                 std::to_string(movie_->pictures.size()) + " pictures";
      lists_.Open(book_.code, book_.pages);
      // Once loaded, the book asks for its settings and sets the toolbar.
      Send("dirov.getReg", "");
      Send("dirov.Toolbar", "withoutLine");
      Send("dirov.Toolbar", "noZoom");
    } else {
      kind_ = Kind::Other;
    }
  }
  // What the host did while the movie was loading, in its order.
  std::vector<HostCall> queued = std::move(queued_);
  queued_.clear();
  for (const HostCall& c : queued) {
    if (c.label) {
      TCallLabel(c.target, c.name);
    } else {
      SetVariable(c.name, c.value);
    }
  }
  Changed();
}

void BookPlayer::SetVariable(const std::string& name, const std::string& value) {
  // Kept in order with the labels called meanwhile.
  if (loading()) {
    queued_.push_back({false, {}, name, value});
    return;
  }
  variables_.Set(name, value);
  if (answeringGetReg_ && name == "showHelp" && value == "none") {
    // Nothing on this platform installs the book, so nothing stores the
    // "1" that makes the host open the intro panel: a first run stores it.
    answeringGetReg_ = false;
    Send("dirov.setReg", "1");
    Send("dirov.Win", "showHelp");
  }
}

std::string BookPlayer::GetVariable(const std::string& name) {
  Settle();
  if (kind_ == Kind::Book) {
    if (name == "/utility/jump_number.display") return std::to_string(display());
    if (name == "/utility/jump_number.totalPage") return std::to_string(pageCount());
    if (name == "soundOn") return soundOn_ ? "1" : "0";
    if (auto list = lists_.Variable(name)) return *list;
  }
  return variables_.Text(name);
}

void BookPlayer::TCallLabel(const std::string& target, const std::string& label) {
  if (loading()) {
    queued_.push_back({true, target, label, {}});
    return;
  }
  if (target != "/") return;
  calledLabels_.push_back(label);
  if (kind_ == Kind::Chapter) {
    if (label == "showPlayer" && GetVariable("playSound") == "true") StartNarration();
    Changed();
    return;
  }
  if (kind_ != Kind::Book) return;

  auto input = [&](const char* n) { return variables_.Text(n); };

  if (label == "soundOn") {
    SetSound(true);
  } else if (label == "mute") {
    SetSound(false);
  } else if (label == "indexPage") {
    if (!opened_) Open();
    GoToPage(book_.contents.empty() ? 2 : std::max(2, book_.contents.front().page - 1));
  } else if (label == "discuss") {
    Send("show", "歡迎到本書的討論區：\n" + book_.discuss);
  } else if (label == "regionLine") {
    lines_ = !lines_;
    Send("dirov.Toolbar", lines_ ? "withLine" : "withoutLine");
  } else if (label == "singleZoomIn") {
    if (view_ == View::Single && zoomStep_ < 2) {
      ++zoomStep_;
      ClampPan();
      if (zoomStep_ == 1) Send("dirov.Toolbar", "zoomOut");
      if (zoomStep_ == 2) Send("dirov.Toolbar", "noZoomIn");
    }
  } else if (label == "singleZoomOut") {
    if (view_ == View::Single && zoomStep_ > 0) {
      --zoomStep_;
      ClampPan();
      if (zoomStep_ == 1) Send("dirov.Toolbar", "zoomIn");
      if (zoomStep_ == 0) Send("dirov.Toolbar", "noZoomOut");
    }
  } else if (label == "singleLeft" || label == "singleRight") {
    if (!opened_) Open();
    int page = label == "singleLeft" ? leftPage() : rightPage();
    if (page == 0) page = label == "singleLeft" ? rightPage() : leftPage();
    if (page == 0) page = display();
    EnterSingle(page);
  } else if (label == "doublePage") {
    if (view_ == View::Single) spread_ = single_ / 2;
    view_ = View::Spread;
    zoomStep_ = 0;
    panX_ = panY_ = 0;
    Send("dirov.Toolbar", "noZoom");
  } else if (label == "LoadingSound") {
    int page = view_ == View::Single ? single_ : rightPage();
    auto chapter = book_.ChapterOf(page);
    if (!chapter && view_ == View::Spread) chapter = book_.ChapterOf(leftPage());
    if (chapter) Send("loadSound", std::to_string(chapter->number));
  } else if (label == "Buy") {
    std::string url = book_.purchase;
    std::string from = input("salepoint");
    if (!from.empty()) url += (url.find('?') == std::string::npos ? "?salepoint=" : "&salepoint=") + from;
    if (openUrl_ && !url.empty()) openUrl_(url);
    Send("dirov.Win", "closeApp");
  } else if (label == "startPlay") {
    Open();
  } else if (label == "playAnimation") {
    if (!narrator_) {
      // The path comes with every "\" doubled.
      std::string file, raw = input("animationFile");
      for (size_t i = 0; i < raw.size(); ++i) {
        file += raw[i];
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == '\\') ++i;
      }
      try {
        narrator_ = LoadSwfFile(file);
      } catch (const SwfError&) {
        // No narrator to show; the book goes on without it.
      }
    }
    animation_ = true;
  } else if (label == "stopAnimation" || label == "stopMan") {
    animation_ = false;
  } else {
    lists_.CallLabel(label, variables_);
  }
  Changed();
}

std::string BookPlayer::TGetProperty(const std::string& target, int index) {
  // Property 4 is the current frame: 1 the spread, 2 the single page.
  if (target != "/" || index != 4) return "";
  Settle();
  if (!movie_) return "0";
  return kind_ == Kind::Book && view_ == View::Single ? "2" : "1";
}

void BookPlayer::Width(components::Twips width) {
  width_ = width;
  Changed();
}

void BookPlayer::Height(components::Twips height) {
  height_ = height;
  Changed();
}

void BookPlayer::Send(const std::string& command, const std::string& args) {
  desktop_.Post(lifetime_, [this, alive = lifetime_.token(), command, args] {
    // The host answers "dirov.getReg" with SetVariable calls inside this one.
    const bool getReg = command == "dirov.getReg";
    if (getReg) answeringGetReg_ = kind_ == Kind::Book;
    RaiseFSCommand(command, args);
    if (getReg && !alive.expired()) answeringGetReg_ = false;
  });
}

// ---- pages and views ----

int BookPlayer::pageCount() const { return kind_ == Kind::Book ? book_.pages : 0; }

int BookPlayer::display() const {
  if (view_ == View::Single) return single_;
  return std::min(2 * spread_ + 1, std::max(pageCount(), 1));
}

int BookPlayer::leftPage() const { return view_ == View::Spread && spread_ > 0 ? 2 * spread_ : 0; }

int BookPlayer::rightPage() const {
  int p = 2 * spread_ + 1;
  return view_ == View::Spread && p <= pageCount() ? p : 0;
}

L::Rect BookPlayer::SingleRect() const {
  double z = zoom();
  double w = L::kSinglePage.w * z, h = L::kSinglePage.h * z;
  double cx = L::kSinglePage.x + L::kSinglePage.w / 2 + panX_;
  double cy = L::kSinglePage.y + L::kSinglePage.h / 2 + panY_;
  return L::Rect{cx - w / 2, cy - h / 2, w, h};
}

std::vector<std::uint8_t> BookPlayer::PagePicture(int page) const {
  if (!movie_ || page < 1 || page > static_cast<int>(movie_->pictures.size())) return {};
  return movie_->EncodedPicture(static_cast<size_t>(page - 1));
}

const SwfSound* BookPlayer::sound() const {
  if (!movie_ || movie_->sounds.empty()) return nullptr;
  return &movie_->sounds.front();
}

void BookPlayer::Open() {
  opened_ = true;
  view_ = View::Spread;
  spread_ = 1;
  Send("dirov.Win", "showUtility");
}

void BookPlayer::EnterSingle(int page) {
  view_ = View::Single;
  single_ = std::clamp(page, 1, std::max(pageCount(), 1));
  zoomStep_ = 0;
  panX_ = panY_ = 0;
  Send("dirov.Toolbar", "withZoom");
  Send("dirov.Toolbar", "noZoomOut");
  Send("dirov.Toolbar", "zoomIn");
}

void BookPlayer::SetSound(bool on) {
  soundOn_ = on;
  Send("dirov.Toolbar", on ? "soundOn" : "mute");
}

void BookPlayer::NextPage() {
  Settle();
  if (kind_ != Kind::Book) return;
  if (!opened_) {
    Open();
  } else if (view_ == View::Single) {
    if (single_ < pageCount()) GoToPage(single_ + 1);
  } else if (2 * (spread_ + 1) <= pageCount()) {
    ++spread_;
  }
  Changed();
}

void BookPlayer::PreviousPage() {
  Settle();
  if (kind_ != Kind::Book || !opened_) return;
  if (view_ == View::Single) {
    if (single_ > 1) GoToPage(single_ - 1);
  } else if (spread_ > 0) {
    --spread_;
  }
  Changed();
}

void BookPlayer::FirstPage() {
  Settle();
  if (kind_ != Kind::Book || !opened_) return;
  GoToPage(1);
}

void BookPlayer::LastPage() {
  Settle();
  if (kind_ != Kind::Book) return;
  if (!opened_) Open();
  GoToPage(pageCount());
}

void BookPlayer::GoToPage(int page) {
  Settle();
  if (kind_ != Kind::Book) return;
  page = std::clamp(page, 1, std::max(pageCount(), 1));
  if (view_ == View::Single) {
    single_ = page;
    panX_ = panY_ = 0;
  } else {
    spread_ = page / 2;
  }
  Changed();
}

void BookPlayer::ClampPan() {
  L::Rect r{0, 0, L::kSinglePage.w * zoom(), L::kSinglePage.h * zoom()};
  double maxX = std::max(0.0, (r.w - L::kStageWidth) / 2), maxY = std::max(0.0, (r.h - L::kSinglePage.h) / 2);
  panX_ = std::clamp(panX_, -maxX, maxX);
  panY_ = std::clamp(panY_, -maxY, maxY);
}

void BookPlayer::Pan(double dx, double dy) {
  Settle();
  if (view_ != View::Single) return;
  panX_ += dx;
  panY_ += dy;
  ClampPan();
  Changed();
}

bool BookPlayer::ClickPage(const L::Rect& rect, int page, double x, double y) {
  if (page <= 0 || !rect.Contains(x, y)) return false;
  if (int note = lists_.NoteIndexOf(page); note >= 0 && L::NoteMarker(rect).Contains(x, y)) {
    Send("viewNote", std::to_string(note));
    return true;
  }
  if (auto c = book_.ChapterOf(page); c && c->first == page && L::NarrationButton(rect).Contains(x, y)) {
    Send("loadSound", std::to_string(c->number));
    return true;
  }
  if (page == 2) {  // the contents page
    for (size_t i = 0; i < book_.contents.size(); ++i) {
      if (L::OnPage(rect, L::ContentsEntry(static_cast<int>(i))).Contains(x, y)) {
        GoToPage(book_.contents[i].page);
        return true;
      }
    }
  }
  return false;
}

void BookPlayer::Click(double x, double y) {
  Settle();
  if (kind_ == Kind::Chapter) {
    if (L::kChapterPlayButton.Contains(x, y)) PauseOrResume();
    if (L::kChapterAnimationButton.Contains(x, y)) ToggleAnimationButton();
    return;
  }
  if (kind_ != Kind::Book) return;
  for (int i = 0; i < 4; ++i) {
    if (!L::WindowButton(i).Contains(x, y)) continue;
    switch (i) {
      case L::kHelpButton: Send("dirov.Win", "showHelp"); break;
      case L::kMinimizeButton: Send("dirov.Win", "minimize"); break;
      case L::kMaximizeButton:
        Send("dirov.Win", maximized_ ? "restore" : "maximize");
        maximized_ = !maximized_;
        break;
      case L::kCloseButton: Send("dirov.Win", "close"); break;
    }
    Changed();
    return;
  }
  if (!opened_) {
    if (L::kRightPage.Contains(x, y)) {
      Open();
      Changed();
    }
    return;
  }
  if (view_ == View::Single) {
    ClickPage(SingleRect(), single_, x, y);
    Changed();
    return;
  }
  if (ClickPage(L::kLeftPage, leftPage(), x, y) || ClickPage(L::kRightPage, rightPage(), x, y)) {
    Changed();
    return;
  }
  if (L::kLeftPage.Contains(x, y)) {
    PreviousPage();
  } else if (L::kRightPage.Contains(x, y)) {
    NextPage();
  }
}

// ---- the chapter movie's narration ----

void BookPlayer::StartNarration() {
  const SwfSound* s = sound();
  narrationLeftMs_ = s ? static_cast<long>(s->Seconds() * 1000) : 0;
  narrating_ = true;
  paused_ = false;
  Send("playAnimation", "true");
  int generation = ++narrationGeneration_;
  desktop_.PostDelayed(lifetime_, static_cast<int>(narrationLeftMs_), [this, generation] {
    if (generation == narrationGeneration_) EndNarration();
  });
  Changed();
}

void BookPlayer::EndNarration() {
  narrating_ = false;
  paused_ = false;
  Send("playAnimation", "false");
  Changed();
}

void BookPlayer::PauseOrResume() {
  Settle();
  if (kind_ != Kind::Chapter) return;
  if (!narrating_) {
    StartNarration();
  } else {
    // Paused narration starts again from the beginning of the chapter.
    ++narrationGeneration_;
    narrating_ = false;
    paused_ = true;
    Send("playAnimation", "false");
    Changed();
  }
}

void BookPlayer::ToggleAnimationButton() {
  Settle();
  if (kind_ == Kind::Chapter) Send("toggleAnimation", "");
}

}  // namespace player
