#pragma once

#include <optional>
#include <string>

#include "components/movie_player.h"

// The book's movie holds the bookmark and note lists; these are the names
// through which the host reads and changes them, spelled here only.
namespace lists::movie {

inline constexpr const char* kBookmarkCounter = "/bookmarkList.counter";
inline std::string BookmarkPage(int index) { return "/bookmarkList/page:" + std::to_string(index); }

inline constexpr const char* kNoteCounter = "/EBookNote.counter";
inline std::string NotePage(int index) { return "/EBookNote/notes:" + std::to_string(index) + ".page"; }
inline std::string NoteContent(int index) { return "/EBookNote/notes:" + std::to_string(index) + ".content"; }

inline constexpr const char* kDisplayedPage = "/utility/jump_number.display";
inline constexpr const char* kTotalPages = "/utility/jump_number.totalPage";

// Inputs of the labels below, shared by both lists.
inline constexpr const char* kInputPage = "inputPage";
inline constexpr const char* kInputContent = "inputContent";
inline constexpr const char* kIndex = "index";

inline constexpr const char* kAddBookmark = "addBookmark";
inline constexpr const char* kDeleteBookmark = "deleteBookmark";
inline constexpr const char* kDeleteAllBookmarks = "deleteAllBookmark";
inline constexpr const char* kAddNote = "addNote";
inline constexpr const char* kDeleteNote = "deleteNote";
inline constexpr const char* kDeleteAllNotes = "deleteAllNote";
inline constexpr const char* kEditNote = "editNote";

// A number the movie holds: 16-bit signed decimal, else nothing.
std::optional<int> ReadNumber(components::MoviePlayer& player, const std::string& variable);
// A counter that holds no number counts nothing (the movie keeps its own limits).
int ReadCount(components::MoviePlayer& player, const std::string& variable);
// Calls a label on the main timeline.
void Call(components::MoviePlayer& player, const std::string& label);
// How an entry is added: "inputPage", "inputContent", then the label. The
// texts go as they are; the movie decides what it keeps.
void AddEntry(components::MoviePlayer& player, const std::string& page, const std::string& content,
              const std::string& label);
// How entry `index` is deleted: "index", then the label.
void DeleteEntry(components::MoviePlayer& player, int index, const std::string& label);

// A manager's line for an entry: the movie's page text unchanged.
inline std::string ListLine(const std::string& page) { return "第 " + page + " 頁"; }

}  // namespace lists::movie
