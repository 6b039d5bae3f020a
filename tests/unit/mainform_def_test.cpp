// The main window's definition: the relations between its parts that a typo in
// the table would break. What the table's static_asserts already prove is not
// repeated here.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "fakes/rig.h"
#include "main_window/mainform_def.h"

namespace talvo {
namespace {

using def::kControls;

const def::ControlDef& At(int slot) { return kControls.at(slot); }

float Right(const def::ControlDef& c) { return c.left + c.width; }
float Bottom(const def::ControlDef& c) { return c.top + c.height; }

TEST(MainWindowDefinition, EveryControlLiesInsideItsParent) {
  for (int slot = 0; slot < def::kControlCount; ++slot) {
    const def::ControlDef& c = At(slot);
    SCOPED_TRACE(fakes::Utf8(c.name) + "(" + std::to_string(c.index) + ")");
    const float width = c.parent == kWindowSlot ? def::kMainWindow.width : At(c.parent).width;
    const float height = c.parent == kWindowSlot ? def::kMainWindow.height : At(c.parent).height;
    EXPECT_GE(c.left, 0);
    EXPECT_GE(c.top, 0);
    EXPECT_LE(Right(c), width);
    EXPECT_LE(Bottom(c), height);
  }
}

TEST(MainWindowDefinition, EachRoomPanelShowsBeyondItsButtonAtRightAndBottom) {
  for (Index i = 0; i < def::kRoomCount; ++i) {
    SCOPED_TRACE(i);
    const def::ControlDef& pan = At(def::RoomPanSlot(i));
    const def::ControlDef& button = At(def::RoomSelectSlot(i));
    // The black panel frames the button with a 90-twip edge at right and bottom.
    EXPECT_EQ(pan.width - Right(button), 90);
    EXPECT_EQ(pan.height - Bottom(button), 90);
  }
}

TEST(MainWindowDefinition, RoomsRunInTheirNumbersOrderDownTheColumnsAndEachHasItsOwnTag) {
  std::set<int> numbers;
  std::set<std::u16string_view> tags;
  for (Index i = 0; i < def::kRoomCount; ++i) {
    const def::ControlDef& button = At(def::RoomSelectSlot(i));
    SCOPED_TRACE(fakes::Utf8(button.caption));
    // Captions start with the room's number: "01-", "02-", ...
    ASSERT_GE(button.caption.size(), 3u);
    ASSERT_EQ(button.caption[2], u'-');
    const int number = (button.caption[0] - u'0') * 10 + (button.caption[1] - u'0');
    ASSERT_GE(number, 1);
    ASSERT_LE(number, def::kRoomCount);
    numbers.insert(number);
    const def::ControlDef& pan = At(def::RoomPanSlot(i));
    EXPECT_EQ(pan.left, def::kRoomColumns[(number - 1) / 3]);
    EXPECT_EQ(pan.top, def::kRoomRows[(number - 1) % 3]);
    // The tag is the user id in the meeting file: it picks the room.
    EXPECT_FALSE(button.tag.empty());
    tags.insert(button.tag);
  }
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(def::kRoomCount));
  EXPECT_EQ(tags.size(), static_cast<std::size_t>(def::kRoomCount));
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

TEST(MainWindowDefinition, TitleStripStartsWithoutADragAnchor) {
  // The drag keeps its anchor in the title strip's tag ("A..." while held): a
  // tag given at design would drag the window on a move without a press.
  EXPECT_TRUE(At(def::kPan00).tag.empty());
}

TEST(MainWindowDefinition, VersionAndDesignerEndAtTheSameX) {
  EXPECT_EQ(Right(At(def::kSysinfo)), Right(At(def::kDesignInfo)));
}

TEST(MainWindowDefinition, OneFaceAndLabelsTransparentAndWhite) {
  for (const def::ControlDef& c : kControls) {
    SCOPED_TRACE(fakes::Utf8(c.name));
    const def::Font& font = c.font ? *c.font : def::kWindowFont;
    EXPECT_EQ(font.face, def::kWindowFont.face);
    if (c.kind != def::Kind::Label) continue;
    EXPECT_TRUE(c.transparent);
    EXPECT_EQ(c.fore_colour, def::kWhite);
  }
}

TEST(MainWindowDefinition, EveryButtonHasANameAndACustomPointerItsIcon) {
  for (const def::ControlDef& c : kControls) {
    SCOPED_TRACE(fakes::Utf8(c.name) + "(" + std::to_string(c.index) + ")");
    // Readers name a button by its caption, or by its tooltip where it shows a
    // picture instead.
    if (c.kind == def::Kind::CommandButton && c.caption.empty()) {
      EXPECT_NE(c.picture, nullptr);
      EXPECT_FALSE(c.tooltip.empty());
    }
    EXPECT_EQ(c.mouse_pointer == def::kMousePointerCustom, c.mouse_icon != nullptr);
  }
}

TEST(MainWindowDefinition, VersionCaptionIsTheProjectVersion) {
  // project(VERSION) as written, "Ver:1.01" for 1.01.
  const std::string_view version = TALVO_VERSION;
  EXPECT_EQ(At(def::kSysinfo).caption, u"Ver:" + std::u16string(version.begin(), version.end()));
}

}  // namespace
}  // namespace talvo
