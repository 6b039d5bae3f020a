// A console program the end-to-end tests run under Wine beside the launcher:
//   probe pictures  decodes every embedded picture through the program's own
//                   loader and prints its natural size, then the number of
//                   windows the image store created (it must create none);
//   probe window    prints the launcher window's styles, rectangle, the
//                   number of child windows it has and its text;
//   probe msaa      reads the window's accessible objects as a screen reader
//                   does, from this other process;
//   probe press N   asks for the default action of accessible child N;
//   probe select N  asks accessible child N (0: the window) to take the focus;
//   probe watch FILE S  writes "watching" to FILE, then for S seconds one line
//                   per focus or state event of the launcher's client area:
//                   the event, the child id and the child's state as read in
//                   the event;
//   probe screen W H  changes the screen's resolution, as a program may;
//   probe cues on|off  keyboard cues (focus marks always shown) on or off;
//   probe message   prints the text of the launcher's open message box;
//   probe impostor S  shows a window of the launcher's class for S seconds,
//                   as any other program may;
//   probe end-session  asks the launcher whether the session may end, then
//                   tells it the session ends, as the Restart Manager does
//                   before an upgrade replaces the program.
#include "platform/win32/win32.h"  // before the other Windows headers

#include <objbase.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "image_store/subset.h"
#include "main_window/mainform_def.h"
#include "platform/win32/picture.h"
#include "platform/win32/sdk_gaps.h"

namespace {

using talvo::win32::kIidIAccessible;
using talvo::win32::ResourcePictureLoader;

void PrintPicture(ResourcePictureLoader& loader, std::string_view asset) {
  auto picture = loader.LoadWin32(asset);
  const std::string name(asset);
  if (!picture) {
    std::printf("%s missing\n", name.c_str());
    return;
  }
  const SIZE himetric = picture->Himetric();
  const SIZE pixels = picture->Pixels(talvo::Scale());
  std::printf("%s %ld %ld %ld %ld\n", name.c_str(), himetric.cx, himetric.cy, pixels.cx, pixels.cy);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int Pictures() {
  ResourcePictureLoader loader;
  for (const auto* picture :
       {&talvo::def::kAppIcon, &talvo::def::kExitPicture, &talvo::def::kPointerIcon}) {
    PrintPicture(loader, picture->asset);
  }
  for (const talvo::def::PictureDef& picture : talvo::def::kSubSetPictures) {
    PrintPicture(loader, picture.asset);
  }
  talvo::SubSetInstance store(loader);
  const bool same = store->Color01.Picture() == store->Color01.Picture();
  int windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
  std::printf("store-windows %d same-picture %d\n", windows, same ? 1 : 0);
  return 0;
}

HWND Launcher() { return FindWindowW(L"TalvoOfficeForm", nullptr); }

std::string Utf8(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

int Window() {
  HWND hwnd = Launcher();
  if (!hwnd) {
    std::printf("no-window\n");
    return 2;
  }
  RECT r{};
  GetWindowRect(hwnd, &r);
  RECT client{};
  GetClientRect(hwnd, &client);
  int children = 0;
  EnumChildWindows(hwnd, CountWindow, reinterpret_cast<LPARAM>(&children));
  // As the taskbar and Alt+Tab read it, from another process.
  wchar_t text[256];
  const int length = GetWindowTextW(hwnd, text, 256);
  std::printf(
      "style %08lx exstyle %08lx rect %ld %ld %ld %ld client %ld %ld visible %d children %d "
      "text %s\n",
      static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_STYLE)),
      static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_EXSTYLE)), r.left, r.top,
      r.right - r.left, r.bottom - r.top, client.right, client.bottom,
      IsWindowVisible(hwnd) ? 1 : 0, children, Utf8(text, length > 0 ? length : 0).c_str());
  return 0;
}

std::string Utf8(BSTR text) {
  if (!text) return "-";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  SysFreeString(text);
  return out;
}

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// One line per child: id, role, state, screen rectangle, default action, name.
int Msaa(long press, long select) {
  HWND hwnd = Launcher();
  if (!hwnd) {
    std::printf("no-window\n");
    return 2;
  }
  IAccessible* client = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIidIAccessible,
                                        reinterpret_cast<void**>(&client))) ||
      !client) {
    std::printf("no-accessible\n");
    return 3;
  }
  if (select >= 0) {
    const HRESULT hr =
        client->accSelect(SELFLAG_TAKEFOCUS, Child(select == 0 ? CHILDID_SELF : select));
    std::printf("select %ld %s\n", select, SUCCEEDED(hr) ? "ok" : "failed");
    client->Release();
    return SUCCEEDED(hr) ? 0 : 4;
  }
  if (press > 0) {
    const HRESULT hr = client->accDoDefaultAction(Child(press));
    std::printf("press %ld %s\n", press, SUCCEEDED(hr) ? "ok" : "failed");
    client->Release();
    return SUCCEEDED(hr) ? 0 : 4;
  }
  long count = 0;
  client->get_accChildCount(&count);
  VARIANT role;
  VariantInit(&role);
  client->get_accRole(Child(CHILDID_SELF), &role);
  BSTR client_name = nullptr;
  client->get_accName(Child(CHILDID_SELF), &client_name);
  std::printf("client role %ld children %ld name %s\n", role.lVal, count,
              Utf8(client_name).c_str());
  for (long id = 1; id <= count; ++id) {
    VARIANT child_role, state;
    VariantInit(&child_role);
    VariantInit(&state);
    client->get_accRole(Child(id), &child_role);
    client->get_accState(Child(id), &state);
    long x = 0, y = 0, w = 0, h = 0;
    client->accLocation(&x, &y, &w, &h, Child(id));
    BSTR name = nullptr, action = nullptr;
    client->get_accName(Child(id), &name);
    client->get_accDefaultAction(Child(id), &action);
    const std::string action_text = Utf8(action);
    std::printf("child %ld role %ld state %lx at %ld %ld %ld %ld action %s name %s\n", id,
                child_role.lVal, state.lVal, x, y, w, h, action_text.c_str(), Utf8(name).c_str());
  }
  VARIANT focus;
  VariantInit(&focus);
  const HRESULT hr = client->get_accFocus(&focus);
  std::printf("focus %ld\n", hr == S_OK && focus.vt == VT_I4 ? focus.lVal : -1);
  client->Release();
  return 0;
}

// The resolution of the primary display, changed as a program may change it
// (Wine passes it on to the X screen and tells every window).
int Screen(long width, long height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  const LONG result = ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
  std::printf("screen %ld %ld %s\n", width, height,
              result == DISP_CHANGE_SUCCESSFUL ? "ok" : "failed");
  return result == DISP_CHANGE_SUCCESSFUL ? 0 : 5;
}

int Cues(bool on) {
  const BOOL ok = SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(on ? 1 : 0),
                                        SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  BOOL now = FALSE;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &now, 0);
  std::printf("cues %d %s\n", now ? 1 : 0, ok ? "ok" : "failed");
  return ok && (now != FALSE) == on ? 0 : 6;
}

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
  wchar_t kind[16];
  if (!GetClassNameW(child, kind, 16) || _wcsicmp(kind, L"Static") != 0) return TRUE;
  wchar_t text[1024];
  const int length = GetWindowTextW(child, text, 1024);
  if (length <= 0) return TRUE;  // the icon's place
  std::printf("%s\n", Utf8(text, length).c_str());
  return TRUE;
}

// The text of the message box the launcher shows (its caption is the program's).
int Message() {
  HWND box = FindWindowW(L"#32770", L"TALVO Internet Office");
  if (!box) {
    std::printf("no-message\n");
    return 7;
  }
  EnumChildWindows(box, PrintStatic, 0);
  return 0;
}

// The Restart Manager's pair of messages before an upgrade replaces the
// program: whether it may close, then that it must.
int EndSession() {
  HWND hwnd = Launcher();
  if (!hwnd) {
    std::printf("no-window\n");
    return 2;
  }
  DWORD_PTR agreed = 0;
  const bool asked = SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP,
                                         SMTO_ABORTIFHUNG, 5000, &agreed) != 0;
  std::printf("query %s %d\n", asked ? "answered" : "unanswered", agreed ? 1 : 0);
  if (!asked || !agreed) return 8;
  DWORD_PTR ignored = 0;
  // The program may end before it answers: no answer is no failure here.
  SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  std::printf("ended\n");
  return 0;
}

int Impostor(long seconds) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = L"TalvoOfficeForm";
  if (!RegisterClassExW(&wc)) return 9;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"impostor", WS_POPUP | WS_VISIBLE, 0, 0, 120,
                              90, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 9;
  std::printf("showing\n");
  std::fflush(stdout);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return 0;
}

FILE* watch_file = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                      DWORD) {
  if (object != OBJID_CLIENT || hwnd != Launcher()) return;
  IAccessible* accessible = nullptr;
  VARIANT id;
  VariantInit(&id);
  VARIANT state;
  VariantInit(&state);
  if (SUCCEEDED(
          AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), child, &accessible, &id)) &&
      accessible) {
    accessible->get_accState(id, &state);
    accessible->Release();
  }
  std::fprintf(watch_file, "event %lx child %ld state ", static_cast<unsigned long>(event),
               static_cast<long>(child));
  if (state.vt == VT_I4) {
    std::fprintf(watch_file, "%lx\n", static_cast<unsigned long>(state.lVal));
  } else {
    std::fprintf(watch_file, "unread\n");
  }
  std::fflush(watch_file);
}

// Out of context: the events come as messages to this thread, which pumps
// them until the time is up.
int Watch(const wchar_t* path, long seconds) {
  HWND hwnd = Launcher();
  if (!hwnd) {
    std::printf("no-window\n");
    return 2;
  }
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr,
                                       OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  watch_file = _wfopen(path, L"w");
  if (!hook || !watch_file) return 7;
  std::fprintf(watch_file, "watching\n");
  std::fflush(watch_file);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  UnhookWinEvent(hook);
  std::fclose(watch_file);
  return 0;
}

bool Is(const wchar_t* arg, const wchar_t* word) { return std::wcscmp(arg, word) == 0; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && Is(argv[1], L"pictures")) return Pictures();
  if (argc == 2 && Is(argv[1], L"window")) return Window();
  if (argc == 4 && Is(argv[1], L"screen")) {
    return Screen(std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10));
  }
  if (argc == 3 && Is(argv[1], L"cues")) return Cues(Is(argv[2], L"on"));
  if (argc == 2 && Is(argv[1], L"message")) return Message();
  if (argc == 2 && Is(argv[1], L"end-session")) return EndSession();
  if (argc == 3 && Is(argv[1], L"impostor")) return Impostor(std::wcstol(argv[2], nullptr, 10));
  const bool msaa = argc == 2 && Is(argv[1], L"msaa");
  const bool press = argc == 3 && Is(argv[1], L"press");
  const bool select = argc == 3 && Is(argv[1], L"select");
  const bool watch = argc == 4 && Is(argv[1], L"watch");
  if (msaa || press || select || watch) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const long n = std::wcstol(argv[argc - 1], nullptr, 10);
    const int status = watch ? Watch(argv[2], n) : Msaa(press ? n : 0, select ? n : -1);
    CoUninitialize();
    return status;
  }
  std::fprintf(stderr,
               "usage: probe pictures|window|msaa|press N|select N|watch FILE S|screen W H|"
               "cues on|off|message|end-session|impostor S\n");
  return 64;
}
