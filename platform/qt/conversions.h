#pragma once

#include <QString>
#include <cmath>
#include <string>

#include "components/twips.h"

namespace qtdesk {

// Twips to logical pixels: 15 twips a pixel at 96 DPI; Qt scales logical
// pixels to the screen.
inline int Px(components::Twips twips) {
  return static_cast<int>(std::lround(twips / components::kTwipsPerPixel));
}
inline components::Twips FromPx(int pixels) { return pixels * components::kTwipsPerPixel; }

// The system's strings are UTF-8.
inline QString ToQString(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace qtdesk
