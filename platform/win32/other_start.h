// One launcher at a time on a desktop: a second start finds the window of
// the first by its class and asks it into view instead of opening another.
#pragma once

#include "platform/win32/win32.h"

namespace talvo::win32 {

// The form window's class, which a second start looks the first one up by.
inline constexpr wchar_t kFormClassName[] = L"TalvoOfficeForm";

// A form window of another process that shows on this desktop, if any.
HWND ShowingElsewhere();
// Asks a form window to come into view: on a screen, at the top of its band.
UINT BringIntoViewMessage();

}  // namespace talvo::win32
