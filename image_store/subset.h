// SubSet: the image store. It holds pictures and is never shown; the main
// window takes two of them to skin its panels. It is realised as a table of
// named pictures rather than a hidden window, since nothing ever displays it.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include "common/platform.h"
#include "image_store/subset_def.h"

namespace talvo {

// The value "nothing" that ChkForm and GetPath hand back.
using Empty = std::monostate;

class SubSet {
 public:
  // One control element: its definition and its picture, decoded on first read.
  class Element {
   public:
    Element(const def::ControlDef& def, PictureLoader& loader) : def_(def), loader_(loader) {}
    const def::ControlDef& Def() const { return def_; }
    // The same picture on every read; nullptr when it cannot be decoded.
    PictureRef Picture() const;

   private:
    const def::ControlDef& def_;
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

  const Element* Find(std::u16string_view name, int index = kNoIndex) const;

 private:
  // Declared before the named members that point into it.
  std::vector<Element> elements_;

 public:
  // The elements the main window's layout pass reads.
  const Element& Color01;
  const Element& Color08A;
};

static_assert(def::SubSetPosition(u"Color01") >= 0 && def::SubSetPosition(u"Color08A") >= 0,
              "the layout pass skins the panels with these two pictures");

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
