// Hover texts ("Exit System") as tool rectangles of the form's window, shown
// by a common-controls tooltip. comctl32 is loaded and the tooltip made only
// when the form asks, after its first paint: nobody can hover before that.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/scoped.h"

namespace talvo::win32 {

class Tooltip {
 public:
  struct Tool {
    RECT area;  // client pixels of the owner; empty when not on screen
    std::u16string text;
  };

  explicit Tooltip(HWND owner);
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;
  ~Tooltip();

  // Replaces the areas of the tools, one per text, in the same order each time.
  void SetTools(const std::vector<Tool>& tools);
  // A pointer message of the owner, so the tooltip sees hovering.
  void Relay(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  SystemLibrary comctl32_{L"comctl32.dll"};
  HWND owner_;
  HWND window_ = nullptr;
  std::vector<std::wstring> texts_;  // the tooltip keeps pointers into these
};

}  // namespace talvo::win32
