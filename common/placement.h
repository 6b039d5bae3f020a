// Where the window first appears: its design position when the whole window
// fits there, else the nearest position where it does.
#pragma once

#include <span>

namespace talvo {

// Screen pixels, right and bottom excluded.
struct ScreenRect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The window moved, where it must be, so that all of it lies in the work
// area of the monitor it is mostly on (the nearest one when it is on none):
// along each axis the least distance that makes it fit, and to the work
// area's left or top edge when it is wider or taller than the work area. Its
// size never changes; with no monitor known it stays where it is.
ScreenRect FirstPlacement(const ScreenRect& window, std::span<const ScreenRect> work_areas);

}  // namespace talvo
