// JPEG pictures through the platform's OLE picture decoder. Nothing the
// window shows is a JPEG, so ole32, oleaut32 and a COM apartment are loaded
// only when the image store's JPEGs are first read.
#include "platform/win32/picture.h"

#include <objbase.h>
#include <olectl.h>

#include <cstring>

#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {

// The decoder's libraries in a COM apartment, left last.
struct OleRuntime {
  using CreateStream = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);
  using LoadPicture = HRESULT(WINAPI*)(IStream*, LONG, BOOL, REFIID, void**);

  ComApartment com;
  SystemLibrary oleaut32{L"oleaut32.dll"};
  CreateStream create_stream = com.Ole32().Get<CreateStream>("CreateStreamOnHGlobal");
  LoadPicture load_picture = oleaut32.Get<LoadPicture>("OleLoadPicture");

  bool Ready() const { return create_stream && load_picture; }
};

namespace {

class OlePicture final : public Win32Picture {
 public:
  OlePicture(ComPtr<IPicture> picture, std::shared_ptr<const OleRuntime> runtime)
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
  std::shared_ptr<const OleRuntime> runtime_;
  ComPtr<IPicture> picture_;
};

}  // namespace

std::shared_ptr<const OleRuntime> MakeOleRuntime() {
  auto runtime = std::make_shared<OleRuntime>();
  if (!runtime->Ready()) return nullptr;
  return runtime;
}

std::shared_ptr<const Win32Picture> LoadOlePicture(std::span<const BYTE> bytes,
                                                   std::shared_ptr<const OleRuntime> runtime) {
  const OleRuntime* ole = runtime.get();
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
