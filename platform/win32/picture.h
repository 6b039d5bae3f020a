// Pictures decoded by the platform (OleLoadPicture handles icons, JPEG and
// placeable metafiles alike) from the program's embedded resources.
#pragma once

#include "platform/win32/win32.h"  // before the other Windows headers

#include <olectl.h>

#include <string_view>

#include "common/platform.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

class Win32Picture final : public Picture {
 public:
  explicit Win32Picture(IPicture* picture) : picture_(picture) {}
  Win32Picture(const Win32Picture&) = delete;
  Win32Picture& operator=(const Win32Picture&) = delete;
  ~Win32Picture() override { picture_->Release(); }

  // Natural size in himetric (1/100 mm), as the picture reports it.
  SIZE Himetric() const;
  // Natural size in pixels at 96 dpi.
  SIZE Pixels() const;
  // Draws at natural size with the top-left corner at (x, y).
  void Render(HDC dc, int x, int y) const;
  // The icon handle of an icon picture (owned by the picture), else nullptr.
  HICON Icon() const;

 private:
  IPicture* picture_;
};

// Decodes the RCDATA resource named after the asset.
std::shared_ptr<const Win32Picture> LoadResourcePicture(std::string_view asset);

class ResourcePictureLoader final : public PictureLoader {
 public:
  PictureRef Load(std::string_view asset) override { return LoadResourcePicture(asset); }
};

}  // namespace talvo::win32
