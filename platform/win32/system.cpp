#include "platform/win32/system.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace talvo::win32 {
namespace {

// How often, and how far apart, a rename refused because the target is in use
// is tried again before the file is written in place.
constexpr int kRenameRetries = 10;
constexpr DWORD kRenameRetryMs = 50;

// What a rename over a file that another process holds open fails with.
bool InUse(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

// Makes the file at path hold exactly bytes without replacing it: its length
// set, the bytes written from the start and read back. The sharing admits any
// holder that lets others read and write; a holder that does not, a
// read-only file or a full disk make it fail.
bool RewriteInPlace(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  const DWORD size = static_cast<DWORD>(bytes.size());
  LARGE_INTEGER length{};
  length.QuadPart = size;
  const LARGE_INTEGER start{};
  // The length first: where it cannot change (another process has the file
  // mapped) the old content is still whole.
  if (!SetFilePointerEx(file.Get(), length, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()) ||
      !SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) {
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), size, &written, nullptr) || written != size ||
      !FlushFileBuffers(file.Get()) || !SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) {
    return false;
  }
  // A holder with write access may have written at the same time: only the
  // exact bytes, and no more, count.
  std::string back(bytes.size() + 1, '\0');
  DWORD total = 0;
  for (DWORD read = 1; read != 0 && total < back.size(); total += read) {
    if (!ReadFile(file.Get(), back.data() + total, static_cast<DWORD>(back.size()) - total, &read,
                  nullptr)) {
      return false;
    }
  }
  return total == size && back.compare(0, size, bytes) == 0;
}

// The system folder, where the interpreter lives and where what the launch
// starts runs, so that neither picks up DLLs from wherever the launcher was
// started. Empty when it cannot be had.
std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length);
}

// "Prevent access to the command prompt" (a user policy): cmd.exe then starts
// but runs no command, so the launch would end with nothing opened. Read from
// advapi32 loaded here, the program importing only what every start needs.
bool CommandPromptDisabled() {
  using GetValue = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);
  const SystemLibrary advapi32(L"advapi32.dll");
  const auto get_value = advapi32.Get<GetValue>("RegGetValueW");
  if (!get_value) return false;
  DWORD value = 0;
  DWORD size = sizeof(value);
  return get_value(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows\\System",
                   L"DisableCMD", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
         value != 0;
}

// The client opens its window after we hide, in a process whose id we do not
// have in time: the interpreter's `start` makes it, and a handler may pass the
// file to a copy already running. We may hand the right to take the
// foreground on: a click activates our window, and a launch by the keyboard or
// a screen reader comes from the last input we received. To any process,
// then; it lapses at the user's next input.
void LetTheClientComeToTheFront() { AllowSetForegroundWindow(ASFW_ANY); }

}  // namespace

Win32Files::~Win32Files() { Discard(); }

bool Win32Files::MakeDir(const std::u16string& path) {
  return CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE;
}

std::u16string Win32Files::Dir(const std::u16string& path) {
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW(Wide(path).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return {};
  FindClose(h);
  // Only a normal file counts: not hidden, system or a directory.
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  if (found.dwFileAttributes & kNotNormal) return {};
  return Utf16(found.cFileName);
}

bool Win32Files::OpenForOutput(const std::u16string& path) {
  Discard();
  target_ = Wide(path);
  complete_ = false;
  const size_t slash = target_.find_last_of(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? L"." : target_.substr(0, slash);
  wchar_t name[MAX_PATH];
  // Same folder as the target, so the final move is a rename on one volume.
  if (!GetTempFileNameW(folder.c_str(), L"tal", 0, name)) return false;
  temporary_ = name;
  file_ = ScopedHandle(
      CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_.Valid()) {
    DeleteFileW(name);
    temporary_.clear();
    return false;
  }
  complete_ = true;
  return true;
}

bool Win32Files::PrintLine(const std::u16string& text) {
  if (!file_.Valid()) return false;
  const std::wstring wide = Wide(text);
  std::string bytes;
  if (!wide.empty()) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size,
                        nullptr, nullptr);
  }
  bytes += "\r\n";
  DWORD written = 0;
  const bool ok =
      WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  if (ok) {
    bytes_ += bytes;
  } else {
    complete_ = false;
  }
  return ok;
}

bool Win32Files::CloseSlot() {
  if (!file_.Valid()) return true;
  bool ok = complete_ && FlushFileBuffers(file_.Get());
  file_.Reset();  // closed before it is renamed
  ok = ok && Replace();
  Discard();
  return ok;
}

bool Win32Files::Replace() {
  for (int retry = 0;; ++retry) {
    if (MoveFileExW(temporary_.c_str(), target_.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      temporary_.clear();
      return true;
    }
    // Anything else (a full disk, a folder gone) is a plain failure.
    if (!InUse(GetLastError())) return false;
    if (retry == kRenameRetries) break;
    ::Sleep(kRenameRetryMs);
  }
  DeleteFileW(temporary_.c_str());
  temporary_.clear();
  return RewriteInPlace(target_, bytes_);
}

void Win32Files::Discard() {
  file_.Reset();
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
  bytes_.clear();
  complete_ = false;
}

bool Win32System::StartHidden(const std::u16string& command_line) {
  if (CommandPromptDisabled()) return false;
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return false;
  // The system's own interpreter by full path: a cmd.exe planted in the
  // program's or the current folder must not run instead.
  const std::wstring interpreter = folder + L"\\cmd.exe";
  std::wstring line = Wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  LetTheClientComeToTheFront();
  // No console at all, not even a hidden one; the window style stays hidden
  // for whatever the interpreter shows nonetheless.
  if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, folder.c_str(), &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32System::OpenWithHandler(const std::u16string& path) {
  using Execute = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  // Loaded only here: a launch comes this way only where the interpreter
  // cannot run. Never unloaded: the shell may leave threads or objects of its
  // own behind, and the program ends 1.5 s later anyway.
  static const SystemLibrary shell32(L"shell32.dll");
  const auto execute = shell32.Get<Execute>("ShellExecuteExW");
  const std::wstring folder = SystemFolder();
  if (!execute || folder.empty()) return false;
  // A handler may be a shell extension that needs a single-threaded
  // apartment; an apartment of another kind already here is used as it is.
  const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::wstring file = Wide(path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No "Open with" box or error dialog: the program ends 1.5 s later and
  // says itself what failed. Done before returning, for the same reason.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = toolkit_.MainWindow();
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  LetTheClientComeToTheFront();
  return execute(&info) != FALSE;
}

Answer Win32System::ProgramRegisteredFor(std::u16string_view type) {
  // Loaded only for a launch, and kept: it may load the shell, which may
  // leave threads of its own behind.
  static const SystemLibrary shlwapi(L"shlwapi.dll");
  const auto query = shlwapi.Get<decltype(&AssocQueryStringW)>("AssocQueryStringW");
  if (!query) return Answer::CannotTell;
  const std::wstring extension = Wide(type);
  // The merged view of the machine's and the user's classes, and the user's
  // own choice of program ("Open with"), as the shell itself reads them;
  // without the "Unknown" class the shell falls back to when nothing is
  // registered. The default verb, as `start` uses. The command line rather
  // than the program it names: that one is looked for on disk, and not every
  // registration has it.
  const auto ask = [&](ASSOCSTR what) {
    constexpr DWORD kLength = 1024;  // enough to tell; a longer one comes back cut
    wchar_t text[kLength];
    DWORD length = kLength;
    return query(ASSOCF_INIT_IGNOREUNKNOWN, what, extension.c_str(), nullptr, text, &length);
  };
  // A string too long for the buffer is there all the same.
  const auto there = [](HRESULT result) { return SUCCEEDED(result) || result == E_POINTER; };
  const HRESULT command = ask(ASSOCSTR_COMMAND);
  if (there(command)) return Answer::Yes;
  if (command != HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION)) return Answer::CannotTell;
  // A verb carried out by a COM object has no command line.
  return there(ask(ASSOCSTR_DELEGATEEXECUTE)) ? Answer::Yes : Answer::No;
}

void Win32System::MsgBox(const std::u16string& text) {
  // Owned by the main window, so the window takes no clicks while it is open.
  MessageBoxW(toolkit_.MainWindow(), Wide(text).c_str(), kAppTitle, MB_OK);
}

void Win32System::Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

bool Win32System::SetWindowPos(std::intptr_t window, std::intptr_t insert_after, int x, int y,
                               int cx, int cy, unsigned flags) {
  return ::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insert_after), x, y,
                        cx, cy, flags) != FALSE;
}

void Win32System::End() { ExitProcess(0); }

}  // namespace talvo::win32
