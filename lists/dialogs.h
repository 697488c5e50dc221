#pragma once

#include <string>
#include <vector>

#include "components/window.h"
#include "shell/program.h"

// The windows of the bookmark and note lists: each a design from its table
// and the one call that opens it, modal, created afresh at each opening.
namespace lists {

components::WindowDesign AddBookmarkDesign();
// Shows page in the page box; "新增" hands it and the title to the movie.
void ShowAddBookmark(shell::Program& program, int page);

components::WindowDesign BookmarkManagerDesign();
void ShowBookmarkManager(shell::Program& program);

components::WindowDesign AddNoteDesign();
void ShowAddNote(shell::Program& program, int page);

components::WindowDesign NoteManagerDesign();
void ShowNoteManager(shell::Program& program);

components::WindowDesign NoteViewerDesign();
// The note with this index (its place in the movie's list) and its text,
// modal over owner; "修改" sends the edited text back for that index.
void ShowNoteViewer(shell::Program& program, components::Window& owner, int index, const std::string& text);

// Every window of the lists, as shown.
std::vector<components::DesignAsShown> ListsDesigns();

}  // namespace lists
