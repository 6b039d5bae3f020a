// The form's buttons for screen readers (MSAA). The window answers
// WM_GETOBJECT for its client area with an accessible object of its own,
// named by the title the window shows, whose children are the command
// buttons, in keyboard order: role push button, the caption (or the hover
// text where there is none) as name, their place on the screen, focusable and
// focused, "Press" as default action, and the focus taken on request
// (accSelect with SELFLAG_TAKEFOCUS, which UI Automation's SetFocus uses). UI
// Automation picks MSAA servers up, so Narrator and NVDA read them. oleacc,
// oleaut32 and a COM apartment are loaded only when a reader first asks. It is
// served only from a single-threaded apartment, so that every call reaches it
// on the window's thread. Once the window is gone, COM cuts readers in other
// apartments off, and the object answers CO_E_OBJNOTCONNECTED to one in this
// apartment.
#pragma once

#include <memory>
#include <string>

#include "platform/win32/control_tree.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

// What the accessible object asks of the window itself; the rest it reads
// from the control tree, live.
class AccessibleWindow {
 public:
  virtual ~AccessibleWindow() = default;
  virtual HWND Hwnd() const = 0;
  virtual bool HasKeyboard() const = 0;
  // Clicks the button once the reader's call has returned.
  virtual void PressLater(Slot slot) = 0;
  // Gives the button (kNoSlot: the window itself) the focus and the window
  // the keyboard; false when the window has not got the keyboard or the
  // button not the focus afterwards.
  [[nodiscard]] virtual bool TakeFocus(Slot slot) = 0;
};

class ClientAccessible;

class AccessibleServer {
 public:
  AccessibleServer(const ControlTree& tree, AccessibleWindow& window);
  AccessibleServer(const AccessibleServer&) = delete;
  AccessibleServer& operator=(const AccessibleServer&) = delete;
  ~AccessibleServer();

  // WM_GETOBJECT; 0 when it is not for the client area or cannot be served.
  LRESULT OnGetObject(WPARAM wparam, LPARAM lparam);
  // Tells readers that a button (kNoSlot: the window itself) took the focus.
  void NotifyFocus(Slot slot) const;
  // Tells readers that the pressed look moved from one button to another
  // (kNoSlot: none); sent once the tree shows it, as readers ask at once.
  void NotifyPressed(Slot released, Slot pressed) const;

  struct Runtime;  // oleacc and the COM apartment, once asked for

 private:
  const ControlTree& tree_;
  AccessibleWindow& window_;
  std::unique_ptr<Runtime> runtime_;
  ClientAccessible* object_ = nullptr;  // one reference, ours
};

}  // namespace talvo::win32
