// The nodes of a form's tree of windowless controls: picture boxes and the
// window itself (surfaces that keep what is drawn on them as display lists),
// labels, command buttons and image controls. Each keeps its geometry in
// twips relative to its parent, and paints its own content into the box of
// client pixels, with the look, that the tree hands it (control_tree.h walks
// them). A node talks only to its tree (NodeHost), never to the window.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "common/display_list.h"
#include "common/form_def.h"
#include "platform/win32/palette.h"
#include "platform/win32/picture.h"
#include "platform/win32/text.h"

namespace talvo::win32 {

// What the tree of controls needs of the window it lives in.
class FormHost {
 public:
  virtual ~FormHost() = default;
  // nullptr once the window is gone.
  virtual HWND Hwnd() const = 0;
  virtual const Scale& CurrentScale() const = 0;
  // Part of the client area, in pixels, must be painted again.
  virtual void Repaint(const RECT& box) = 0;
  // A control moved, resized, appeared or disappeared.
  virtual void Relaid() = 0;
  // Whether the window has been on the screen yet.
  virtual bool EverShown() const = 0;
};

class Node;

// What a node needs of the tree it lives in: the window's, and its own box.
class NodeHost : public FormHost {
 public:
  // Where a node is, in client pixels at the current scale; not clipped.
  virtual RECT BoxOf(const Node& node) const = 0;
  // The face that drew the last text a definition's font lacked, tried first.
  virtual FallbackFace& ChosenFace() = 0;
};

// What a paint hands every node besides its box.
struct Look {
  const Scale& scale;
  Palette palette;
  Slot pressed;  // the button that looks pressed
  Slot marked;   // the button that shows the focus mark
};

class Node : public Surface {
 public:
  struct Init {
    Slot slot;
    const def::ControlDef* def;  // nullptr for the window itself
    Node* parent;
    float left, top, width, height;
    std::u16string_view tag;
  };
  Node(NodeHost& host, const Init& init);

  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  bool SetLeft(float twips) override { return Change(left_, twips); }
  bool SetTop(float twips) override { return Change(top_, twips); }
  bool SetWidth(float twips) override { return Change(width_, twips); }
  bool SetHeight(float twips) override { return Change(height_, twips); }
  std::u16string Tag() const override { return tag_; }
  void SetTag(std::u16string text) override { tag_ = std::move(text); }
  // The definition's, which paint and readers show too.
  std::u16string Caption() const override { return std::u16string(def_->caption); }
  bool SetPicture(PictureRef) override { return false; }
  bool SetVisible(bool visible) override;
  // Only picture boxes and the window can be drawn on.
  bool Cls() override { return false; }
  bool SetDrawMode(int) override { return false; }
  bool Line(float, float, float, float, Colour) override { return false; }
  bool Box(float, float, float, float, Colour) override { return false; }
  bool FilledBox(float, float, float, float, Colour) override { return false; }

  talvo::Slot Slot() const { return slot_; }
  const def::ControlDef* Def() const { return def_; }
  Node* Parent() const { return parent_; }
  const std::vector<Node*>& Children() const { return children_; }
  void Adopt(Node& child) { children_.push_back(&child); }
  bool IsLabel() const { return def_ && def_->kind == def::Kind::Label; }
  // Shown when it and every container around it are. The window itself is
  // painted whenever the platform asks, so it counts as shown.
  bool Shown() const { return !parent_ || (visible_ && parent_->Shown()); }
  // Where it is, in client pixels at `scale`, inside its parent's box `outer`;
  // not clipped.
  virtual RECT BoxIn(const RECT& outer, const Scale& scale) const;
  // Its own content into its box; children are painted by the tree.
  virtual void Paint(HDC dc, const RECT& box, const Look& look) const = 0;
  // Fonts and the like again, at the host's current scale.
  virtual void Rescale() {}

 protected:
  bool Change(float& field, float twips);
  // Takes a picture the platform decoded, and shows it.
  bool Replace(std::shared_ptr<const Win32Picture>& held, PictureRef picture);
  RECT CurrentBox() const { return host_.BoxOf(*this); }
  NodeHost& host_;
  bool visible_ = true;

 private:
  const talvo::Slot slot_;
  const def::ControlDef* const def_;
  Node* const parent_;
  std::vector<Node*> children_;
  float left_, top_, width_, height_;
  std::u16string tag_;
};

// A picture box: its back colour, its picture at natural size from the
// top-left corner, then what was drawn on it.
class PictureBoxNode : public Node {
 public:
  PictureBoxNode(NodeHost& host, const Init& init, Colour back_colour);
  bool SetPicture(PictureRef picture) override;
  bool Cls() override;
  bool SetDrawMode(int mode) override { return drawing_.SetDrawMode(mode); }
  bool Line(float x1, float y1, float x2, float y2, Colour colour) override;
  bool Box(float x1, float y1, float x2, float y2, Colour colour) override;
  bool FilledBox(float x1, float y1, float x2, float y2, Colour colour) override;
  void Paint(HDC dc, const RECT& box, const Look& look) const override;

 private:
  bool Drawn(bool added);
  Colour back_colour_;
  std::shared_ptr<const Win32Picture> picture_;
  DisplayList drawing_;
};

// The window itself: a surface whose geometry is the top-level window's,
// in screen twips. A value reads back as the twips last written (or the
// design's) while the window still has the pixels those twips give, so the
// core sees exactly what it set at any DPI, not a value rounded to pixels.
// Until it is first shown, the window stands where the core put it, moved
// only as far as it must be to be wholly on a screen: what the core reads
// before showing it is where it will appear.
class WindowNode final : public PictureBoxNode {
 public:
  WindowNode(NodeHost& host, const def::WindowDef& def);
  std::u16string Caption() const override { return std::u16string(window_def_.caption); }
  float Left() const override;
  float Top() const override;
  float Width() const override;
  float Height() const override;
  bool SetLeft(float twips) override;
  bool SetTop(float twips) override;
  bool SetWidth(float twips) override;
  bool SetHeight(float twips) override;
  bool SetVisible(bool visible) override;
  // The client area, whatever it is handed.
  RECT BoxIn(const RECT& outer, const Scale& scale) const override;
  // Where it stands before it is first shown: where the core put it, moved
  // onto a screen as little as that takes.
  bool Settle();

 private:
  enum Side { kLeft, kTop, kWidth, kHeight };
  float Read(Side side, int pixels) const;
  RECT OnScreen() const;
  // Writes one side, or settles the whole window while it was never shown.
  bool Write(Side side, float twips);
  bool Place(const RECT& r);
  const def::WindowDef& window_def_;
  float written_[4];  // twips, by Side
};

class LabelNode final : public Node {
 public:
  LabelNode(NodeHost& host, const Init& init, const def::Font& font);
  void Paint(HDC dc, const RECT& box, const Look& look) const override;
  void Rescale() override;

 private:
  const def::Font& font_def_;
  std::optional<TextFont> font_;
};

// A command button in the graphical style: face in its back colour, picture
// and caption centred, a raised edge (sunken while pressed), a focus mark.
class ButtonNode final : public Node {
 public:
  ButtonNode(NodeHost& host, const Init& init, const def::Font& font,
             std::shared_ptr<const Win32Picture> picture);
  bool SetPicture(PictureRef picture) override;
  void Paint(HDC dc, const RECT& box, const Look& look) const override;
  void Rescale() override;

 private:
  const def::Font& font_def_;
  std::optional<TextFont> font_;
  std::shared_ptr<const Win32Picture> picture_;
};

// An image control: its picture at natural size, or stretched to its box.
class ImageNode final : public Node {
 public:
  ImageNode(NodeHost& host, const Init& init, std::shared_ptr<const Win32Picture> picture);
  bool SetPicture(PictureRef picture) override;
  void Paint(HDC dc, const RECT& box, const Look& look) const override;

 private:
  std::shared_ptr<const Win32Picture> picture_;
};

}  // namespace talvo::win32
