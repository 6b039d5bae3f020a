#include "common/form_def.h"

#include <algorithm>

namespace talvo::def {

std::vector<int> TabStops(std::span<const ControlDef> controls) {
  std::vector<int> stops;
  for (int slot = 0; slot < static_cast<int>(controls.size()); ++slot) {
    if (controls[slot].kind == Kind::CommandButton) stops.push_back(slot);
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [&](int a, int b) { return controls[a].tab_index < controls[b].tab_index; });
  return stops;
}

}  // namespace talvo::def
