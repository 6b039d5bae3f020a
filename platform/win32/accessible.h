// The form's buttons for screen readers (MSAA). The window answers
// WM_GETOBJECT for its client area with an accessible object of its own,
// named by the title the window shows, whose children are the command
// buttons, in keyboard order: role push button, the caption (or the hover
// text where there is none) as name, their place on the screen, focusable and
// focused, "Press" as default action, and the focus taken on request
// (accSelect with SELFLAG_TAKEFOCUS, which UI Automation's SetFocus uses). UI
// Automation picks MSAA servers up, so Narrator and NVDA read them. oleacc,
// oleaut32 and a COM apartment are loaded only when a reader first asks. Once
// the window is gone, the object answers CO_E_OBJNOTCONNECTED.
#pragma once

#include <memory>
#include <string>

#include "platform/win32/scoped.h"

namespace talvo::win32 {

// What the accessible object reads from the form, live.
class AccessibleHost {
 public:
  virtual ~AccessibleHost() = default;
  virtual HWND Hwnd() const = 0;
  virtual std::u16string WindowName() const = 0;
  virtual int ButtonCount() const = 0;
  virtual int ButtonSlot(int index) const = 0;  // 0-based, keyboard order
  virtual std::u16string ButtonName(int slot) const = 0;
  virtual RECT ButtonBox(int slot) const = 0;  // client pixels
  virtual bool ButtonShown(int slot) const = 0;
  virtual int FocusedSlot() const = 0;  // the focused button while the window has the focus
  virtual int PressedSlot() const = 0;
  virtual int SlotAt(POINT client) const = 0;
  // Clicks the button once the reader's call has returned.
  virtual void PressLater(int slot) = 0;
  // Gives the window the keyboard and the button (Form::kNone: the window
  // itself) the focus.
  virtual void TakeFocus(int slot) = 0;
};

class ClientAccessible;

class AccessibleServer {
 public:
  explicit AccessibleServer(AccessibleHost& host);
  AccessibleServer(const AccessibleServer&) = delete;
  AccessibleServer& operator=(const AccessibleServer&) = delete;
  ~AccessibleServer();

  // WM_GETOBJECT; 0 when it is not for the client area or cannot be served.
  LRESULT OnGetObject(WPARAM wparam, LPARAM lparam);
  // Tells readers that a button (Form::kNone: the window itself) took the focus.
  void NotifyFocus(int slot) const;
  // Child id of a button: its place in keyboard order, from 1.
  int ChildId(int slot) const;

  struct Runtime;  // oleacc and the COM apartment, once asked for

 private:
  AccessibleHost& host_;
  std::unique_ptr<Runtime> runtime_;
  ClientAccessible* object_ = nullptr;  // one reference, ours
};

}  // namespace talvo::win32
