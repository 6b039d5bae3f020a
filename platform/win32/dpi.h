// The display's resolution, per monitor. The program's manifest declares it
// per-monitor DPI aware, in the forms Windows 10 (PerMonitorV2, PerMonitor),
// 8.1 (true/pm) and Vista to 8 (true) read, so Windows never stretches its
// bitmap: the window realises its twips at the DPI of the monitor it is on
// and re-realises them when it is dragged to a monitor with another DPI
// (WM_DPICHANGED). Every newer API is looked up at run time, with the screen
// DC's LOGPIXELSX as the fallback.
#pragma once

#include "platform/win32/win32.h"

namespace talvo::win32 {

// The DPI of the monitor a window is on.
int WindowDpi(HWND hwnd);
// The DPI of a monitor (Windows 8.1 and later; the system's before).
int MonitorDpi(HMONITOR monitor);
// The DPI of the primary monitor, which a window takes before it has a place.
int SystemDpi();

}  // namespace talvo::win32
