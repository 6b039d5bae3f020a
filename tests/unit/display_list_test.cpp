// Twips at a display's resolution, and drawings kept as display lists and
// replayed at it.
#include "common/display_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "common/basecomm.h"
#include "tests/fakes/fake_geometry.h"
#include "tests/fakes/fake_screen.h"
#include "tests/fakes/fake_toolkit.h"

namespace talvo {
namespace {

TEST(Scale, ConvertsAtTheCommonResolutions) {
  struct Case {
    int dpi;
    int width, height;  // the finished window, 11010 x 5685 twips
  };
  for (const Case c :
       {Case{96, 734, 379}, Case{120, 918, 474}, Case{144, 1101, 569}, Case{192, 1468, 758}}) {
    SCOPED_TRACE(c.dpi);
    const Scale scale(c.dpi);
    EXPECT_NEAR(scale.ToPixels(11010), c.width, 1);
    EXPECT_NEAR(scale.ToPixels(5685), c.height, 1);
    // Pointer offsets come back as exactly the twips they were.
    for (int pixels : {0, 1, 7, 165, 734, -30}) {
      EXPECT_EQ(scale.ToPixels(scale.ToTwips(pixels)), pixels);
    }
  }
  EXPECT_EQ(Scale(144).ToTwips(15), 150);
  EXPECT_EQ(Scale(192).ToTwips(3), 22.5f);
}

TEST(Scale, NinetySixDpiIsFifteenTwipsToThePixel) {
  const Scale scale;
  EXPECT_EQ(scale.ToPixels(15), 1);
  EXPECT_EQ(scale.ToPixels(10), 1);
  EXPECT_EQ(scale.ToPixels(7), 0);
  EXPECT_EQ(scale.ToPixels(7.5f), 1);  // halves away from zero
  EXPECT_EQ(scale.ToPixels(-30), -2);
  EXPECT_EQ(scale.ToPixels(10990), 733);
  EXPECT_EQ(scale.ToTwips(734), 11010);
  EXPECT_EQ(scale.LineWidth(), 1);
  EXPECT_EQ(scale.FontPixels(12), 16);
  EXPECT_EQ(scale.FromDesignPixels(4), 4);
}

TEST(Scale, ClampsWhatNoScreenHolds) {
  const Scale scale(144);
  EXPECT_EQ(scale.ToPixels(1e30f), 1000000);
  EXPECT_EQ(scale.ToPixels(-1e30f), -1000000);
  EXPECT_EQ(scale.ToPixels(std::nanf("")), -1000000);
  EXPECT_EQ(Scale(0).Dpi(), 96) << "a resolution of nothing is taken as 96";
}

TEST(Scale, LinesFontsAndMarksGrowWithTheResolution) {
  EXPECT_EQ(Scale(120).LineWidth(), 1);
  EXPECT_EQ(Scale(144).LineWidth(), 1);
  EXPECT_EQ(Scale(192).LineWidth(), 2);
  EXPECT_EQ(Scale(144).FontPixels(20.25f), 41);
  EXPECT_EQ(Scale(192).FontPixels(12), 32);
  EXPECT_EQ(Scale(144).FromDesignPixels(32), 48);
  EXPECT_EQ(Scale(120).FromDesignPixels(4), 5);
}

// The caption drag at 144 dpi: the pointer's positions in the label and the
// window's position reach the core as twips, and the window lands exactly
// the pointer's offset in pixels away.
TEST(Scale, DragAtAHigherResolutionMovesByExactlyThePointersOffset) {
  for (const int dpi : {120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const Scale scale(dpi);
    fakes::FakeTagHolder holder;
    fakes::FakeGeometry window;
    fakes::FakeScreen screen;
    fakes::FakeToolkit events;
    window.left = scale.ToTwips(248);
    window.top = scale.ToTwips(206);
    B03_Basecomm::DragBegin(holder, window, scale.ToTwips(133), scale.ToTwips(25));
    B03_Basecomm::DragMove(holder, window, scale.ToTwips(133 + 120), scale.ToTwips(25 + 61), screen,
                           events);
    EXPECT_EQ(scale.ToPixels(window.left), 248 + 120);
    EXPECT_EQ(scale.ToPixels(window.top), 206 + 61);
  }
}

// Writes each pixel operation as a line of text.
class RecordingCanvas : public PixelCanvas {
 public:
  std::vector<std::string> calls;
  void SetDrawMode(int mode) override { calls.push_back("mode " + std::to_string(mode)); }
  void Fill(const PixelBox& b, Colour colour) override {
    std::ostringstream out;
    out << "fill " << b.left << "," << b.top << "-" << b.right << "," << b.bottom << " #"
        << std::hex << colour;
    calls.push_back(out.str());
  }
  void Slant(int x1, int y1, int x2, int y2, int width, Colour) override {
    std::ostringstream out;
    out << "slant " << x1 << "," << y1 << "-" << x2 << "," << y2 << " w" << width;
    calls.push_back(out.str());
  }
};

// A DrawingTarget over a display list, as the backend's surfaces are.
class ListTarget : public DrawingTarget {
 public:
  DisplayList list;
  float Width() const override { return 3000; }
  float Height() const override { return 2000; }
  bool Cls() override {
    list.Clear();
    return true;
  }
  bool SetDrawMode(int mode) override { return list.SetDrawMode(mode); }
  bool Line(float x1, float y1, float x2, float y2, Colour c) override {
    return list.Line(x1, y1, x2, y2, c);
  }
  bool Box(float x1, float y1, float x2, float y2, Colour c) override {
    return list.Box(x1, y1, x2, y2, c);
  }
  bool FilledBox(float x1, float y1, float x2, float y2, Colour c) override {
    return list.FilledBox(x1, y1, x2, y2, c);
  }
};

TEST(DisplayList, KeepsThePanelFrameAndReplaysItInOrder) {
  ListTarget target;
  ASSERT_TRUE(target.list.Line(0, 0, 900, 900, 0x123456));
  B03_Basecomm::PaintPanelFrame(target);  // clears the line first
  ASSERT_EQ(target.list.Items().size(), 10u);
  RecordingCanvas canvas;
  target.list.Replay(Scale(), canvas);
  const std::vector<std::string> expected = {"mode 13",  // every replay starts in copy-pen mode
                                             "mode 13",
                                             "fill 1,1-200,2 #ffffff",
                                             "fill 1,1-2,133 #ffffff",
                                             "fill 1,132-200,133 #808080",
                                             "fill 199,1-200,133 #808080",
                                             "mode 13",
                                             "fill 4,4-196,5 #808080",
                                             "fill 4,4-5,130 #808080",
                                             "fill 4,129-196,130 #ffffff",
                                             "fill 195,4-196,130 #ffffff"};
  EXPECT_EQ(canvas.calls, expected);
}

TEST(DisplayList, ReplaysTheSameTwipsAtANewResolution) {
  ListTarget target;
  B03_Basecomm::PaintPanelFrame(target);
  RecordingCanvas at144, at192;
  target.list.Replay(Scale(144), at144);
  target.list.Replay(Scale(192), at192);
  // Outer top edge (10,10)-(2980,10) and inner right edge (2930,60)-(2930,1930).
  EXPECT_EQ(at144.calls[2], "fill 1,1-299,2 #ffffff");
  EXPECT_EQ(at144.calls[10], "fill 293,6-294,194 #ffffff");
  EXPECT_EQ(at192.calls[2], "fill 1,1-399,3 #ffffff");
  EXPECT_EQ(at192.calls[10], "fill 391,8-393,259 #ffffff");
}

TEST(DisplayList, BoxesIncludeTheirFarEdgesAndSlantedLinesGoToTheCanvas) {
  DisplayList list;
  ASSERT_TRUE(list.SetDrawMode(7));
  ASSERT_TRUE(list.Box(150, 150, 0, 0, 0xAA));  // corners in either order
  ASSERT_TRUE(list.FilledBox(0, 0, 30, 30, 0xBB));
  ASSERT_TRUE(list.Line(0, 0, 150, 300, 0xCC));
  RecordingCanvas canvas;
  list.Replay(Scale(), canvas);
  const std::vector<std::string> expected = {"mode 13",           "mode 7",
                                             "fill 0,0-11,1 #aa", "fill 0,10-11,11 #aa",
                                             "fill 0,1-1,10 #aa", "fill 10,1-11,10 #aa",
                                             "fill 0,0-3,3 #bb",  "slant 0,0-10,20 w1"};
  EXPECT_EQ(canvas.calls, expected);
}

TEST(DisplayList, ABoxNoThickerThanItsLinesIsOneBlock) {
  DisplayList list;
  ASSERT_TRUE(list.Box(0, 0, 300, 7, 0xAA));  // one pixel high at 192 dpi, lines two wide
  ASSERT_TRUE(list.Box(0, 0, 0, 0, 0xBB));    // a point
  RecordingCanvas canvas;
  list.Replay(Scale(192), canvas);
  const std::vector<std::string> expected = {"mode 13", "fill 0,0-42,3 #aa", "fill 0,0-2,2 #bb"};
  EXPECT_EQ(canvas.calls, expected);
}

TEST(DisplayList, RefusesWhatIsPastItsBoundOrNotARasterMode) {
  DisplayList list;
  EXPECT_FALSE(list.SetDrawMode(0));
  EXPECT_FALSE(list.SetDrawMode(17));
  for (std::size_t i = 0; i < DisplayList::kCapacity; ++i) {
    ASSERT_TRUE(list.Line(0, static_cast<float>(i), 15, static_cast<float>(i), 1));
  }
  EXPECT_FALSE(list.Line(0, 0, 15, 0, 2));
  EXPECT_FALSE(list.SetDrawMode(13));
  EXPECT_EQ(list.Items().size(), DisplayList::kCapacity);
  EXPECT_EQ(list.Items().back().colour, 1u) << "what was kept is unchanged";

  // A frame drawn on a full target stops at its first primitive; a clear
  // makes room again.
  ListTarget target;
  for (std::size_t i = 0; i < DisplayList::kCapacity; ++i)
    ASSERT_TRUE(target.list.Line(0, 0, 1, 1, 1));
  EXPECT_FALSE(B03_Basecomm::DrawFrame3D(target, false, 10, 10, 100, 100, 50, 1));
  B03_Basecomm::PaintPanelFrame(target);
  EXPECT_EQ(target.list.Items().size(), 10u);
}

}  // namespace
}  // namespace talvo
