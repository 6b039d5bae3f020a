#include "common/placement.h"

#include <algorithm>
#include <limits>

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

ScreenRect FirstPlacement(const ScreenRect& window, std::span<const ScreenRect> work_areas) {
  const ScreenRect* home = nullptr;
  long long best_overlap = 0;
  long long best_gap = std::numeric_limits<long long>::max();
  for (const ScreenRect& area : work_areas) {
    const long long overlap = Overlap(window, area);
    const long long gap = Gap(window, area);
    if (overlap > best_overlap || (best_overlap == 0 && overlap == 0 && gap < best_gap)) {
      home = &area;
      best_overlap = overlap;
      best_gap = gap;
    }
  }
  if (!home) return window;
  const int left = Fit(window.left, window.Width(), home->left, home->right);
  const int top = Fit(window.top, window.Height(), home->top, home->bottom);
  return {left, top, left + window.Width(), top + window.Height()};
}

}  // namespace talvo
