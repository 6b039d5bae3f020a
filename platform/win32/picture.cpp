#include "platform/win32/picture.h"

#include <cstring>
#include <string>

namespace talvo::win32 {
namespace {

constexpr long kHimetricPerInch = 2540;
// The icon resource format CreateIconFromResourceEx reads (3.0).
constexpr DWORD kIconFormatVersion = 0x00030000;
constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeader = 22;

unsigned U16(std::span<const BYTE> b, size_t at) { return b[at] | b[at + 1] << 8; }
DWORD U32(std::span<const BYTE> b, size_t at) { return U16(b, at) | DWORD{U16(b, at + 2)} << 16; }

int HimetricToPixels(long himetric, int dpi) {
  return static_cast<int>((static_cast<long long>(himetric) * dpi + kHimetricPerInch / 2) /
                          kHimetricPerInch);
}

// A placeable metafile: the header's box and units per inch give its
// physical size; gdi32 plays the records.
class MetafilePicture final : public Win32Picture {
 public:
  MetafilePicture(HMETAFILE metafile, RECT box, SIZE himetric)
      : metafile_(metafile), box_(box), himetric_(himetric) {}
  SIZE Himetric() const override { return himetric_; }
  void Draw(HDC dc, const RECT& target) const override {
    // The header's box, in the records' own units, maps onto the target, so
    // the drawing is sharp at any size. The mapping replaces the DC's own,
    // so the target goes into it in device units: a buffer for part of the
    // window has its origin moved.
    RECT device = target;
    LPtoDP(dc, reinterpret_cast<POINT*>(&device), 2);
    ScopedSaveDC saved(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, box_.left, box_.top, nullptr);
    SetWindowExtEx(dc, box_.right - box_.left, box_.bottom - box_.top, nullptr);
    SetViewportOrgEx(dc, device.left, device.top, nullptr);
    SetViewportExtEx(dc, device.right - device.left, device.bottom - device.top, nullptr);
    PlayMetaFile(dc, metafile_.Get());
  }

 private:
  ScopedMetafile metafile_;
  RECT box_;
  SIZE himetric_;
};

std::shared_ptr<const Win32Picture> LoadMetafile(std::span<const BYTE> file) {
  if (file.size() <= kPlaceableHeader || U32(file, 0) != kPlaceableKey) return nullptr;
  const int units = static_cast<int>(U16(file, 14));
  const RECT box{static_cast<short>(U16(file, 6)), static_cast<short>(U16(file, 8)),
                 static_cast<short>(U16(file, 10)), static_cast<short>(U16(file, 12))};
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  if (units <= 0 || width <= 0 || height <= 0) return nullptr;
  HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(file.size() - kPlaceableHeader),
                                         file.data() + kPlaceableHeader);
  if (!metafile) return nullptr;
  return std::make_shared<MetafilePicture>(
      metafile, box,
      SIZE{MulDiv(width, kHimetricPerInch, units), MulDiv(height, kHimetricPerInch, units)});
}

}  // namespace

SIZE Win32Picture::Pixels(const Scale& scale) const {
  const SIZE himetric = Himetric();
  return {HimetricToPixels(himetric.cx, scale.Dpi()), HimetricToPixels(himetric.cy, scale.Dpi())};
}

void Win32Picture::Render(HDC dc, int x, int y, const Scale& scale) const {
  const SIZE size = Pixels(scale);
  Draw(dc, {x, y, x + size.cx, y + size.cy});
}

IconPicture::IconPicture(std::span<const BYTE> file) {
  // Directory: reserved, type 1, count; then one 16-byte entry per image.
  if (file.size() < 22 || U16(file, 0) != 0 || U16(file, 2) != 1 || U16(file, 4) < 1) return;
  const DWORD bytes = U32(file, 14);
  const DWORD offset = U32(file, 18);
  if (offset > file.size() || bytes > file.size() - offset) return;
  image_ = file.subspan(offset, bytes);
  size_ = file[6] == 0 ? 256 : file[6];
}

SIZE IconPicture::Himetric() const {
  const long himetric = MulDiv(size_, kHimetricPerInch, kDefaultDpi);
  return {himetric, himetric};
}

ScopedIcon IconPicture::Icon(int pixels) const {
  if (!Valid()) return ScopedIcon();
  return ScopedIcon(CreateIconFromResourceEx(const_cast<BYTE*>(image_.data()),
                                             static_cast<DWORD>(image_.size()), TRUE,
                                             kIconFormatVersion, pixels, pixels, LR_DEFAULTCOLOR));
}

ScopedIcon IconPicture::Cursor(int hotspot_x, int hotspot_y, const Scale& scale) const {
  const int pixels = scale.FromDesignPixels(size_);
  ScopedIcon icon = Icon(pixels);
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon.Get(), &info)) return ScopedIcon();
  const ScopedBitmap mask(info.hbmMask);
  const ScopedBitmap colour(info.hbmColor);
  info.fIcon = FALSE;
  info.xHotspot = static_cast<DWORD>(MulDiv(hotspot_x, pixels, size_));
  info.yHotspot = static_cast<DWORD>(MulDiv(hotspot_y, pixels, size_));
  return ScopedIcon(CreateIconIndirect(&info));
}

void IconPicture::Draw(HDC dc, const RECT& target) const {
  const ScopedIcon icon = Icon(target.right - target.left);
  if (icon) {
    DrawIconEx(dc, target.left, target.top, icon.Get(), target.right - target.left,
               target.bottom - target.top, 0, nullptr, DI_NORMAL);
  }
}

std::span<const BYTE> ResourceBytes(std::string_view name) {
  const std::wstring wide(name.begin(), name.end());
  HRSRC resource = FindResourceW(nullptr, wide.c_str(), RT_RCDATA);
  if (!resource) return {};
  const DWORD size = SizeofResource(nullptr, resource);
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const BYTE*>(bytes), size};
}

PictureRef ResourcePictureLoader::Load(std::string_view asset) { return LoadWin32(asset); }

std::shared_ptr<const Win32Picture> ResourcePictureLoader::LoadWin32(std::string_view asset) {
  const std::span<const BYTE> bytes = ResourceBytes(asset);
  if (bytes.size() < 4) return nullptr;
  if (U32(bytes, 0) == kPlaceableKey) return LoadMetafile(bytes);
  if (U16(bytes, 0) == 0 && U16(bytes, 2) == 1) {
    auto icon = std::make_shared<IconPicture>(bytes);
    return icon->Valid() ? icon : nullptr;
  }
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) {
    // The decoder and COM come with the first JPEG and stay as long as a
    // picture made with them does.
    if (!ole_) ole_ = MakeOleRuntime();
    if (!ole_) return nullptr;
    return LoadOlePicture(bytes, ole_);
  }
  return nullptr;
}

}  // namespace talvo::win32
