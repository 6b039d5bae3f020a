// The window toolkit: forms built from their definitions as one window each,
// and the message loop that dispatches their events.
#pragma once

#include <memory>

#include "common/form_def.h"
#include "platform/win32/picture.h"

namespace talvo::win32 {

class Win32Toolkit final : public Toolkit {
 public:
  explicit Win32Toolkit(ResourcePictureLoader& pictures) : pictures_(pictures) {}
  std::unique_ptr<Form> CreateForm(const def::FormDef& definition, InputEvents& input) override;
  void DoEvents() override;
  int RunEventLoop() override;
  // The window that owns message boxes, while it exists.
  HWND MainWindow() const { return IsWindow(main_) ? main_ : nullptr; }

 private:
  ResourcePictureLoader& pictures_;
  HWND main_ = nullptr;
};

}  // namespace talvo::win32
