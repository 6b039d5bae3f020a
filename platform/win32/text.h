// Text in the definition's fonts at a display's resolution. Arial has no
// Chinese glyphs, so runs it lacks are drawn with the first Traditional
// Chinese face, in order of preference, that has glyphs for them.
#pragma once

#include <string>
#include <string_view>

#include "common/form_def.h"
#include "common/twips.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

// The Chinese face the last text took, kept by whoever owns the fonts (the
// control tree) and tried first by the next: one face usually draws them all.
struct FallbackFace {
  std::wstring name;  // empty until a text needed one
};

class TextFont {
 public:
  // `text`: what the font is for; it decides whether a second face is needed.
  TextFont(const def::Font& font, const Scale& scale, std::u16string_view text,
           FallbackFace& chosen);

  SIZE Measure(HDC dc, std::u16string_view text) const;
  // One line, transparent background, aligned horizontally in `box` and
  // placed at its top (or centred vertically when `centre` is set).
  void Draw(HDC dc, std::u16string_view text, const RECT& box, def::Align align, COLORREF colour,
            bool centre = false) const;

 private:
  template <typename Visit>
  void ForEachRun(HDC dc, std::u16string_view text, Visit visit) const;

  ScopedFont base_;
  ScopedFont fallback_;
};

}  // namespace talvo::win32
