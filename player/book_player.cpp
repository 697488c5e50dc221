#include "player/book_player.h"

#include <algorithm>

namespace player {

namespace L = layout;

BookPlayer::BookPlayer(components::Desktop& desktop, LocalStorage* storage)
    : desktop_(desktop),
      lists_(storage),
      narration_(
          desktop, [this](const std::string& command, const std::string& args) { Send(command, args); },
          [this](Changes changes) { Notify(changes); }) {}

BookPlayer::~BookPlayer() = default;

void BookPlayer::ResetState() {
  variables_.Clear();
  calledLabels_.clear();
  answeringGetReg_ = false;
  loaded_ = Loaded{};
  pages_.Reset(0);
  lists_.Close();
  narration_.Reset();
  script_.reset();
  scriptTicking_ = false;
}

void BookPlayer::Notify(Changes changes) {
  if (!changes.empty() && changed_) changed_(changes);
}

// ---- loading ----

void BookPlayer::Movie(const std::string& path) {
  // What the host called on the movie still loading goes to that movie.
  Settled();
  ResetState();
  loader_.Start(path);
  // The event loop takes it in at the latest.
  desktop_.Post(lifetime_, [this] { Settled(); });
}

const BookPlayer::Loaded& BookPlayer::Settled() {
  if (std::optional<MovieLoader::Arrival> arrival = loader_.Wait()) Arrive(std::move(*arrival));
  return loaded_;
}

const SwfMovie* BookPlayer::movie() {
  const Loaded& in = Settled();
  return in.movie ? &*in.movie : nullptr;
}

void BookPlayer::Arrive(MovieLoader::Arrival arrival) {
  // Shown in the player area instead of the book; the host goes on.
  loaded_.error = std::move(arrival.error);
  loaded_.movie = std::move(arrival.movie);
  if (const SwfMovie* movie = loaded_.movie ? &*loaded_.movie : nullptr) {
    BookDescription& book = loaded_.book = ParseDescription(movie->metadata);
    if (book.kind == "chapter") {
      loaded_.kind = Kind::Chapter;
    } else if (book.kind == "animation") {
      loaded_.kind = Kind::Animation;
    } else if (book.pages > 0) {
      loaded_.kind = Kind::Book;
      if (movie->pictures.size() < static_cast<size_t>(book.pages))
        loaded_.error = "the book has " + std::to_string(book.pages) + " pages but only " +
                        std::to_string(movie->pictures.size()) + " pictures";
      pages_.Reset(book.pages);
      lists_.Open(book.code, book.pages);
      // Once loaded, the book asks for its settings and sets the toolbar.
      Send("dirov.getReg", "");
      Send("dirov.Toolbar", "withoutLine");
      Send("dirov.Toolbar", "noZoom");
    } else {
      loaded_.kind = Kind::Other;
      ++scriptRun_;
      script_ = std::make_unique<script::Timeline>(
          *movie, [this](const std::string& command, const std::string& args) { Send(command, args); });
      script_->Start();
      PlayScript();
    }
  }
  // What the host did while the movie was loading, in its order; the
  // drawing hears of it with the new movie, as one change.
  Changes changes = Changes::kMovie;
  for (const HostCall& call : arrival.deferred) {
    if (call.label) {
      changes |= CallLabel(call.target, call.name);
    } else {
      SetVariable(call.name, call.value);
    }
  }
  Notify(changes);
}

// ---- the player control ----

void BookPlayer::SetVariable(const std::string& name, const std::string& value) {
  // Kept in order with the labels called meanwhile.
  if (loader_.Defer({false, {}, name, value})) return;
  if (script_) return script_->Set(name, value);
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
  if (ShowsBook()) {
    if (name == "/utility/jump_number.display") return std::to_string(pages_.display());
    if (name == "/utility/jump_number.totalPage") return std::to_string(pageCount());
    if (name == "soundOn") return narration_.soundOn() ? "1" : "0";
    if (auto list = lists_.Variable(name)) return *list;
  }
  if (script_) return script_->Get(name);
  return variables_.Text(name);
}

void BookPlayer::TCallLabel(const std::string& target, const std::string& label) {
  if (loader_.Defer({true, target, label, {}})) return;
  Notify(CallLabel(target, label));
}

Changes BookPlayer::CallLabel(const std::string& target, const std::string& label) {
  if (target != "/") return {};
  calledLabels_.push_back(label);
  switch (loaded_.kind) {
    case Kind::Book: return BookLabel(label);
    case Kind::Chapter: return ChapterLabel(label);
    case Kind::Other:
      if (script_) script_->Call(label);
      PlayScript();
      return {};
    default: return {};
  }
}

Changes BookPlayer::BookLabel(const std::string& label) {
  const BookDescription& book = loaded_.book;
  if (label == "soundOn" || label == "mute") return narration_.SetSound(label == "soundOn");
  if (label == "startPlay") return Open();
  if (label == "indexPage") {
    int contents = book.contents.empty() ? 2 : std::max(2, book.contents.front().page - 1);
    return MovePages([&] { return pages_.OpenAt(contents); });
  }
  if (label == "singleLeft" || label == "singleRight") {
    Changes changes = MovePages([&] { return pages_.EnterSingle(label == "singleLeft"); });
    Send("dirov.Toolbar", "withZoom");
    Send("dirov.Toolbar", "noZoomOut");
    Send("dirov.Toolbar", "zoomIn");
    return changes;
  }
  if (label == "doublePage") {
    Changes changes = pages_.EnterSpread();
    Send("dirov.Toolbar", "noZoom");
    return changes;
  }
  if (label == "singleZoomIn") {
    Changes changes = pages_.ZoomIn();
    if (!changes.empty()) Send("dirov.Toolbar", pages_.zoomStep() == 1 ? "zoomOut" : "noZoomIn");
    return changes;
  }
  if (label == "singleZoomOut") {
    Changes changes = pages_.ZoomOut();
    if (!changes.empty()) Send("dirov.Toolbar", pages_.zoomStep() == 1 ? "zoomIn" : "noZoomOut");
    return changes;
  }
  if (label == "regionLine") {
    Changes changes = pages_.ToggleLines();
    Send("dirov.Toolbar", pages_.lines() ? "withLine" : "withoutLine");
    return changes;
  }
  if (label == "LoadingSound") {
    const bool single = pages_.view() == View::Single;
    auto chapter = book.ChapterOf(single ? pages_.display() : pages_.rightPage());
    if (!chapter && !single) chapter = book.ChapterOf(pages_.leftPage());
    if (chapter) Send("loadSound", std::to_string(chapter->number));
    return {};
  }
  if (label == "discuss") {
    Send("show", "歡迎到本書的討論區：\n" + book.discuss);
    return {};
  }
  if (label == "Buy") {
    std::string url = book.purchase;
    std::string from = variables_.Text("salepoint");
    if (!from.empty()) url += (url.find('?') == std::string::npos ? "?salepoint=" : "&salepoint=") + from;
    if (openUrl_ && !url.empty()) openUrl_(url);
    Send("dirov.Win", "closeApp");
    return {};
  }
  if (label == "playAnimation") return narration_.ShowNarrator(variables_.Text("animationFile"));
  if (label == "stopAnimation" || label == "stopMan") return narration_.HideNarrator();
  return lists_.CallLabel(label, variables_);
}

Changes BookPlayer::ChapterLabel(const std::string& label) {
  if (label == "showPlayer" && variables_.Text("playSound") == "true")
    return narration_.Start(NarrationSeconds());
  return {};
}

std::string BookPlayer::TGetProperty(const std::string& target, int index) {
  // Property 4 is the current frame: 1 the spread, 2 the single page.
  if (target != "/" || index != 4) return "";
  const Loaded& in = Settled();
  if (!in.movie) return "0";
  if (script_) return std::to_string(script_->currentFrame());
  return in.kind == Kind::Book && pages_.view() == View::Single ? "2" : "1";
}

void BookPlayer::Width(components::Twips width) {
  width_ = width;
  Notify(Changes::kSize);
}

void BookPlayer::Height(components::Twips height) {
  height_ = height;
  Notify(Changes::kSize);
}

void BookPlayer::PlayScript() {
  if (!script_ || !script_->playing() || scriptTicking_) return;
  scriptTicking_ = true;
  const double rate = loaded_.movie && loaded_.movie->frameRate > 0 ? loaded_.movie->frameRate : 12;
  desktop_.PostDelayed(lifetime_, static_cast<int>(1000 / std::clamp(rate, 1.0, 120.0)),
                       [this, run = scriptRun_] {
                         if (run != scriptRun_) return;  // another movie came meanwhile
                         scriptTicking_ = false;
                         script_->NextFrame();
                         PlayScript();
                       });
}

void BookPlayer::Send(const std::string& command, const std::string& args) {
  desktop_.Post(lifetime_, [this, alive = lifetime_.token(), command, args] {
    // The host answers "dirov.getReg" with SetVariable calls inside this one.
    const bool getReg = command == "dirov.getReg";
    if (getReg) answeringGetReg_ = loaded_.kind == Kind::Book;
    RaiseFSCommand(command, args);
    if (getReg && !alive.expired()) answeringGetReg_ = false;
  });
}

// ---- what there is to draw ----

std::vector<std::uint8_t> BookPlayer::PagePicture(int page) const {
  const std::optional<SwfMovie>& movie = loaded_.movie;
  if (!movie || page < 1 || page > static_cast<int>(movie->pictures.size())) return {};
  return movie->EncodedPicture(static_cast<size_t>(page - 1));
}

const SwfSound* BookPlayer::sound() const {
  const std::optional<SwfMovie>& movie = loaded_.movie;
  if (!movie || movie->sounds.empty()) return nullptr;
  return &movie->sounds.front();
}

double BookPlayer::NarrationSeconds() const {
  const SwfSound* s = sound();
  return s ? s->Seconds() : 0;
}

// ---- what the reader does ----

Changes BookPlayer::Open() {
  Send("dirov.Win", "showUtility");
  return pages_.Open();
}

Changes BookPlayer::MovePages(const std::function<Changes()>& move) {
  const bool closed = !pages_.opened();
  Changes changes = move();
  if (closed && pages_.opened()) Send("dirov.Win", "showUtility");
  return changes;
}

void BookPlayer::NextPage() {
  if (ShowsBook()) Notify(MovePages([&] { return pages_.NextPage(); }));
}

void BookPlayer::PreviousPage() {
  if (ShowsBook()) Notify(pages_.PreviousPage());
}

void BookPlayer::FirstPage() {
  if (ShowsBook()) Notify(pages_.FirstPage());
}

void BookPlayer::LastPage() {
  if (ShowsBook()) Notify(MovePages([&] { return pages_.OpenAt(pageCount()); }));
}

void BookPlayer::GoToPage(int page) {
  if (ShowsBook()) Notify(pages_.GoToPage(page));
}

void BookPlayer::Pan(double dx, double dy) {
  if (ShowsBook()) Notify(pages_.Pan(dx, dy));
}

Changes BookPlayer::PressWindowButton(int button) {
  switch (button) {
    case L::kHelpButton: Send("dirov.Win", "showHelp"); break;
    case L::kMinimizeButton: Send("dirov.Win", "minimize"); break;
    case L::kMaximizeButton:
      Send("dirov.Win", pages_.maximized() ? "restore" : "maximize");
      return pages_.ToggleMaximized();
    case L::kCloseButton: Send("dirov.Win", "close"); break;
  }
  return {};
}

void BookPlayer::Click(double x, double y) {
  const Kind kind = Settled().kind;
  if (kind == Kind::Chapter) {
    if (L::kChapterPlayButton.Contains(x, y)) PauseOrResume();
    if (L::kChapterAnimationButton.Contains(x, y)) ToggleAnimationButton();
    return;
  }
  if (kind != Kind::Book) return;
  const BookHit hit = pages_.HitAt(x, y, loaded_.book, lists_);
  switch (hit.what) {
    case BookHit::kNothing: break;
    case BookHit::kWindowButton: Notify(PressWindowButton(hit.value)); break;
    case BookHit::kCover: Notify(Open()); break;
    case BookHit::kNote: Send("viewNote", std::to_string(hit.value)); break;
    case BookHit::kNarration: Send("loadSound", std::to_string(hit.value)); break;
    case BookHit::kContents: Notify(pages_.GoToPage(hit.value)); break;
    case BookHit::kPreviousPage: PreviousPage(); break;
    case BookHit::kNextPage: NextPage(); break;
  }
}

void BookPlayer::PauseOrResume() {
  if (Settled().kind == Kind::Chapter) Notify(narration_.PauseOrResume(NarrationSeconds()));
}

void BookPlayer::ToggleAnimationButton() {
  if (Settled().kind == Kind::Chapter) Send("toggleAnimation", "");
}

}  // namespace player
