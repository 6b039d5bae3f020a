// SubSet: the image store. It holds pictures and is never shown; the main
// window takes two of them to skin its panels. It is realised as a table of
// named pictures rather than a hidden window, since nothing ever displays it.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include "common/platform.h"
#include "main_window/mainform_def.h"

namespace talvo {

enum class PictureFormat { Icon, Jpeg, Metafile };

// Decodes an embedded picture by its asset name (the file stem under
// image_store/assets). Returns nullptr when it cannot.
class PictureLoader {
 public:
  virtual ~PictureLoader() = default;
  virtual PictureRef Load(std::string_view asset) = 0;
};

struct ImageDef {
  std::u16string_view name;
  int index;  // def::kNoIndex for single controls
  def::Kind kind;
  float left, top, width, height;
  bool stretch;
  PictureFormat format;
  std::string_view asset;
  // Natural size: pixels for icons and JPEGs, 1/1000 inch for metafiles.
  int natural_width, natural_height;
  int colours = 0;  // icons only
  int tab_index = def::kNoTab;
  int mouse_pointer = 0;  // 99: the element's own picture is its pointer
  def::Appearance appearance = def::Appearance::ThreeD;
  Colour back_colour = 0x80000005;
  Colour fore_colour = 0x80000008;
};

inline constexpr std::size_t kSubSetElements = 41;
extern const std::array<ImageDef, kSubSetElements> kSubSetImages;
inline constexpr def::WindowDef kSubSetWindow{
    u"SubSet", 0x00C0C0C0, &def::kWindowFont, def::Asset::None, 5805, 3465, 7920, 6075, false};

// The value "nothing" that ChkForm and GetPath hand back.
using Empty = std::monostate;

class SubSet {
 public:
  // One control element: its definition and its picture, decoded on first read.
  class Element {
   public:
    Element(const ImageDef& def, PictureLoader& loader) : def_(def), loader_(loader) {}
    const ImageDef& Def() const { return def_; }
    // The same picture on every read; nullptr when it cannot be decoded.
    PictureRef Picture() const;

   private:
    const ImageDef& def_;
    PictureLoader& loader_;
    mutable PictureRef picture_;
    mutable bool tried_ = false;
  };

  explicit SubSet(PictureLoader& loader);
  SubSet(const SubSet&) = delete;
  SubSet& operator=(const SubSet&) = delete;

  template <typename A, typename B>
  Empty ChkForm(const A&, const B&) const {
    return {};
  }
  template <typename A>
  Empty GetPath(const A&) const {
    return {};
  }

  const Element* Find(std::u16string_view name, int index = def::kNoIndex) const;
  std::size_t ElementCount() const { return elements_.size(); }

 private:
  // Declared before the named members that point into it.
  std::vector<Element> elements_;

 public:
  const Element& Color01;
  const Element& Color08A;
};

// The store's single instance, created on first reference and kept to the end.
class SubSetInstance {
 public:
  explicit SubSetInstance(PictureLoader& loader) : loader_(loader) {}
  SubSet& operator*();
  SubSet* operator->() { return &**this; }
  bool Created() const { return store_ != nullptr; }

 private:
  PictureLoader& loader_;
  std::unique_ptr<SubSet> store_;
};

}  // namespace talvo
