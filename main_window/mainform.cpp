#include "main_window/mainform.h"

#include <cmath>

#include "common/basecomm.h"

namespace talvo {
namespace {

// A statement whose sum overflowed or came out invalid is skipped, as the
// toolkit's single-precision arithmetic would fail it.
template <typename Setter>
void Assign(float value, Setter set) {
  if (std::isfinite(value)) IgnoreFailure(set(value));
}

}  // namespace

mainform::mainform(Form& parts, Files& files, System& system, Toolkit& toolkit,
                   SubSetInstance& subset)
    : Me(parts.Window()),
      Pan00(parts.PictureBox(def::kPan00)),
      Pan01(parts.PictureBox(def::kPan01)),
      Pan100(parts.PictureBox(def::kPan100)),
      meCaption(parts.Item(def::kMeCaption)),
      Sysinfo(parts.Item(def::kSysinfo)),
      parts_(parts),
      files_(files),
      system_(system),
      toolkit_(toolkit),
      subset_(subset) {}

void mainform::ResizeSet() {
  IgnoreFailure(Pan00.SetLeft(60));
  IgnoreFailure(Pan00.SetTop(60));
  Assign(Me.Width() - 150.0f, [&](float v) { return Pan00.SetWidth(v); });
  if (PictureRef picture = subset_->Color01.Picture()) IgnoreFailure(Pan00.SetPicture(picture));
  Assign(Pan00.Left(), [&](float v) { return Pan01.SetLeft(v); });
  Assign(Pan00.Top() + Pan00.Height(), [&](float v) { return Pan01.SetTop(v); });
  Assign(Pan00.Width(), [&](float v) { return Pan01.SetWidth(v); });
  if (PictureRef picture = subset_->Color08A.Picture()) IgnoreFailure(Pan01.SetPicture(picture));
  B03_Basecomm::PaintPanelFrame(Pan01);
  Assign(Pan01.Top() + Pan01.Height() + 90.0f, [&](float v) { return Me.SetHeight(v); });
  B03_Basecomm::PaintPanelFrame(Me);
}

void mainform::To_top() {
  const float width = Me.Width();
  const float left = Me.Left();
  const float top = Me.Top();
  const float height = Me.Height();
  // Topmost, shown and not activated in one step, where the window already
  // stands and at its size: a call that moved it to its twips taken as pixels
  // could carry it onto another monitor (and another DPI) on the way.
  IgnoreFailure(
      system_.SetWindowPos(parts_.Handle(), swp::kTopmost, 0, 0, 0, 0,
                           swp::kNoSize | swp::kNoMove | swp::kShowWindow | swp::kNoActivate));
  // The geometry recorded before the call is written back, in this order, as
  // the method always has: where the platform refused the call or moved the
  // window on the way, this is where it stands afterwards.
  Assign(top, [&](float v) { return Me.SetTop(v); });
  Assign(left, [&](float v) { return Me.SetLeft(v); });
  Assign(width, [&](float v) { return Me.SetWidth(v); });
  Assign(height, [&](float v) { return Me.SetHeight(v); });
}

void mainform::meCaption_MouseDown(int, int, float x, float y) {
  B03_Basecomm::DragBegin(Pan00, Me, x, y);
}

void mainform::meCaption_MouseMove(int, int, float x, float y) {
  B03_Basecomm::DragMove(Pan00, Me, x, y, parts_.Desktop(), toolkit_);
}

void mainform::meCaption_MouseUp(int, int, float x, float y) {
  B03_Basecomm::DragEnd(Pan00, Me, x, y);
}

void mainform::meCaption_CaptureLost() { B03_Basecomm::DragEnd(Pan00, Me, 0, 0); }

}  // namespace talvo
