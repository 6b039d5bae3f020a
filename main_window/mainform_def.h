// The main window as static data: the window's settings and every control of
// its tree in creation order. The backend builds the window from this table
// alone; nothing here changes at run time.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "common/form_def.h"
#include "main_window/version.h"

namespace talvo::def {

inline constexpr Font kWindowFont{u"Arial", 12, 700};
inline constexpr Font kCaptionFont{u"Arial", 20.25f, 700};
inline constexpr Font kBrandFont{u"Arial", 15.75f, 700};
inline constexpr Font kSmallFont{u"Arial", 9.75f, 700};
inline constexpr Font kExitFont{u"Arial", 9, 400};
inline constexpr Font kRoomFont{u"Arial", 14.25f, 700};

// The pictures stored with the window.
inline constexpr PictureDef kAppIcon{"app", PictureFormat::Icon, 32, 32, 16};
inline constexpr PictureDef kExitPicture{"exit", PictureFormat::Metafile, 428, 405};
// A pointing hand; it points with the tip of its index finger.
inline constexpr PictureDef kPointerIcon{.asset = "pointer",
                                         .format = PictureFormat::Icon,
                                         .natural_width = 32,
                                         .natural_height = 32,
                                         .colours = 256,
                                         .hotspot_x = 11,
                                         .hotspot_y = 1};

inline constexpr Colour kNavy = 0x00800000;
inline constexpr Colour kGreen = 0x00008000;
inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kCyan = 0x00FFFF00;
inline constexpr Colour kExitGreen = 0x0000C000;

// Positions of the controls the code refers to by name.
enum : Slot {
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

inline constexpr WindowDef kMainWindow{.caption = u"",
                                       .back_colour = 0x00FF8080,
                                       .font = &kWindowFont,
                                       .icon = &kAppIcon,
                                       .left = 2475,
                                       .top = 2055,
                                       .width = 11010,
                                       .height = 6360,
                                       .visible = true,
                                       .title = kMeCaption};

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
     .parent = kWindowSlot,
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
     .picture = &kExitPicture,
     .mouse_pointer = kMousePointerCustom,
     .mouse_icon = &kPointerIcon,
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
     .caption = version::kCaption,
     .fore_colour = kWhite,
     .alignment = Align::Right,
     .transparent = true,
     .tab_index = 6},
    {.kind = Kind::PictureBox,
     .name = u"Pan100",
     .index = kNoIndex,
     .parent = kWindowSlot,
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
     .parent = kWindowSlot,
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

inline constexpr int kRoomCount = 6;
// The room panels are created in this order of their indexes.
inline constexpr Index kRoomCreationOrder[kRoomCount] = {5, 4, 3, 1, 0, 2};

// The slot of RoomPan(index), by room index; RoomSelect(index) follows it.
inline constexpr std::array<Slot, kRoomCount> kRoomPanSlots = [] {
  std::array<Slot, kRoomCount> slots{};
  for (int position = 0; position < kRoomCount; ++position) {
    slots[static_cast<std::size_t>(kRoomCreationOrder[position])] = kFirstRoom + 2 * position;
  }
  return slots;
}();
constexpr Slot RoomPanSlot(Index index) { return kRoomPanSlots[static_cast<std::size_t>(index)]; }
constexpr Slot RoomSelectSlot(Index index) { return RoomPanSlot(index) + 1; }

inline constexpr FormDef kMainForm{kMainWindow, kControls};

// Mistakes in the table that would otherwise show only at run time.
namespace check {

constexpr bool ParentsComeFirst() {
  for (Slot slot = 0; slot < kControlCount; ++slot) {
    const int parent = kControls[slot].parent;
    if (parent != kWindowSlot && (parent < 0 || parent >= slot)) return false;
    if (parent != kWindowSlot && kControls[parent].kind != Kind::PictureBox) return false;
  }
  return true;
}

constexpr bool Names(Slot slot, std::u16string_view name, Index index) {
  return kControls[slot].name == name && kControls[slot].index == index;
}

constexpr bool SlotsMatchTheirNames() {
  bool ok = Names(kPan00, u"Pan00", kNoIndex) && Names(kToDo0, u"ToDo", 0) &&
            Names(kMeCaption, u"meCaption", kNoIndex) && Names(kSysinfo, u"Sysinfo", kNoIndex) &&
            Names(kPan100, u"Pan100", kNoIndex) && Names(kPan01, u"Pan01", kNoIndex) &&
            Names(kLabel1, u"Label1", kNoIndex);
  for (int i = 0; i < kRoomCount; ++i) {
    ok = ok && Names(RoomPanSlot(i), u"RoomPan", i) && Names(RoomSelectSlot(i), u"RoomSelect", i) &&
         kControls[RoomSelectSlot(i)].parent == RoomPanSlot(i);
  }
  return ok;
}

// Every TabIndex from 0 to the number of controls less one, each once.
constexpr bool TabIndexesComplete() {
  for (int tab = 0; tab < kControlCount; ++tab) {
    int holders = 0;
    for (const ControlDef& control : kControls) holders += control.tab_index == tab ? 1 : 0;
    if (holders != 1) return false;
  }
  return true;
}

static_assert(ParentsComeFirst(), "a control is defined before its parent picture box");
static_assert(SlotsMatchTheirNames(), "a Slot constant names the wrong row of the table");
static_assert(TabIndexesComplete(), "TabIndex must run from 0 without gaps or repeats");
static_assert(kControls[kMainWindow.title].kind == Kind::Label &&
                  !kControls[kMainWindow.title].caption.empty(),
              "the window is named by a label with a text");

}  // namespace check
}  // namespace talvo::def
