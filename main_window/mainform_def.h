// The main window as static data: the window's settings and every control of
// its tree in creation order. The backend builds the window from this table
// alone; nothing here changes at run time.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "common/platform.h"

namespace talvo::def {

enum class Kind { PictureBox, Label, CommandButton, Image };
enum class Align { Left, Right, Center };
enum class Appearance { Flat, ThreeD };

// Pictures stored with a window definition; the backend maps each to an
// embedded resource.
enum class Asset { None, AppIcon, ExitPicture, PointerIcon };

struct Font {
  std::u16string_view face;
  float points;
  int weight;  // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 0;
};

inline constexpr int kNoIndex = -1;  // not an element of a control array
inline constexpr int kWindow = -1;   // parent: the window itself
inline constexpr int kNoTab = -1;
inline constexpr int kMousePointerCustom = 99;

struct ControlDef {
  Kind kind;
  std::u16string_view name;
  int index;   // element of a control array, or kNoIndex
  int parent;  // position of the parent in the table, or kWindow
  float left, top, width, height;
  std::u16string_view caption = {};
  std::u16string_view tag = {};
  std::u16string_view tooltip = {};
  Colour back_colour = 0x80000005;
  Colour fore_colour = 0x80000008;
  const Font* font = nullptr;  // nullptr: the window's font
  Align alignment = Align::Left;
  bool transparent = false;  // BackStyle: transparent labels show their parent
  Appearance appearance = Appearance::ThreeD;
  int style = 0;  // command buttons: 1 graphical
  Asset picture = Asset::None;
  int mouse_pointer = 0;
  Asset mouse_icon = Asset::None;
  int tab_index = kNoTab;
};

struct WindowDef {
  std::u16string_view caption;
  Colour back_colour;
  const Font* font;
  Asset icon;
  float left, top, width, height;  // twips; no frame, so client == outer
  bool visible;
};

inline constexpr Font kWindowFont{u"Arial", 12, 700};
inline constexpr Font kCaptionFont{u"Arial", 20.25f, 700};
inline constexpr Font kBrandFont{u"Arial", 15.75f, 700};
inline constexpr Font kSmallFont{u"Arial", 9.75f, 700};
inline constexpr Font kExitFont{u"Arial", 9, 400};
inline constexpr Font kRoomFont{u"Arial", 14.25f, 700};

inline constexpr WindowDef kMainWindow{u"",   0x00FF8080, &kWindowFont, Asset::AppIcon, 2475, 2055,
                                       11010, 6360,       true};

inline constexpr Colour kNavy = 0x00800000;
inline constexpr Colour kGreen = 0x00008000;
inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kCyan = 0x00FFFF00;
inline constexpr Colour kExitGreen = 0x0000C000;

// Positions of the controls the code refers to by name.
enum Slot : int {
  kPan00 = 0,
  kToDo0,
  kMeCaption,
  kSysinfo,
  kPan100,
  kShowTALVOSF,
  kShowMachinecode,
  kDesignInfo,
  kPan01,
  kFirstRoom,  // RoomPan(5), RoomSelect(5), RoomPan(4), ... pairs
  kLabel1 = kFirstRoom + 12,
  kControlCount
};

inline constexpr float kRoomPanWidth = 4245, kRoomPanHeight = 1125;
inline constexpr float kRoomColumns[2] = {825, 5730};
inline constexpr float kRoomRows[3] = {495, 1770, 3045};

constexpr ControlDef RoomPanDef(int index, float left, float top, int tab) {
  return {.kind = Kind::PictureBox,
          .name = u"RoomPan",
          .index = index,
          .parent = kPan01,
          .left = left,
          .top = top,
          .width = kRoomPanWidth,
          .height = kRoomPanHeight,
          .back_colour = kBlack,
          .tab_index = tab};
}

constexpr ControlDef RoomSelectDef(int index, int parent, std::u16string_view caption,
                                   std::u16string_view tag, int tab) {
  return {.kind = Kind::CommandButton,
          .name = u"RoomSelect",
          .index = index,
          .parent = parent,
          .left = 45,
          .top = 30,
          .width = 4110,
          .height = 1005,
          .caption = caption,
          .tag = tag,
          .back_colour = kCyan,
          .font = &kRoomFont,
          .style = 1,
          .tab_index = tab};
}

inline constexpr std::array<ControlDef, kControlCount> kControls{{
    {.kind = Kind::PictureBox,
     .name = u"Pan00",
     .index = kNoIndex,
     .parent = kWindow,
     .left = 0,
     .top = 0,
     .width = 11010,
     .height = 690,
     .back_colour = kNavy,
     .tab_index = 4},
    {.kind = Kind::CommandButton,
     .name = u"ToDo",
     .index = 0,
     .parent = kPan00,
     .left = 75,
     .top = 30,
     .width = 615,
     .height = 550,
     .tooltip = u"Exit System",
     .back_colour = kExitGreen,
     .font = &kExitFont,
     .style = 1,
     .picture = Asset::ExitPicture,
     .mouse_pointer = kMousePointerCustom,
     .mouse_icon = Asset::PointerIcon,
     .tab_index = 5},
    {.kind = Kind::Label,
     .name = u"meCaption",
     .index = kNoIndex,
     .parent = kPan00,
     .left = 1170,
     .top = 105,
     .width = 8310,
     .height = 435,
     .caption = u"TALVO Internet Office TALVO網路會議室",
     .fore_colour = kWhite,
     .font = &kCaptionFont,
     .transparent = true,
     .tab_index = 7},
    {.kind = Kind::Label,
     .name = u"Sysinfo",
     .index = kNoIndex,
     .parent = kPan00,
     .left = 7620,
     .top = 315,
     .width = 2775,
     .height = 300,
     .caption = u"Ver:1.01",
     .fore_colour = kWhite,
     .alignment = Align::Right,
     .transparent = true,
     .tab_index = 6},
    {.kind = Kind::PictureBox,
     .name = u"Pan100",
     .index = kNoIndex,
     .parent = kWindow,
     .left = 30,
     .top = 5820,
     .width = 10575,
     .height = 495,
     .back_colour = kNavy,
     .appearance = Appearance::Flat,
     .tab_index = 0},
    {.kind = Kind::Label,
     .name = u"ShowTALVOSF",
     .index = kNoIndex,
     .parent = kPan100,
     .left = 225,
     .top = 75,
     .width = 4920,
     .height = 375,
     .caption = u"TALVO SF",
     .fore_colour = kWhite,
     .font = &kBrandFont,
     .transparent = true,
     .appearance = Appearance::Flat,
     .tab_index = 3},
    {.kind = Kind::Label,
     .name = u"ShowMachinecode",
     .index = kNoIndex,
     .parent = kPan100,
     .left = 5610,
     .top = 165,
     .width = 1350,
     .height = 285,
     .caption = u"ShowMachine",
     .tooltip = u"Machine ID",
     .fore_colour = kWhite,
     .font = &kSmallFont,
     .alignment = Align::Right,
     .transparent = true,
     .appearance = Appearance::Flat,
     .tab_index = 2},
    {.kind = Kind::Label,
     .name = u"DesignInfo",
     .index = kNoIndex,
     .parent = kPan100,
     .left = 6810,
     .top = 165,
     .width = 3585,
     .height = 285,
     .caption = u"A01.000",
     .tooltip = u"Designer",
     .fore_colour = kWhite,
     .font = &kSmallFont,
     .alignment = Align::Right,
     .transparent = true,
     .tab_index = 1},
    {.kind = Kind::PictureBox,
     .name = u"Pan01",
     .index = kNoIndex,
     .parent = kWindow,
     .left = 120,
     .top = 750,
     .width = 10845,
     .height = 4845,
     .back_colour = kGreen,
     .appearance = Appearance::Flat,
     .tab_index = 8},
    // Created in this order; each button sits in the panel just before it.
    RoomPanDef(5, kRoomColumns[1], kRoomRows[2], 20),
    RoomSelectDef(5, kFirstRoom + 0, u"06-海外廠會議專用", u"of", 21),
    RoomPanDef(4, kRoomColumns[1], kRoomRows[1], 14),
    RoomSelectDef(4, kFirstRoom + 2, u"05-技研部專用", u"tr", 18),
    RoomPanDef(3, kRoomColumns[1], kRoomRows[0], 13),
    RoomSelectDef(3, kFirstRoom + 4, u"04-資訊部專用", u"it", 16),
    RoomPanDef(1, kRoomColumns[0], kRoomRows[2], 12),
    RoomSelectDef(1, kFirstRoom + 6, u"03-營業部專用", u"ds", 17),
    RoomPanDef(0, kRoomColumns[0], kRoomRows[1], 10),
    RoomSelectDef(0, kFirstRoom + 8, u"02-公用區", u"public", 15),
    RoomPanDef(2, kRoomColumns[0], kRoomRows[0], 9),
    RoomSelectDef(2, kFirstRoom + 10, u"01-研一部/研二部專用", u"rd", 11),
    {.kind = Kind::Label,
     .name = u"Label1",
     .index = kNoIndex,
     .parent = kPan01,
     .left = 5730,
     .top = 4320,
     .width = 4245,
     .height = 285,
     .caption = u"Designed by TALVO SF",
     .fore_colour = kWhite,
     .font = &kSmallFont,
     .alignment = Align::Right,
     .transparent = true,
     .tab_index = 19},
}};

// The room panels are created in this order of their indexes.
inline constexpr int kRoomCreationOrder[6] = {5, 4, 3, 1, 0, 2};

// Table position of RoomPan(index), index 0..5; RoomSelect(index) follows it.
constexpr int RoomPanSlot(int index) {
  int position = 0;
  while (position < 5 && kRoomCreationOrder[position] != index) ++position;
  return kFirstRoom + 2 * position;
}
constexpr int RoomSelectSlot(int index) { return RoomPanSlot(index) + 1; }

// The controls that take the focus (the command buttons; labels never do),
// as table positions in TabIndex order, across all containers.
inline constexpr int kTabStopCount = 7;
constexpr std::array<int, kTabStopCount> TabStops() {
  std::array<int, kTabStopCount> stops{};
  int count = 0;
  for (int slot = 0; slot < kControlCount; ++slot) {
    if (kControls[slot].kind != Kind::CommandButton) continue;
    int at = count++;
    while (at > 0 && kControls[stops[at - 1]].tab_index > kControls[slot].tab_index) {
      stops[at] = stops[at - 1];
      --at;
    }
    stops[at] = slot;
  }
  return stops;
}

}  // namespace talvo::def
