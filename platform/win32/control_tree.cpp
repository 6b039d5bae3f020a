#include "platform/win32/control_tree.h"

#include <utility>

namespace talvo::win32 {

ControlTree::ControlTree(FormHost& window, const def::FormDef& definition,
                         ResourcePictureLoader& pictures, std::vector<Slot> buttons)
    : host_(window),
      definition_(definition),
      window_(std::make_unique<WindowNode>(*this, definition.window)),
      buttons_(std::move(buttons)) {
  const auto& controls = definition.controls;
  nodes_.reserve(controls.size());
  for (Slot slot = 0; slot < static_cast<Slot>(controls.size()); ++slot) {
    const def::ControlDef& d = controls[static_cast<size_t>(slot)];
    Node& parent = d.parent == kWindowSlot ? *window_ : *nodes_.at(static_cast<size_t>(d.parent));
    const Node::Init init{slot, &d, &parent, d.left, d.top, d.width, d.height, d.tag};
    const def::Font& font = d.font ? *d.font : *definition.window.font;
    auto picture = d.picture ? pictures.LoadWin32(d.picture->asset) : nullptr;
    std::unique_ptr<Node> node;
    switch (d.kind) {
      case def::Kind::PictureBox:
        node = std::make_unique<PictureBoxNode>(*this, init, d.back_colour);
        if (picture) IgnoreFailure(node->SetPicture(picture));
        break;
      case def::Kind::Label:
        node = std::make_unique<LabelNode>(*this, init, font);
        break;
      case def::Kind::CommandButton:
        node = std::make_unique<ButtonNode>(*this, init, font, std::move(picture));
        break;
      case def::Kind::Image:
        node = std::make_unique<ImageNode>(*this, init, std::move(picture));
        break;
    }
    parent.Adopt(*node);
    nodes_.push_back(std::move(node));
  }
}

Node& ControlTree::At(Slot slot) const {
  if (slot == kWindowSlot) return *window_;
  return *nodes_.at(static_cast<size_t>(slot));
}

RECT ControlTree::BoxOf(const Node& node) const {
  const Scale& scale = CurrentScale();
  return node.BoxIn(node.Parent() ? BoxOf(*node.Parent()) : RECT{}, scale);
}

template <typename Visit>
void ControlTree::Walk(const Node& node, const RECT& outer, const RECT& clip, Visit&& visit) const {
  if (!node.Shown()) return;
  const RECT box = node.BoxIn(outer, CurrentScale());
  RECT visible{};
  if (!IntersectRect(&visible, &box, &clip)) return;
  visit(node, box, visible);
  // Labels lie on their container's other children.
  for (const Node* child : node.Children()) {
    if (!child->IsLabel()) Walk(*child, box, visible, visit);
  }
  for (const Node* child : node.Children()) {
    if (child->IsLabel()) Walk(*child, box, visible, visit);
  }
}

void ControlTree::Paint(HDC dc, const RECT& clip, const Look& look) const {
  Walk(clip, [&](const Node& node, const RECT& box, const RECT& visible) {
    ScopedSaveDC saved(dc);
    IntersectClipRect(dc, visible.left, visible.top, visible.right, visible.bottom);
    node.Paint(dc, box, look);
  });
}

Slot ControlTree::HitTest(POINT client) const {
  Slot hit = kNoSlot;
  const RECT point{client.x, client.y, client.x + 1, client.y + 1};
  Walk(point, [&](const Node& node, const RECT&, const RECT&) { hit = node.Slot(); });
  return hit;
}

std::vector<Tooltip::Tool> ControlTree::HoverAreas() const {
  std::vector<RECT> visible(nodes_.size(), RECT{});
  Walk(BoxOf(*window_), [&](const Node& node, const RECT&, const RECT& part) {
    if (IsControl(node.Slot())) visible[static_cast<size_t>(node.Slot())] = part;
  });
  std::vector<Tooltip::Tool> tools;
  for (const auto& node : nodes_) {
    if (node->Def()->tooltip.empty()) continue;
    tools.push_back(
        {visible[static_cast<size_t>(node->Slot())], std::u16string(node->Def()->tooltip)});
  }
  return tools;
}

void ControlTree::Rescale() {
  for (const auto& node : nodes_) node->Rescale();
}

void ControlTree::RepaintSlot(Slot slot) {
  if (IsControl(slot)) host_.Repaint(BoxOf(slot));
}

void ControlTree::SetFocus(Slot slot) {
  RepaintSlot(std::exchange(focus_, slot));
  RepaintSlot(slot);
}

void ControlTree::SetPressed(Slot slot) {
  RepaintSlot(std::exchange(pressed_, slot));
  RepaintSlot(slot);
}

ChildId ControlTree::ChildIdOf(Slot slot) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i] == slot) return static_cast<ChildId>(i + 1);
  }
  return kChildSelf;
}

Slot ControlTree::ButtonOf(ChildId id) const {
  if (id < 1 || id > static_cast<ChildId>(buttons_.size())) return kNoSlot;
  return buttons_[static_cast<size_t>(id - 1)];
}

std::u16string ControlTree::NameOf(Slot slot) const {
  const def::ControlDef& d = *At(slot).Def();
  return std::u16string(d.caption.empty() ? d.tooltip : d.caption);
}

std::u16string ControlTree::WindowName() const {
  return std::u16string(def::WindowName(definition_));
}

}  // namespace talvo::win32
