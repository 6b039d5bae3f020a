// A screen of one or more monitors in twips, and a pointer on it.
#pragma once

#include <algorithm>
#include <limits>
#include <vector>

#include "common/platform.h"

namespace talvo::fakes {

struct TwipsRect {
  float left, top, right, bottom;
};

class FakeScreen : public Screen {
 public:
  struct Monitor {
    TwipsRect bounds, work;
  };

  float WorkAreaTopUnderPointer() const override {
    // The monitor under the pointer, else the nearest, as the platform picks.
    const Monitor* best = nullptr;
    float best_gap = std::numeric_limits<float>::max();
    for (const Monitor& m : monitors) {
      const float dx = std::max({0.0f, m.bounds.left - pointer_x, pointer_x - m.bounds.right});
      const float dy = std::max({0.0f, m.bounds.top - pointer_y, pointer_y - m.bounds.bottom});
      const float gap = dx * dx + dy * dy;
      if (gap < best_gap) {
        best = &m;
        best_gap = gap;
      }
    }
    return best ? best->work.top : 0;
  }

  // One 1280 x 1024 monitor at 96 dpi with its task bar at the bottom.
  std::vector<Monitor> monitors = {{{0, 0, 19200, 15360}, {0, 0, 19200, 14760}}};
  float pointer_x = 0, pointer_y = 0;
};

}  // namespace talvo::fakes
