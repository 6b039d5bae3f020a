#include "common/basecomm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "tests/fakes/fake_geometry.h"
#include "tests/fakes/fake_screen.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/recording_target.h"

namespace talvo::B03_Basecomm {
namespace {

using fakes::DrawCall;
using fakes::FakeGeometry;
using fakes::FakeScreen;
using fakes::FakeTagHolder;
using fakes::FakeToolkit;
using fakes::RecordingTarget;
using Calls = std::vector<DrawCall>;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kGrey = 0x808080;
constexpr Colour kFace = 0xC0C0C0;
constexpr Colour kShadow = 0x80000015;
// Colours that appear nowhere else, so a swapped edge colour shows.
constexpr Colour kFirst = 0x111111;
constexpr Colour kSecond = 0x222222;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

DrawCall Mode() { return DrawCall::DrawMode(13); }
DrawCall Line(float x1, float y1, float x2, float y2, Colour c) {
  return DrawCall::Line(x1, y1, x2, y2, c);
}

Calls Prefix(const Calls& calls, std::size_t n) {
  return Calls(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(n));
}

// The panel frame of a w x h target, written out step by step.
Calls PanelFrame(float w, float h) {
  return {DrawCall::Cls(),
          Mode(),
          Line(10, 10, w - 20, 10, kWhite),
          Line(10, 10, 10, h - 20, kWhite),
          Line(10, h - 20, w - 20, h - 20, kGrey),
          Line(w - 20, 10, w - 20, h - 20, kGrey),
          Mode(),
          Line(60, 60, w - 70, 60, kGrey),
          Line(60, 60, 60, h - 70, kGrey),
          Line(60, h - 70, w - 70, h - 70, kWhite),
          Line(w - 70, 60, w - 70, h - 70, kWhite)};
}

// ---------------------------------------------------------------------------
// Frames

TEST(PaintPanelFrameTest, DrawsElevenStepsOnA3000By2000Target) {
  RecordingTarget target(3000, 2000);
  PaintPanelFrame(target);
  const Calls expected = {DrawCall::Cls(),
                          Mode(),
                          Line(10, 10, 2980, 10, kWhite),
                          Line(10, 10, 10, 1980, kWhite),
                          Line(10, 1980, 2980, 1980, kGrey),
                          Line(2980, 10, 2980, 1980, kGrey),
                          Mode(),
                          Line(60, 60, 2930, 60, kGrey),
                          Line(60, 60, 60, 1930, kGrey),
                          Line(60, 1930, 2930, 1930, kWhite),
                          Line(2930, 60, 2930, 1930, kWhite)};
  EXPECT_EQ(target.calls, expected);
}

TEST(PaintPanelFrameTest, SmallTargetsGiveUnclampedInvertedRectangles) {
  struct Case {
    float w, h;
  };
  // Below 130 twips the inner bevel turns inside out, below 30 the outer one.
  for (const Case& c : {Case{129, 100}, Case{100, 129}, Case{29, 20}, Case{0, 0}, Case{-50, 7}}) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    RecordingTarget target(c.w, c.h);
    PaintPanelFrame(target);
    EXPECT_EQ(target.calls, PanelFrame(c.w, c.h));
  }
  // One written out in full: a 100 x 25 target.
  RecordingTarget target(100, 25);
  PaintPanelFrame(target);
  EXPECT_EQ(target.calls[4], Line(10, 5, 80, 5, kGrey));
  EXPECT_EQ(target.calls[8], Line(60, 60, 60, -45, kGrey));
  EXPECT_EQ(target.calls[10], Line(30, 60, 30, -45, kWhite));
}

TEST(PaintPanelFrameTest, FailingPrimitiveEndsFrameThereAndFailedClsDoesNot) {
  const Calls full = PanelFrame(3000, 2000);
  for (std::size_t n = 1; n <= full.size() + 1; ++n) {
    SCOPED_TRACE(testing::Message() << "failing call " << n);
    RecordingTarget target(3000, 2000);
    target.fail_on_call = n;
    PaintPanelFrame(target);  // Must neither throw nor report anything.
    // A failed Cls (call 1) is ignored; any later failure ends the frame.
    EXPECT_EQ(target.calls, n == 1 || n > full.size() ? full : Prefix(full, n));
  }
  RecordingTarget target(3000, 2000);
  target.fail_cls = true;
  PaintPanelFrame(target);
  EXPECT_EQ(target.calls, full);
}

TEST(DrawBevelTest, ThreePassesStepInwardFifteenTwipsEach) {
  RecordingTarget target;
  // Top 100, left 200, height 400, width 600: right edge 800, bottom 500.
  EXPECT_TRUE(DrawBevel(target, false, false, 100, 200, 400, 600, 3, kFirst, kSecond));
  const Calls expected = {Mode(),
                          Line(200, 100, 800, 100, kFirst),
                          Line(200, 100, 200, 500, kFirst),
                          Line(200, 500, 800, 500, kSecond),
                          Line(800, 100, 800, 500, kSecond),
                          Line(215, 115, 785, 115, kFirst),
                          Line(215, 115, 215, 485, kFirst),
                          Line(215, 485, 785, 485, kSecond),
                          Line(785, 115, 785, 485, kSecond),
                          Line(230, 130, 770, 130, kFirst),
                          Line(230, 130, 230, 470, kFirst),
                          Line(230, 470, 770, 470, kSecond),
                          Line(770, 130, 770, 470, kSecond)};
  EXPECT_EQ(target.calls, expected);
}

TEST(DrawBevelTest, FillComesFirstAndOutlineLastOnTheOuterRectangle) {
  RecordingTarget target;
  EXPECT_TRUE(DrawBevel(target, true, true, 100, 200, 400, 600, 2, kFirst, kSecond));
  const Calls expected = {Mode(),
                          DrawCall::FilledBox(200, 100, 800, 500, kFace),
                          Line(200, 100, 800, 100, kFirst),
                          Line(200, 100, 200, 500, kFirst),
                          Line(200, 500, 800, 500, kSecond),
                          Line(800, 100, 800, 500, kSecond),
                          Line(215, 115, 785, 115, kFirst),
                          Line(215, 115, 215, 485, kFirst),
                          Line(215, 485, 785, 485, kSecond),
                          Line(785, 115, 785, 485, kSecond),
                          DrawCall::Box(200, 100, 800, 500, kShadow)};
  EXPECT_EQ(target.calls, expected);
}

TEST(DrawBevelTest, PassCountFollowsThicknessAndFaceAndOutlineAlwaysDrawn) {
  struct Case {
    float thickness;
    std::size_t passes;
  };
  const Case cases[] = {{0, 0}, {-1, 0},    {-0.5f, 0}, {0.999f, 0}, {1, 1},    {1.5f, 1},
                        {2, 2}, {2.99f, 2}, {3, 3},     {kNaN, 0},   {-kInf, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "thickness " << c.thickness);
    RecordingTarget target;
    EXPECT_TRUE(DrawBevel(target, true, true, 0, 0, 1000, 1000, c.thickness, kFirst, kSecond));
    ASSERT_EQ(target.calls.size(), 3 + 4 * c.passes);
    EXPECT_EQ(target.calls.front(), Mode());
    EXPECT_EQ(target.calls[1], DrawCall::FilledBox(0, 0, 1000, 1000, kFace));
    EXPECT_EQ(target.calls.back(), DrawCall::Box(0, 0, 1000, 1000, kShadow));
    if (c.passes > 0) {
      const float last = 15.0f * static_cast<float>(c.passes - 1);
      EXPECT_EQ(target.calls[target.calls.size() - 2],
                Line(1000 - last, last, 1000 - last, 1000 - last, kSecond));
    }
  }
}

TEST(DrawBevelTest, NegativeSizesAreDrawnAsGivenWithoutClamping) {
  RecordingTarget target;
  EXPECT_TRUE(DrawBevel(target, true, true, 100, 100, -40, 20, 2, kFirst, kSecond));
  const Calls expected = {Mode(), DrawCall::FilledBox(100, 100, 120, 60, kFace),
                          Line(100, 100, 120, 100, kFirst), Line(100, 100, 100, 60, kFirst),
                          Line(100, 60, 120, 60, kSecond), Line(120, 100, 120, 60, kSecond),
                          // Second pass crosses over: near edges pass the far ones.
                          Line(115, 115, 105, 115, kFirst), Line(115, 115, 115, 45, kFirst),
                          Line(115, 45, 105, 45, kSecond), Line(105, 115, 105, 45, kSecond),
                          DrawCall::Box(100, 100, 120, 60, kShadow)};
  EXPECT_EQ(target.calls, expected);
}

TEST(DrawBevelTest, FailingPrimitiveReturnsFalseAndDrawsNothingAfter) {
  RecordingTarget reference;
  ASSERT_TRUE(DrawBevel(reference, true, true, 0, 0, 500, 500, 2, kFirst, kSecond));
  const Calls& full = reference.calls;
  ASSERT_EQ(full.size(), 11u);
  for (std::size_t n = 1; n <= full.size(); ++n) {
    SCOPED_TRACE(testing::Message() << "failing call " << n);
    RecordingTarget target;
    target.fail_on_call = n;
    EXPECT_FALSE(DrawBevel(target, true, true, 0, 0, 500, 500, 2, kFirst, kSecond));
    EXPECT_EQ(target.calls, Prefix(full, n));
  }
}

TEST(DrawFrame3DTest, FilledFrameDrawsInnerFaceAfterOuterEdges) {
  RecordingTarget target;
  EXPECT_TRUE(DrawFrame3D(target, true, 10, 20, 300, 400, 50, 1));
  const Calls expected = {Mode(),
                          DrawCall::FilledBox(20, 10, 420, 310, kFace),
                          Line(20, 10, 420, 10, kWhite),
                          Line(20, 10, 20, 310, kWhite),
                          Line(20, 310, 420, 310, kGrey),
                          Line(420, 10, 420, 310, kGrey),
                          Mode(),
                          DrawCall::FilledBox(70, 60, 370, 260, kFace),
                          Line(70, 60, 370, 60, kGrey),
                          Line(70, 60, 70, 260, kGrey),
                          Line(70, 260, 370, 260, kWhite),
                          Line(370, 60, 370, 260, kWhite)};
  EXPECT_EQ(target.calls, expected);
}

TEST(DrawFrame3DTest, InnerBevelOnlyForPositiveInset) {
  const Calls outer = {Mode(), Line(0, 0, 100, 0, kWhite), Line(0, 0, 0, 100, kWhite),
                       Line(0, 100, 100, 100, kGrey), Line(100, 0, 100, 100, kGrey)};
  for (float inset : {0.0f, -1.0f, -50.0f, kNaN}) {
    SCOPED_TRACE(testing::Message() << "inset " << inset);
    RecordingTarget target;
    EXPECT_TRUE(DrawFrame3D(target, false, 0, 0, 100, 100, inset, 1));
    EXPECT_EQ(target.calls, outer);
  }
  RecordingTarget target;
  EXPECT_TRUE(DrawFrame3D(target, false, 0, 0, 100, 100, 1, 1));
  Calls expected = outer;
  for (const DrawCall& call : {Mode(), Line(1, 1, 99, 1, kGrey), Line(1, 1, 1, 99, kGrey),
                               Line(1, 99, 99, 99, kWhite), Line(99, 1, 99, 99, kWhite)}) {
    expected.push_back(call);
  }
  EXPECT_EQ(target.calls, expected);
}

TEST(DrawFrame3DTest, FailingPrimitiveReturnsFalseAndDrawsNothingAfter) {
  RecordingTarget reference;
  ASSERT_TRUE(DrawFrame3D(reference, true, 0, 0, 1000, 1000, 100, 2));
  const Calls& full = reference.calls;
  ASSERT_EQ(full.size(), 20u);
  for (std::size_t n = 1; n <= full.size(); ++n) {
    SCOPED_TRACE(testing::Message() << "failing call " << n);
    RecordingTarget target;
    target.fail_on_call = n;
    EXPECT_FALSE(DrawFrame3D(target, true, 0, 0, 1000, 1000, 100, 2));
    EXPECT_EQ(target.calls, Prefix(full, n));
  }
}

// ---------------------------------------------------------------------------
// Dragging

struct DragFixture : testing::Test {
  FakeTagHolder holder;
  FakeGeometry window;
  FakeScreen screen;
  FakeToolkit events;

  void SetUp() override {
    window.left = 2475;
    window.top = 2055;
  }
};

using DragBeginTest = DragFixture;
using DragMoveTest = DragFixture;

TEST_F(DragBeginTest, WritesRoundedAnchorAsTenDigitFields) {
  struct Case {
    float x, y;
    std::u16string tag;
  };
  const Case cases[] = {
      {2000, 200, u"A00000020000000000200"},
      {0, 0, u"A00000000000000000000"},
      {2000.4f, 199.6f, u"A00000020000000000200"},
      {0.5f, 1.5f, u"A00000000010000000002"},  // halves round away from zero
      {2.5f, 0.49f, u"A00000000030000000000"},
      {9999999999.0f, 1, u"A100000000000000000001"},  // more digits widen the field
      // Negative: sign takes the first place so the field stays ten wide.
      {-5, -1234, u"A-000000005-000001234"},
      {-0.4f, 7, u"A00000000000000000007"},  // rounds to zero: no sign
      {kNaN, kInf, u"A00000000000000000000"},
      {-kInf, 3, u"A00000000000000000003"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    DragBegin(holder, window, c.x, c.y);
    EXPECT_EQ(holder.tag, c.tag);
  }
  EXPECT_EQ(window.set_left_calls + window.set_top_calls, 0);
  EXPECT_EQ(window.left, 2475);
  EXPECT_EQ(window.top, 2055);
}

TEST_F(DragMoveTest, MovesWindowByOffsetFromAnchorThenDispatchesFiveTimes) {
  DragBegin(holder, window, 2000, 200);
  float left_at_first_dispatch = 0;
  events.QueueEvent([&] { left_at_first_dispatch = window.left; });
  DragMove(holder, window, 2150, 170, screen, events);
  EXPECT_EQ(window.left, 2625);
  EXPECT_EQ(window.top, 2025);
  EXPECT_EQ(events.do_events_calls, 5);
  EXPECT_EQ(left_at_first_dispatch, 2625) << "events dispatched before the move";
  // Every move offsets from the press, not from the previous move.
  DragMove(holder, window, 2150, 170, screen, events);
  EXPECT_EQ(window.left, 2775);
  EXPECT_EQ(window.top, 1995);
  EXPECT_EQ(events.do_events_calls, 10);
  EXPECT_EQ(holder.tag, u"A00000020000000000200");
}

TEST_F(DragMoveTest, FractionalPressIsRoundedButMovePositionIsNot) {
  DragBegin(holder, window, 1999.6f, 200.4f);  // anchor 2000, 200
  DragMove(holder, window, 2000.5f, 199.75f, screen, events);
  EXPECT_EQ(window.left, 2475.5f);
  EXPECT_EQ(window.top, 2054.75f);
}

TEST_F(DragMoveTest, TopOnlyAppliedWhenStrictlyPositiveLeftAlways) {
  struct Case {
    float move_x, move_y;
    float left, top;
  };
  // Window at 100, 100; anchor 2000, 200.
  const Case cases[] = {
      {2000, 100, 100, 100},   // new top 0: kept
      {2000, 99, 100, 100},    // new top -1: kept
      {2000, 115, 100, 15},    // new top 15: applied
      {1000, 200, -900, 100},  // negative left: applied
      {-500, 0, -2400, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.move_x << ", " << c.move_y);
    window.left = 100;
    window.top = 100;
    DragBegin(holder, window, 2000, 200);
    DragMove(holder, window, c.move_x, c.move_y, screen, events);
    EXPECT_EQ(window.left, c.left);
    EXPECT_EQ(window.top, c.top);
  }
}

TEST_F(DragMoveTest, TopIsKeptInTheWorkAreaOfTheMonitorUnderThePointer) {
  // 1920 x 1080 primary with a bottom task bar; the same monitor above it with
  // its task bar at the top; a 1280 x 1024 one to the left, lower, with a top
  // task bar (twips at 96 dpi, 15 per pixel).
  screen.monitors = {{{0, 0, 28800, 16200}, {0, 0, 28800, 15600}},
                     {{0, -16200, 28800, 0}, {0, -15600, 28800, 0}},
                     {{-19200, 3000, 0, 18360}, {-19200, 3600, 0, 18360}}};
  struct Case {
    const char* what;
    float top, pointer_x, pointer_y, move_y;
    float expected_top;
  };
  // The anchor is at y 200; a move of move_y - 200 twips.
  const Case cases[] = {
      {"up across y = 0 onto the monitor above", 300, 3000, -300, -700, -600},
      {"above the top monitor's work area", -15000, 3000, -15500, -800, -15000},
      {"to the top monitor's work area exactly", -15000, 3000, -15500, -400, -15000},
      {"just below it", -15000, 3000, -15500, -385, -15585},
      {"above the primary, pointer still on it", 300, 3000, 100, -300, 300},
      {"left monitor: above its work area", 4000, -3000, 3700, -400, 4000},
      {"left monitor: inside its work area", 4000, -3000, 3700, -100, 3700},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    window.left = 1000;
    window.top = c.top;
    screen.pointer_x = c.pointer_x;
    screen.pointer_y = c.pointer_y;
    DragBegin(holder, window, 2000, 200);
    DragMove(holder, window, 1500, c.move_y, screen, events);
    EXPECT_EQ(window.top, c.expected_top);
    EXPECT_EQ(window.left, 500) << "horizontal moves are never limited";
  }
}

TEST_F(DragMoveTest, NoDragInProgressDoesNothing) {
  for (const std::u16string& tag :
       {std::u16string(), std::u16string(u"B"), std::u16string(u"a00000020000000000200"),
        std::u16string(u" A00000020000000000200"), std::u16string(u"B00000020000000000200")}) {
    SCOPED_TRACE(std::string(tag.begin(), tag.end()));
    holder.tag = tag;
    DragMove(holder, window, 0, 0, screen, events);
    EXPECT_EQ(window.set_left_calls + window.set_top_calls, 0);
    EXPECT_EQ(events.do_events_calls, 0);
    EXPECT_EQ(holder.tag, tag);
  }
}

TEST_F(DragMoveTest, ReleaseEndsTheDrag) {
  DragBegin(holder, window, 2000, 200);
  DragEnd(holder, window, 2150, 170);
  EXPECT_EQ(holder.tag, u"B");
  DragMove(holder, window, 2150, 170, screen, events);
  EXPECT_EQ(window.left, 2475);
  EXPECT_EQ(window.top, 2055);
  EXPECT_EQ(events.do_events_calls, 0);
}

TEST_F(DragMoveTest, SecondPressWithoutMoveReanchors) {
  DragBegin(holder, window, 2000, 200);
  DragBegin(holder, window, 500, 50);
  DragMove(holder, window, 600, 60, screen, events);
  EXPECT_EQ(window.left, 2575);
  EXPECT_EQ(window.top, 2065);
}

TEST_F(DragMoveTest, AnchorFieldsReadLikeValWithMissingOrNonDigitAsZero) {
  struct Case {
    std::u16string tag;
    float anchor_x, anchor_y;
  };
  const Case cases[] = {
      {u"A", 0, 0},
      {u"A12", 12, 0},  // short tag: take what is there
      {u"A0000000012", 12, 0},
      {u"A00000000120000000034", 12, 34},
      {u"A0000000012000000003", 12, 3},  // short second field
      {u"A00000000011234", 1, 1234},     // X field ends after ten characters
      {u"A00000000050000000007junk", 5, 7},
      {u"Axyz", 0, 0},
      {u"A12x4567890y", 12, 0},  // digits stop at the first non-digit
      {u"A          0000000007", 0, 7},
      {u"A-000000005-000000007", -5, -7},  // a negative press reads back signed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tag.begin(), c.tag.end()));
    window.left = 5000;
    window.top = 5000;
    holder.tag = c.tag;
    DragMove(holder, window, 100, 100, screen, events);
    EXPECT_EQ(window.left, 5100 - c.anchor_x);
    EXPECT_EQ(window.top, 5100 - c.anchor_y);
  }
}

TEST_F(DragMoveTest, ReentryThroughDispatchOffsetsFromTheSameAnchor) {
  DragBegin(holder, window, 2000, 200);
  // A second move event arrives while the first is dispatching.
  events.QueueEvent([&] { DragMove(holder, window, 2010, 230, screen, events); });
  DragMove(holder, window, 2150, 170, screen, events);
  EXPECT_EQ(window.left, 2625 + 10);
  EXPECT_EQ(window.top, 2025 + 30);
  EXPECT_EQ(events.do_events_calls, 10);
}

TEST_F(DragMoveTest, ReentryReadsTheTagAfresh) {
  DragBegin(holder, window, 2000, 200);
  // During the first dispatch the button is released, then the pointer moves.
  events.QueueEvent([&] { DragEnd(holder, window, 2150, 170); });
  events.QueueEvent([&] { DragMove(holder, window, 0, 0, screen, events); });
  // And a new press, then a move relative to it.
  events.QueueEvent([&] { DragBegin(holder, window, 100, 100); });
  events.QueueEvent([&] { DragMove(holder, window, 110, 90, screen, events); });
  DragMove(holder, window, 2150, 170, screen, events);
  EXPECT_EQ(window.left, 2625 + 10);
  EXPECT_EQ(window.top, 2025 - 10);
  // Outer five; the idle move dispatched none; the last move five.
  EXPECT_EQ(events.do_events_calls, 10);
  EXPECT_EQ(events.PendingEvents(), 0u);
}

TEST_F(DragMoveTest, RefusedWriteDoesNotStopTheOtherAxisOrTheEvents) {
  struct Case {
    const char* name;
    bool set_left, set_top;
    float left, top;
  };
  // Anchor 2000, 200; move 2150, 170: left 2475 -> 2625, top 2055 -> 2025.
  const Case cases[] = {
      {"SetLeft fails", false, true, 2475, 2025},
      {"SetTop fails", true, false, 2625, 2055},
      {"both fail", false, false, 2475, 2055},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeGeometry w;
    w.left = 2475;
    w.top = 2055;
    w.can_set_left = c.set_left;
    w.can_set_top = c.set_top;
    FakeToolkit e;
    DragBegin(holder, w, 2000, 200);
    DragMove(holder, w, 2150, 170, screen, e);
    EXPECT_EQ(w.set_left_calls, 1);
    EXPECT_EQ(w.set_top_calls, 1);
    EXPECT_EQ(w.left, c.left);
    EXPECT_EQ(w.top, c.top);
    EXPECT_EQ(e.do_events_calls, 5);
  }
}

TEST_F(DragMoveTest, NonFinitePositionSkipsOnlyThatAxis) {
  struct Case {
    float x, y;
    bool left_set, top_set;
  };
  const Case cases[] = {
      {kNaN, 170, false, true},
      {2150, kNaN, true, false},
      {kInf, -kInf, false, false},
      {2150, kInf, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    FakeGeometry w;
    w.left = 2475;
    w.top = 2055;
    FakeToolkit e;
    DragBegin(holder, w, 2000, 200);
    DragMove(holder, w, c.x, c.y, screen, e);
    EXPECT_EQ(w.set_left_calls, c.left_set ? 1 : 0);
    EXPECT_EQ(w.set_top_calls, c.top_set ? 1 : 0);
    EXPECT_EQ(e.do_events_calls, 5);
  }
}

}  // namespace
}  // namespace talvo::B03_Basecomm
