#pragma once

#include <string>

namespace qtdesk {

// Makes the program's icon every window's: one QIcon of each
// `programFolder`/icons/reader-<N>.png, N the size it was drawn for. A file
// that is not an N x N picture is left out; with none left, nothing changes.
// Call it once the application object exists; it reads only the headers now.
void LoadWindowIcon(const std::string& programFolder);

}  // namespace qtdesk
