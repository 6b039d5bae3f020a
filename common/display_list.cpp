#include "common/display_list.h"

#include <algorithm>

namespace talvo {

bool DisplayList::Add(const Primitive& primitive) {
  if (items_.size() >= kCapacity) return false;
  items_.push_back(primitive);
  return true;
}

bool DisplayList::SetDrawMode(int mode) {
  if (mode < 1 || mode > 16) return false;  // not a raster mode
  return Add({Op::DrawMode, mode, 0, 0, 0, 0, 0});
}

bool DisplayList::Line(float x1, float y1, float x2, float y2, Colour colour) {
  return Add({Op::Line, 0, x1, y1, x2, y2, colour});
}

bool DisplayList::Box(float x1, float y1, float x2, float y2, Colour colour) {
  return Add({Op::Box, 0, x1, y1, x2, y2, colour});
}

bool DisplayList::FilledBox(float x1, float y1, float x2, float y2, Colour colour) {
  return Add({Op::FilledBox, 0, x1, y1, x2, y2, colour});
}

void DisplayList::Replay(const Scale& scale, PixelCanvas& canvas) const {
  const int width = scale.LineWidth();
  canvas.SetDrawMode(kCopyPen);
  for (const Primitive& p : items_) {
    if (p.op == Op::DrawMode) {
      canvas.SetDrawMode(p.mode);
      continue;
    }
    const int x1 = scale.ToPixels(p.x1), y1 = scale.ToPixels(p.y1);
    const int x2 = scale.ToPixels(p.x2), y2 = scale.ToPixels(p.y2);
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    switch (p.op) {
      case Op::Line:
        if (y1 == y2 || x1 == x2) {
          canvas.Fill({left, top, right + width, bottom + width}, p.colour);
        } else {
          canvas.Slant(x1, y1, x2, y2, width, p.colour);
        }
        break;
      case Op::Box:
        // Each pixel once, so that modes such as XOR treat the corners alike;
        // a box no thicker than its lines is one solid block.
        if (bottom < top + width || right < left + width) {
          canvas.Fill({left, top, right + width, bottom + width}, p.colour);
          break;
        }
        canvas.Fill({left, top, right + width, top + width}, p.colour);
        canvas.Fill({left, bottom, right + width, bottom + width}, p.colour);
        if (bottom > top + width) {
          canvas.Fill({left, top + width, left + width, bottom}, p.colour);
          canvas.Fill({right, top + width, right + width, bottom}, p.colour);
        }
        break;
      case Op::FilledBox:
        canvas.Fill({left, top, right + width, bottom + width}, p.colour);
        break;
      case Op::DrawMode:
        break;
    }
  }
}

}  // namespace talvo
