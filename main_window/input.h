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

  void PointerDown(int slot, int button, int shift, float x, float y) override;
  void PointerMove(int slot, int buttons, int shift, float x, float y) override;
  void PointerUp(int slot, int button, int held, int shift, float x, float y) override;
  void CaptureLost() override;
  void KeyDown(Key key, bool shift) override;
  void KeyUp(Key key) override;
  void FocusLost() override;
  void Press(int slot) override;
  void Focus(int slot) override;

  int Focus() const { return focus_; }
  int Captured() const { return captured_; }
  // The focus after Tab (or Shift+Tab) from `slot`.
  int NextFocus(int slot, bool backwards) const;

 private:
  bool IsButton(int slot) const;
  bool IsCaption(int slot) const;
  bool Inside(int slot, float x, float y) const;
  void Click(int slot);
  void SetFocus(int slot);
  void SetPressed(int slot);
  void Capture(int slot);
  // A button held down with Space springs back without a click.
  void CancelKeyPress();

  mainform* form_ = nullptr;
  Form* parts_ = nullptr;
  std::vector<int> tab_stops_;
  int focus_ = Form::kNone;
  int pressed_ = Form::kNone;
  int captured_ = Form::kNone;
  bool pressed_by_key_ = false;
};

}  // namespace talvo
