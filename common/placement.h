// Where the window stands on the monitors: where it first appears (its
// design position when the whole window fits there, else the nearest
// position where it does), and where it goes when a drag carries it onto a
// monitor with another resolution.
#pragma once

#include <optional>
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

// Whether every pixel of the window lies in one work area or another (a
// window may stand across two monitors).
bool WhollyOn(const ScreenRect& window, std::span<const ScreenRect> work_areas);

// A monitor: its whole area, its work area and its resolution.
struct Monitor {
  ScreenRect bounds;
  ScreenRect work;
  int dpi;
};

// The area a window is mostly on, or the nearest one when it is on none, as
// the platform picks a window's monitor; -1 when there is no area.
int HomeArea(const ScreenRect& window, std::span<const ScreenRect> areas);

// The window at another resolution, `width` x `height` pixels, placed so that
// the screen point (x, y) stays over the same spot of it: that spot's distance
// from the window's corner, in twips, is kept.
ScreenRect ScaledAround(const ScreenRect& window, int x, int y, int old_dpi, int new_dpi, int width,
                        int height);

// A drag has carried the window onto a monitor of `new_dpi`: the window at
// that resolution around the pointer (x, y), or nothing yet where it would
// then stand mostly on a monitor of another resolution, from where the
// platform would switch it straight back (a pointer in the far part of the
// caption, moving onto a larger scale). The old scale then holds until the
// pointer has gone far enough for the new one to hold. Grown around the
// pointer, the window is kept from rising above that monitor's work area.
std::optional<ScreenRect> RescaledForDrag(const ScreenRect& window, int x, int y, int old_dpi,
                                          int new_dpi, int width, int height,
                                          std::span<const Monitor> monitors);

}  // namespace talvo
