#include "platform/win32/dpi.h"

#include "platform/win32/scoped.h"

namespace talvo::win32 {
namespace {

template <typename Function>
Function User32(const char* name) {
  return LoadedFunction<Function>(L"user32.dll", name);
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcWork;
    reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(
        {r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

}  // namespace

void DeclarePerMonitorAwareness() {
  // Windows 10 1703 and later: per-monitor v2, else v1.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (const auto set = User32<SetContext>("SetProcessDpiAwarenessContext")) {
    if (set(reinterpret_cast<HANDLE>(-4)) || set(reinterpret_cast<HANDLE>(-3))) return;
  }
  // Windows 8.1: per-monitor, from shcore.
  SystemLibrary shcore(L"shcore.dll");
  using SetAwareness = HRESULT(WINAPI*)(int);
  if (const auto set = shcore.Get<SetAwareness>("SetProcessDpiAwareness")) {
    if (SUCCEEDED(set(2))) return;
  }
  // Vista to 8: one DPI for the whole system, but no stretching.
  using SetAware = BOOL(WINAPI*)();
  if (const auto set = User32<SetAware>("SetProcessDPIAware")) set();
}

int WindowDpi(HWND hwnd) {
  using GetForWindow = UINT(WINAPI*)(HWND);
  static const auto get = User32<GetForWindow>("GetDpiForWindow");
  if (get && hwnd) {
    if (const UINT dpi = get(hwnd)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemDpi() {
  ScopedGetDC screen;
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
  return dpi > 0 ? dpi : kDefaultDpi;
}

std::vector<ScreenRect> WorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace talvo::win32
