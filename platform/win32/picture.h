// Pictures stored in the program as resources, decoded by the platform: a
// placeable metafile by gdi32, an icon by user32, and a JPEG by the OLE
// picture decoder, which is loaded (with COM) only when a JPEG is first asked
// for: nothing the window shows is a JPEG.
#pragma once

#include "platform/win32/win32.h"  // before the other Windows headers

#include <memory>
#include <span>
#include <string_view>

#include "common/platform.h"
#include "common/twips.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

// The JPEG decoder's libraries and COM apartment (ole_picture.cpp).
struct OleRuntime;

class Win32Picture : public Picture {
 public:
  // Natural size in himetric (1/100 mm).
  virtual SIZE Himetric() const = 0;
  // Draws the whole picture into `target`, scaled to it.
  virtual void Draw(HDC dc, const RECT& target) const = 0;

  // Natural size in pixels at a resolution.
  SIZE Pixels(const Scale& scale) const;
  // Draws at natural size with the top-left corner at (x, y).
  void Render(HDC dc, int x, int y, const Scale& scale) const;
};

// An icon file with one image.
class IconPicture final : public Win32Picture {
 public:
  explicit IconPicture(std::span<const BYTE> file);
  bool Valid() const { return image_.size() > 0 && size_ > 0; }
  SIZE Himetric() const override;
  void Draw(HDC dc, const RECT& target) const override;
  // The icon at `pixels` square; owned by the caller.
  ScopedIcon Icon(int pixels) const;
  // A pointer made of it, pointing at (x, y) of its pixels, at a resolution.
  ScopedIcon Cursor(int hotspot_x, int hotspot_y, const Scale& scale) const;

 private:
  std::span<const BYTE> image_;  // the image's bytes inside the resource
  int size_ = 0;                 // pixels
};

// Embedded resources under an asset's name.
class ResourcePictureLoader final : public PictureLoader {
 public:
  PictureRef Load(std::string_view asset) override;
  std::shared_ptr<const Win32Picture> LoadWin32(std::string_view asset);

 private:
  std::shared_ptr<const OleRuntime> ole_;  // made when a JPEG is first asked for
};

// The bytes of an RCDATA resource, mapped for the program's life; empty when
// there is none.
std::span<const BYTE> ResourceBytes(std::string_view name);

// Decodes a JPEG with the platform's decoder; defined in ole_picture.cpp.
std::shared_ptr<const Win32Picture> LoadOlePicture(std::span<const BYTE> bytes,
                                                   std::shared_ptr<const OleRuntime> runtime);
// The decoder's libraries and COM apartment, made on first use.
std::shared_ptr<const OleRuntime> MakeOleRuntime();

}  // namespace talvo::win32
