#include "image_store/subset.h"

namespace talvo {

PictureRef SubSet::Element::Picture() const {
  // A picture that failed once is not retried: every read gives the same answer.
  if (!tried_) {
    tried_ = true;
    picture_ = loader_.Load(def_.picture->asset);
  }
  return picture_;
}

namespace {

std::vector<SubSet::Element> MakeElements(PictureLoader& loader) {
  std::vector<SubSet::Element> elements;
  elements.reserve(def::kSubSetControls.size());
  for (const def::ControlDef& control : def::kSubSetControls)
    elements.emplace_back(control, loader);
  return elements;
}

}  // namespace

SubSet::SubSet(PictureLoader& loader)
    : elements_(MakeElements(loader)), Color01(*Find(u"Color01")), Color08A(*Find(u"Color08A")) {}

const SubSet::Element* SubSet::Find(std::u16string_view name, int index) const {
  for (const Element& element : elements_) {
    if (element.Def().name == name && element.Def().index == index) return &element;
  }
  return nullptr;
}

SubSet& SubSetInstance::operator*() {
  if (!store_) store_ = std::make_unique<SubSet>(loader_);
  return *store_;
}

}  // namespace talvo
