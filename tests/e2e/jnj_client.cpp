// Stand-in for the conferencing client registered for .jnj files.
// It shows no window: it writes what it was given and what it could read
// back from the file to a fresh record-<n>.txt (UTF-8, key=value lines),
// so the tests see both the hand-off and how often it happened.
// Records go to %JNJ_CLIENT_RECORD_DIR% if set, else beside this exe.
#include <windows.h>  // before the other Windows headers

#include <tlhelp32.h>

#include <string>

namespace {

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring recordDir() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"JNJ_CLIENT_RECORD_DIR", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return buf;
  n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring dir(buf, n);
  return dir.substr(0, dir.find_last_of(L"\\/"));
}

// Wall clock in Unix milliseconds, comparable with time.time() on the host.
unsigned long long nowUnixMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return t.QuadPart / 10000ULL - 11644473600000ULL;
}

// The file's bytes in hex, opened as the C runtime's fopen(path, "r") opens
// it (sharing read and write), so a file another process holds open for
// writing is read as a real client would read it.
std::wstring contentHex(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return L"<error " + std::to_wstring(GetLastError()) + L">";
  std::wstring hex;
  unsigned char chunk[4096];
  DWORD read = 0;
  while (ReadFile(h, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    for (DWORD i = 0; i < read; ++i) {
      hex += L"0123456789abcdef"[chunk[i] >> 4];
      hex += L"0123456789abcdef"[chunk[i] & 15];
    }
  }
  CloseHandle(h);
  return hex;
}

// The executable name of the process that started this one ("" when it has
// already ended): tells a start through the interpreter from one by the
// launcher itself.
std::wstring parentName() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return L"";
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry))
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  std::wstring name;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry))
    if (parent != 0 && entry.th32ProcessID == parent) name = entry.szExeFile;
  CloseHandle(snap);
  return name;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const unsigned long long startedMs = nowUnixMs();
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring path = (argv && argc > 1) ? argv[1] : L"";

  std::wstring out = L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
  out += L"argc=" + std::to_wstring(argc) + L"\n";
  out += L"arg=" + path + L"\n";
  out += L"time_ms=" + std::to_wstring(startedMs) + L"\n";
  out += L"pid=" + std::to_wstring(GetCurrentProcessId()) + L"\n";
  out += L"parent=" + parentName() + L"\n";
  out += L"exists=" +
         std::wstring(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? L"1" : L"0") +
         L"\n";

  // Key names as the file holds them, in order, to catch extra or missing keys.
  static wchar_t buf[32768];
  DWORD n = path.empty()
                ? 0
                : GetPrivateProfileStringW(L"general", nullptr, L"", buf, 32768, path.c_str());
  std::wstring keys;
  for (DWORD i = 0; i < n; i += (DWORD)wcslen(buf + i) + 1)
    keys += (keys.empty() ? L"" : L",") + std::wstring(buf + i);
  out += L"keys=" + keys + L"\n";
  out += L"content_hex=" + (path.empty() ? L"" : contentHex(path)) + L"\n";

  static const wchar_t* const kKeys[] = {L"domain",   L"ip",       L"portm",       L"portm2",
                                         L"size_w",   L"size_h",   L"gui_rec_ver", L"gui_min_ver",
                                         L"backupip", L"codetype", L"UserID",      L"UserName"};
  // A default no real value uses tells "absent" apart from "empty".
  const wchar_t* const kMissing = L"\x01missing";
  for (const wchar_t* key : kKeys) {
    GetPrivateProfileStringW(L"general", key, kMissing, buf, 32768, path.c_str());
    std::wstring v = wcscmp(buf, kMissing) == 0 ? L"<missing>" : buf;
    out += L"general." + std::wstring(key) + L"=" + v + L"\n";
  }

  // CREATE_NEW picks the first unused number, so every run leaves its own file.
  std::wstring dir = recordDir();
  std::string bytes = utf8(out);
  for (int i = 1; i < 1000; ++i) {
    std::wstring file = dir + L"\\record-" + std::to_wstring(i) + L".txt";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return 2;
    }
    DWORD written = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    return 0;
  }
  return 3;
}
