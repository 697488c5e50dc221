#pragma once

#include <QIcon>
#include <string>

namespace qtdesk {

// The picture of the toolbar button with this key, drawn as a vector
// image; blank for a key it does not know.
QIcon ToolbarIcon(const std::string& key);

}  // namespace qtdesk
