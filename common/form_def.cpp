#include "common/form_def.h"

#include <algorithm>

namespace talvo::def {

std::vector<Slot> TabStops(std::span<const ControlDef> controls) {
  std::vector<Slot> stops;
  for (Slot slot = 0; slot < static_cast<Slot>(controls.size()); ++slot) {
    if (controls[slot].kind == Kind::CommandButton) stops.push_back(slot);
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [&](Slot a, Slot b) { return controls[a].tab_index < controls[b].tab_index; });
  return stops;
}

}  // namespace talvo::def
