// mainform: the launcher's only visible window, as the core sees it. The
// backend builds the controls from the definition table and hands them over;
// the handlers and methods here are all the behaviour the window has.
#pragma once

#include <cstdint>
#include <string>

#include "common/platform.h"
#include "image_store/subset.h"
#include "main_window/mainform_def.h"

namespace talvo {

// The realised window and its controls, indexed by their table position.
class MainFormParts {
 public:
  virtual ~MainFormParts() = default;
  virtual Surface& Window() = 0;
  virtual std::intptr_t Handle() const = 0;  // the window's hWnd
  // Picture boxes are surfaces; every other control is a plain Control.
  virtual Surface& PictureBox(int slot) = 0;
  virtual Control& Item(int slot) = 0;
};

class mainform {
 public:
  mainform(MainFormParts& parts, Files& files, System& system, SubSetInstance& subset);
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
  Control& ToDo(int index) { return parts_.Item(def::kToDo0 + index); }
  Control& RoomSelect(int index) { return parts_.Item(def::RoomSelectSlot(index)); }
  Surface& RoomPan(int index) { return parts_.PictureBox(def::RoomPanSlot(index)); }

 private:
  MainFormParts& parts_;
  Files& files_;
  System& system_;
  SubSetInstance& subset_;
  bool launching_ = false;
};

}  // namespace talvo
