// The caption label's handlers driving the window through the title panel's Tag.
#include <gtest/gtest.h>

#include "fakes/fake_form.h"

namespace talvo {
namespace {

using fakes::FormRig;

TEST(CaptionDrag, PressMoveReleaseMovesTheWindowByTheOffset) {
  FormRig rig;
  rig.form.meCaption_MouseDown(2, 1, 2000, 200);  // right button with shift
  EXPECT_EQ(rig.parts.at(def::kPan00).tag, u"A00000020000000000200");
  rig.form.meCaption_MouseMove(2, 1, 2150, 170);
  EXPECT_EQ(rig.parts.window().left, 2625);
  EXPECT_EQ(rig.parts.window().top, 2025);
  rig.form.meCaption_MouseUp(2, 1, 2150, 170);
  EXPECT_EQ(rig.parts.at(def::kPan00).tag, u"B");
  rig.form.meCaption_MouseMove(0, 0, 4000, 900);
  EXPECT_EQ(rig.parts.window().left, 2625);
}

TEST(CaptionDrag, LostCaptureEndsTheDrag) {
  FormRig rig;
  rig.form.meCaption_MouseDown(1, 0, 300, 300);
  rig.form.meCaption_CaptureLost();
  EXPECT_EQ(rig.parts.at(def::kPan00).tag, u"B");
  rig.log.clear();
  rig.form.meCaption_MouseMove(0, 0, 900, 900);
  EXPECT_EQ(rig.parts.window().left, 2475);
  EXPECT_EQ(rig.parts.window().top, 2055);
  EXPECT_TRUE(rig.log.empty()) << "an idle move dispatches no events";
}

}  // namespace
}  // namespace talvo
