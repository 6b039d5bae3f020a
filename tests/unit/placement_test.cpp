// Where the window first appears on the screens there are.
#include "common/placement.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace talvo
