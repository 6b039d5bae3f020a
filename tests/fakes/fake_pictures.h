// Pictures that are only their asset's name, and a loader that counts its
// loads and can be told that some assets cannot be decoded.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "common/platform.h"

namespace talvo::fakes {

struct FakePicture : Picture {
  explicit FakePicture(std::string n) : name(std::move(n)) {}
  std::string name;
};

class FakePictures : public PictureLoader {
 public:
  PictureRef Load(std::string_view asset) override {
    ++loads[std::string(asset)];
    if (missing.count(std::string(asset))) return nullptr;
    return std::make_shared<FakePicture>(std::string(asset));
  }
  std::map<std::string, int> loads;
  std::set<std::string> missing;
};

inline std::string PictureName(const PictureRef& picture) {
  auto fake = std::dynamic_pointer_cast<const FakePicture>(picture);
  return fake ? fake->name : "";
}

}  // namespace talvo::fakes
