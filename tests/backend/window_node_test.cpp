// The window's own geometry, in twips at the monitor's DPI: the core reads
// back exactly what it wrote while the window has the pixels those twips
// give, and what the platform says once it does not.
#include <gtest/gtest.h>

#include "main_window/mainform_def.h"
#include "platform/win32/control_tree.h"
#include "tests/backend/test_host.h"

namespace talvo::win32 {
namespace {

TEST(WindowNode, ReadsBackTheTwipsItWasGivenAtEveryDpi) {
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    testing::TestHost host(dpi);
    ResourcePictureLoader pictures;
    ControlTree tree(host, def::kMainForm, pictures, {});
    WindowNode& window = tree.Window();
    const Scale scale(dpi);
    // 11010 twips are 917.5 pixels at 120 dpi: shown as 918, read as 11010,
    // not as the 11016 that 918 pixels make.
    ASSERT_TRUE(window.SetWidth(11010) && window.SetHeight(5685));
    ASSERT_TRUE(window.SetLeft(2475) && window.SetTop(2055));
    EXPECT_EQ(window.Width(), 11010);
    EXPECT_EQ(window.Height(), 5685);
    EXPECT_EQ(window.Left(), 2475);
    EXPECT_EQ(window.Top(), 2055);
    const RECT r = host.WindowRect();
    EXPECT_EQ(r.right - r.left, scale.ToPixels(11010));
    EXPECT_EQ(r.left, scale.ToPixels(2475));

    // Moved by the platform (a drag, a placement): the pixels say where.
    SetWindowPos(host.Hwnd(), nullptr, r.left + 7, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(window.Left(), scale.ToTwips(r.left + 7));
    EXPECT_EQ(window.Width(), 11010) << "the size it still has reads back as written";
  }
}

TEST(WindowNode, BeforeItIsShownItStandsWhereTheCorePutItIfItFits) {
  testing::TestHost host(96);
  host.shown = false;
  ResourcePictureLoader pictures;
  ControlTree tree(host, def::kMainForm, pictures, {});
  WindowNode& window = tree.Window();
  ASSERT_TRUE(window.SetHeight(5685));
  EXPECT_EQ(window.Left(), 2475);
  EXPECT_EQ(window.Top(), 2055);
  // Far off every screen, it is brought onto one, at its size.
  ASSERT_TRUE(window.SetLeft(-60000));
  EXPECT_GE(host.WindowRect().left, 0);
  EXPECT_EQ(window.Width(), 11010);
  EXPECT_EQ(window.Height(), 5685);
}

}  // namespace
}  // namespace talvo::win32
