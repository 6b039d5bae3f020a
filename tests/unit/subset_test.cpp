// The image store's table and its single, lazily decoding instance.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "fakes/rig.h"
#include "image_store/subset.h"

namespace talvo {
namespace {

TEST(ImageStore, FortyOneElementsUnderTwentyEightNames) {
  std::map<std::u16string_view, std::set<int>> names;
  for (const def::ControlDef& image : def::kSubSetControls) {
    EXPECT_TRUE(names[image.name].insert(image.index).second) << fakes::Utf8(image.name);
  }
  EXPECT_EQ(def::kSubSetControls.size(), 41u);
  EXPECT_EQ(names.size(), 28u);
  // Control arrays run from 0 without gaps; single controls have no index.
  const std::map<std::u16string_view, int> arrays = {
      {u"BtnPic", 2}, {u"MoveIcon", 2}, {u"BTPic", 2}, {u"Color10", 2}, {u"sBT", 2},
      {u"sBT1", 3},   {u"sBT3", 4},     {u"sBT4", 2},  {u"sBT5", 2},    {u"sBT7", 2}};
  for (const auto& [name, indexes] : names) {
    SCOPED_TRACE(fakes::Utf8(name));
    auto array = arrays.find(name);
    if (array == arrays.end()) {
      EXPECT_EQ(indexes, std::set<int>{kNoIndex});
      EXPECT_EQ(name.substr(0, 5), u"Color");
    } else {
      EXPECT_EQ(static_cast<int>(indexes.size()), array->second);
      EXPECT_EQ(*indexes.begin(), 0);
      EXPECT_EQ(*indexes.rbegin(), array->second - 1);
    }
  }
}

TEST(ImageStore, KindsStretchAndKeyboardOrder) {
  std::set<std::string_view> assets;
  for (const def::ControlDef& image : def::kSubSetControls) {
    SCOPED_TRACE(fakes::Utf8(image.name));
    ASSERT_NE(image.picture, nullptr);
    EXPECT_TRUE(assets.insert(image.picture->asset).second) << "asset used twice";
    EXPECT_EQ(image.parent, kWindowSlot);
    const bool box = image.name == u"BtnPic" || image.name == u"MoveIcon";
    EXPECT_EQ(image.kind, box ? def::Kind::PictureBox : def::Kind::Image);
    EXPECT_EQ(image.stretch, !box && image.name != u"BTPic");
    EXPECT_EQ(image.mouse_pointer, image.name == u"MoveIcon" ? 99 : 0);
    EXPECT_EQ(image.mouse_icon, image.name == u"MoveIcon" ? image.picture : nullptr);
    if (box) {
      EXPECT_EQ(image.tab_index, (image.name == u"MoveIcon" ? 2 : 0) + image.index);
      EXPECT_EQ(image.appearance, def::Appearance::Flat);
      EXPECT_EQ(image.back_colour, 0x80000005u);
      EXPECT_EQ(image.fore_colour, 0x80000008u);
    } else {
      EXPECT_EQ(image.tab_index, kNoTabIndex);
    }
    if (image.picture->format == def::PictureFormat::Icon) {
      EXPECT_EQ(image.picture->natural_width, image.picture->natural_height);
      EXPECT_EQ(image.picture->colours, 16);
    }
  }
}

TEST(ImageStore, CreatedOnceAndEveryReadGivesTheSamePicture) {
  fakes::FakePictures loader;
  SubSetInstance instance(loader);
  EXPECT_FALSE(instance.Created());
  SubSet* first = &*instance;
  PictureRef picture = instance->Color01.Picture();
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(&*instance, first);
    EXPECT_EQ(instance->Color01.Picture(), picture);
  }
  EXPECT_EQ(loader.loads, (std::map<std::string, int>{{"Color01", 1}}));
  EXPECT_EQ(instance->Find(u"Color08A"), &instance->Color08A);
  EXPECT_EQ(instance->Find(u"sBT3", 3)->Def().picture->asset, "sBT3_3");
  EXPECT_EQ(instance->Find(u"sBT3", 4), nullptr);
}

TEST(ImageStore, PictureThatCannotBeDecodedIsAskedForOnce) {
  fakes::FakePictures loader;
  loader.missing = {"Color08A"};
  SubSet store(loader);
  EXPECT_EQ(store.Color08A.Picture(), nullptr);
  EXPECT_EQ(store.Color08A.Picture(), nullptr);
  EXPECT_EQ(loader.loads["Color08A"], 1);
}

TEST(ImageStore, ChkFormAndGetPathReturnEmptyWhateverTheyAreGiven) {
  fakes::FakePictures loader;
  SubSet store(loader);
  EXPECT_EQ(store.ChkForm(1, u"x"), Empty{});
  EXPECT_EQ(store.ChkForm(std::string("a"), 2.5), Empty{});
  EXPECT_EQ(store.GetPath(nullptr), Empty{});
  EXPECT_TRUE(loader.loads.empty());
}

}  // namespace
}  // namespace talvo
