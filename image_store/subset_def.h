// SubSet as static data: the image store's pictures and its 41 control
// elements. Nothing shows this window; the table is what the
// store hands pictures out from and what the asset tests check the files
// against.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "common/form_def.h"

namespace talvo::def {

namespace subset_pictures {
constexpr PictureFormat kIco = PictureFormat::Icon;
constexpr PictureFormat kJpg = PictureFormat::Jpeg;
constexpr PictureFormat kWmf = PictureFormat::Metafile;
}  // namespace subset_pictures

// One picture per element, in the order of the elements below. Icons and
// JPEGs in pixels, metafiles in 1/1000 inch.
inline constexpr std::size_t kSubSetElements = 41;
inline constexpr std::array<PictureDef, kSubSetElements> kSubSetPictures{{
    {"BtnPic0", subset_pictures::kIco, 16, 16, 16},
    {"BtnPic1", subset_pictures::kJpg, 20, 20},
    {"MoveIcon0", subset_pictures::kIco, 32, 32, 16},
    {"MoveIcon1", subset_pictures::kIco, 32, 32, 16},
    {"BTPic0", subset_pictures::kIco, 32, 32, 16},
    {"BTPic1", subset_pictures::kIco, 32, 32, 16},
    {"Color01", subset_pictures::kWmf, 10529, 1136},
    {"Color03", subset_pictures::kWmf, 10646, 661},
    {"Color05", subset_pictures::kWmf, 2149, 1812},
    {"Color05A", subset_pictures::kWmf, 2148, 1812},
    {"Color06", subset_pictures::kWmf, 7032, 707},
    {"Color07", subset_pictures::kWmf, 2149, 1813},
    {"Color07A", subset_pictures::kWmf, 1925, 1925},
    {"Color08", subset_pictures::kWmf, 8679, 882},
    {"Color08A", subset_pictures::kWmf, 8679, 882},
    {"Color10_0", subset_pictures::kWmf, 2133, 510},
    {"Color10_1", subset_pictures::kWmf, 2134, 509},
    {"Color11", subset_pictures::kWmf, 3129, 1024},
    {"Color12", subset_pictures::kWmf, 2793, 882},
    {"Color14", subset_pictures::kWmf, 2873, 882},
    {"Color15", subset_pictures::kWmf, 2401, 883},
    {"Color20", subset_pictures::kWmf, 5416, 711},
    {"Color21", subset_pictures::kWmf, 5402, 697},
    {"Color22", subset_pictures::kWmf, 5416, 711},
    {"Color23", subset_pictures::kWmf, 5416, 711},
    {"Color24", subset_pictures::kWmf, 1301, 3767},
    {"sBT0", subset_pictures::kJpg, 275, 87},
    {"sBT1", subset_pictures::kJpg, 271, 86},
    {"sBT1_0", subset_pictures::kJpg, 194, 74},
    {"sBT1_1", subset_pictures::kJpg, 194, 74},
    {"sBT1_2", subset_pictures::kJpg, 196, 76},
    {"sBT3_0", subset_pictures::kJpg, 440, 120},
    {"sBT3_1", subset_pictures::kJpg, 440, 120},
    {"sBT3_2", subset_pictures::kJpg, 440, 120},
    {"sBT3_3", subset_pictures::kJpg, 440, 120},
    {"sBT4_0", subset_pictures::kJpg, 168, 58},
    {"sBT4_1", subset_pictures::kJpg, 168, 58},
    {"sBT5_0", subset_pictures::kWmf, 1971, 483},
    {"sBT5_1", subset_pictures::kWmf, 1971, 483},
    {"sBT7_0", subset_pictures::kJpg, 464, 74},
    {"sBT7_1", subset_pictures::kJpg, 464, 74},
}};

namespace subset_pictures {

// An image control whose picture is stretched to its box; `n` is its row.
constexpr ControlDef Img(std::size_t n, std::u16string_view name, int index, float left, float top,
                         float width, float height, bool stretch = true) {
  return {.kind = Kind::Image,
          .name = name,
          .index = index,
          .parent = kWindowSlot,
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .picture = &kSubSetPictures[n],
          .stretch = stretch};
}

// A picture box: flat, window colours, in the keyboard order; a custom
// pointer is the box's own picture.
constexpr ControlDef Box(std::size_t n, std::u16string_view name, int index, float left, float top,
                         float width, float height, int tab, int pointer) {
  ControlDef box = Img(n, name, index, left, top, width, height, false);
  box.kind = Kind::PictureBox;
  box.appearance = Appearance::Flat;  // and the default window colours
  box.mouse_pointer = pointer;
  box.mouse_icon = pointer == kMousePointerCustom ? box.picture : nullptr;
  box.tab_index = tab;
  return box;
}

}  // namespace subset_pictures

inline constexpr std::array<ControlDef, kSubSetElements> kSubSetControls{{
    subset_pictures::Box(0, u"BtnPic", 0, 375, 4200, 375, 330, 0, 0),
    subset_pictures::Box(1, u"BtnPic", 1, 930, 4170, 405, 390, 1, 0),
    subset_pictures::Box(2, u"MoveIcon", 0, 6810, 3660, 720, 585, 2, kMousePointerCustom),
    subset_pictures::Box(3, u"MoveIcon", 1, 6825, 4320, 720, 585, 3, kMousePointerCustom),
    subset_pictures::Img(4, u"BTPic", 0, 4785, 4440, 480, 480, false),
    subset_pictures::Img(5, u"BTPic", 1, 5325, 4455, 480, 480, false),
    subset_pictures::Img(6, u"Color01", kNoIndex, 240, 135, 1005, 405),
    subset_pictures::Img(7, u"Color03", kNoIndex, 255, 600, 1005, 405),
    subset_pictures::Img(8, u"Color05", kNoIndex, 255, 1095, 1005, 405),
    subset_pictures::Img(9, u"Color05A", kNoIndex, 255, 1545, 1005, 405),
    subset_pictures::Img(10, u"Color06", kNoIndex, 255, 2025, 1005, 405),
    subset_pictures::Img(11, u"Color07", kNoIndex, 255, 2550, 1005, 405),
    subset_pictures::Img(12, u"Color07A", kNoIndex, 255, 3075, 1005, 405),
    subset_pictures::Img(13, u"Color08", kNoIndex, 255, 3555, 1005, 405),
    subset_pictures::Img(14, u"Color08A", kNoIndex, 1635, 4635, 1005, 405),
    subset_pictures::Img(15, u"Color10", 0, 1320, 135, 1005, 405),
    subset_pictures::Img(16, u"Color10", 1, 1320, 540, 1005, 405),
    subset_pictures::Img(17, u"Color11", kNoIndex, 1305, 990, 1005, 405),
    subset_pictures::Img(18, u"Color12", kNoIndex, 1320, 1455, 1005, 405),
    subset_pictures::Img(19, u"Color14", kNoIndex, 1320, 1905, 1005, 405),
    subset_pictures::Img(20, u"Color15", kNoIndex, 1320, 2415, 1005, 405),
    subset_pictures::Img(21, u"Color20", kNoIndex, 5775, 1605, 1050, 405),
    subset_pictures::Img(22, u"Color21", kNoIndex, 5790, 2055, 1050, 405),
    subset_pictures::Img(23, u"Color22", kNoIndex, 5805, 2520, 1050, 405),
    subset_pictures::Img(24, u"Color23", kNoIndex, 5805, 3045, 1050, 405),
    subset_pictures::Img(25, u"Color24", kNoIndex, 5865, 3540, 540, 645),
    subset_pictures::Img(26, u"sBT", 0, 3465, 2040, 1005, 615),
    subset_pictures::Img(27, u"sBT", 1, 3465, 2715, 1005, 585),
    subset_pictures::Img(28, u"sBT1", 0, 3465, 90, 1005, 585),
    subset_pictures::Img(29, u"sBT1", 1, 3465, 750, 1005, 585),
    subset_pictures::Img(30, u"sBT1", 2, 3465, 1365, 1005, 585),
    subset_pictures::Img(31, u"sBT3", 0, 4575, 90, 1005, 615),
    subset_pictures::Img(32, u"sBT3", 1, 4575, 765, 1005, 615),
    subset_pictures::Img(33, u"sBT3", 2, 4575, 1440, 1005, 615),
    subset_pictures::Img(34, u"sBT3", 3, 4575, 2130, 1005, 615),
    subset_pictures::Img(35, u"sBT4", 0, 4575, 2820, 1005, 615),
    subset_pictures::Img(36, u"sBT4", 1, 4575, 3465, 1005, 615),
    subset_pictures::Img(37, u"sBT5", 0, 3465, 3390, 1005, 540),
    subset_pictures::Img(38, u"sBT5", 1, 3465, 4080, 1005, 540),
    subset_pictures::Img(39, u"sBT7", 0, 13770, 3825, 2895, 495),
    subset_pictures::Img(40, u"sBT7", 1, 13770, 4425, 2895, 495),
}};

// The table position of the element of that name and index, or -1.
constexpr int SubSetPosition(std::u16string_view name, int index = kNoIndex) {
  for (std::size_t at = 0; at < kSubSetControls.size(); ++at) {
    if (kSubSetControls[at].name == name && kSubSetControls[at].index == index) {
      return static_cast<int>(at);
    }
  }
  return -1;
}

}  // namespace talvo::def
