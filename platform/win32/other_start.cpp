#include "platform/win32/other_start.h"

#include "platform/win32/scoped.h"
#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {
namespace {

// Visible but not on this virtual desktop (Windows 10 and later), where the
// user would not see it come into view.
bool Cloaked(HWND hwnd) {
  using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
  static const SystemLibrary dwmapi(L"dwmapi.dll");
  static const auto get = dwmapi.Get<GetAttribute>("DwmGetWindowAttribute");
  DWORD cloaked = 0;
  return get && SUCCEEDED(get(hwnd, kDwmCloaked, &cloaked, sizeof(cloaked))) && cloaked;
}

}  // namespace

HWND ShowingElsewhere() {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, kFormClassName, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, kFormClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(hwnd) && !Cloaked(hwnd)) return hwnd;
  }
  return nullptr;
}

UINT BringIntoViewMessage() {
  // Registered when first needed: by a second start, or when a message from
  // the registered range first reaches the window.
  static const UINT message = RegisterWindowMessageW(L"TalvoInternetOffice.BringIntoView");
  return message;
}

}  // namespace talvo::win32
