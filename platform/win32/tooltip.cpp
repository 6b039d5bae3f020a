#include "platform/win32/tooltip.h"

#include <commctrl.h>

namespace talvo::win32 {

Tooltip::Tooltip(HWND owner) : owner_(owner) {
  using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = comctl32_.Get<Init>("InitCommonControlsEx");
  const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
  if (!init || !init(&classes)) return;
  // Unowned: under Wine a topmost popup owned by the window keeps the window
  // itself out of the topmost band. A tooltip is topmost on its own anyway.
  window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

Tooltip::~Tooltip() {
  if (window_) DestroyWindow(window_);
}

void Tooltip::SetTools(const std::vector<Tool>& tools) {
  if (!window_) return;
  const bool adding = texts_.empty();
  for (size_t i = 0; i < tools.size(); ++i) {
    if (adding) texts_.push_back(Wide(tools[i].text));
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = i + 1;
    tool.rect = tools[i].area;
    tool.lpszText = texts_[i].data();
    SendMessageW(window_, adding ? TTM_ADDTOOLW : TTM_NEWTOOLRECTW, 0,
                 reinterpret_cast<LPARAM>(&tool));
  }
}

void Tooltip::Relay(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!window_) return;
  MSG msg{owner_, message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
  const DWORD pos = GetMessagePos();
  msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  SendMessageW(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace talvo::win32
