// The layout pass and topmost placement over recording fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "fakes/rig.h"

namespace talvo {
namespace {

using fakes::FormRig;

std::size_t IndexOf(const fakes::Log& log, const std::string& entry) {
  return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

TEST(Layout, DesignWindowGivesTheFinishedPanel) {
  FormRig rig;
  rig.form.ResizeSet();
  fakes::FakeControl& pan00 = rig.parts.at(def::kPan00);
  fakes::FakeControl& pan01 = rig.parts.at(def::kPan01);
  EXPECT_EQ(pan00.left, 60);
  EXPECT_EQ(pan00.top, 60);
  EXPECT_EQ(pan00.width, 10860);
  EXPECT_EQ(pan00.height, 690);
  EXPECT_EQ(pan01.left, 60);
  EXPECT_EQ(pan01.top, 750);
  EXPECT_EQ(pan01.width, 10860);
  EXPECT_EQ(pan01.height, 4845);
  EXPECT_EQ(rig.parts.window().width, 11010);
  EXPECT_EQ(rig.parts.window().height, 5685);
  EXPECT_EQ(fakes::PictureName(pan00.picture), "Color01");
  EXPECT_EQ(fakes::PictureName(pan01.picture), "Color08A");
  // The footer stays where it was, below the new bottom edge.
  EXPECT_GE(rig.parts.at(def::kPan100).top, rig.parts.window().height);
}

TEST(Layout, PanelsFollowTheWindowWidthAndTheWindowFollowsThePanelHeights) {
  struct Case {
    float window_width, title_height, body_height;
    float body_top, window_height, panel_width;
  };
  // A narrower window, then shorter panels.
  for (const Case c :
       {Case{6000, 690, 4845, 750, 5685, 5850}, Case{11010, 600, 3000, 660, 3750, 10860}}) {
    SCOPED_TRACE(c.window_width);
    FormRig rig;
    rig.parts.window().width = c.window_width;
    rig.parts.at(def::kPan00).height = c.title_height;
    rig.parts.at(def::kPan01).height = c.body_height;
    rig.form.ResizeSet();
    EXPECT_EQ(rig.parts.at(def::kPan01).top, c.body_top);
    EXPECT_EQ(rig.parts.window().height, c.window_height);
    EXPECT_EQ(rig.parts.at(def::kPan00).width, c.panel_width);
    EXPECT_EQ(rig.parts.at(def::kPan01).width, c.panel_width);
    EXPECT_EQ(rig.parts.window().width, c.window_width);
  }
}

TEST(Layout, BodyIsFramedBeforeTheHeightChangesAndTheWindowAfter) {
  FormRig rig;
  rig.form.ResizeSet();
  const fakes::Log& log = rig.log;
  const std::size_t body_frame = IndexOf(log, "Pan01.Cls");
  const std::size_t height = IndexOf(log, "mainform.Height=5685");
  const std::size_t window_frame = IndexOf(log, "mainform.Cls");
  EXPECT_LT(IndexOf(log, "Pan01.Picture=Color08A"), body_frame);
  EXPECT_LT(body_frame, height);
  EXPECT_LT(height, window_frame);
  EXPECT_LT(window_frame, log.size());
  // The window's frame follows its new height: bottom edge at 5685 - 20.
  EXPECT_NE(IndexOf(log, "mainform.Line (10,5665)-(10990,5665)"), log.size());
  EXPECT_EQ(IndexOf(log, "Pan00.Cls"), log.size()) << "the title panel gets no frame";
}

TEST(Layout, MissingPictureKeepsTheOldOneAndThePassGoesOn) {
  FormRig rig;
  rig.pictures.missing = {"Color01"};
  auto old = std::make_shared<fakes::FakePicture>("old");
  rig.parts.at(def::kPan00).picture = old;
  rig.form.ResizeSet();
  EXPECT_EQ(rig.parts.at(def::kPan00).picture, old);
  EXPECT_EQ(fakes::PictureName(rig.parts.at(def::kPan01).picture), "Color08A");
  EXPECT_EQ(rig.parts.window().height, 5685);
}

TEST(Layout, OverflowingSumSkipsOnlyItsStatement) {
  FormRig rig;
  const float huge = std::numeric_limits<float>::max();
  rig.parts.at(def::kPan00).height = huge / 2;
  rig.parts.at(def::kPan01).height = huge;
  rig.parts.window().height = 4321;
  rig.form.ResizeSet();
  EXPECT_EQ(rig.parts.at(def::kPan01).top, 60 + huge / 2);
  EXPECT_EQ(rig.parts.window().height, 4321);  // Top + Height + 90 overflowed
  EXPECT_NE(IndexOf(rig.log, "mainform.Cls"), rig.log.size());
}

TEST(Layout, StartUpReadsOnlyTheTwoPicturesInUse) {
  FormRig rig;
  EXPECT_FALSE(rig.subset.Created());
  rig.form.ResizeSet();
  EXPECT_TRUE(rig.subset.Created());
  EXPECT_EQ(rig.pictures.loads, (std::map<std::string, int>{{"Color01", 1}, {"Color08A", 1}}));
}

TEST(Topmost, OneStepToTheTopmostBandWhereTheWindowStandsThenTheWriteBack) {
  for (bool refused : {false, true}) {
    SCOPED_TRACE(refused);
    FormRig rig;
    rig.system.fail_set_window_pos = refused;
    rig.form.To_top();
    // HWND_TOPMOST, no move and no size (0x3), shown (0x40), not activated (0x10).
    const fakes::Log expected = {"SetWindowPos 4660 -1 0 0 0 0 0x53", "mainform.Top=2055",
                                 "mainform.Left=2475", "mainform.Width=11010",
                                 "mainform.Height=6360"};
    EXPECT_EQ(rig.log, expected);
    const fakes::FakeControl& window = rig.parts.window();
    EXPECT_EQ(std::vector<float>({window.left, window.top, window.width, window.height}),
              std::vector<float>({2475, 2055, 11010, 6360}));
  }
}

TEST(Topmost, WritesBackWhereverTheWindowStands) {
  // Far off the design place (a monitor left of the primary one), and beyond
  // what a 32-bit pixel number could carry: nothing is converted on the way.
  for (const float left : {-30000.0f, 3e9f}) {
    SCOPED_TRACE(left);
    FormRig rig;
    rig.parts.window().left = left;
    rig.form.To_top();
    EXPECT_EQ(rig.log.front(), "SetWindowPos 4660 -1 0 0 0 0 0x53");
    EXPECT_EQ(rig.log.at(2), "mainform.Left=" + testing::PrintToString(left));
    EXPECT_EQ(rig.parts.window().left, left);
  }
}

}  // namespace
}  // namespace talvo
