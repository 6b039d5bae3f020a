// The tree of a form's windowless controls, with one owner. It builds the
// nodes from the definition and owns them, with the fonts' chosen Chinese
// face; is the host they talk to (the window handle, the scale, repaints),
// so no node calls the window; walks them in one order (a container, its
// other children, then its labels, each clipped to its container), handing
// each node its box, which serves painting, hit-testing (the last control the
// walk passes under a point is the one on top) and the hover areas; holds the
// one shown copy of the input state the core decides (the focused, the
// pressed and the captured control); and answers what paint and screen
// readers ask: the buttons in the core's keyboard order, their names and
// child ids.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/form_def.h"
#include "platform/win32/controls.h"
#include "platform/win32/tooltip.h"

namespace talvo::win32 {

class ControlTree final : public NodeHost {
 public:
  // `buttons`: the controls that take the focus, in the core's keyboard order.
  ControlTree(FormHost& window, const def::FormDef& definition, ResourcePictureLoader& pictures,
              std::vector<Slot> buttons);
  ControlTree(const ControlTree&) = delete;
  ControlTree& operator=(const ControlTree&) = delete;

  WindowNode& Window() const { return *window_; }
  // kWindowSlot: the window itself.
  Node& At(Slot slot) const;
  // Where a control is, in client pixels; not clipped.
  RECT BoxOf(Slot slot) const { return BoxOf(At(slot)); }

  // NodeHost: the window's, passed on.
  HWND Hwnd() const override { return host_.Hwnd(); }
  const Scale& CurrentScale() const override { return host_.CurrentScale(); }
  void Repaint(const RECT& box) override { host_.Repaint(box); }
  void Relaid() override { host_.Relaid(); }
  bool EverShown() const override { return host_.EverShown(); }
  // NodeHost: the tree's own.
  RECT BoxOf(const Node& node) const override;
  FallbackFace& ChosenFace() override { return chosen_face_; }

  // Every shown control that meets `clip` (client pixels), in the one order.
  void Paint(HDC dc, const RECT& clip, const Look& look) const;
  // The topmost shown control at a client point: kWindowSlot for the
  // window's own area, kNoSlot outside it.
  Slot HitTest(POINT client) const;
  // Each hover text with the part of its control that shows, empty when none
  // does, in the same order every time.
  std::vector<Tooltip::Tool> HoverAreas() const;
  // Fonts and the like again, at the host's current scale.
  void Rescale();

  // The input state as the core decided it; a change repaints what it shows on.
  Slot Focus() const { return focus_; }
  Slot Pressed() const { return pressed_; }
  Slot Captured() const { return captured_; }
  void SetFocus(Slot slot);
  void SetPressed(Slot slot);
  void SetCaptured(Slot slot) { captured_ = slot; }
  // Paints a control again (nothing for kNoSlot).
  void RepaintSlot(Slot slot);

  // The controls that take the focus, in keyboard order.
  const std::vector<Slot>& Buttons() const { return buttons_; }
  // A button's child id, or kChildSelf for any other control.
  ChildId ChildIdOf(Slot slot) const;
  // The button of a child id, or kNoSlot.
  Slot ButtonOf(ChildId id) const;
  // A button's name for readers: its caption, or its hover text where it
  // has none (the exit button).
  std::u16string NameOf(Slot slot) const;
  // The window's name: its caption, or where that is empty the text of the
  // label that shows its title.
  std::u16string WindowName() const;

 private:
  // Calls visit(node, box, visible part) for every shown node meeting `clip`;
  // `outer` is the box of the node's parent.
  template <typename Visit>
  void Walk(const Node& node, const RECT& outer, const RECT& clip, Visit&& visit) const;
  template <typename Visit>
  void Walk(const RECT& clip, Visit&& visit) const {
    Walk(*window_, RECT{}, clip, visit);
  }

  FormHost& host_;
  const def::FormDef& definition_;
  FallbackFace chosen_face_;  // before the nodes, whose fonts use it
  std::unique_ptr<WindowNode> window_;
  std::vector<std::unique_ptr<Node>> nodes_;  // by slot
  std::vector<Slot> buttons_;
  Slot focus_ = kNoSlot;
  Slot pressed_ = kNoSlot;
  Slot captured_ = kNoSlot;
};

}  // namespace talvo::win32
