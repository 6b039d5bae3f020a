// One small owner per kind of handle, so that no path leaks one.
#pragma once

#include <objbase.h>

#include <string>
#include <utility>

#include "platform/win32/win32.h"

namespace talvo::win32 {

// A kernel handle; both NULL and INVALID_HANDLE_VALUE count as empty.
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE h) : h_(h) {}
  ScopedHandle(ScopedHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  ~ScopedHandle() { Reset(); }
  bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }
  void Reset() {
    if (Valid()) CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_ = nullptr;
};

// A GDI object (font, pen, brush, bitmap).
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) : object_(object) {}
  GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~GdiObject() { Reset(); }
  T Get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void Reset(T object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};
using ScopedFont = GdiObject<HFONT>;
using ScopedPen = GdiObject<HPEN>;
using ScopedBrush = GdiObject<HBRUSH>;
using ScopedBitmap = GdiObject<HBITMAP>;

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// An icon or a cursor made from one.
class ScopedIcon {
 public:
  ScopedIcon() = default;
  explicit ScopedIcon(HICON icon) : icon_(icon) {}
  ScopedIcon(ScopedIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  ScopedIcon& operator=(ScopedIcon&& other) noexcept {
    if (this != &other) {
      Reset();
      icon_ = std::exchange(other.icon_, nullptr);
    }
    return *this;
  }
  ~ScopedIcon() { Reset(); }
  HICON Get() const { return icon_; }
  explicit operator bool() const { return icon_ != nullptr; }
  void Reset() {
    if (icon_) DestroyIcon(icon_);
    icon_ = nullptr;
  }

 private:
  HICON icon_ = nullptr;
};

// A metafile handle.
class ScopedMetafile {
 public:
  explicit ScopedMetafile(HMETAFILE metafile) : metafile_(metafile) {}
  ScopedMetafile(const ScopedMetafile&) = delete;
  ScopedMetafile& operator=(const ScopedMetafile&) = delete;
  ~ScopedMetafile() {
    if (metafile_) DeleteMetaFile(metafile_);
  }
  HMETAFILE Get() const { return metafile_; }

 private:
  HMETAFILE metafile_;
};

// Global memory until something takes it over.
class ScopedGlobal {
 public:
  explicit ScopedGlobal(HGLOBAL memory) : memory_(memory) {}
  ScopedGlobal(const ScopedGlobal&) = delete;
  ScopedGlobal& operator=(const ScopedGlobal&) = delete;
  ~ScopedGlobal() {
    if (memory_) GlobalFree(memory_);
  }
  HGLOBAL Get() const { return memory_; }
  HGLOBAL Release() { return std::exchange(memory_, nullptr); }

 private:
  HGLOBAL memory_;
};

// A function of a system DLL the program already has loaded, looked up by
// name because older systems lack it; null when they do.
template <typename Function>
Function LoadedFunction(const wchar_t* module, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

// The system folder, where the system's DLLs and its command interpreter
// live. Empty when it cannot be had.
inline std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length);
}

// Loads a DLL of the system folder by its bare name, from there only: never
// from the program's folder or the current one, whatever the process-wide
// search setting. Windows 7 without KB2533623 lacks the search flags (and
// AddDllDirectory, which came with them); there the full path is given, and
// the DLL's own imports are looked for beside it first; a name the
// program's manifest redirects (common controls 6) is never searched for, and
// a full path would bypass that redirection.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  static const bool search_flags =
      LoadedFunction<FARPROC>(L"kernel32.dll", "AddDllDirectory") != nullptr;
  if (search_flags) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  ACTCTX_SECTION_KEYED_DATA redirected{};
  redirected.cbSize = sizeof(redirected);
  if (FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name,
                               &redirected)) {
    return LoadLibraryW(name);
  }
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return nullptr;
  return LoadLibraryExW((folder + L'\\' + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A system DLL loaded when it is first needed rather than at start, and its
// functions looked up by name. A function the system lacks comes back null.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : module_(LoadSystemLibrary(name)) {}
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;
  ~SystemLibrary() {
    if (module_) FreeLibrary(module_);
  }
  explicit operator bool() const { return module_ != nullptr; }
  template <typename Function>
  Function Get(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

// A COM apartment on this thread while it lives, with ole32 loaded when it
// is made rather than at start. Entering again on a thread that is already
// in an apartment counts too, and every successful entry is left once.
class ComApartment {
 public:
  explicit ComApartment(DWORD flags = COINIT_APARTMENTTHREADED) {
    using Initialize = HRESULT(WINAPI*)(void*, DWORD);
    const auto initialize = ole32_.Get<Initialize>("CoInitializeEx");
    leave_ = ole32_.Get<Leave>("CoUninitialize");
    entered_ = initialize && leave_ && SUCCEEDED(initialize(nullptr, flags));
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (entered_) leave_();
  }
  // False where the thread is already in an apartment of another kind.
  bool Entered() const { return entered_; }
  // For the rest of ole32, loaded as long as the apartment lives.
  const SystemLibrary& Ole32() const { return ole32_; }

 private:
  using Leave = void(WINAPI*)();
  SystemLibrary ole32_{L"ole32.dll"};
  Leave leave_ = nullptr;
  bool entered_ = false;
};

// Puts a DC's state (clipping, mapping, selections) back on scope exit.
class ScopedSaveDC {
 public:
  explicit ScopedSaveDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ScopedSaveDC(const ScopedSaveDC&) = delete;
  ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;
  ~ScopedSaveDC() { RestoreDC(dc_, saved_); }

 private:
  HDC dc_;
  int saved_;
};

// A memory DC.
class ScopedMemoryDC {
 public:
  explicit ScopedMemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
  ~ScopedMemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// A window's DC (the screen's when no window is given), released on scope exit.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND hwnd = nullptr) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  ~ScopedGetDC() { ReleaseDC(hwnd_, dc_); }
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
  HDC Get() const { return ps_.hdc; }
  // The part of the client area to paint.
  const RECT& Area() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
};

// A COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T** Put() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace talvo::win32
