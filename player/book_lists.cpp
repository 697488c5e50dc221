#include "player/book_lists.h"

#include <algorithm>

#include "player/description.h"

namespace player {

namespace {
// Entry `index` (decimal text) of `list`, or null.
template <typename List>
auto At(List& list, const std::string& index) -> decltype(list.data()) {
  auto i = ParseNumber(index);
  if (!i || *i < 0 || *i >= static_cast<int>(list.size())) return nullptr;
  return &list[static_cast<std::size_t>(*i)];
}

// Removes entry `index`; later entries move down by one.
template <typename T>
bool EraseAt(std::vector<T>& list, const std::string& index) {
  T* entry = At(list, index);
  if (!entry) return false;
  list.erase(list.begin() + (entry - list.data()));
  return true;
}

// One entry per page, the list sorted by page.
template <typename T>
bool AddToPage(std::vector<T>& list, T entry) {
  auto at = std::find_if(list.begin(), list.end(), [&](const T& e) { return e.page >= entry.page; });
  if (at != list.end() && at->page == entry.page) return false;
  list.insert(at, std::move(entry));
  return true;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

void BookLists::Open(const std::string& code, int pages) {
  Close();
  code_ = code;
  pages_ = pages;
  if (storage_ && !code_.empty())
    if (auto text = storage_->Load(code_)) DecodeLists(*text, &bookmarks_, &notes_);
}

void BookLists::Close() {
  code_.clear();
  pages_ = 0;
  bookmarks_.clear();
  notes_.clear();
}

void BookLists::Save() {
  if (storage_ && !code_.empty()) storage_->Save(code_, EncodeLists(bookmarks_, notes_));
}

int BookLists::NoteIndexOf(int page) const {
  for (size_t i = 0; i < notes_.size(); ++i)
    if (notes_[i].page == page) return static_cast<int>(i);
  return -1;
}

Changes BookLists::CallLabel(const std::string& label, const MovieVariables& input) {
  // Only a page inside the book, never the last one; one entry a page.
  const int page = input.Number("inputPage");
  const bool onAPage = page > 0 && page < pages_;
  Changes changed;
  if (label == "addBookmark") {
    if (onAPage && AddToPage(bookmarks_, {page, input.Text("inputContent")})) changed = Changes::kBookmarks;
  } else if (label == "deleteBookmark") {
    if (EraseAt(bookmarks_, input.Text("index"))) changed = Changes::kBookmarks;
  } else if (label == "deleteAllBookmark") {
    bookmarks_.clear();
    changed = Changes::kBookmarks;
  } else if (label == "addNote") {
    // Never empty.
    std::string content = input.Text("inputContent");
    if (onAPage && !content.empty() && AddToPage(notes_, {page, std::move(content)}))
      changed = Changes::kNotes;
  } else if (label == "deleteNote") {
    if (EraseAt(notes_, input.Text("index"))) changed = Changes::kNotes;
  } else if (label == "deleteAllNote") {
    notes_.clear();
    changed = Changes::kNotes;
  } else if (label == "editNote") {
    if (Note* note = At(notes_, input.Text("index"))) {
      note->content = input.Text("inputContent");
      changed = Changes::kNotes;
    }
  }
  if (!changed.empty()) Save();
  return changed;
}

std::optional<std::string> BookLists::Variable(const std::string& name) const {
  if (name == "/bookmarkList.counter") return std::to_string(bookmarks_.size());
  if (name == "/EBookNote.counter") return std::to_string(notes_.size());
  const std::string bookmarkPage = "/bookmarkList/page:";
  if (StartsWith(name, bookmarkPage)) {
    const Bookmark* b = At(bookmarks_, name.substr(bookmarkPage.size()));
    return b ? std::to_string(b->page) : "";
  }
  const std::string notePrefix = "/EBookNote/notes:";
  if (StartsWith(name, notePrefix)) {
    std::string rest = name.substr(notePrefix.size());
    auto dot = rest.find('.');
    if (dot == std::string::npos) return "";
    const Note* n = At(notes_, rest.substr(0, dot));
    std::string field = rest.substr(dot + 1);
    if (!n) return "";
    if (field == "page") return std::to_string(n->page);
    if (field == "content") return n->content;
    return "";
  }
  return std::nullopt;
}

}  // namespace player
