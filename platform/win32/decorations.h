// What decorates the window once its first picture is on the screen: the
// window's icons, the controls' own pointer shapes and the hover texts. None
// of it is made before the first paint; all of it is made again at a new
// scale.
#pragma once

#include <memory>
#include <vector>

#include "platform/win32/control_tree.h"
#include "platform/win32/picture.h"
#include "platform/win32/tooltip.h"

namespace talvo::win32 {

class Decorations {
 public:
  Decorations(const def::FormDef& definition, ResourcePictureLoader& pictures, ControlTree& tree);
  Decorations(const Decorations&) = delete;
  Decorations& operator=(const Decorations&) = delete;

  // Icons, pointers and hover texts; nothing when they are made already.
  void Make();
  // Icons and pointers again at the tree's new scale, if they were made.
  void Rescaled();
  // The hover areas again, after controls moved.
  void UpdateTools();
  // The tooltip goes before its owner window.
  void DropTooltip() { tooltip_.reset(); }

  // WM_SETCURSOR over the client area: the shape of the control under the
  // pointer, if it has its own.
  bool OnSetCursor();
  // A pointer message of the window, so the tooltip sees hovering.
  void Relay(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void MakeIconsAndPointers();

  const def::FormDef& definition_;
  ResourcePictureLoader& pictures_;
  ControlTree& tree_;
  std::unique_ptr<Tooltip> tooltip_;  // nullptr until made
  std::vector<ScopedIcon> cursors_;   // by slot; empty until made
  ScopedIcon big_icon_, small_icon_;  // the window's, in the title bar's sizes
};

}  // namespace talvo::win32
