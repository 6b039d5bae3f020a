// Where the window first appears on the screens there are, and where a drag
// across monitors of different resolutions puts it.
#include "common/placement.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/basecomm.h"
#include "common/twips.h"
#include "tests/fakes/fake_geometry.h"
#include "tests/fakes/fake_screen.h"
#include "tests/fakes/fake_toolkit.h"

namespace talvo {
namespace {

// The finished window at its design position at 96 dpi.
constexpr ScreenRect kDesign{165, 137, 165 + 734, 137 + 424};

TEST(FirstPlacement, KeepsTheDesignPositionWhereTheWindowFits) {
  const std::vector<ScreenRect> screen = {{0, 0, 1280, 1024}};
  EXPECT_EQ(FirstPlacement(kDesign, screen), kDesign);
  const std::vector<ScreenRect> exactly = {{165, 137, 899, 561}};
  EXPECT_EQ(FirstPlacement(kDesign, exactly), kDesign);
}

TEST(FirstPlacement, MovesTheLeastThatBringsItOnScreen) {
  // 800 x 600: 165 + 734 ends at 899, so it moves left to end at 800.
  EXPECT_EQ(FirstPlacement(kDesign, std::vector<ScreenRect>{{0, 0, 800, 600}}),
            (ScreenRect{66, 137, 800, 561}));
  // A task bar along the bottom of 1024 x 520 pulls it up as well.
  EXPECT_EQ(FirstPlacement(kDesign, std::vector<ScreenRect>{{0, 0, 1024, 520}}),
            (ScreenRect{165, 96, 899, 520}));
  // Above and left of the work area it moves down and right.
  EXPECT_EQ(FirstPlacement({-100, -50, 634, 374}, std::vector<ScreenRect>{{0, 30, 1280, 1024}}),
            (ScreenRect{0, 30, 734, 454}));
}

TEST(FirstPlacement, LargerThanTheWorkAreaGoesToItsTopLeftCorner) {
  // 1101 x 636 at 144 dpi on a 1024 x 600 work area.
  EXPECT_EQ(FirstPlacement({248, 206, 1349, 842}, std::vector<ScreenRect>{{0, 40, 1024, 640}}),
            (ScreenRect{0, 40, 1101, 676}));
}

TEST(FirstPlacement, UsesTheMonitorItIsMostlyOnOrTheNearest) {
  const std::vector<ScreenRect> monitors = {{0, 0, 1920, 1040}, {1920, 0, 3200, 984}};
  // Mostly on the right-hand monitor, running off its right edge.
  EXPECT_EQ(FirstPlacement({2900, 100, 3634, 479}, monitors), (ScreenRect{2466, 100, 3200, 479}));
  // Straddling both, mostly on the left one: it stays there, whole.
  EXPECT_EQ(FirstPlacement({1500, 100, 2234, 479}, monitors), (ScreenRect{1186, 100, 1920, 479}));
  // On no monitor at all (one was unplugged): onto the nearest.
  EXPECT_EQ(FirstPlacement({3500, 2000, 4234, 2379}, monitors), (ScreenRect{2466, 605, 3200, 984}));
  // Nothing known about the screens: where it was.
  EXPECT_EQ(FirstPlacement(kDesign, std::vector<ScreenRect>{}), kDesign);
}

TEST(HomeArea, TheAreaMostUnderTheWindowElseTheNearest) {
  const std::vector<ScreenRect> areas = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
  EXPECT_EQ(HomeArea({1500, 100, 2234, 479}, areas), 0);  // 420 px left of the border
  EXPECT_EQ(HomeArea({1600, 100, 2334, 479}, areas), 1);  // 414 px right of it
  EXPECT_EQ(HomeArea({4000, 100, 4734, 479}, areas), 1);  // on none: the nearest
  EXPECT_EQ(HomeArea({0, 0, 10, 10}, std::vector<ScreenRect>{}), -1);
}

TEST(ScaledAround, TheSpotUnderThePointerStaysUnderIt) {
  const ScreenRect window{1500, 100, 2234, 479};  // 734 x 379 at 96 dpi
  // Onto a 200 % monitor: twice the distance from the corner, twice the size.
  EXPECT_EQ(ScaledAround(window, 1600, 125, 96, 192, 1468, 758), (ScreenRect{1400, 75, 2868, 833}));
  // And back: the same window again.
  EXPECT_EQ(ScaledAround({1400, 75, 2868, 833}, 1600, 125, 192, 96, 734, 379), window);
  // 150 % to 125 %: 101 px become 84.2, rounded like twips are.
  EXPECT_EQ(ScaledAround({0, 0, 1101, 569}, 101, 101, 144, 120, 918, 474),
            (ScreenRect{17, 17, 935, 491}));
}

// The caption dragged from a 100 % monitor onto a 200 % one: the window is
// made again at the new size around the pointer, and the next move, with the
// pointer where it was, leaves it there: the anchor stayed under the pointer.
TEST(ScaledAround, KeepsTheDragAnchorUnderThePointer) {
  const Scale before(96), after(192);
  fakes::FakeTagHolder holder;
  fakes::FakeGeometry window;
  fakes::FakeScreen screen;
  fakes::FakeToolkit events;
  // The caption's left edge is 78 px into the window; the press is 522 px in.
  const int caption_left = 78, press = 522 - caption_left;
  B03_Basecomm::DragBegin(holder, window, before.ToTwips(press), before.ToTwips(20));
  const ScreenRect old_rect{1500, 100, 2234, 479};
  const int pointer_x = old_rect.left + caption_left + press, pointer_y = old_rect.top + 30;
  const ScreenRect new_rect = ScaledAround(old_rect, pointer_x, pointer_y, 96, 192, 1468, 758);
  window.left = after.ToTwips(new_rect.left);
  window.top = after.ToTwips(new_rect.top);
  // The pointer as the label reports it at the new scale.
  const int caption_left_after = after.ToPixels(before.ToTwips(caption_left));
  const float x = after.ToTwips(pointer_x - new_rect.left - caption_left_after);
  const float y = after.ToTwips(pointer_y - new_rect.top - after.ToPixels(before.ToTwips(10)));
  B03_Basecomm::DragMove(holder, window, x, y, screen, events);
  EXPECT_EQ(after.ToPixels(window.left), new_rect.left);
  EXPECT_EQ(after.ToPixels(window.top), new_rect.top);
}

TEST(RescaledForDrag, TheNewScaleWaitsUntilItHolds) {
  // A 1080p monitor at 100 % with a 4K one at 200 % to its right.
  const std::vector<Monitor> monitors = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
                                         {{1920, 0, 5760, 2160}, {1920, 0, 5760, 2080}, 192}};
  struct Case {
    const char* what;
    int left, pointer_offset;  // the window at 96 dpi, 734 x 379, and the pointer in it
    bool rescaled;
  };
  const Case cases[] = {
      // Just past halfway onto the 200 % monitor, pointer near the left end:
      // twice the size around the pointer still stands mostly on it.
      {"pointer in the near part", 1560, 100, true},
      // The same window held further right: twice the size around the pointer
      // would stand mostly on the 100 % monitor again, and switch straight back.
      {"pointer in the far part", 1560, 600, false},
      {"the far part, further on", 1800, 600, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ScreenRect window{c.left, 100, c.left + 734, 479};
    const int x = c.left + c.pointer_offset, y = 125;
    const auto there = RescaledForDrag(window, x, y, 96, 192, 1468, 758, monitors);
    ASSERT_EQ(there.has_value(), c.rescaled);
    if (there) {
      EXPECT_EQ(*there, ScaledAround(window, x, y, 96, 192, 1468, 758));
    }
  }
  // Grown around a pointer on the caption near the top of the screen, it is
  // kept from rising above the work area.
  const ScreenRect at_top{1800, 10, 2534, 389};
  const auto kept = RescaledForDrag(at_top, 1900, 35, 96, 192, 1468, 758, monitors);
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, (ScreenRect{1700, 0, 3168, 758}));
  // Back onto the 100 % monitor the same way; and with no monitor known the
  // window is rescaled where it stands.
  EXPECT_TRUE(RescaledForDrag({1000, 100, 2468, 858}, 1100, 125, 192, 96, 734, 379, monitors));
  EXPECT_TRUE(RescaledForDrag({0, 0, 734, 379}, 10, 10, 96, 144, 1101, 569, {}));
}

TEST(WhollyOn, EveryPixelInOneWorkAreaOrAnother) {
  const std::vector<ScreenRect> areas = {{0, 0, 1920, 1040}, {1920, 0, 3840, 1040}};
  EXPECT_TRUE(WhollyOn({100, 100, 834, 479}, areas));
  EXPECT_TRUE(WhollyOn({1600, 100, 2334, 479}, areas)) << "across two monitors";
  EXPECT_FALSE(WhollyOn({1600, 800, 2334, 1179}, areas)) << "partly under the task bar";
  EXPECT_FALSE(WhollyOn({3500, 100, 4234, 479}, areas)) << "partly off the right";
  EXPECT_FALSE(WhollyOn({0, 0, 10, 10}, std::vector<ScreenRect>{}));
}

}  // namespace
}  // namespace talvo
