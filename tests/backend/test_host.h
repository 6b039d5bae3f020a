// A real, hidden top-level window at a chosen DPI, standing in for the form
// window as the controls' host: the backend's own logic (the tree, the
// window's geometry, the accessible object) runs against the platform, with
// nothing shown. Repaints are counted, not made.
#pragma once

#include "platform/win32/win32.h"  // before the other Windows headers

#include <vector>

#include "platform/win32/controls.h"

namespace talvo::win32::testing {

class TestHost final : public FormHost {
 public:
  explicit TestHost(int dpi = 96, int width = 734, int height = 379) : scale_(dpi) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TalvoBackendTest";
    RegisterClassW(&wc);  // fails harmlessly from the second host on
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 165, 137, width, height, nullptr,
                            nullptr, wc.hInstance, nullptr);
  }
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;
  ~TestHost() override {
    if (hwnd_) DestroyWindow(hwnd_);
  }

  HWND Hwnd() const override { return hwnd_; }
  const Scale& CurrentScale() const override { return scale_; }
  void Repaint(const RECT& box) override { repainted.push_back(box); }
  void Relaid() override {}
  bool EverShown() const override { return shown; }

  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r;
  }

  std::vector<RECT> repainted;
  bool shown = true;

 private:
  HWND hwnd_ = nullptr;
  Scale scale_;
};

}  // namespace talvo::win32::testing
