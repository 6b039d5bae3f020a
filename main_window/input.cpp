#include "main_window/input.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "main_window/mainform.h"

namespace talvo {
namespace {

bool InTable(Slot slot) { return IsControl(slot) && slot < def::kControlCount; }

}  // namespace

FormInput::FormInput() : tab_stops_(def::TabStops(def::kControls)) {}

void FormInput::Bind(mainform& form, Form& parts) {
  form_ = &form;
  parts_ = &parts;
}

bool FormInput::IsButton(Slot slot) const {
  return InTable(slot) && def::kControls[slot].kind == def::Kind::CommandButton;
}

bool FormInput::IsCaption(Slot slot) const {
  return InTable(slot) && def::kControls[slot].name == u"meCaption";
}

bool FormInput::Inside(Slot slot, float x, float y) const {
  const Control& control = parts_->Item(slot);
  return x >= 0 && y >= 0 && x < control.Width() && y < control.Height();
}

Slot FormInput::NextFocus(Slot slot, bool backwards) const {
  if (tab_stops_.empty()) return kNoSlot;
  const auto at = std::find(tab_stops_.begin(), tab_stops_.end(), slot);
  const int count = static_cast<int>(tab_stops_.size());
  int position = static_cast<int>(at - tab_stops_.begin());
  if (at == tab_stops_.end()) {
    // From nowhere, Tab starts at the first stop and Shift+Tab at the last.
    position = backwards ? count - 1 : 0;
  } else {
    position = (position + (backwards ? count - 1 : 1)) % count;
  }
  return tab_stops_[static_cast<std::size_t>(position)];
}

void FormInput::Click(Slot slot) {
  const def::ControlDef& control = def::kControls[slot];
  const auto index = static_cast<std::int16_t>(control.index);
  if (control.name == u"RoomSelect") {
    form_->RoomSelect_Click(index);
  } else if (control.name == u"ToDo") {
    form_->ToDo_Click(index);
  }
}

void FormInput::SetFocus(Slot slot) {
  if (focus_ == slot) return;
  focus_ = slot;
  parts_->ShowFocus(slot);
}

void FormInput::SetPressed(Slot slot) {
  if (pressed_ == slot) return;
  pressed_ = slot;
  parts_->ShowPressed(slot);
}

void FormInput::Capture(Slot slot) {
  if (captured_ == slot) return;
  captured_ = slot;
  parts_->CapturePointer(slot);
}

void FormInput::CancelKeyPress() {
  if (!std::exchange(pressed_by_key_, false)) return;
  SetPressed(kNoSlot);
}

void FormInput::FocusLost() {
  if (form_) CancelKeyPress();
}

void FormInput::SessionEnded() {
  if (form_) form_->Session_End();
}

void FormInput::PointerDown(Slot slot, int button, int shift, float x, float y) {
  if (!form_) return;
  CancelKeyPress();
  if (captured_ != kNoSlot) {
    // Another button while one is held goes to the control holding the
    // pointer; only the caption does anything with it (a new anchor).
    if (IsCaption(captured_)) form_->meCaption_MouseDown(button, shift, x, y);
    return;
  }
  if (IsButton(slot) && button == kLeftButton) {
    pressed_by_key_ = false;
    SetFocus(slot);
    SetPressed(slot);
    Capture(slot);
  } else if (IsCaption(slot)) {
    Capture(slot);
    form_->meCaption_MouseDown(button, shift, x, y);
  }
}

void FormInput::PointerMove(Slot slot, int buttons, int shift, float x, float y) {
  if (!form_) return;
  if (captured_ != kNoSlot && IsButton(captured_)) {
    SetPressed(Inside(captured_, x, y) ? captured_ : kNoSlot);
    return;
  }
  if (IsCaption(captured_ != kNoSlot ? captured_ : slot)) {
    form_->meCaption_MouseMove(buttons, shift, x, y);
  }
}

void FormInput::PointerUp(Slot slot, int button, int held, int shift, float x, float y) {
  if (!form_) return;
  const Slot target = captured_ != kNoSlot ? captured_ : slot;
  if (IsButton(captured_)) {
    if (button != kLeftButton) return;
    const bool click = Inside(captured_, x, y);
    Capture(kNoSlot);
    SetPressed(kNoSlot);
    if (click) Click(target);
    return;
  }
  if (held == 0) Capture(kNoSlot);
  if (IsCaption(target)) form_->meCaption_MouseUp(button, shift, x, y);
}

void FormInput::CaptureLost() {
  if (!form_ || captured_ == kNoSlot) return;
  const Slot lost = captured_;
  captured_ = kNoSlot;  // the platform has already taken it
  if (IsButton(lost)) {
    SetPressed(kNoSlot);
  } else if (IsCaption(lost)) {
    form_->meCaption_CaptureLost();
  }
}

void FormInput::KeyDown(Key key, bool shift) {
  if (!form_ || captured_ != kNoSlot) return;  // the mouse has the window
  switch (key) {
    case Key::Tab:
      CancelKeyPress();
      SetFocus(NextFocus(focus_, shift));
      break;
    case Key::Space:
      if (IsButton(focus_) && pressed_ == kNoSlot) {
        pressed_by_key_ = true;
        SetPressed(focus_);
      }
      break;
    case Key::Enter:
      if (IsButton(focus_)) Click(focus_);
      break;
  }
}

void FormInput::KeyUp(Key key) {
  if (!form_ || key != Key::Space || captured_ != kNoSlot) return;
  const bool held = pressed_by_key_ && pressed_ != kNoSlot && pressed_ == focus_;
  pressed_by_key_ = false;
  if (!held) return;
  SetPressed(kNoSlot);
  Click(focus_);
}

void FormInput::Press(Slot slot) {
  if (form_ && IsButton(slot)) Click(slot);
}

void FormInput::Focus(Slot slot) {
  if (!form_ || !IsButton(slot)) return;
  CancelKeyPress();
  SetFocus(slot);
}

}  // namespace talvo
