// Shows the launcher's window, built in this process, as a user with high
// contrast on sees it. Wine cannot turn high contrast on (SPI_SETHIGHCONTRAST
// fails and SPI_GETHIGHCONTRAST always says off), so the switch the window
// reads is this program's own; the system colours are set to those of the
// High Contrast Black theme with SetSysColors, which lasts only as long as
// the Wine session, and put back before this program ends.
//   high_contrast on LIFETIME_MS           high contrast from the start
//   high_contrast later DELAY_MS LIFETIME_MS
//       switched on after DELAY_MS as Windows does it: the colours first,
//       then WM_SETTINGCHANGE with SPI_SETHIGHCONTRAST
#include "platform/win32/win32.h"  // before the other Windows headers

#include <cwchar>
#include <iterator>

#include "tests/e2e/in_process.h"

namespace {

using namespace talvo::win32;

bool high_contrast = false;
bool HighContrast() { return high_contrast; }

constexpr int kElements[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT,
                             COLOR_3DHILIGHT, COLOR_3DSHADOW,   COLOR_3DDKSHADOW, COLOR_3DLIGHT};
constexpr COLORREF kHighContrastBlack[] = {
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(128, 128, 128), RGB(255, 255, 255), RGB(192, 192, 192)};
constexpr int kCount = static_cast<int>(std::size(kElements));

void TurnOn(HWND window) {
  SetSysColors(kCount, kElements, kHighContrastBlack);
  high_contrast = true;
  SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool later = argc == 4 && std::wcscmp(argv[1], L"later") == 0;
  if (!later && !(argc == 3 && std::wcscmp(argv[1], L"on") == 0)) return 64;
  const UINT delay = later ? static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)) : 0;
  const UINT lifetime = static_cast<UINT>(std::wcstoul(argv[argc - 1], nullptr, 10));

  COLORREF saved[kCount];
  for (int i = 0; i < kCount; ++i) saved[i] = GetSysColor(kElements[i]);
  if (!later) {
    SetSysColors(kCount, kElements, kHighContrastBlack);
    high_contrast = true;
  }

  ResourcePictureLoader pictures;
  Win32Toolkit toolkit(pictures);
  InProcessLauncher launcher(0, pictures, toolkit, HighContrast);
  talvo::IgnoreFailure(launcher.form.Me.SetVisible(true));

  const UINT_PTR switch_timer = later ? SetTimer(nullptr, 0, delay, nullptr) : 0;
  const UINT_PTR end_timer = SetTimer(nullptr, 0, lifetime, nullptr);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
      if (msg.wParam == end_timer) break;
      if (msg.wParam == switch_timer) {
        KillTimer(nullptr, switch_timer);
        TurnOn(launcher.window.Hwnd());
      }
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  SetSysColors(kCount, kElements, saved);
  return 0;
}
