#include "platform/win32/other_start.h"

#include <string>

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

// Paths past MAX_PATH, where long paths are enabled.
constexpr DWORD kLongestPath = 32768;

// The full path of the program a process runs, as the system names it; empty
// where the process cannot be asked (another user's, or one that ended).
std::wstring ProgramOf(HANDLE process) {
  std::wstring path(kLongestPath, L'\0');
  DWORD length = kLongestPath;
  if (!process || !QueryFullProcessImageNameW(process, 0, path.data(), &length)) return {};
  path.resize(length);
  return path;
}

bool InThisSession(DWORD process) {
  DWORD theirs = 0;
  DWORD ours = 0;
  return ProcessIdToSessionId(process, &theirs) &&
         ProcessIdToSessionId(GetCurrentProcessId(), &ours) && theirs == ours;
}

// Any program may register a window class of this name; only this program,
// in this session, counts as another start. Both paths come from the same
// call, so a start by a short (8.3) name or another letter case still
// matches.
bool SameProgram(DWORD process) {
  if (!InThisSession(process)) return false;
  const ScopedHandle other(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  const std::wstring theirs = ProgramOf(other.Get());
  const std::wstring ours = ProgramOf(GetCurrentProcess());
  return !theirs.empty() &&
         CompareStringOrdinal(theirs.c_str(), static_cast<int>(theirs.size()), ours.c_str(),
                              static_cast<int>(ours.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

HWND ShowingElsewhere() {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, kFormClassName, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, kFormClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(hwnd) && !Cloaked(hwnd) &&
        SameProgram(process)) {
      return hwnd;
    }
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
