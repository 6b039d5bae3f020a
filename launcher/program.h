// Program start: the toolkit builds mainform from its definition, its load
// handler runs, the window is shown and the program waits for window events.
#pragma once

#include "common/platform.h"

namespace talvo {

// What the program returns when the platform cannot make its window: it ends
// at once rather than wait, invisible, for events that can never come.
inline constexpr int kExitNoWindow = 3;
// A start while another launcher shows: that one comes into view and this
// one ends without a window of its own, as a success.
inline constexpr int kExitOtherShowing = 0;
// Memory ran out while the window was being built.
inline constexpr int kExitOutOfMemory = 1;

int RunProgram(Toolkit& toolkit, Files& files, System& system, PictureLoader& pictures);

}  // namespace talvo
