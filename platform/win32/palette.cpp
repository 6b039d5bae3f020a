#include "platform/win32/palette.h"

#include "common/basecomm.h"

namespace talvo::win32 {

COLORREF Palette::Back(Colour defined) const {
  return high_contrast_ ? GetSysColor(COLOR_WINDOW) : ResolveColour(defined);
}

COLORREF Palette::LabelText(Colour defined) const {
  return high_contrast_ ? GetSysColor(COLOR_WINDOWTEXT) : ResolveColour(defined);
}

COLORREF Palette::ButtonFace(Colour defined) const {
  return high_contrast_ ? GetSysColor(COLOR_BTNFACE) : ResolveColour(defined);
}

COLORREF Palette::Drawn(Colour defined) const {
  if (!high_contrast_ || (defined & kSystemColour)) return ResolveColour(defined);
  // The frames' light and dark edges and face, as the system draws its own.
  switch (defined) {
    case B03_Basecomm::kLightEdge:
      return GetSysColor(COLOR_3DHILIGHT);
    case B03_Basecomm::kDarkEdge:
      return GetSysColor(COLOR_3DSHADOW);
    case B03_Basecomm::kFaceFill:
      return GetSysColor(COLOR_3DFACE);
    default:
      return GetSysColor(COLOR_WINDOWTEXT);
  }
}

bool SystemHighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace talvo::win32
