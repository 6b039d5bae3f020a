#include "common/placement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace talvo {
namespace {

long long Overlap(const ScreenRect& a, const ScreenRect& b) {
  const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Squared gap between two rectangles (0 when they touch or overlap).
long long Gap(const ScreenRect& a, const ScreenRect& b) {
  const long long dx = std::max({0, b.left - a.right, a.left - b.right});
  const long long dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
  return dx * dx + dy * dy;
}

// The start of a span of `length` moved the least into [low, high).
int Fit(int start, int length, int low, int high) {
  if (length >= high - low) return low;
  return std::clamp(start, low, high - length);
}

}  // namespace

int HomeArea(const ScreenRect& window, std::span<const ScreenRect> areas) {
  int home = -1;
  long long best_overlap = 0;
  long long best_gap = std::numeric_limits<long long>::max();
  for (int i = 0; i < static_cast<int>(areas.size()); ++i) {
    const ScreenRect& area = areas[static_cast<std::size_t>(i)];
    const long long overlap = Overlap(window, area);
    const long long gap = Gap(window, area);
    if (overlap > best_overlap || (best_overlap == 0 && overlap == 0 && gap < best_gap)) {
      home = i;
      best_overlap = overlap;
      best_gap = gap;
    }
  }
  return home;
}

ScreenRect FirstPlacement(const ScreenRect& window, std::span<const ScreenRect> work_areas) {
  const int index = HomeArea(window, work_areas);
  if (index < 0) return window;
  const ScreenRect& home = work_areas[static_cast<std::size_t>(index)];
  const int left = Fit(window.left, window.Width(), home.left, home.right);
  const int top = Fit(window.top, window.Height(), home.top, home.bottom);
  return {left, top, left + window.Width(), top + window.Height()};
}

bool WhollyOn(const ScreenRect& window, std::span<const ScreenRect> work_areas) {
  // Work areas of different monitors do not overlap.
  long long covered = 0;
  for (const ScreenRect& area : work_areas) covered += Overlap(window, area);
  return covered == static_cast<long long>(window.Width()) * window.Height();
}

ScreenRect ScaledAround(const ScreenRect& window, int x, int y, int old_dpi, int new_dpi, int width,
                        int height) {
  if (old_dpi <= 0 || new_dpi <= 0)
    return {window.left, window.top, window.left + width, window.top + height};
  // The same spot in twips is this many pixels from the corner at the new
  // resolution, rounded as twips are.
  const auto scaled = [&](int offset) {
    return static_cast<int>(std::lround(static_cast<double>(offset) * new_dpi / old_dpi));
  };
  const int left = x - scaled(x - window.left);
  const int top = y - scaled(y - window.top);
  return {left, top, left + width, top + height};
}
std::optional<ScreenRect> RescaledForDrag(const ScreenRect& window, int x, int y, int old_dpi,
                                          int new_dpi, int width, int height,
                                          std::span<const Monitor> monitors) {
  const ScreenRect there = ScaledAround(window, x, y, old_dpi, new_dpi, width, height);
  std::vector<ScreenRect> bounds;
  for (const Monitor& monitor : monitors) bounds.push_back(monitor.bounds);
  const int home = HomeArea(there, bounds);
  if (home < 0) return there;
  const Monitor& monitor = monitors[static_cast<std::size_t>(home)];
  if (monitor.dpi != new_dpi) return std::nullopt;
  const int rise = monitor.work.top - there.top;
  if (rise <= 0) return there;
  return ScreenRect{there.left, there.top + rise, there.right, there.bottom + rise};
}

}  // namespace talvo
