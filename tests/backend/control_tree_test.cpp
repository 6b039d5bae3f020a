// The control tree over the launcher's real definition: what lies on top of
// what, where a held pointer's events go, which keys reach the core and when
// the focus mark shows, and the numbering of buttons for screen readers.
#include "platform/win32/control_tree.h"

#include <gtest/gtest.h>

#include <vector>

#include "main_window/input.h"
#include "main_window/mainform_def.h"
#include "platform/win32/keyboard_focus.h"
#include "platform/win32/pointer.h"
#include "tests/backend/test_host.h"

namespace talvo::win32 {
namespace {

// Pixels from the window's corner at 96 dpi, after the layout pass.
POINT At(float twips_x, float twips_y) {
  const Scale scale;
  return {scale.ToPixels(twips_x), scale.ToPixels(twips_y)};
}

struct Finished : ::testing::Test {
  testing::TestHost host;
  ResourcePictureLoader pictures;
  FormInput input;
  ControlTree tree{host, def::kMainForm, pictures, input.TabRing()};

  void SetUp() override {
    // What the layout pass does to the panels the points below lie on.
    Node& title = tree.At(def::kPan00);
    ASSERT_TRUE(title.SetLeft(60) && title.SetTop(60) && title.SetWidth(10860));
    Node& body = tree.At(def::kPan01);
    ASSERT_TRUE(body.SetLeft(60) && body.SetTop(750) && body.SetWidth(10860));
  }
};

TEST_F(Finished, TheTopmostShownControlIsHit) {
  struct Case {
    const char* what;
    POINT point;
    Slot hit;
  };
  const Case cases[] = {
      {"the exit button", At(60 + 75 + 300, 60 + 30 + 270), def::kToDo0},
      {"the title text, a label over the strip", At(60 + 1170 + 100, 60 + 105 + 200),
       def::kMeCaption},
      {"the strip beside every label", At(60 + 10500, 60 + 600), def::kPan00},
      {"a room button in its panel", At(60 + 825 + 45 + 2000, 750 + 495 + 30 + 500),
       def::RoomSelectSlot(2)},
      {"the panel's black edge around it", At(60 + 825 + 4200, 750 + 495 + 500),
       def::RoomPanSlot(2)},
      {"the body's green", At(60 + 5300, 750 + 200), def::kPan01},
      {"the window's margin", {1, 200}, kWindowSlot},
      {"outside the window", {-1, 200}, kNoSlot},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(tree.HitTest(c.point), c.hit);
  }
  // A hidden container takes its controls with it: the window shows there.
  ASSERT_TRUE(tree.At(def::kPan01).SetVisible(false));
  EXPECT_EQ(tree.HitTest(cases[3].point), kWindowSlot);
}

// The tree painted into a 32-bit picture of `part` of the client area, as a
// buffer for that part is painted: its origin moved to the part's corner.
std::vector<DWORD> Painted(const ControlTree& tree, const RECT& part) {
  const int width = part.right - part.left, height = part.bottom - part.top;
  const ScopedMemoryDC dc(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const ScopedBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const ScopedSelect select(dc.Get(), bitmap.Get());
  SetViewportOrgEx(dc.Get(), -part.left, -part.top, nullptr);
  const Scale scale;
  tree.Paint(dc.Get(), part, {scale, Palette(false), kNoSlot, kNoSlot});
  GdiFlush();
  const auto* first = static_cast<const DWORD*>(bits);
  return {first, first + static_cast<size_t>(width) * static_cast<size_t>(height)};
}

TEST_F(Finished, APartPaintsAsThatPartOfTheWhole) {
  RECT client{};
  GetClientRect(host.Hwnd(), &client);
  const std::vector<DWORD> whole = Painted(tree, client);
  // The exit button with its picture, a room button with its caption, and a
  // part across the body's frame and a room panel's edge.
  for (const RECT part :
       {tree.BoxOf(def::kToDo0), tree.BoxOf(def::RoomSelectSlot(4)), RECT{2, 40, 120, 100}}) {
    SCOPED_TRACE(::testing::Message() << part.left << "," << part.top);
    const std::vector<DWORD> painted = Painted(tree, part);
    size_t differ = 0;
    for (int y = part.top; y < part.bottom; ++y) {
      for (int x = part.left; x < part.right; ++x) {
        const size_t in_part =
            static_cast<size_t>((y - part.top) * (part.right - part.left) + (x - part.left));
        differ += painted[in_part] != whole[static_cast<size_t>(y * client.right + x)];
      }
    }
    EXPECT_EQ(differ, 0u);
  }
}

// Records what the pointer router hands the core.
struct Recorder : InputEvents {
  struct Event {
    char kind;
    Slot slot;
    float x, y;
  };
  std::vector<Event> events;
  std::vector<Slot> ring;
  const std::vector<Slot>& TabRing() const override { return ring; }
  void PointerDown(Slot s, int, int, float x, float y) override {
    events.push_back({'d', s, x, y});
  }
  void PointerMove(Slot s, int, int, float x, float y) override {
    events.push_back({'m', s, x, y});
  }
  void PointerUp(Slot s, int, int, int, float x, float y) override {
    events.push_back({'u', s, x, y});
  }
  void CaptureLost() override { events.push_back({'l', kNoSlot, 0, 0}); }
  void KeyDown(Key key, bool) override { events.push_back({'k', static_cast<Slot>(key), 0, 0}); }
  void KeyUp(Key key) override { events.push_back({'K', static_cast<Slot>(key), 0, 0}); }
  void FocusLost() override {}
  void Press(Slot) override {}
  void Focus(Slot) override {}
  void SessionEnded() override {}
};

TEST_F(Finished, AHeldPointerGoesToItsControlWhereverItIs) {
  Recorder core;
  PointerRouter router(core, tree);
  const Slot room = def::RoomSelectSlot(2);
  const RECT box = tree.BoxOf(room);
  // Unheld, a move far off the button goes to what is under it.
  router.OnMouse(WM_MOUSEMOVE, 0, MAKELPARAM(1, 200));
  tree.SetCaptured(room);
  router.OnMouse(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 200));
  router.OnMouse(WM_LBUTTONUP, 0, MAKELPARAM(box.left + 10, box.top - 3));
  ASSERT_EQ(core.events.size(), 3u);
  EXPECT_EQ(core.events[0].slot, kWindowSlot);
  EXPECT_EQ(core.events[1].slot, room);
  // In twips from the held button's corner, outside it too.
  EXPECT_EQ(core.events[1].x, Scale().ToTwips(1 - box.left));
  EXPECT_EQ(core.events[2].kind, 'u');
  EXPECT_EQ(core.events[2].y, -45);
}

TEST_F(Finished, KeysReachTheCoreOnceAndShowTheFocusMark) {
  Recorder core;
  KeyboardFocus keyboard(tree, core);
  tree.SetFocus(def::kToDo0);
  // Whatever the user's setting for keyboard cues, the platform can hide them.
  keyboard.OnUpdateUiState(MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
  host.repainted.clear();
  constexpr LPARAM kRepeated = LPARAM{KF_REPEAT} << 16;
  EXPECT_TRUE(keyboard.OnKey(WM_KEYDOWN, VK_SPACE, 1));
  EXPECT_TRUE(keyboard.OnKey(WM_KEYDOWN, VK_SPACE, kRepeated));  // held: no second press
  EXPECT_TRUE(keyboard.OnKey(WM_KEYUP, VK_SPACE, 1));
  EXPECT_FALSE(keyboard.OnKey(WM_KEYDOWN, 'A', 1));
  ASSERT_EQ(core.events.size(), 2u);
  EXPECT_EQ(core.events[0].kind, 'k');
  EXPECT_EQ(core.events[1].kind, 'K');
  // The first key showed the mark on the focused button, once.
  const RECT exit = tree.BoxOf(def::kToDo0);
  ASSERT_EQ(host.repainted.size(), 1u);
  EXPECT_TRUE(EqualRect(&host.repainted[0], &exit));
  // The platform's own record agrees from then on; what is not about the
  // focus cues changes nothing.
  host.repainted.clear();
  keyboard.OnUpdateUiState(MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
  keyboard.OnUpdateUiState(MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS));
  keyboard.OnUpdateUiState(MAKEWPARAM(UIS_SET, UISF_HIDEACCEL));
  EXPECT_TRUE(host.repainted.empty());
  keyboard.OnUpdateUiState(MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
  EXPECT_EQ(host.repainted.size(), 1u);
  // A hidden window never has the keyboard, so nothing shows the mark.
  EXPECT_EQ(keyboard.MarkedSlot(), kNoSlot);
}

TEST_F(Finished, ButtonsAreNumberedForReadersInKeyboardOrder) {
  const std::vector<Slot> order = {def::kToDo0,
                                   def::RoomSelectSlot(2),
                                   def::RoomSelectSlot(0),
                                   def::RoomSelectSlot(3),
                                   def::RoomSelectSlot(1),
                                   def::RoomSelectSlot(4),
                                   def::RoomSelectSlot(5)};
  EXPECT_EQ(tree.Buttons(), order);
  for (ChildId id = 1; id <= 7; ++id) {
    SCOPED_TRACE(id);
    EXPECT_EQ(tree.ChildIdOf(tree.ButtonOf(id)), id);
  }
  for (const ChildId outside : {kChildSelf, ChildId{8}, ChildId{-1}}) {
    EXPECT_EQ(tree.ButtonOf(outside), kNoSlot);
  }
  // Every other control, and the window, is the client area itself.
  for (const Slot other : {kWindowSlot, kNoSlot, Slot{def::kPan00}, Slot{def::kMeCaption}}) {
    EXPECT_EQ(tree.ChildIdOf(other), kChildSelf);
  }
  EXPECT_EQ(tree.NameOf(def::kToDo0), u"Exit System");
  EXPECT_EQ(tree.WindowName(), u"TALVO Internet Office TALVO網路會議室");
}

}  // namespace
}  // namespace talvo::win32
