// Twips and pixels at the screen's real resolution: 1440 twips to the inch.
// Windows lays windows out in pixels of the primary screen's logical
// resolution, so a design scales with it (at 120 dpi a twip is 1/12 of a
// pixel). At 96 dpi, and where a display reports no resolution, this is
// ui::PixelsFromTwips, fifteen twips to the pixel; the Qt backend always
// uses that and leaves the scaling to the toolkit's device pixel ratio.
#pragma once

#include <cmath>

#include "design.h"

namespace platform::win32 {

constexpr float TwipsPerPixelAt(int dpi) {
  return dpi > 0 ? 1440.0f / static_cast<float>(dpi) : static_cast<float>(ui::TwipsPerPixel);
}

// Scaled from 96 dpi to the screen's resolution, then fifteen to the pixel.
inline int PixelsAt(double twips, int dpi) { return ui::PixelsFromTwips(dpi > 0 ? twips * dpi / 96.0 : twips); }

inline float TwipsAt(int pixels, int dpi) { return static_cast<float>(pixels) * TwipsPerPixelAt(dpi); }

// A font's character height in pixels for its size in points.
inline int FontPixelsAt(double points, int dpi) {
  return static_cast<int>(std::lround(points * (dpi > 0 ? dpi : 96) / 72.0));
}

}  // namespace platform::win32
