// Moves the launcher's window to a monitor with another DPI as Windows does
// (WM_DPICHANGED with the suggested rectangle) and compares what it then
// paints with a window made at that DPI from the start. Wine never sends the
// message, so the tests send it here, in the program's own process.
//   dpi_change NEW_DPI   prints the sizes and "differ N": N pixels differ.
#include "platform/win32/win32.h"  // before the other Windows headers

#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/win32/sdk_gaps.h"
#include "tests/e2e/in_process.h"

namespace {

using namespace talvo;
using namespace talvo::win32;

using Launcher = InProcessLauncher;

SIZE SizeOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The client area's pixels, as the window's paint path draws them.
std::vector<DWORD> Pixels(FormWindow& window) {
  const SIZE size = SizeOf(window.Hwnd());
  ScopedGetDC screen;
  ScopedMemoryDC dc(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  ScopedBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return {};
  ScopedSelect select(dc.Get(), bitmap.Get());
  SendMessageW(window.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  GdiFlush();
  const auto* first = static_cast<const DWORD*>(bits);
  return {first, first + size.cx * size.cy};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int dpi = argc == 2 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 144;
  ResourcePictureLoader pictures;
  Win32Toolkit toolkit(pictures);

  Launcher moved(96, pictures, toolkit);
  const SIZE before = SizeOf(moved.window.Hwnd());
  RECT suggested{};
  GetWindowRect(moved.window.Hwnd(), &suggested);
  suggested.right = suggested.left + MulDiv(before.cx, dpi, 96);
  suggested.bottom = suggested.top + MulDiv(before.cy, dpi, 96);
  SendMessageW(moved.window.Hwnd(), kWmDpiChanged, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
  const SIZE after = SizeOf(moved.window.Hwnd());

  Launcher fresh(dpi, pictures, toolkit);
  const SIZE made = SizeOf(fresh.window.Hwnd());
  std::printf("before %ld %ld after %ld %ld fresh %ld %ld\n", before.cx, before.cy, after.cx,
              after.cy, made.cx, made.cy);

  const std::vector<DWORD> a = Pixels(moved.window);
  const std::vector<DWORD> b = Pixels(fresh.window);
  // Only a painted window proves anything: its margin colour in the corner
  // and the cyan face of the 02 button, left of its caption.
  const auto at = [&](const std::vector<DWORD>& pixels, int x, int y) {
    const size_t i =
        static_cast<size_t>(y) * static_cast<size_t>(after.cx) + static_cast<size_t>(x);
    return i < pixels.size() ? pixels[i] & 0xFFFFFF : 0;
  };
  const int face_x = MulDiv(60 + 825 + 45 + 300, dpi, 1440);
  const int face_y = MulDiv(750 + 1770 + 30 + 150, dpi, 1440);
  if (at(a, 0, 0) != 0x8080FF || at(a, face_x, face_y) != 0x00FFFF) {
    std::printf("not painted: %06lx %06lx\n", at(a, 0, 0), at(a, face_x, face_y));
    return 2;
  }
  size_t differ = a.size() == b.size() && !a.empty() ? 0 : a.size() + b.size() + 1;
  for (size_t i = 0; differ == 0 && i < a.size(); ++i) {
    if ((a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF)) {
      differ = 1;
      for (size_t j = i + 1; j < a.size(); ++j) differ += (a[j] & 0xFFFFFF) != (b[j] & 0xFFFFFF);
      std::printf("first difference at %zu %zu\n", i % static_cast<size_t>(after.cx),
                  i / static_cast<size_t>(after.cx));
    }
  }
  std::printf("differ %zu\n", differ);
  return differ == 0 ? 0 : 1;
}
