// Which handler the window's input reaches, the keyboard order, and what a
// press, a release and the keys mean, against the recording fakes.
#include "main_window/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/rig.h"

namespace talvo {
namespace {

using fakes::FormRig;

int Count(const fakes::Log& log, const std::string& prefix) {
  return static_cast<int>(std::count_if(
      log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

// The user id the launch wrote, or "" when nothing was launched.
std::string Launched(FormRig& rig) {
  for (const auto& [path, text] : rig.files.disk) {
    const std::size_t at = text.find("UserID = ");
    if (at != std::string::npos) return text.substr(at + 9, text.find('\r', at) - at - 9);
  }
  return "";
}

void ClickWithMouse(FormRig& rig, int slot) {
  rig.input.PointerDown(slot, kLeftButton, 0, 100, 100);
  rig.input.PointerUp(slot, kLeftButton, 0, 0, 100, 100);
}

TEST(FormInput, EachRoomButtonLaunchesItsOwnRoom) {
  const char* const user_ids[6] = {"public", "ds", "rd", "it", "tr", "of"};
  for (int room = 0; room < 6; ++room) {
    SCOPED_TRACE(room);
    FormRig rig;
    ClickWithMouse(rig, def::RoomSelectSlot(room));
    EXPECT_EQ(Launched(rig), user_ids[room]);
    EXPECT_EQ(rig.log.back(), "End");
  }
}

TEST(FormInput, ExitButtonEndsAndNothingElseHasAClickHandler) {
  FormRig exit;
  ClickWithMouse(exit, def::kToDo0);
  EXPECT_EQ(exit.log.back(), "End");
  EXPECT_EQ(Count(exit.log, "Open"), 0);

  for (int slot = kWindowSlot; slot < def::kControlCount; ++slot) {
    if (IsControl(slot) && def::kControls[slot].kind == def::Kind::CommandButton) continue;
    SCOPED_TRACE(slot);
    FormRig rig;
    ClickWithMouse(rig, slot);
    rig.input.Press(slot);
    EXPECT_EQ(Count(rig.log, "End"), 0);
    EXPECT_EQ(Count(rig.log, "Open"), 0);
  }
}

TEST(FormInput, ReleaseOutsideThePressedButtonDoesNotClick) {
  FormRig rig;
  const int room = def::RoomSelectSlot(2);  // 4110 x 1005 twips
  rig.input.PointerDown(room, kLeftButton, 0, 200, 200);
  EXPECT_EQ(rig.parts.pressed, room);
  EXPECT_EQ(rig.parts.captured, room);
  rig.input.PointerMove(room, kLeftButton, 0, 4200, 200);  // off the right edge
  EXPECT_EQ(rig.parts.pressed, kNoSlot) << "the pressed look follows the pointer";
  rig.input.PointerMove(room, kLeftButton, 0, 4000, 900);
  EXPECT_EQ(rig.parts.pressed, room);
  rig.input.PointerUp(room, kLeftButton, 0, 0, 200, -15);  // just above it
  EXPECT_EQ(rig.parts.captured, kNoSlot);
  EXPECT_EQ(rig.parts.pressed, kNoSlot);
  EXPECT_EQ(Launched(rig), "");
  EXPECT_EQ(Count(rig.log, "End"), 0);
}

TEST(FormInput, OnlyTheLeftButtonPressesAButtonAndALostCaptureCancels) {
  FormRig rig;
  const int exit = def::kToDo0;
  rig.input.PointerDown(exit, kRightButton, 0, 100, 100);
  rig.input.PointerUp(exit, kRightButton, 0, 0, 100, 100);
  EXPECT_EQ(rig.parts.pressed, kNoSlot);
  rig.input.PointerDown(exit, kLeftButton, 0, 100, 100);
  rig.input.CaptureLost();
  EXPECT_EQ(rig.parts.pressed, kNoSlot);
  rig.input.PointerUp(exit, kLeftButton, 0, 0, 100, 100);
  EXPECT_EQ(Count(rig.log, "End"), 0);
}

TEST(FormInput, TabWalksTheButtonsByTabIndexAndWraps) {
  FormRig rig;
  const std::vector<int> forward = {def::kToDo0,
                                    def::RoomSelectSlot(2),
                                    def::RoomSelectSlot(0),
                                    def::RoomSelectSlot(3),
                                    def::RoomSelectSlot(1),
                                    def::RoomSelectSlot(4),
                                    def::RoomSelectSlot(5)};
  std::vector<int> visited;
  for (int i = 0; i < 8; ++i) {
    rig.input.KeyDown(Key::Tab, false);
    visited.push_back(rig.parts.focus);
  }
  std::vector<int> expected = forward;
  expected.push_back(forward.front());
  EXPECT_EQ(visited, expected);

  visited.clear();
  for (int i = 0; i < 8; ++i) {
    rig.input.KeyDown(Key::Tab, true);
    visited.push_back(rig.parts.focus);
  }
  // From the exit button back round to 06, then down the list.
  expected = {forward[6], forward[5], forward[4], forward[3],
              forward[2], forward[1], forward[0], forward[6]};
  EXPECT_EQ(visited, expected);

  FormRig fresh;
  fresh.input.KeyDown(Key::Tab, true);
  EXPECT_EQ(fresh.parts.focus, def::RoomSelectSlot(5)) << "Shift+Tab from nowhere: the last";
}

TEST(FormInput, AScreenReaderMovesTheFocusToButtonsOnly) {
  FormRig rig;
  rig.input.Focus(def::RoomSelectSlot(3));  // 04
  EXPECT_EQ(rig.parts.focus, def::RoomSelectSlot(3));
  rig.input.KeyDown(Key::Tab, false);
  EXPECT_EQ(rig.parts.focus, def::RoomSelectSlot(1)) << "Tab goes on from there, to 03";
  for (const int slot : std::vector<int>{def::kMeCaption, def::kPan01, kWindowSlot, 999}) {
    SCOPED_TRACE(slot);
    rig.input.Focus(slot);
    EXPECT_EQ(rig.parts.focus, def::RoomSelectSlot(1));
  }
  EXPECT_EQ(Count(rig.log, "End"), 0) << "a focus move clicks nothing";
}

TEST(FormInput, EnterAndSpaceClickTheFocusedRoom) {
  FormRig enter;
  for (int i = 0; i < 4; ++i) enter.input.KeyDown(Key::Tab, false);  // exit, 01, 02, 04
  enter.input.KeyDown(Key::Enter, false);
  EXPECT_EQ(Launched(enter), "it");

  FormRig space;
  for (int i = 0; i < 2; ++i) space.input.KeyDown(Key::Tab, false);  // exit, 01
  space.input.KeyDown(Key::Space, false);
  EXPECT_EQ(space.parts.pressed, def::RoomSelectSlot(2));
  EXPECT_EQ(Launched(space), "") << "Space clicks on release";
  space.input.KeyUp(Key::Space);
  EXPECT_EQ(Launched(space), "rd");

  FormRig nothing;
  nothing.input.KeyDown(Key::Enter, false);
  nothing.input.KeyDown(Key::Space, false);
  nothing.input.KeyUp(Key::Space);
  EXPECT_EQ(Count(nothing.log, "End"), 0) << "no focus, no click";
}

TEST(FormInput, SpaceHeldIsCancelledByTabTheMouseOrAnotherWindow) {
  struct Interruption {
    const char* what;
    void (*interrupt)(FormInput&);
  };
  const Interruption interruptions[] = {
      {"Tab", [](FormInput& in) { in.KeyDown(Key::Tab, false); }},
      {"focus lost", [](FormInput& in) { in.FocusLost(); }},
      {"a press on the caption",
       [](FormInput& in) { in.PointerDown(def::kMeCaption, kLeftButton, 0, 10, 10); }},
      {"a screen reader's focus move", [](FormInput& in) { in.Focus(def::RoomSelectSlot(3)); }},
  };
  for (const Interruption& i : interruptions) {
    SCOPED_TRACE(i.what);
    FormRig rig;
    rig.input.KeyDown(Key::Tab, false);
    rig.input.KeyDown(Key::Space, false);
    ASSERT_EQ(rig.parts.pressed, def::kToDo0);
    i.interrupt(rig.input);
    EXPECT_EQ(rig.parts.pressed, kNoSlot);
    rig.input.KeyUp(Key::Space);
    EXPECT_EQ(Count(rig.log, "End"), 0);
  }
}

TEST(FormInput, CaptionDragsWithAnyButtonAndHoldsThePointerWhileOneIsDown) {
  FormRig rig;
  const int caption = def::kMeCaption;
  rig.input.PointerMove(caption, 0, 0, 500, 500);  // hovering does nothing
  EXPECT_EQ(rig.parts.window().left, 2475);
  rig.input.PointerDown(caption, kRightButton, 1, 2000, 200);  // with Shift
  EXPECT_EQ(rig.parts.captured, caption);
  EXPECT_EQ(rig.parts.at(def::kPan00).tag, u"A00000020000000000200");
  rig.input.PointerDown(caption, kLeftButton, 0, 2000, 200);  // a second button re-anchors
  rig.input.PointerMove(caption, kLeftButton | kRightButton, 0, 2150, 170);
  EXPECT_EQ(rig.parts.window().left, 2625);
  EXPECT_EQ(rig.parts.window().top, 2025);
  rig.input.PointerUp(caption, kRightButton, kLeftButton, 0, 2150, 170);
  EXPECT_EQ(rig.parts.at(def::kPan00).tag, u"B") << "any release ends the drag";
  EXPECT_EQ(rig.parts.captured, caption) << "but the left button is still down";
  rig.input.PointerUp(caption, kLeftButton, 0, 0, 2150, 170);
  EXPECT_EQ(rig.parts.captured, kNoSlot);
}

TEST(FormInput, LostCaptureEndsTheDragAndOtherControlsIgnoreThePointer) {
  FormRig rig;
  rig.input.PointerDown(def::kMeCaption, kLeftButton, 0, 300, 300);
  rig.input.CaptureLost();
  EXPECT_EQ(rig.parts.at(def::kPan00).tag, u"B");
  rig.input.PointerMove(def::kMeCaption, 0, 0, 900, 900);
  EXPECT_EQ(rig.parts.window().left, 2475);

  for (const int slot :
       std::vector<int>{kWindowSlot, def::kPan00, def::kSysinfo, def::kPan01, def::kLabel1}) {
    SCOPED_TRACE(slot);
    FormRig other;
    other.input.PointerDown(slot, kLeftButton, 0, 10, 10);
    other.input.PointerMove(slot, kLeftButton, 0, 900, 900);
    other.input.PointerUp(slot, kLeftButton, 0, 0, 900, 900);
    EXPECT_EQ(other.parts.captured, kNoSlot);
    EXPECT_EQ(other.parts.window().left, 2475);
    EXPECT_EQ(other.parts.at(def::kPan00).tag, u"");
  }
}

TEST(FormInput, InputBeforeTheWindowIsBoundIsIgnored) {
  FormInput input;
  input.PointerDown(def::kToDo0, kLeftButton, 0, 10, 10);
  input.PointerUp(def::kToDo0, kLeftButton, 0, 0, 10, 10);
  input.KeyDown(Key::Tab, false);
  input.Press(def::kToDo0);
  EXPECT_EQ(input.Focus(), kNoSlot);
  EXPECT_EQ(input.Captured(), kNoSlot);
}

}  // namespace
}  // namespace talvo
