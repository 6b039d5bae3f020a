#include "platform/win32/picture.h"

#include <ole2.h>

#include <cstring>
#include <string>

namespace talvo::win32 {
namespace {

constexpr long kHimetricPerInch = 2540;

int HimetricToPixels(OLE_XSIZE_HIMETRIC himetric) {
  return static_cast<int>((static_cast<long long>(himetric) * kDefaultDpi + kHimetricPerInch / 2) /
                          kHimetricPerInch);
}

}  // namespace

SIZE Win32Picture::Himetric() const {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  return {width, height};
}

SIZE Win32Picture::Pixels() const {
  const SIZE himetric = Himetric();
  return {HimetricToPixels(himetric.cx), HimetricToPixels(himetric.cy)};
}

void Win32Picture::Render(HDC dc, int x, int y) const {
  const SIZE himetric = Himetric();
  const SIZE pixels = Pixels();
  // Himetric runs bottom-up: start at the bottom edge with a negative height.
  picture_->Render(dc, x, y, pixels.cx, pixels.cy, 0, himetric.cy, himetric.cx, -himetric.cy,
                   nullptr);
}

HICON Win32Picture::Icon() const {
  short type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture_->get_Type(&type)) || type != PICTYPE_ICON) return nullptr;
  if (FAILED(picture_->get_Handle(&handle))) return nullptr;
  return reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle));
}

std::shared_ptr<const Win32Picture> LoadResourcePicture(std::string_view asset) {
  const std::wstring name(asset.begin(), asset.end());
  HRSRC resource = FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(nullptr, resource);
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return nullptr;

  // The stream owns a movable copy: OleLoadPicture wants an IStream.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  void* target = GlobalLock(copy);
  if (!target) {
    GlobalFree(copy);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(copy);
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.Put()))) {
    GlobalFree(copy);
    return nullptr;
  }
  IPicture* picture = nullptr;
  if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&picture))) ||
      !picture) {
    return nullptr;
  }
  return std::make_shared<const Win32Picture>(picture);
}

}  // namespace talvo::win32
