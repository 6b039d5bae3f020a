// The window toolkit: builds a form from its definition and runs the
// message loop, with the keyboard reported to the form's input.
#pragma once

#include <memory>

#include "common/form_def.h"
#include "platform/win32/win32.h"

namespace talvo::win32 {

class Win32Toolkit final : public Toolkit {
 public:
  std::unique_ptr<Form> CreateForm(const def::FormDef& definition, InputEvents& input) override;
  void DoEvents() override;
  int RunEventLoop() override;
  HWND MainWindow() const { return IsWindow(main_) ? main_ : nullptr; }

 private:
  void Dispatch(MSG& msg);
  HWND main_ = nullptr;
  InputEvents* input_ = nullptr;
};

}  // namespace talvo::win32
