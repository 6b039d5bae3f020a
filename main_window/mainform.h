// mainform: the launcher's only visible window, as the core sees it. The
// toolkit builds the controls from the definition table (mainform_def.h) and
// hands them over; the handlers and methods here are all the behaviour the
// window has. Which control's event reaches which handler is decided in
// main_window/input.cpp.
//
// Where each part lives:
//   main_window/mainform.cpp  ResizeSet, To_top, the meCaption_Mouse* handlers
//   launcher/launch.cpp       Form_Load, ToDo_Click, Session_End, RoomSelect_Click,
//                             toRunjnj
//   common/basecomm.cpp       the frame and drag procedures they call
#pragma once

#include <cstdint>
#include <string>

#include "common/platform.h"
#include "image_store/subset.h"
#include "main_window/mainform_def.h"

namespace talvo {

class mainform {
 public:
  mainform(Form& parts, Files& files, System& system, Toolkit& toolkit, SubSetInstance& subset);
  mainform(const mainform&) = delete;
  mainform& operator=(const mainform&) = delete;

  // Event handlers.
  void Form_Load();
  void RoomSelect_Click(std::int16_t index);
  void ToDo_Click(std::int16_t index);
  void meCaption_MouseDown(int button, int shift, float x, float y);
  void meCaption_MouseMove(int button, int shift, float x, float y);
  void meCaption_MouseUp(int button, int shift, float x, float y);
  // The label lost the pointer capture: a drag must not outlive its button.
  void meCaption_CaptureLost();
  // The session ends, or an upgrade closes the program.
  void Session_End();

  // Public methods.
  void ResizeSet();
  void toRunjnj(std::int16_t index, const std::u16string& user_id);
  void To_top();

  // Named controls.
  Surface& Me;  // the window itself
  Surface& Pan00;
  Surface& Pan01;
  Surface& Pan100;
  Control& meCaption;
  Control& Sysinfo;
  Control& ToDo(Index index) { return parts_.Item(def::kToDo0 + index); }
  Control& RoomSelect(Index index) { return parts_.Item(def::RoomSelectSlot(index)); }
  Surface& RoomPan(Index index) { return parts_.PictureBox(def::RoomPanSlot(index)); }

 private:
  Form& parts_;
  Files& files_;
  System& system_;
  Toolkit& toolkit_;
  SubSetInstance& subset_;
  bool launching_ = false;
};

}  // namespace talvo
