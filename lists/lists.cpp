#include "lists/lists.h"

#include "components/number.h"
#include "lists/dialogs.h"
#include "lists/movie_lists.h"
#include "lists/pages.h"

namespace lists {

using namespace components;

Lists::Lists(shell::Program& program, bridge::Bridge& bridge) : program_(program) {
  Window& main = program_.MainWindow();
  main.OnMenu("leftBookmark", [this] { AddBookmark(LeftPage); });
  main.OnMenu("rightBookmark", [this] { AddBookmark(RightPage); });
  main.OnMenu("addBookmark2", [this] { AddBookmark(CurrentPage); });
  main.OnMenu("bookmarkAdmin1", [this] { ShowBookmarkManager(program_); });
  main.OnMenu("bookmarkAdmin2", [this] { ShowBookmarkManager(program_); });
  main.OnMenu("leftNote", [this] { AddNote(LeftPage); });
  main.OnMenu("rightNote", [this] { AddNote(RightPage); });
  main.OnMenu("addNotes2", [this] { AddNote(CurrentPage); });
  main.OnMenu("noteAdmin1", [this] { ShowNoteManager(program_); });
  main.OnMenu("noteAdmin2", [this] { ShowNoteManager(program_); });
  bridge.dispatcher().actions().viewNote = [this](const std::string& args) { ViewNote(args); };
}

void Lists::AddBookmark(std::optional<int> (*choosePage)(MoviePlayer&)) {
  MoviePlayer& player = program_.Player();
  // Full first: nothing else is read or opened then.
  if (movie::ReadCount(player, movie::kBookmarkCounter) >= 20) {
    MessageBox box;
    box.text = "書籤已滿，請先刪除再加";
    box.buttons = Buttons::OK;
    box.icon = Icon::None;
    program_.system().desktop.MsgBox(box);
    return;
  }
  if (std::optional<int> page = choosePage(player)) ShowAddBookmark(program_, *page);
}

void Lists::AddNote(std::optional<int> (*choosePage)(MoviePlayer&)) {
  // No limit on notes here: the counter is not read.
  if (std::optional<int> page = choosePage(program_.Player())) ShowAddNote(program_, *page);
}

void Lists::ViewNote(const std::string& args) {
  // "03" is note 3. A text that is no 16-bit number, or a number past the
  // movie's notes, names no note: an empty viewer would take an edit that
  // the movie then drops.
  std::optional<int> index = ParseInt16(args);
  if (!index || *index < 0 || *index >= movie::ReadCount(program_.Player(), movie::kNoteCounter)) return;
  ShowNoteViewer(program_, program_.MainWindow(), *index,
                 program_.Player().GetVariable(movie::NoteContent(*index)));
}

std::vector<DesignAsShown> ListsDesigns() {
  return {{AddBookmarkDesign(), {{"Text1", "30"}}},
          {BookmarkManagerDesign(), {}},
          {AddNoteDesign(), {{"Text1", "30"}}},
          {NoteManagerDesign(), {}},
          {NoteViewerDesign(), {}}};
}

}  // namespace lists
