// Text in the definition's fonts at a display's resolution. Arial has no
// Chinese glyphs, so runs it lacks are drawn with the first Traditional
// Chinese face that is installed.
#pragma once

#include <string_view>

#include "common/form_def.h"
#include "common/twips.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

class TextFont {
 public:
  TextFont(const def::Font& font, const Scale& scale);

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

// The face used for characters Arial lacks; empty when none is installed.
const std::wstring& ChineseFallbackFace();

}  // namespace talvo::win32
