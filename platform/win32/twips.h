// Twips and pixels at the screen's real resolution: 1440 twips to the inch.
#pragma once

#include <cmath>

namespace platform::win32 {

constexpr float TwipsPerPixelAt(int dpi) { return dpi > 0 ? 1440.0f / static_cast<float>(dpi) : 15.0f; }

inline int PixelsAt(double twips, int dpi) {
  return static_cast<int>(std::lround(twips * (dpi > 0 ? dpi : 96) / 1440.0));
}

inline float TwipsAt(int pixels, int dpi) { return static_cast<float>(pixels) * TwipsPerPixelAt(dpi); }

// A font's character height in pixels for its size in points.
inline int FontPixelsAt(double points, int dpi) {
  return static_cast<int>(std::lround(points * (dpi > 0 ? dpi : 96) / 72.0));
}

}  // namespace platform::win32
