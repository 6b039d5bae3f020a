// The numbers a control goes by, and what each "none" is called. Every
// sentinel has a value of its own, so one taken for another stands out in a
// log or a debugger instead of passing for the right one.
//
//   Slot      a control's place in its window's definition table, 0 to n-1:
//             how the core and the toolkit name a control to each other.
//             kWindowSlot is the window itself (also as a parent); kNoSlot
//             is no control at all (nothing pressed, nothing focused).
//   Index     an element's number in its control array, as its click
//             handler receives it: RoomSelect(0) to RoomSelect(5), ToDo(0).
//             The room index is this Index. kNoIndex: not in an array.
//   TabIndex  a control's place in the keyboard order, 0 to n-1, each once
//             in a window. kNoTabIndex: none given.
//   ChildId   a button's number for screen readers: 1 to the number of
//             buttons, in keyboard order. kChildSelf is the window's client
//             area itself, which stands for every control that is not a
//             button.
#pragma once

namespace talvo {

using Slot = int;
inline constexpr Slot kWindowSlot = -1;
inline constexpr Slot kNoSlot = -2;

using Index = int;
inline constexpr Index kNoIndex = -3;

using TabIndex = int;
inline constexpr TabIndex kNoTabIndex = -4;

using ChildId = long;
inline constexpr ChildId kChildSelf = 0;

// A control of the table, neither the window nor none.
constexpr bool IsControl(Slot slot) { return slot >= 0; }

}  // namespace talvo
