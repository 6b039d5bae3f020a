// B03_Basecomm: the free procedures shared by the windows. Frame drawing works
// on any drawing target; dragging keeps its state as text in a holder's Tag.
#pragma once

#include "common/platform.h"

namespace talvo::B03_Basecomm {

inline constexpr Colour kLightEdge = 0xFFFFFF;
inline constexpr Colour kDarkEdge = 0x808080;
inline constexpr Colour kFaceFill = 0xC0C0C0;
inline constexpr Colour kDarkShadow = kSystemColour | 21;  // COLOR_3DDKSHADOW
inline constexpr float kEdgeStep = 15;
// How often DragMove dispatches pending events after a move, so the window
// repaints where it now stands before the next move is taken.
inline constexpr int kDragPumps = 5;

// Clears the target and draws its standard frame: outer raised bevel 10 twips
// in from the top and left, 20 from the far edges, inner sunken bevel 50 inside
// it. Never fails: a failed clear is followed by the frame, a failed line ends
// the frame there.
void PaintPanelFrame(DrawingTarget& target);

// Outer raised bevel, and when inset > 0 an inner sunken one shrunk by inset.
// Returns false at the first failing primitive.
[[nodiscard]] bool DrawFrame3D(DrawingTarget& target, bool fill, float top, float left,
                               float height, float width, float inset, float thickness);

// One bevelled rectangle: optional filled face, `thickness` passes of edges
// 15 twips apart (first colour top/left, second bottom/right), optional
// closing outline. Returns false at the first failing primitive.
[[nodiscard]] bool DrawBevel(DrawingTarget& target, bool fill, bool outline, float top, float left,
                             float height, float width, float thickness, Colour first,
                             Colour second);

// Caption dragging. The state lives in holder's Tag: "A" + X + Y as ten
// zero-padded digits each while dragging, "B" after a release.
void DragBegin(TagHolder& holder, Geometry& window, float x, float y);
// Moves `window` by the pointer's offset from the anchor, then dispatches
// events kDragPumps times through `events` (which may re-enter DragMove). A move
// that would put the window's top above the work area of the monitor under
// the pointer is skipped vertically, not clamped.
void DragMove(TagHolder& holder, Geometry& window, float x, float y, const Screen& screen,
              Toolkit& events);
void DragEnd(TagHolder& holder, Geometry& window, float x, float y);

}  // namespace talvo::B03_Basecomm
