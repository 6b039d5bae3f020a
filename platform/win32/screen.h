// The monitors a window can stand on: their work areas for placing it, their
// resolutions for a drag that carries it from one to another, and the screen
// as the caption drag sees it (the work area under the pointer, in twips at
// the window's resolution).
#pragma once

#include <vector>

#include "common/placement.h"
#include "common/platform.h"
#include "common/twips.h"
#include "platform/win32/win32.h"

namespace talvo::win32 {

// The work area of every monitor (the screen less its task bars).
std::vector<ScreenRect> WorkAreas();
// Every monitor's bounds, work area and resolution.
std::vector<Monitor> Monitors();
// A window's rectangle on the screen.
ScreenRect WindowRectOf(HWND hwnd);
// Where the pointer was for the message being handled: a drag's moves are
// answered one by one, also when they queue up.
POINT PointerPosition();

class WindowScreen final : public Screen {
 public:
  // `scale`: the window's, which its position in twips is read at.
  explicit WindowScreen(const Scale& scale) : scale_(scale) {}
  float WorkAreaTopUnderPointer() const override;

 private:
  const Scale& scale_;
};

}  // namespace talvo::win32
