#include "common/basecomm.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>

namespace talvo::B03_Basecomm {

namespace {

// Each drag anchor coordinate occupies this many characters after the 'A'.
constexpr std::size_t kFieldWidth = 10;

// The coordinate rounded half away from zero, as at least ten zero-padded
// digits. A negative value keeps the field ten characters wide with the sign
// in front ("-000000005") so the fields stay aligned and read back signed;
// zero never carries a sign. A non-finite value has no digits to write, so it
// becomes ten zeros and reads back as 0.
std::u16string FormatAnchor(float value) {
  const float rounded = std::round(value);
  if (!std::isfinite(rounded)) return std::u16string(kFieldWidth, u'0');
  char digits[64];
  // The rounded value is a whole number, so "%.0f" prints it exactly whatever
  // its rounding mode; the largest float has 39 digits.
  if (rounded < 0) {
    std::snprintf(digits, sizeof digits, "-%0*.0f", static_cast<int>(kFieldWidth - 1),
                  static_cast<double>(-rounded));
  } else {
    std::snprintf(digits, sizeof digits, "%0*.0f", static_cast<int>(kFieldWidth),
                  static_cast<double>(std::fabs(rounded)));
  }
  std::u16string text;
  for (const char* c = digits; *c != '\0'; ++c) text.push_back(static_cast<char16_t>(*c));
  return text;
}

// Reads up to ten characters of tag from the zero-based start as VB's Val
// reads a number: an optional sign, then the leading digits; anything else
// (or nothing) gives 0. Accumulated in double, which holds ten digits exactly,
// and rounded to float once.
float ReadAnchor(const std::u16string& tag, std::size_t start) {
  if (start >= tag.size()) return 0;
  const std::u16string field = tag.substr(start, kFieldWidth);
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
    negative = field[i] == u'-';
    ++i;
  }
  double value = 0;
  for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
    value = value * 10 + (field[i] - u'0');
  }
  return static_cast<float>(negative ? -value : value);
}

}  // namespace

void PaintPanelFrame(DrawingTarget& target) {
  // A failed clear still leaves a frame worth drawing over whatever is there.
  IgnoreFailure(target.Cls());
  const float height = target.Height();
  const float width = target.Width();
  // A failed primitive only cuts the frame short.
  IgnoreFailure(DrawFrame3D(target, false, 10, 10, height - 30, width - 30, 50, 1));
}

bool DrawFrame3D(DrawingTarget& target, bool fill, float top, float left, float height, float width,
                 float inset, float thickness) {
  if (!DrawBevel(target, fill, false, top, left, height, width, thickness, kLightEdge, kDarkEdge)) {
    return false;
  }
  if (inset > 0) {
    return DrawBevel(target, fill, false, top + inset, left + inset, height - 2 * inset,
                     width - 2 * inset, thickness, kDarkEdge, kLightEdge);
  }
  return true;
}

bool DrawBevel(DrawingTarget& target, bool fill, bool outline, float top, float left, float height,
               float width, float thickness, Colour first, Colour second) {
  if (!target.SetDrawMode(kCopyPen)) return false;
  const float right = left + width;
  const float bottom = top + height;
  if (fill && !target.FilledBox(left, top, right, bottom, kFaceFill)) return false;
  float offset = 0;
  // An integer counter compared in double keeps a fractional thickness
  // meaning "passes while k <= thickness" and cannot stall the way a float
  // counter would past 2^24.
  for (long long k = 1; static_cast<double>(k) <= static_cast<double>(thickness); ++k) {
    const float near_x = left + offset;
    const float near_y = top + offset;
    const float far_x = right - offset;
    const float far_y = bottom - offset;
    if (!target.Line(near_x, near_y, far_x, near_y, first)) return false;
    if (!target.Line(near_x, near_y, near_x, far_y, first)) return false;
    if (!target.Line(near_x, far_y, far_x, far_y, second)) return false;
    if (!target.Line(far_x, near_y, far_x, far_y, second)) return false;
    offset += kEdgeStep;
  }
  if (outline && !target.Box(left, top, right, bottom, kDarkShadow)) return false;
  return true;
}

void DragBegin(TagHolder& holder, Geometry& /*window*/, float x, float y) {
  std::u16string tag = u"A";
  tag += FormatAnchor(x);
  tag += FormatAnchor(y);
  holder.SetTag(std::move(tag));
}

void DragMove(TagHolder& holder, Geometry& window, float x, float y, const Screen& screen,
              Toolkit& events) {
  // Read afresh on every move: a re-entered move or a new press may have
  // changed it since the caller's move started.
  const std::u16string tag = holder.Tag();
  if (tag.empty() || tag[0] != u'A') return;
  const float anchor_x = ReadAnchor(tag, 1);
  const float anchor_y = ReadAnchor(tag, 1 + kFieldWidth);

  // Each step stands alone: a refused or meaningless position skips only that
  // step.
  const float new_left = window.Left() + (x - anchor_x);
  if (std::isfinite(new_left)) IgnoreFailure(window.SetLeft(new_left));
  const float new_top = window.Top() + (y - anchor_y);
  // Keeps the caption from being dragged above the top of the screen: that is
  // the top of the work area where the pointer is, which lies above 0 on a
  // monitor standing above the primary one.
  if (std::isfinite(new_top) && new_top > screen.WorkAreaTopUnderPointer()) {
    IgnoreFailure(window.SetTop(new_top));
  }
  for (int i = 0; i < kDragPumps; ++i) events.DoEvents();
}

void DragEnd(TagHolder& holder, Geometry& /*window*/, float /*x*/, float /*y*/) {
  holder.SetTag(u"B");
}

}  // namespace talvo::B03_Basecomm
