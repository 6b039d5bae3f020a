// The launcher's window built in a test program's own process, as the
// program builds it, for what Wine cannot set off from outside (a DPI
// change, high contrast). Its load handler has run.
#pragma once

#include "platform/win32/win32.h"  // before the other Windows headers

#include "image_store/subset.h"
#include "main_window/input.h"
#include "main_window/mainform.h"
#include "platform/win32/files.h"
#include "platform/win32/form_window.h"
#include "platform/win32/system.h"
#include "platform/win32/toolkit.h"

namespace talvo::win32 {

struct InProcessLauncher {
  InProcessLauncher(int dpi, ResourcePictureLoader& pictures, Win32Toolkit& toolkit,
                    FormWindow::HighContrastQuery high_contrast = SystemHighContrast)
      : window(def::kMainForm, input, pictures, dpi, high_contrast),
        system(toolkit),
        subset(pictures),
        form(window, files, system, toolkit, subset) {
    input.Bind(form, window);
    form.Form_Load();
  }
  FormInput input;
  FormWindow window;
  Win32Files files;
  Win32System system;
  SubSetInstance subset;
  mainform form;
};

}  // namespace talvo::win32
