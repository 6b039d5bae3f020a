// What has been drawn on a picture box or window, kept as the primitives the
// frame procedures asked for, in twips, and replayed at every paint at the
// display's current resolution. Kept this way, a drawing survives being
// covered, the window's brief 0 x 0 size in the topmost placement, and a move
// to a monitor with another DPI.
#pragma once

#include <cstddef>
#include <vector>

#include "common/platform.h"
#include "common/twips.h"

namespace talvo {

// A half-open box of pixels: left and top included, right and bottom not.
struct PixelBox {
  int left, top, right, bottom;
};

// Where a display list is replayed: the few pixel operations it needs.
class PixelCanvas {
 public:
  virtual ~PixelCanvas() = default;
  // A raster mode 1..16 for what follows (13: the colour replaces the pixels).
  virtual void SetDrawMode(int mode) = 0;
  virtual void Fill(const PixelBox& box, Colour colour) = 0;
  // A line that is neither level nor upright, both ends included.
  virtual void Slant(int x1, int y1, int x2, int y2, int width, Colour colour) = 0;
};

class DisplayList {
 public:
  // The frame procedures draw 11 primitives on a target; a list this long is
  // far beyond any use here, and keeps a caller that draws in a loop from
  // growing it without end. Past it, a primitive is refused: the drawing
  // call fails, which ends a frame at that primitive as any failure would.
  static constexpr std::size_t kCapacity = 256;

  enum class Op { DrawMode, Line, Box, FilledBox };
  struct Primitive {
    Op op;
    int mode;  // DrawMode only
    float x1, y1, x2, y2;
    Colour colour;
  };

  void Clear() { items_.clear(); }
  [[nodiscard]] bool SetDrawMode(int mode);
  [[nodiscard]] bool Line(float x1, float y1, float x2, float y2, Colour colour);
  [[nodiscard]] bool Box(float x1, float y1, float x2, float y2, Colour colour);
  [[nodiscard]] bool FilledBox(float x1, float y1, float x2, float y2, Colour colour);
  const std::vector<Primitive>& Items() const { return items_; }

  // Draws every primitive in order, starting in copy-pen mode. A line covers
  // both its end points, a box its far edges, and both are Scale::LineWidth
  // pixels thick, growing right and down.
  void Replay(const Scale& scale, PixelCanvas& canvas) const;

 private:
  [[nodiscard]] bool Add(const Primitive& primitive);
  std::vector<Primitive> items_;
};

}  // namespace talvo
