// mainform over the fakes, built from the real definition table, with its
// input bound as the program binds it.
#pragma once

#include "fakes/fake_files.h"
#include "fakes/fake_form.h"
#include "fakes/fake_pictures.h"
#include "fakes/fake_system.h"
#include "fakes/fake_toolkit.h"
#include "image_store/subset.h"
#include "main_window/input.h"
#include "main_window/mainform.h"

namespace talvo::fakes {

struct FormRig {
  Log log;
  FakeForm parts{def::kMainForm, log};
  FakeFiles files{log};
  FakeSystem system{log};
  FakeToolkit toolkit{&log};
  FakePictures pictures;
  SubSetInstance subset{pictures};
  mainform form{parts, files, system, toolkit, subset};
  FormInput input;
  FormRig() {
    system.moved = &parts.window();
    input.Bind(form, parts);
  }
};

}  // namespace talvo::fakes
