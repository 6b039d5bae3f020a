#include "platform/win32/decorations.h"

#include <utility>

namespace talvo::win32 {

Decorations::Decorations(const def::FormDef& definition, ResourcePictureLoader& pictures,
                         ControlTree& tree)
    : definition_(definition), pictures_(pictures), tree_(tree) {
  cursors_.resize(definition.controls.size());
}

void Decorations::Make() {
  if (tooltip_) return;
  MakeIconsAndPointers();
  tooltip_ = std::make_unique<Tooltip>(tree_.Hwnd());
  UpdateTools();
}

void Decorations::Rescaled() {
  if (!tooltip_) return;
  MakeIconsAndPointers();
  UpdateTools();
}

void Decorations::UpdateTools() {
  if (tooltip_) tooltip_->SetTools(tree_.HoverAreas());
}

void Decorations::Relay(UINT message, WPARAM wparam, LPARAM lparam) {
  if (tooltip_) tooltip_->Relay(message, wparam, lparam);
}

bool Decorations::OnSetCursor() {
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(tree_.Hwnd(), &point);
  const Slot slot = tree_.HitTest(point);
  if (!IsControl(slot) || !cursors_.at(static_cast<size_t>(slot))) return false;
  SetCursor(cursors_[static_cast<size_t>(slot)].Get());
  return true;
}

void Decorations::MakeIconsAndPointers() {
  const HWND hwnd = tree_.Hwnd();
  const Scale& scale = tree_.CurrentScale();
  if (const auto* icon = definition_.window.icon) {
    if (auto picture =
            std::dynamic_pointer_cast<const IconPicture>(pictures_.LoadWin32(icon->asset))) {
      // The window keeps using the old ones until it has the new.
      ScopedIcon big = picture->Icon(scale.FromDesignPixels(32));
      ScopedIcon small_one = picture->Icon(scale.FromDesignPixels(16));
      SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
      SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_one.Get()));
      big_icon_ = std::move(big);
      small_icon_ = std::move(small_one);
    }
  }
  std::vector<ScopedIcon> cursors(definition_.controls.size());
  for (size_t slot = 0; slot < definition_.controls.size(); ++slot) {
    const def::ControlDef& d = definition_.controls[slot];
    if (d.mouse_pointer != def::kMousePointerCustom || !d.mouse_icon) continue;
    auto icon =
        std::dynamic_pointer_cast<const IconPicture>(pictures_.LoadWin32(d.mouse_icon->asset));
    if (icon) {
      cursors[slot] = icon->Cursor(d.mouse_icon->hotspot_x, d.mouse_icon->hotspot_y, scale);
    }
    // A pointer in use must not be destroyed: show its successor first.
    if (cursors_[slot] && GetCursor() == cursors_[slot].Get()) SetCursor(cursors[slot].Get());
  }
  cursors_ = std::move(cursors);
}

}  // namespace talvo::win32
