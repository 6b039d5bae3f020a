// How mainform answers the user's input. The toolkit reports presses,
// moves, releases and keys on the control under the pointer (or the one
// holding it); this decides what they mean and shows the result through the
// Form: which button looks pressed, which has the focus, which control holds
// the pointer, and which handler of mainform runs.
//
//   - A command button is clicked by a left press and a release inside it;
//     while the button is held it holds the pointer and looks pressed only
//     while the pointer is over it. A press also gives it the focus.
//   - Tab and Shift+Tab move the focus along the command buttons in TabIndex
//     order, wrapping at either end; a screen reader may move it to any of
//     them. Enter clicks the focused button; Space
//     presses it and clicks on release, as a platform button does.
//   - meCaption gets mouse down, move and up for any button, and holds the
//     pointer while a button is down, for dragging.
//   - A click reaches ToDo_Click or RoomSelect_Click by the control's name
//     and index in the definition table; no other control has a handler.
#pragma once

#include <vector>

#include "common/platform.h"

namespace talvo {

class mainform;

class FormInput final : public InputEvents {
 public:
  FormInput();
  // Input before this is ignored: nothing can act on it yet.
  void Bind(mainform& form, Form& parts);

  const std::vector<Slot>& TabRing() const override { return tab_stops_; }
  void PointerDown(Slot slot, int button, int shift, float x, float y) override;
  void PointerMove(Slot slot, int buttons, int shift, float x, float y) override;
  void PointerUp(Slot slot, int button, int held, int shift, float x, float y) override;
  void CaptureLost() override;
  void KeyDown(Key key, bool shift) override;
  void KeyUp(Key key) override;
  void FocusLost() override;
  void Press(Slot slot) override;
  void Focus(Slot slot) override;
  void SessionEnded() override;

  Slot Focus() const { return focus_; }
  Slot Captured() const { return captured_; }
  // The focus after Tab (or Shift+Tab) from `slot`.
  Slot NextFocus(Slot slot, bool backwards) const;

 private:
  bool IsButton(Slot slot) const;
  bool IsCaption(Slot slot) const;
  bool Inside(Slot slot, float x, float y) const;
  void Click(Slot slot);
  void SetFocus(Slot slot);
  void SetPressed(Slot slot);
  void Capture(Slot slot);
  // A button held down with Space springs back without a click.
  void CancelKeyPress();

  mainform* form_ = nullptr;
  Form* parts_ = nullptr;
  std::vector<Slot> tab_stops_;
  Slot focus_ = kNoSlot;
  Slot pressed_ = kNoSlot;
  Slot captured_ = kNoSlot;
  bool pressed_by_key_ = false;
};

}  // namespace talvo
