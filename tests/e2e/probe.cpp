// A console program the end-to-end tests run under Wine beside the launcher:
//   probe pictures  decodes every embedded picture through the platform and
//                   prints its natural size, then the number of windows the
//                   image store created (it must create none);
//   probe window    prints the launcher window's styles and rectangle.
#include "platform/win32/win32.h"  // before the other Windows headers

#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "image_store/subset.h"
#include "platform/win32/picture.h"

namespace {

using talvo::win32::LoadResourcePicture;

void PrintPicture(const char* asset) {
  auto picture = LoadResourcePicture(asset);
  if (!picture) {
    std::printf("%s missing\n", asset);
    return;
  }
  const SIZE himetric = picture->Himetric();
  const SIZE pixels = picture->Pixels();
  std::printf("%s %ld %ld %ld %ld\n", asset, himetric.cx, himetric.cy, pixels.cx, pixels.cy);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int Pictures() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  for (const char* asset : {"app", "exit", "pointer"}) PrintPicture(asset);
  for (const talvo::def::PictureDef& picture : talvo::def::kSubSetPictures) {
    PrintPicture(std::string(picture.asset).c_str());
  }
  talvo::win32::ResourcePictureLoader loader;
  talvo::SubSetInstance store(loader);
  const bool same = store->Color01.Picture() == store->Color01.Picture();
  int windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
  std::printf("store-windows %d same-picture %d\n", windows, same ? 1 : 0);
  CoUninitialize();
  return 0;
}

int Window() {
  HWND hwnd = FindWindowW(L"TalvoOfficeSurface", nullptr);
  if (!hwnd) {
    std::printf("no-window\n");
    return 2;
  }
  RECT r{};
  GetWindowRect(hwnd, &r);
  RECT client{};
  GetClientRect(hwnd, &client);
  std::printf("style %08lx exstyle %08lx rect %ld %ld %ld %ld client %ld %ld visible %d\n",
              static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_EXSTYLE)), r.left, r.top,
              r.right - r.left, r.bottom - r.top, client.right, client.bottom,
              IsWindowVisible(hwnd) ? 1 : 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcscmp(argv[1], L"pictures") == 0) return Pictures();
  if (argc == 2 && std::wcscmp(argv[1], L"window") == 0) return Window();
  std::fprintf(stderr, "usage: probe pictures|window\n");
  return 64;
}
