// Twips (1/1440 inch) to pixels and back. The program assumes 96 dots per
// inch, 15 twips per pixel, whatever the display says; this is the one place
// that conversion is made.
#pragma once

#include <cmath>

namespace talvo {

inline constexpr float kTwipsPerPixel = 15;
inline constexpr int kDotsPerInch = 96;

// Nearest whole pixel; values beyond any screen are clamped, not wrapped.
inline int ToPixels(float twips) {
  const float pixels = std::round(twips / kTwipsPerPixel);
  if (!(pixels > -1e6f)) return -1000000;  // also NaN
  if (pixels > 1e6f) return 1000000;
  return static_cast<int>(pixels);
}

inline float ToTwips(int pixels) { return static_cast<float>(pixels) * kTwipsPerPixel; }

}  // namespace talvo
