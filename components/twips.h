#pragma once

namespace components {

// Lengths of windows and controls are in twips; 15 twips are one pixel at 96 DPI.
using Twips = double;
inline constexpr double kTwipsPerPixel = 15.0;

}  // namespace components
