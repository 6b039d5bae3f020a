// The window toolkit: forms built from their definitions as one window each,
// the message loop that dispatches their events, and the one launcher window
// a desktop shows at a time.
#pragma once

#include <memory>

#include "common/form_def.h"
#include "platform/win32/picture.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

class Win32Toolkit final : public Toolkit {
 public:
  explicit Win32Toolkit(ResourcePictureLoader& pictures) : pictures_(pictures) {}
  ~Win32Toolkit() override;
  // Starts are taken one at a time in a session (a named lock, held until
  // this start's window shows), so two at once cannot both find none.
  bool BringOtherStartIntoView() override;
  std::unique_ptr<Form> CreateForm(const def::FormDef& definition, InputEvents& input) override;
  void DoEvents() override;
  int RunEventLoop() override;
  // The window that owns message boxes, while it exists.
  HWND MainWindow() const { return IsWindow(main_) ? main_ : nullptr; }

 private:
  void LetOtherStartsIn();
  ResourcePictureLoader& pictures_;
  HWND main_ = nullptr;
  ScopedHandle start_lock_;
  bool holding_start_lock_ = false;
};

}  // namespace talvo::win32
