#include "launcher/program.h"

#include <memory>

#include "image_store/subset.h"
#include "main_window/input.h"
#include "main_window/mainform.h"

namespace talvo {

int RunProgram(Toolkit& toolkit, Files& files, System& system, PictureLoader& pictures) {
  // A second panel stacked exactly on the first looks as if the first did
  // not react; one launching on its way out is no longer in the way.
  if (toolkit.BringOtherStartIntoView()) return kExitOtherShowing;
  FormInput input;
  const std::unique_ptr<Form> window = toolkit.CreateForm(def::kMainForm, input);
  if (!window) return kExitNoWindow;
  SubSetInstance subset(pictures);
  mainform form(*window, files, system, toolkit, subset);
  input.Bind(form, *window);

  form.Form_Load();
  // The start window is shown once loading is done (it usually is already).
  if constexpr (def::kMainWindow.visible) IgnoreFailure(form.Me.SetVisible(true));
  return toolkit.RunEventLoop();
}

}  // namespace talvo
