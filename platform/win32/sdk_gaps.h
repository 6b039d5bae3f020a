// Names the Windows headers this is built with may lack: MinGW-w64's headers
// for the Windows 7 target, and Wine's. Interface ids are spelled out here
// because MinGW's import library has a wrong IID_IAccessible and the program
// links no COM libraries. The tests' own Windows programs use them too.
#pragma once

#include "platform/win32/win32.h"

namespace talvo::win32 {

// Messages.
inline constexpr UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1

// Whether a window is on another virtual desktop (DwmGetWindowAttribute).
inline constexpr DWORD kDwmCloaked = 14;  // DWMWA_CLOAKED, Windows 8

// What a monitor's DPI is asked for (Windows 8.1's GetDpiForMonitor).
inline constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// Interface ids.
inline constexpr IID kIidIUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidIDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidIAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr IID kIidIPicture = {
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

}  // namespace talvo::win32
