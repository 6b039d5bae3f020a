#include "platform/win32/dpi.h"

#include "platform/win32/scoped.h"
#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {
namespace {

template <typename Function>
Function User32(const char* name) {
  return LoadedFunction<Function>(L"user32.dll", name);
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using GetForWindow = UINT(WINAPI*)(HWND);
  static const auto get = User32<GetForWindow>("GetDpiForWindow");
  if (!hwnd) return SystemDpi();
  if (get) {
    if (const UINT dpi = get(hwnd)) return static_cast<int>(dpi);
  }
  // Windows 8.1 has no GetDpiForWindow, but per-monitor DPIs all the same.
  return MonitorDpi(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

int MonitorDpi(HMONITOR monitor) {
  // shcore is loaded the first time a monitor's own DPI is asked for: on
  // Windows 10 only when a drag crosses monitors, on 8.1 at start.
  using GetForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const SystemLibrary shcore(L"shcore.dll");
  static const auto get = shcore.Get<GetForMonitor>("GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (get && monitor && SUCCEEDED(get(monitor, kEffectiveDpi, &x, &y)) && x > 0) {
    return static_cast<int>(x);
  }
  return SystemDpi();
}

int SystemDpi() {
  ScopedGetDC screen;
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace talvo::win32
