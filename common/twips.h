// Twips (1/1440 inch) to pixels and back at a display's resolution. This is
// the one place the conversion is made: the core keeps every position and
// size in twips, and the backend realises them at the DPI of the monitor its
// window is on (96 dots per inch, 15 twips per pixel, on a display at 100 %).
#pragma once

#include <algorithm>
#include <cmath>

namespace talvo {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;
inline constexpr int kDefaultDpi = 96;

class Scale {
 public:
  constexpr explicit Scale(int dpi = kDefaultDpi) : dpi_(dpi > 0 ? dpi : kDefaultDpi) {}

  constexpr int Dpi() const { return dpi_; }

  // Nearest whole pixel, halves away from zero; values beyond any screen are
  // clamped, not wrapped.
  int ToPixels(float twips) const {
    const double pixels = std::round(static_cast<double>(twips) * dpi_ / kTwipsPerInch);
    if (!(pixels > -1e6)) return -1000000;  // also NaN
    if (pixels > 1e6) return 1000000;
    return static_cast<int>(pixels);
  }

  float ToTwips(int pixels) const {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi_);
  }

  // A length designed in pixels at 96 dpi (a focus mark's inset, a pointer's
  // size), at this resolution.
  int FromDesignPixels(int pixels) const {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi_ / kDefaultDpi));
  }

  // The width of a drawn line: one pixel up to 191 dpi, as the platform draws
  // its own borders, then one more per further 96.
  int LineWidth() const { return std::max(1, dpi_ / kDefaultDpi); }

  // A font's character height in pixels for a size in points.
  int FontPixels(float points) const {
    return static_cast<int>(std::lround(static_cast<double>(points) * dpi_ / kPointsPerInch));
  }

 private:
  int dpi_;
};

}  // namespace talvo
