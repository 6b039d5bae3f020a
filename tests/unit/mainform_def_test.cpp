// The main window's definition: the invariants a typo in the table would break.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "common/twips.h"
#include "fakes/rig.h"
#include "main_window/mainform_def.h"

namespace talvo {
namespace {

using def::kControls;

const def::ControlDef& At(int slot) { return kControls.at(slot); }

TEST(MainWindowDefinition, EachRoomButtonSitsInItsOwnPanel) {
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const def::ControlDef& pan = At(def::RoomPanSlot(i));
    const def::ControlDef& button = At(def::RoomSelectSlot(i));
    EXPECT_EQ(pan.name, u"RoomPan");
    EXPECT_EQ(pan.index, i);
    EXPECT_EQ(pan.parent, def::kPan01);
    EXPECT_EQ(button.name, u"RoomSelect");
    EXPECT_EQ(button.index, i);
    EXPECT_EQ(button.parent, def::RoomPanSlot(i));
    EXPECT_EQ(button.left, 45);
    EXPECT_EQ(button.top, 30);
    EXPECT_EQ(button.width, 4110);
    EXPECT_EQ(button.height, 1005);
    // The black panel shows 90 twips beyond the button at right and bottom.
    EXPECT_EQ(pan.width - button.left - button.width, 90);
    EXPECT_EQ(pan.height - button.top - button.height, 90);
    EXPECT_EQ(button.back_colour, 0x00FFFF00u);
    EXPECT_EQ(button.style, 1);
  }
}

TEST(MainWindowDefinition, RoomCaptionsTagsAndGrid) {
  struct Room {
    std::u16string_view caption, tag;
    float left, top;
  };
  const Room rooms[6] = {
      {u"02-公用區", u"public", 825, 1770},       {u"03-營業部專用", u"ds", 825, 3045},
      {u"01-研一部/研二部專用", u"rd", 825, 495}, {u"04-資訊部專用", u"it", 5730, 495},
      {u"05-技研部專用", u"tr", 5730, 1770},      {u"06-海外廠會議專用", u"of", 5730, 3045},
  };
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(At(def::RoomSelectSlot(i)).caption, rooms[i].caption);
    EXPECT_EQ(At(def::RoomSelectSlot(i)).tag, rooms[i].tag);
    EXPECT_EQ(At(def::RoomPanSlot(i)).left, rooms[i].left);
    EXPECT_EQ(At(def::RoomPanSlot(i)).top, rooms[i].top);
  }
}

TEST(MainWindowDefinition, PanelsAreCreatedInTheirOrderAfterTheirParents) {
  const char16_t* const order[] = {u"Pan00",           u"ToDo",       u"meCaption",
                                   u"Sysinfo",         u"Pan100",     u"ShowTALVOSF",
                                   u"ShowMachinecode", u"DesignInfo", u"Pan01"};
  for (int slot = 0; slot < 9; ++slot) EXPECT_EQ(At(slot).name, order[slot]);
  const int room_order[] = {5, 4, 3, 1, 0, 2};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(At(def::kFirstRoom + 2 * k).index, room_order[k]);
  EXPECT_EQ(At(def::kLabel1).name, u"Label1");
  for (int slot = 0; slot < def::kControlCount; ++slot) {
    EXPECT_LT(At(slot).parent, slot) << "parent defined after its child at " << slot;
    if (At(slot).parent != kWindowSlot) {
      EXPECT_EQ(At(At(slot).parent).kind, def::Kind::PictureBox);
    }
  }
}

TEST(MainWindowDefinition, TabIndexRunsWithoutGaps) {
  std::vector<int> tabs;
  for (const def::ControlDef& c : kControls) tabs.push_back(c.tab_index);
  std::sort(tabs.begin(), tabs.end());
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) EXPECT_EQ(tabs[i], i);
  EXPECT_EQ(tabs.size(), 22u);
  EXPECT_EQ(At(def::kPan100).tab_index, 0);
  EXPECT_EQ(At(def::RoomSelectSlot(5)).tab_index, 21);
}

TEST(MainWindowDefinition, KeyboardVisitsTheButtonsByTabIndexAcrossPanels) {
  std::vector<std::pair<std::u16string_view, int>> visited;
  for (int slot : def::TabStops(kControls)) visited.emplace_back(At(slot).name, At(slot).index);
  // RoomSelect(3) (16) comes before RoomSelect(1) (17) though RoomPan(1) (12)
  // comes before RoomPan(3) (13).
  const std::vector<std::pair<std::u16string_view, int>> expected = {
      {u"ToDo", 0},       {u"RoomSelect", 2}, {u"RoomSelect", 0}, {u"RoomSelect", 3},
      {u"RoomSelect", 1}, {u"RoomSelect", 4}, {u"RoomSelect", 5}};
  EXPECT_EQ(visited, expected);
}

TEST(MainWindowDefinition, WindowAndTitleStripAtDesign) {
  EXPECT_EQ(def::kMainWindow.width, 11010);
  EXPECT_EQ(def::kMainWindow.height, 6360);
  EXPECT_EQ(Scale().ToPixels(def::kMainWindow.width), 734);
  EXPECT_EQ(Scale().ToPixels(def::kMainWindow.height), 424);
  EXPECT_EQ(def::kMainWindow.back_colour, 0x00FF8080u);
  EXPECT_TRUE(def::kMainWindow.caption.empty());
  const def::ControlDef& pan00 = At(def::kPan00);
  EXPECT_EQ(pan00.left, 0);
  EXPECT_EQ(pan00.width, def::kMainWindow.width);
  EXPECT_TRUE(pan00.tag.empty());
  // Sysinfo and DesignInfo end at the same x.
  EXPECT_EQ(At(def::kSysinfo).left + At(def::kSysinfo).width, 10395);
  EXPECT_EQ(At(def::kDesignInfo).left + At(def::kDesignInfo).width, 10395);
}

TEST(MainWindowDefinition, LabelsAreTransparentWhiteAndButtonsDrawnInColour) {
  for (const def::ControlDef& c : kControls) {
    const def::Font& font = c.font ? *c.font : def::kWindowFont;
    EXPECT_EQ(font.face, u"Arial");
    if (c.kind != def::Kind::Label) continue;
    SCOPED_TRACE(fakes::Utf8(c.name));
    EXPECT_TRUE(c.transparent);
    EXPECT_EQ(c.fore_colour, 0x00FFFFFFu);
  }
  const def::ControlDef& exit = At(def::kToDo0);
  EXPECT_TRUE(exit.caption.empty());
  EXPECT_EQ(exit.tooltip, u"Exit System");
  EXPECT_EQ(exit.mouse_pointer, 99);
  EXPECT_EQ(exit.mouse_icon, &def::kPointerIcon);
  EXPECT_EQ(exit.picture, &def::kExitPicture);
  EXPECT_EQ(exit.font->weight, 400);
  EXPECT_EQ(At(def::kMeCaption).caption, u"TALVO Internet Office TALVO網路會議室");
  // project(VERSION) as written, "Ver:1.01" for 1.01.
  const std::string_view version = TALVO_VERSION;
  EXPECT_EQ(At(def::kSysinfo).caption, u"Ver:" + std::u16string(version.begin(), version.end()));
}

}  // namespace
}  // namespace talvo
