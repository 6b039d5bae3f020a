// The one place the backend includes <windows.h>, with the small helpers
// every backend file needs.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "common/platform.h"
#include "common/twips.h"

namespace talvo::win32 {

inline COLORREF ResolveColour(Colour colour) {
  if (colour & kSystemColour) return GetSysColor(static_cast<int>(colour & kSystemColourIndex));
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

// char16_t and wchar_t are the same 16-bit units on Windows.
inline std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string Utf16(std::wstring_view text) { return {text.begin(), text.end()}; }

}  // namespace talvo::win32
