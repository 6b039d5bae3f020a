// The accessible object, in this process as a reader in another one gets it:
// which child id names which button, what stands for the window itself, what
// is refused, and what it answers once the window is gone.
#include "platform/win32/accessible.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <thread>

#include "main_window/input.h"
#include "main_window/mainform_def.h"
#include "platform/win32/sdk_gaps.h"
#include "tests/backend/test_host.h"

namespace talvo::win32 {
namespace {

struct FakeWindow : AccessibleWindow {
  explicit FakeWindow(HWND hwnd) : hwnd(hwnd) {}
  HWND Hwnd() const override { return hwnd; }
  bool HasKeyboard() const override { return keyboard; }
  void PressLater(Slot slot) override { pressed = slot; }
  bool TakeFocus(Slot slot) override {
    focused = slot;
    return gets_keyboard;
  }
  HWND hwnd;
  bool keyboard = false;
  bool gets_keyboard = true;  // what the platform grants
  Slot pressed = kNoSlot, focused = kNoSlot;
};

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::u16string Take(BSTR text) {
  std::u16string out = text ? std::u16string(text, text + SysStringLen(text)) : u"";
  SysFreeString(text);
  return out;
}

struct Served : ::testing::Test {
  testing::TestHost host;
  ResourcePictureLoader pictures;
  FormInput input;
  ControlTree tree{host, def::kMainForm, pictures, input.TabRing()};
  FakeWindow window{host.Hwnd()};
  std::optional<AccessibleServer> server{std::in_place, tree, window};
  IAccessible* object = nullptr;

  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const LRESULT result = server->OnGetObject(0, static_cast<LPARAM>(OBJID_CLIENT));
    ASSERT_NE(result, 0);
    ASSERT_HRESULT_SUCCEEDED(
        ObjectFromLresult(result, kIidIAccessible, 0, reinterpret_cast<void**>(&object)));
  }
  void TearDown() override {
    if (object) object->Release();
    server.reset();
    CoUninitialize();
  }
};

TEST_F(Served, ChildIdsNameTheButtonsInKeyboardOrder) {
  const char16_t* const names[] = {u"Exit System",      u"01-研一部/研二部專用", u"02-公用區",
                                   u"04-資訊部專用",    u"03-營業部專用",        u"05-技研部專用",
                                   u"06-海外廠會議專用"};
  long count = 0;
  ASSERT_EQ(object->get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, 7);
  for (long id = 1; id <= count; ++id) {
    SCOPED_TRACE(id);
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(id), &name), S_OK);
    EXPECT_EQ(Take(name), names[id - 1]);
    VARIANT role;
    ASSERT_EQ(object->get_accRole(Child(id), &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
  }
  BSTR name = nullptr;
  EXPECT_EQ(object->get_accName(Child(CHILDID_SELF), &name), S_OK);
  EXPECT_EQ(Take(name), u"TALVO Internet Office TALVO網路會議室");
}

TEST_F(Served, WhatNamesNoButtonIsRefused) {
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  for (const VARIANT& child : {Child(0 - 1), Child(8), text}) {
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(child, &name), E_INVALIDARG);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(object->accDoDefaultAction(child), E_INVALIDARG);
  }
  // The window itself has no default action, and nothing is selectable.
  EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(2)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(window.pressed, kNoSlot);
  EXPECT_EQ(window.focused, kNoSlot);
}

TEST_F(Served, ActionsReachTheButtonTheirChildIdNames) {
  EXPECT_EQ(object->accDoDefaultAction(Child(4)), S_OK);
  EXPECT_EQ(window.pressed, def::RoomSelectSlot(3));  // 04
  EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, Child(5)), S_OK);
  EXPECT_EQ(window.focused, def::RoomSelectSlot(1));  // 03
  EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, Child(CHILDID_SELF)), S_OK);
  EXPECT_EQ(window.focused, kNoSlot);
  // Refused the keyboard, the reader hears of a failure, not of a focus that
  // the keys do not reach; the panel's focus moves all the same.
  window.gets_keyboard = false;
  EXPECT_TRUE(FAILED(object->accSelect(SELFLAG_TAKEFOCUS, Child(6))));
  EXPECT_EQ(window.focused, def::RoomSelectSlot(4));  // 05

  // The focus is the tree's, seen only while the window has the keyboard.
  tree.SetFocus(def::RoomSelectSlot(0));  // 02, child 3
  VARIANT focus;
  EXPECT_EQ(object->get_accFocus(&focus), S_FALSE);
  window.keyboard = true;
  ASSERT_EQ(object->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, 3);
}

// A thread in the multithreaded apartment would have readers' calls arrive on
// COM's threads, beside the window procedure: the window's own object is not
// served there (the system's default one answers instead).
TEST(AccessibleServer, ServesOnlyFromASingleThreadedApartment) {
  LRESULT result = 1;
  std::thread([&] {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
    {
      testing::TestHost host;
      ResourcePictureLoader pictures;
      FormInput input;
      ControlTree tree{host, def::kMainForm, pictures, input.TabRing()};
      FakeWindow window{host.Hwnd()};
      AccessibleServer server(tree, window);
      result = server.OnGetObject(0, static_cast<LPARAM>(OBJID_CLIENT));
    }
    CoUninitialize();
  }).join();
  EXPECT_EQ(result, 0);
}

TEST_F(Served, OnceTheWindowIsGoneItSaysSo) {
  server.reset();
  long count = 0;
  EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  BSTR name = nullptr;
  EXPECT_EQ(object->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(object->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
  VARIANT hit;
  EXPECT_EQ(object->accHitTest(0, 0, &hit), CO_E_OBJNOTCONNECTED);
}

}  // namespace
}  // namespace talvo::win32
