#include "image_store/subset.h"

namespace talvo {
namespace {

using def::Kind;
using def::kNoIndex;
constexpr PictureFormat kIco = PictureFormat::Icon;
constexpr PictureFormat kJpg = PictureFormat::Jpeg;
constexpr PictureFormat kWmf = PictureFormat::Metafile;

// An image control whose picture is stretched to its box.
constexpr ImageDef Img(std::u16string_view name, int index, float left, float top, float width,
                       float height, PictureFormat format, std::string_view asset, int w, int h,
                       int colours = 0) {
  return {name, index, Kind::Image, left, top, width, height, true, format, asset, w, h, colours};
}

// A picture box: flat, window colours, in the keyboard order.
constexpr ImageDef Box(std::u16string_view name, int index, float left, float top, float width,
                       float height, PictureFormat format, std::string_view asset, int w, int h,
                       int colours, int tab, int pointer) {
  return {name,
          index,
          Kind::PictureBox,
          left,
          top,
          width,
          height,
          false,
          format,
          asset,
          w,
          h,
          colours,
          tab,
          pointer,
          def::Appearance::Flat,
          0x80000005,
          0x80000008};
}

}  // namespace

const std::array<ImageDef, kSubSetElements> kSubSetImages{{
    Box(u"BtnPic", 0, 375, 4200, 375, 330, kIco, "BtnPic0", 16, 16, 16, 0, 0),
    Box(u"BtnPic", 1, 930, 4170, 405, 390, kJpg, "BtnPic1", 20, 20, 0, 1, 0),
    Box(u"MoveIcon", 0, 6810, 3660, 720, 585, kIco, "MoveIcon0", 32, 32, 16, 2, 99),
    Box(u"MoveIcon", 1, 6825, 4320, 720, 585, kIco, "MoveIcon1", 32, 32, 16, 3, 99),
    {u"BTPic", 0, Kind::Image, 4785, 4440, 480, 480, false, kIco, "BTPic0", 32, 32, 16},
    {u"BTPic", 1, Kind::Image, 5325, 4455, 480, 480, false, kIco, "BTPic1", 32, 32, 16},
    Img(u"Color01", kNoIndex, 240, 135, 1005, 405, kWmf, "Color01", 10529, 1136),
    Img(u"Color03", kNoIndex, 255, 600, 1005, 405, kWmf, "Color03", 10646, 661),
    Img(u"Color05", kNoIndex, 255, 1095, 1005, 405, kWmf, "Color05", 2149, 1812),
    Img(u"Color05A", kNoIndex, 255, 1545, 1005, 405, kWmf, "Color05A", 2148, 1812),
    Img(u"Color06", kNoIndex, 255, 2025, 1005, 405, kWmf, "Color06", 7032, 707),
    Img(u"Color07", kNoIndex, 255, 2550, 1005, 405, kWmf, "Color07", 2149, 1813),
    Img(u"Color07A", kNoIndex, 255, 3075, 1005, 405, kWmf, "Color07A", 1925, 1925),
    Img(u"Color08", kNoIndex, 255, 3555, 1005, 405, kWmf, "Color08", 8679, 882),
    Img(u"Color08A", kNoIndex, 1635, 4635, 1005, 405, kWmf, "Color08A", 8679, 882),
    Img(u"Color10", 0, 1320, 135, 1005, 405, kWmf, "Color10_0", 2133, 510),
    Img(u"Color10", 1, 1320, 540, 1005, 405, kWmf, "Color10_1", 2134, 509),
    Img(u"Color11", kNoIndex, 1305, 990, 1005, 405, kWmf, "Color11", 3129, 1024),
    Img(u"Color12", kNoIndex, 1320, 1455, 1005, 405, kWmf, "Color12", 2793, 882),
    Img(u"Color14", kNoIndex, 1320, 1905, 1005, 405, kWmf, "Color14", 2873, 882),
    Img(u"Color15", kNoIndex, 1320, 2415, 1005, 405, kWmf, "Color15", 2401, 883),
    Img(u"Color20", kNoIndex, 5775, 1605, 1050, 405, kWmf, "Color20", 5416, 711),
    Img(u"Color21", kNoIndex, 5790, 2055, 1050, 405, kWmf, "Color21", 5402, 697),
    Img(u"Color22", kNoIndex, 5805, 2520, 1050, 405, kWmf, "Color22", 5416, 711),
    Img(u"Color23", kNoIndex, 5805, 3045, 1050, 405, kWmf, "Color23", 5416, 711),
    Img(u"Color24", kNoIndex, 5865, 3540, 540, 645, kWmf, "Color24", 1301, 3767),
    Img(u"sBT", 0, 3465, 2040, 1005, 615, kJpg, "sBT0", 275, 87),
    Img(u"sBT", 1, 3465, 2715, 1005, 585, kJpg, "sBT1", 271, 86),
    Img(u"sBT1", 0, 3465, 90, 1005, 585, kJpg, "sBT1_0", 194, 74),
    Img(u"sBT1", 1, 3465, 750, 1005, 585, kJpg, "sBT1_1", 194, 74),
    Img(u"sBT1", 2, 3465, 1365, 1005, 585, kJpg, "sBT1_2", 196, 76),
    Img(u"sBT3", 0, 4575, 90, 1005, 615, kJpg, "sBT3_0", 440, 120),
    Img(u"sBT3", 1, 4575, 765, 1005, 615, kJpg, "sBT3_1", 440, 120),
    Img(u"sBT3", 2, 4575, 1440, 1005, 615, kJpg, "sBT3_2", 440, 120),
    Img(u"sBT3", 3, 4575, 2130, 1005, 615, kJpg, "sBT3_3", 440, 120),
    Img(u"sBT4", 0, 4575, 2820, 1005, 615, kJpg, "sBT4_0", 168, 58),
    Img(u"sBT4", 1, 4575, 3465, 1005, 615, kJpg, "sBT4_1", 168, 58),
    Img(u"sBT5", 0, 3465, 3390, 1005, 540, kWmf, "sBT5_0", 1971, 483),
    Img(u"sBT5", 1, 3465, 4080, 1005, 540, kWmf, "sBT5_1", 1971, 483),
    Img(u"sBT7", 0, 13770, 3825, 2895, 495, kJpg, "sBT7_0", 464, 74),
    Img(u"sBT7", 1, 13770, 4425, 2895, 495, kJpg, "sBT7_1", 464, 74),
}};

PictureRef SubSet::Element::Picture() const {
  // A picture that failed once is not retried: every read gives the same answer.
  if (!tried_) {
    tried_ = true;
    picture_ = loader_.Load(def_.asset);
  }
  return picture_;
}

namespace {

std::vector<SubSet::Element> MakeElements(PictureLoader& loader) {
  std::vector<SubSet::Element> elements;
  elements.reserve(kSubSetImages.size());
  for (const ImageDef& image : kSubSetImages) elements.emplace_back(image, loader);
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
