#include "platform/win32/files.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace talvo::win32 {
namespace {

// How often, and how far apart, a rename refused because the target is in use
// is tried again before the file is written in place.
constexpr int kRenameRetries = 10;
constexpr DWORD kRenameRetryMs = 50;
// Names tried for the temporary file before giving up: one only taken by
// chance, or by someone squatting on names.
constexpr int kTemporaryNameTries = 16;

// What a rename over a file that another process holds open fails with.
bool InUse(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

bool IsRealFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A folder and no link (junction, mount point, symbolic link) by its path's
// attributes, which name the link itself.
bool RealFolder(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && IsRealFolder(attributes);
}

bool RealFolder(HANDLE folder) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(folder, &info) && IsRealFolder(info.dwFileAttributes);
}

// The folders that lead to path below its drive's root, outermost first:
// C:\MrvPrg and C:\MrvPrg\Tamsell for C:\MrvPrg\Tamsell\TamSell.jnj.
std::vector<std::wstring> FoldersOf(const std::wstring& path) {
  std::vector<std::wstring> folders;
  const size_t root = path.size() > 2 && path[1] == L':' ? 3 : 0;
  for (size_t slash = path.find(L'\\', root); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1)) {
    folders.push_back(path.substr(0, slash));
  }
  return folders;
}

// Opens a real folder and holds it. The open names the link itself where
// there is one; both the path's and the handle's attributes are checked, as
// some systems show a link on only one of them. Not shared for deleting, it
// cannot be renamed, deleted or replaced while held; once a file is open in
// it, it cannot be made a junction either. It is shared for writing: the
// rename into it opens it to add a name, and would be refused otherwise.
ScopedHandle HoldFolder(const std::wstring& folder) {
  if (!RealFolder(folder)) return {};
  ScopedHandle held(CreateFileW(
      folder.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!held.Valid() || !RealFolder(held.Get())) return {};
  return held;
}

// A name for the temporary file that no earlier launch will have left.
std::wstring TemporaryName(int attempt) {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return L"tal" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(static_cast<std::uint32_t>(now.QuadPart) + attempt) + L".tmp";
}

// Makes the file at path hold exactly bytes without replacing it: its length
// set, the bytes written from the start and read back. The sharing admits any
// holder that lets others read and write; a holder that does not, a
// read-only file or a full disk make it fail. So does anything but a plain
// file with this one name: through a link or a second name the write would
// land in a file the launch has no business changing.
bool RewriteInPlace(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid()) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.Get(), &info) || info.nNumberOfLinks != 1 ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      GetFileType(file.Get()) != FILE_TYPE_DISK) {
    return false;
  }
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

}  // namespace

Win32Files::~Win32Files() { Discard(); }

bool Win32Files::MakeDir(const std::u16string& path) {
  std::wstring folder = Wide(path);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  // Inside a link the folder would be made wherever the link leads.
  for (const std::wstring& parent : FoldersOf(folder)) {
    if (!RealFolder(parent)) return false;
  }
  return CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

std::u16string Win32Files::Dir(const std::u16string& path) {
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW(Wide(path).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return {};
  FindClose(h);
  // Only a normal file counts: not hidden, system, a directory or a link.
  constexpr DWORD kNotNormal = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (found.dwFileAttributes & kNotNormal) return {};
  return Utf16(found.cFileName);
}

bool Win32Files::OpenForOutput(const std::u16string& path) {
  Discard();
  target_ = Wide(path);
  const std::vector<std::wstring> folders = FoldersOf(target_);
  if (folders.empty()) return false;  // the target always lies in a folder
  for (const std::wstring& folder : folders) {
    folders_.push_back(HoldFolder(folder));
    if (!folders_.back().Valid()) {
      Discard();
      return false;
    }
  }
  // Same folder as the target, so the final move is a rename within it. Made
  // new, so nothing already there (a link least of all) is opened.
  const std::wstring folder = folders.back() + L'\\';
  for (int attempt = 0; attempt < kTemporaryNameTries && !file_.Valid(); ++attempt) {
    file_ = ScopedHandle(
        CreateFileW((folder + TemporaryName(attempt)).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file_.Valid() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  // The folder may have been made a junction between its check and the
  // file's creation (not since: it is no longer empty).
  if (!file_.Valid() || !RealFolder(folders_.back().Get())) {
    Discard();
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
  const bool ok = complete_ && FlushFileBuffers(file_.Get()) && Replace();
  Discard();
  return ok;
}

bool Win32Files::Replace() {
  for (int retry = 0;; ++retry) {
    if (RenameOverTarget()) {
      file_.Reset();  // it is the target now
      return true;
    }
    // Anything else (a full disk, a folder gone) is a plain failure.
    if (!InUse(GetLastError())) return false;
    if (retry == kRenameRetries) break;
    ::Sleep(kRenameRetryMs);
  }
  DeleteTemporary();
  return RewriteInPlace(target_, bytes_);
}

// Renamed to the target's full path, which leads only through the held
// folders. Whatever has the target's name (a link too) is replaced as a
// name; what it leads to is left alone.
bool Win32Files::RenameOverTarget() {
  const size_t name_bytes = target_.size() * sizeof(wchar_t);
  std::vector<std::uint64_t> storage((sizeof(FILE_RENAME_INFO) + name_bytes + 7) / 8);
  auto* info = new (storage.data()) FILE_RENAME_INFO{};
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name_bytes);
  std::memcpy(info->FileName, target_.data(), name_bytes);
  return SetFileInformationByHandle(file_.Get(), FileRenameInfo, info,
                                    static_cast<DWORD>(storage.size() * 8)) != FALSE;
}

// Deleted through its handle, never by name: the name may lead elsewhere by
// the time it is used.
void Win32Files::DeleteTemporary() {
  if (!file_.Valid()) return;
  FILE_DISPOSITION_INFO dispose{};
  dispose.DeleteFile = TRUE;
  IgnoreFailure(SetFileInformationByHandle(file_.Get(), FileDispositionInfo, &dispose,
                                           sizeof(dispose)) != FALSE);
  file_.Reset();
}

void Win32Files::Discard() {
  DeleteTemporary();
  folders_.clear();
  bytes_.clear();
  complete_ = false;
}

}  // namespace talvo::win32
