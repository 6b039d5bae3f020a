// The main window realised from its definition table: picture boxes (and the
// window itself) as surfaces that keep what is drawn on them, windowless
// transparent labels painted by their parent, and owner-drawn graphical
// command buttons.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "common/form_def.h"
#include "platform/win32/picture.h"
#include "platform/win32/text.h"

namespace talvo::win32 {

class SurfaceWindow;

// A label: no window of its own; its parent draws it and routes mouse input.
class LabelItem final : public Control {
 public:
  LabelItem(const def::ControlDef& def, int slot, SurfaceWindow& parent,
            const def::Font& window_font);
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  bool SetLeft(float twips) override;
  bool SetTop(float twips) override;
  bool SetWidth(float twips) override;
  bool SetHeight(float twips) override;
  std::u16string Tag() const override { return tag_; }
  void SetTag(std::u16string text) override { tag_ = std::move(text); }
  std::u16string Caption() const override { return std::u16string(def_.caption); }
  bool SetPicture(PictureRef) override { return false; }
  bool SetVisible(bool visible) override;

  const def::ControlDef& Def() const { return def_; }
  int Slot() const { return slot_; }
  RECT Rect() const;  // in the parent's pixels
  bool Visible() const { return visible_; }
  void Paint(HDC dc) const;

 private:
  bool Moved(const RECT& before);
  const def::ControlDef& def_;
  int slot_;
  SurfaceWindow& parent_;
  TextFont font_;
  float left_, top_, width_, height_;
  std::u16string tag_;
  bool visible_ = true;
};

// What every control that is a real child or top-level window shares.
template <typename Base>
class HwndControl : public Base {
 public:
  HWND Hwnd() const { return hwnd_; }
  float Left() const override { return Scale().ToTwips(PixelRect().left); }
  float Top() const override { return Scale().ToTwips(PixelRect().top); }
  float Width() const override {
    const RECT r = PixelRect();
    return Scale().ToTwips(r.right - r.left);
  }
  float Height() const override {
    const RECT r = PixelRect();
    return Scale().ToTwips(r.bottom - r.top);
  }
  bool SetLeft(float twips) override {
    RECT r = PixelRect();
    OffsetRect(&r, Scale().ToPixels(twips) - r.left, 0);
    return Place(r);
  }
  bool SetTop(float twips) override {
    RECT r = PixelRect();
    OffsetRect(&r, 0, Scale().ToPixels(twips) - r.top);
    return Place(r);
  }
  bool SetWidth(float twips) override {
    RECT r = PixelRect();
    r.right = r.left + Scale().ToPixels(twips);
    return Place(r);
  }
  bool SetHeight(float twips) override {
    RECT r = PixelRect();
    r.bottom = r.top + Scale().ToPixels(twips);
    return Place(r);
  }
  std::u16string Tag() const override { return tag_; }
  void SetTag(std::u16string text) override { tag_ = std::move(text); }
  bool SetVisible(bool visible) override {
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    return true;
  }

 protected:
  // Relative to the parent's client area, or to the screen for a top-level window.
  RECT PixelRect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    if (HWND parent = GetParent(hwnd_); parent && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
  }
  bool Place(const RECT& r) {
    return SetWindowPos(hwnd_, nullptr, r.left, r.top, std::max(0L, r.right - r.left),
                        std::max(0L, r.bottom - r.top),
                        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
  }

  HWND hwnd_ = nullptr;
  std::u16string tag_;
};

// A command button in the graphical style.
class ButtonControl final : public HwndControl<Control> {
 public:
  ButtonControl(const def::ControlDef& def, int slot, HWND parent, const def::Font& window_font);
  std::u16string Caption() const override { return std::u16string(def_.caption); }
  bool SetPicture(PictureRef picture) override;
  void Draw(const DRAWITEMSTRUCT& item) const;
  HCURSOR Cursor() const { return cursor_; }
  int Slot() const { return slot_; }

 private:
  const def::ControlDef& def_;
  int slot_;
  TextFont font_;
  std::shared_ptr<const Win32Picture> picture_;
  std::shared_ptr<const Win32Picture> mouse_icon_;
  HCURSOR cursor_ = nullptr;
};

// The window itself or a picture box: shows BackColor, then its Picture at
// natural size, then whatever was drawn on it, then its labels. Drawing goes
// to a bitmap kept for the surface's life, so it survives being covered.
class SurfaceWindow final : public HwndControl<Surface> {
 public:
  // A top-level window when parent is nullptr.
  SurfaceWindow(const def::ControlDef& def, HWND parent, InputEvents& input);
  SurfaceWindow(const def::WindowDef& def, InputEvents& input);
  ~SurfaceWindow() override;

  std::u16string Caption() const override { return caption_; }
  bool SetPicture(PictureRef picture) override;

  [[nodiscard]] bool Cls() override;
  [[nodiscard]] bool SetDrawMode(int mode) override;
  [[nodiscard]] bool Line(float x1, float y1, float x2, float y2, Colour colour) override;
  [[nodiscard]] bool Box(float x1, float y1, float x2, float y2, Colour colour) override;
  [[nodiscard]] bool FilledBox(float x1, float y1, float x2, float y2, Colour colour) override;

  void AddLabel(LabelItem& label) { labels_.push_back(&label); }
  void AddButton(ButtonControl& button) { buttons_.push_back(&button); }
  void InvalidateLabel(const RECT& rect) { InvalidateRect(hwnd_, &rect, FALSE); }
  void SetSlot(int slot) { slot_ = slot; }
  // Keeps every pointer event for `label` (nullptr: none) while it holds it.
  void Capture(LabelItem* label);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void OnMouse(UINT message, WPARAM wparam, LPARAM lparam);
  LabelItem* LabelAt(POINT point) const;
  // Grows the kept bitmap to cover the window, keeping what is on it.
  bool EnsureCanvas();
  void ClearCanvas(const RECT& area);
  HWND Create(HWND parent, DWORD style, DWORD ex_style, const RECT& pixels,
              std::u16string_view caption);

  Colour back_colour_;
  std::u16string caption_;
  InputEvents& input_;
  int slot_ = def::kWindow;
  std::shared_ptr<const Win32Picture> picture_;
  ScopedBitmap canvas_;
  SIZE canvas_size_{0, 0};
  int draw_mode_ = R2_COPYPEN;
  std::vector<LabelItem*> labels_;
  std::vector<ButtonControl*> buttons_;
  LabelItem* captured_ = nullptr;  // the label that holds the pointer capture
};

// A window and its controls as the core sees them, built from the table.
class MainWindow final : public Form {
 public:
  MainWindow(const def::FormDef& definition, InputEvents& input);
  ~MainWindow() override {
    if (tooltip_) DestroyWindow(tooltip_);
  }
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  Surface& Window() override { return *window_; }
  std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(window_->Hwnd()); }
  Surface& PictureBox(int slot) override { return *surfaces_.at(slot); }
  Control& Item(int slot) override { return *items_.at(slot); }
  void ShowPressed(int) override {}  // the buttons show it themselves
  void ShowFocus(int slot) override;
  void CapturePointer(int slot) override;
  void Unload() override;
  HWND Hwnd() const { return window_->Hwnd(); }
  // The window of a button or picture box at a table position.
  HWND HwndOf(int slot) const { return hwnds_.at(slot); }

 private:
  std::unique_ptr<SurfaceWindow> window_;
  std::vector<std::unique_ptr<Control>> owned_;
  std::vector<SurfaceWindow*> surfaces_;
  std::vector<Control*> items_;
  std::vector<HWND> hwnds_;
  std::vector<SurfaceWindow*> label_parents_;
  HWND tooltip_ = nullptr;
};

}  // namespace talvo::win32
