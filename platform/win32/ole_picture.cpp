// JPEG pictures through the platform's OLE picture decoder. Nothing the
// window shows is a JPEG, so ole32, oleaut32 and a COM apartment are loaded
// only when the image store's JPEGs are first read.
#include "platform/win32/picture.h"

#include <objbase.h>
#include <olectl.h>

#include <cstring>

namespace talvo::win32 {
namespace {

// {7BF80980-BF32-101A-8BBB-00AA00300CAB}
constexpr IID kIidIPicture = {
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

// The libraries and the apartment, released in the reverse order.
struct OleRuntime {
  using Initialize = HRESULT(WINAPI*)(void*, DWORD);
  using Uninitialize = void(WINAPI*)();
  using CreateStream = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);
  using LoadPicture = HRESULT(WINAPI*)(IStream*, LONG, BOOL, REFIID, void**);

  SystemLibrary ole32{L"ole32.dll"};
  SystemLibrary oleaut32{L"oleaut32.dll"};
  Uninitialize uninitialize = nullptr;
  CreateStream create_stream = nullptr;
  LoadPicture load_picture = nullptr;
  bool apartment = false;

  OleRuntime() {
    const auto initialize = ole32.Get<Initialize>("CoInitializeEx");
    uninitialize = ole32.Get<Uninitialize>("CoUninitialize");
    create_stream = ole32.Get<CreateStream>("CreateStreamOnHGlobal");
    load_picture = oleaut32.Get<LoadPicture>("OleLoadPicture");
    // Every successful call, the thread's first or a further one, is
    // balanced by one CoUninitialize.
    apartment =
        initialize && uninitialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
  }
  ~OleRuntime() {
    if (apartment) uninitialize();
  }
  bool Ready() const { return create_stream && load_picture; }
};

class OlePicture final : public Win32Picture {
 public:
  OlePicture(ComPtr<IPicture> picture, std::shared_ptr<void> runtime)
      : runtime_(std::move(runtime)), picture_(std::move(picture)) {}
  SIZE Himetric() const override {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    return {width, height};
  }
  void Draw(HDC dc, const RECT& target) const override {
    const SIZE himetric = Himetric();
    // Himetric runs bottom-up: start at the bottom edge with a negative height.
    picture_->Render(dc, target.left, target.top, target.right - target.left,
                     target.bottom - target.top, 0, himetric.cy, himetric.cx, -himetric.cy,
                     nullptr);
  }

 private:
  // Declared first so that it goes last: COM and the decoder stay loaded
  // until the picture has been released.
  std::shared_ptr<void> runtime_;
  ComPtr<IPicture> picture_;
};

}  // namespace

std::shared_ptr<void> MakeOleRuntime() {
  auto runtime = std::make_shared<OleRuntime>();
  if (!runtime->Ready()) return nullptr;
  return runtime;
}

std::shared_ptr<const Win32Picture> LoadOlePicture(std::span<const BYTE> bytes,
                                                   std::shared_ptr<void> runtime) {
  const auto* ole = static_cast<const OleRuntime*>(runtime.get());
  // The stream takes over a movable copy: the decoder wants an IStream.
  ScopedGlobal copy(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (!copy.Get()) return nullptr;
  void* target = GlobalLock(copy.Get());
  if (!target) return nullptr;
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(copy.Get());
  ComPtr<IStream> stream;
  if (FAILED(ole->create_stream(copy.Get(), TRUE, stream.Put()))) return nullptr;
  copy.Release();  // the stream frees it now
  ComPtr<IPicture> picture;
  if (FAILED(ole->load_picture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, kIidIPicture,
                               reinterpret_cast<void**>(picture.Put()))) ||
      !picture) {
    return nullptr;
  }
  return std::make_shared<OlePicture>(std::move(picture), std::move(runtime));
}

}  // namespace talvo::win32
