// The colours a paint uses. Normally the definition's own; while the user
// has high contrast on, the system's pairs instead: picture boxes and the
// window in the window colour with no skin picture behind text, labels in
// the window-text colour, buttons in the button-face colour with button
// text, and drawn frames in the system's 3D colours. The platform's own
// controls do the same, so a low-vision user gets the contrast they chose.
#pragma once

#include "common/platform.h"
#include "platform/win32/win32.h"

namespace talvo::win32 {

class Palette {
 public:
  explicit Palette(bool high_contrast) : high_contrast_(high_contrast) {}

  // A picture box's or the window's back colour.
  COLORREF Back(Colour defined) const;
  // Whether skin pictures show (they would stand behind text).
  bool Pictures() const { return !high_contrast_; }
  COLORREF LabelText(Colour defined) const;
  COLORREF ButtonFace(Colour defined) const;
  COLORREF ButtonText() const { return GetSysColor(COLOR_BTNTEXT); }
  // A colour drawn on a surface (frames).
  COLORREF Drawn(Colour defined) const;

 private:
  bool high_contrast_;
};

// Whether the user has high contrast on, as the platform reports it.
bool SystemHighContrast();

}  // namespace talvo::win32
