#include "platform/win32/window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/win32/resource.h"

namespace talvo::win32 {
namespace {

constexpr wchar_t kSurfaceClass[] = L"TalvoOfficeSurface";

RECT PixelRectOf(float left, float top, float width, float height) {
  const int x = Scale().ToPixels(left);
  const int y = Scale().ToPixels(top);
  return {x, y, x + Scale().ToPixels(width), y + Scale().ToPixels(height)};
}

std::shared_ptr<const Win32Picture> AssetPicture(const def::PictureDef* picture) {
  return picture ? LoadResourcePicture(picture->asset) : nullptr;
}

// The toolkit's button and modifier numbers: 1 left, 2 right, 4 middle;
// 1 shift, 2 control, 4 alt.
int ButtonsHeld(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
         ((keys & MK_MBUTTON) ? 4 : 0);
}

int ShiftState(WPARAM keys) {
  return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return 2;
    default:
      return 4;
  }
}

void RegisterSurfaceClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kSurfaceClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

// Normalised, with both corners inside: the toolkit's boxes include them.
RECT InclusiveBox(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

}  // namespace

// ---------------------------------------------------------------------------
// LabelItem

LabelItem::LabelItem(const def::ControlDef& def, int slot, SurfaceWindow& parent,
                     const def::Font& window_font)
    : def_(def),
      slot_(slot),
      parent_(parent),
      font_(def.font ? *def.font : window_font),
      left_(def.left),
      top_(def.top),
      width_(def.width),
      height_(def.height),
      tag_(def.tag) {}

RECT LabelItem::Rect() const { return PixelRectOf(left_, top_, width_, height_); }

bool LabelItem::Moved(const RECT& before) {
  parent_.InvalidateLabel(before);
  parent_.InvalidateLabel(Rect());
  return true;
}

bool LabelItem::SetLeft(float twips) {
  const RECT before = Rect();
  left_ = twips;
  return Moved(before);
}
bool LabelItem::SetTop(float twips) {
  const RECT before = Rect();
  top_ = twips;
  return Moved(before);
}
bool LabelItem::SetWidth(float twips) {
  const RECT before = Rect();
  width_ = twips;
  return Moved(before);
}
bool LabelItem::SetHeight(float twips) {
  const RECT before = Rect();
  height_ = twips;
  return Moved(before);
}
bool LabelItem::SetVisible(bool visible) {
  visible_ = visible;
  return Moved(Rect());
}

void LabelItem::Paint(HDC dc) const {
  if (!visible_) return;
  font_.Draw(dc, def_.caption, Rect(), def_.alignment, ResolveColour(def_.fore_colour));
}

// ---------------------------------------------------------------------------
// ButtonControl

ButtonControl::ButtonControl(const def::ControlDef& def, int slot, HWND parent,
                             const def::Font& window_font)
    : def_(def),
      slot_(slot),
      font_(def.font ? *def.font : window_font),
      picture_(AssetPicture(def.picture)) {
  tag_ = std::u16string(def.tag);
  const RECT r = PixelRectOf(def.left, def.top, def.width, def.height);
  const std::wstring caption = Wide(def.caption);
  hwnd_ = CreateWindowExW(0, L"BUTTON", caption.c_str(),
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (def.mouse_pointer == def::kMousePointerCustom) {
    mouse_icon_ = AssetPicture(def.mouse_icon);
    if (mouse_icon_) cursor_ = mouse_icon_->Icon();
  }
}

bool ButtonControl::SetPicture(PictureRef picture) {
  auto win32 = std::dynamic_pointer_cast<const Win32Picture>(picture);
  if (!win32) return false;
  picture_ = std::move(win32);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

void ButtonControl::Draw(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  {
    ScopedBrush brush(CreateSolidBrush(ResolveColour(def_.back_colour)));
    FillRect(dc, &face, brush.Get());
  }
  const int shift = pressed ? 1 : 0;
  if (picture_) {
    const SIZE size = picture_->Pixels();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, face.left + 2, face.top + 2, face.right - 2, face.bottom - 2);
    picture_->Render(dc, (face.left + face.right - size.cx) / 2 + shift,
                     (face.top + face.bottom - size.cy) / 2 + shift);
    RestoreDC(dc, saved);
  }
  if (!def_.caption.empty()) {
    RECT text = face;
    OffsetRect(&text, shift, shift);
    font_.Draw(dc, def_.caption, text, def::Align::Center, GetSysColor(COLOR_BTNTEXT), true);
  }
  DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = face;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

// ---------------------------------------------------------------------------
// SurfaceWindow

SurfaceWindow::SurfaceWindow(const def::ControlDef& def, HWND parent, InputEvents& input)
    : back_colour_(def.back_colour), caption_(def.caption), input_(input) {
  tag_ = std::u16string(def.tag);
  hwnd_ =
      Create(parent, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
             PixelRectOf(def.left, def.top, def.width, def.height), def.caption);
}

SurfaceWindow::SurfaceWindow(const def::WindowDef& def, InputEvents& input)
    : back_colour_(def.back_colour), caption_(def.caption), input_(input) {
  hwnd_ = Create(nullptr, WS_POPUP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                 PixelRectOf(def.left, def.top, def.width, def.height), def.caption);
}

SurfaceWindow::~SurfaceWindow() {
  if (IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

HWND SurfaceWindow::Create(HWND parent, DWORD style, DWORD ex_style, const RECT& r,
                           std::u16string_view caption) {
  RegisterSurfaceClass(&SurfaceWindow::Proc);
  const std::wstring text = Wide(caption);
  return CreateWindowExW(ex_style, kSurfaceClass, text.c_str(), style, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, parent, nullptr,
                         GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK SurfaceWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<SurfaceWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<SurfaceWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  // Nothing may unwind through the system's frames; a failed handler counts
  // as a statement that failed and was skipped.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT SurfaceWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SIZE:
      EnsureCanvas();
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      OnMouse(message, wparam, lparam);
      return 0;
    case WM_CAPTURECHANGED:
      if (std::exchange(captured_, nullptr)) input_.CaptureLost();
      return 0;
    case WM_SETCURSOR:
      for (const ButtonControl* button : buttons_) {
        if (reinterpret_cast<HWND>(wparam) == button->Hwnd() && button->Cursor()) {
          SetCursor(button->Cursor());
          return TRUE;
        }
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      for (const ButtonControl* button : buttons_) {
        if (item->hwndItem == button->Hwnd()) {
          button->Draw(*item);
          return TRUE;
        }
      }
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        for (const ButtonControl* button : buttons_) {
          if (reinterpret_cast<HWND>(lparam) == button->Hwnd()) {
            input_.Press(button->Slot());
            return 0;
          }
        }
      }
      break;
    case WM_DESTROY:
      if (!GetParent(hwnd_)) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LabelItem* SurfaceWindow::LabelAt(POINT point) const {
  // The last label defined lies on top.
  for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) {
    const RECT r = (*it)->Rect();
    if ((*it)->Visible() && PtInRect(&r, point)) return *it;
  }
  return nullptr;
}

void SurfaceWindow::Capture(LabelItem* label) {
  if (label) {
    captured_ = label;
    SetCapture(hwnd_);
  } else if (captured_) {
    captured_ = nullptr;  // a release of our own is not a lost capture
    ReleaseCapture();
  }
}

void SurfaceWindow::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const bool down =
      message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
  const bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
  LabelItem* label = captured_ ? captured_ : LabelAt(point);
  const RECT r = label ? label->Rect() : RECT{};
  const int slot = label ? label->Slot() : slot_;
  const float x = Scale().ToTwips(point.x - r.left);
  const float y = Scale().ToTwips(point.y - r.top);
  const int shift = ShiftState(wparam);
  if (down) {
    input_.PointerDown(slot, ButtonOf(message), shift, x, y);
  } else if (up) {
    input_.PointerUp(slot, ButtonOf(message), ButtonsHeld(wparam), shift, x, y);
  } else {
    input_.PointerMove(slot, ButtonsHeld(wparam), shift, x, y);
  }
}

void SurfaceWindow::ClearCanvas(const RECT& area) {
  ScopedScreenDC screen;
  ScopedMemoryDC dc(screen.Get());
  ScopedSelect select(dc.Get(), canvas_.Get());
  ScopedBrush brush(CreateSolidBrush(ResolveColour(back_colour_)));
  FillRect(dc.Get(), &area, brush.Get());
  if (picture_) {
    const int saved = SaveDC(dc.Get());
    IntersectClipRect(dc.Get(), area.left, area.top, area.right, area.bottom);
    picture_->Render(dc.Get(), 0, 0);
    RestoreDC(dc.Get(), saved);
  }
}

bool SurfaceWindow::EnsureCanvas() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const SIZE wanted{std::max(canvas_size_.cx, client.right),
                    std::max(canvas_size_.cy, client.bottom)};
  if (canvas_ && wanted.cx == canvas_size_.cx && wanted.cy == canvas_size_.cy) return true;
  if (wanted.cx <= 0 || wanted.cy <= 0) return canvas_size_.cx > 0;
  // The kept bitmap only grows: shrinking the window (as the topmost
  // placement briefly does) must not lose what was drawn.
  ScopedScreenDC screen;
  ScopedBitmap grown(CreateCompatibleBitmap(screen.Get(), wanted.cx, wanted.cy));
  if (!grown) return false;
  ScopedBitmap old = std::exchange(canvas_, std::move(grown));
  const SIZE old_size = std::exchange(canvas_size_, wanted);
  ClearCanvas({0, 0, wanted.cx, wanted.cy});
  if (old) {
    ScopedMemoryDC from(screen.Get());
    ScopedMemoryDC to(screen.Get());
    ScopedSelect select_from(from.Get(), old.Get());
    ScopedSelect select_to(to.Get(), canvas_.Get());
    BitBlt(to.Get(), 0, 0, old_size.cx, old_size.cy, from.Get(), 0, 0, SRCCOPY);
  }
  return true;
}

void SurfaceWindow::OnPaint() {
  ScopedPaint paint(hwnd_);
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // Composed off screen so the labels never flicker over the background.
  ScopedMemoryDC frame(paint.Get());
  ScopedBitmap frame_bitmap(CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
  ScopedSelect select_frame(frame.Get(), frame_bitmap.Get());
  if (EnsureCanvas()) {
    ScopedMemoryDC canvas(paint.Get());
    ScopedSelect select_canvas(canvas.Get(), canvas_.Get());
    BitBlt(frame.Get(), 0, 0, client.right, client.bottom, canvas.Get(), 0, 0, SRCCOPY);
  }
  for (const LabelItem* label : labels_) label->Paint(frame.Get());
  BitBlt(paint.Get(), 0, 0, client.right, client.bottom, frame.Get(), 0, 0, SRCCOPY);
}

bool SurfaceWindow::SetPicture(PictureRef picture) {
  auto win32 = std::dynamic_pointer_cast<const Win32Picture>(picture);
  if (!win32) return false;
  picture_ = std::move(win32);
  return Cls();
}

bool SurfaceWindow::Cls() {
  if (!EnsureCanvas()) return false;
  ClearCanvas({0, 0, canvas_size_.cx, canvas_size_.cy});
  InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

bool SurfaceWindow::SetDrawMode(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return false;
  draw_mode_ = mode;
  return true;
}

bool SurfaceWindow::Line(float x1, float y1, float x2, float y2, Colour colour) {
  if (!EnsureCanvas()) return false;
  ScopedScreenDC screen;
  ScopedMemoryDC dc(screen.Get());
  ScopedSelect select(dc.Get(), canvas_.Get());
  const COLORREF rgb = ResolveColour(colour);
  ScopedPen pen(CreatePen(PS_SOLID, 1, rgb));
  ScopedSelect select_pen(dc.Get(), pen.Get());
  SetROP2(dc.Get(), draw_mode_);
  const POINT from{Scale().ToPixels(x1), Scale().ToPixels(y1)};
  const POINT to{Scale().ToPixels(x2), Scale().ToPixels(y2)};
  MoveToEx(dc.Get(), from.x, from.y, nullptr);
  LineTo(dc.Get(), to.x, to.y);
  // LineTo leaves the end point out; a frame's corners want it.
  LineTo(dc.Get(), to.x + 1, to.y);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

bool SurfaceWindow::Box(float x1, float y1, float x2, float y2, Colour colour) {
  if (!EnsureCanvas()) return false;
  ScopedScreenDC screen;
  ScopedMemoryDC dc(screen.Get());
  ScopedSelect select(dc.Get(), canvas_.Get());
  ScopedPen pen(CreatePen(PS_SOLID, 1, ResolveColour(colour)));
  ScopedSelect select_pen(dc.Get(), pen.Get());
  ScopedSelect select_brush(dc.Get(), GetStockObject(NULL_BRUSH));
  SetROP2(dc.Get(), draw_mode_);
  const RECT r = InclusiveBox(Scale().ToPixels(x1), Scale().ToPixels(y1), Scale().ToPixels(x2), Scale().ToPixels(y2));
  Rectangle(dc.Get(), r.left, r.top, r.right, r.bottom);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

bool SurfaceWindow::FilledBox(float x1, float y1, float x2, float y2, Colour colour) {
  if (!EnsureCanvas()) return false;
  ScopedScreenDC screen;
  ScopedMemoryDC dc(screen.Get());
  ScopedSelect select(dc.Get(), canvas_.Get());
  ScopedPen pen(CreatePen(PS_SOLID, 1, ResolveColour(colour)));
  ScopedBrush brush(CreateSolidBrush(ResolveColour(colour)));
  ScopedSelect select_pen(dc.Get(), pen.Get());
  ScopedSelect select_brush(dc.Get(), brush.Get());
  SetROP2(dc.Get(), draw_mode_);
  const RECT r = InclusiveBox(Scale().ToPixels(x1), Scale().ToPixels(y1), Scale().ToPixels(x2), Scale().ToPixels(y2));
  Rectangle(dc.Get(), r.left, r.top, r.right, r.bottom);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

// ---------------------------------------------------------------------------
// MainWindow

namespace {

void AddTool(HWND tooltip, HWND owner, std::u16string_view text, const RECT* rect) {
  std::wstring wide = Wide(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_SUBCLASS | (rect ? 0 : TTF_IDISHWND);
  tool.hwnd = rect ? owner : GetParent(owner);
  tool.uId = rect ? 1 : reinterpret_cast<UINT_PTR>(owner);
  if (rect) tool.rect = *rect;
  tool.lpszText = wide.data();
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Keyboard order follows TabIndex: the dialog manager walks siblings in
// z-order, so stack them that way.
void StackByTabIndex(const std::vector<std::pair<int, HWND>>& children) {
  std::vector<std::pair<int, HWND>> sorted = children;
  std::sort(sorted.begin(), sorted.end());
  HWND after = HWND_TOP;
  for (const auto& [tab, hwnd] : sorted) {
    SetWindowPos(hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = hwnd;
  }
}

}  // namespace

MainWindow::MainWindow(const def::FormDef& definition, InputEvents& input)
    : window_(std::make_unique<SurfaceWindow>(definition.window, input)),
      surfaces_(definition.controls.size(), nullptr),
      items_(definition.controls.size(), nullptr),
      hwnds_(definition.controls.size(), nullptr),
      label_parents_(definition.controls.size(), nullptr) {
  const int count = static_cast<int>(definition.controls.size());
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (int size : {32, 16}) {
    auto icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, LR_SHARED));
    SendMessageW(window_->Hwnd(), WM_SETICON, size == 32 ? ICON_BIG : ICON_SMALL,
                 reinterpret_cast<LPARAM>(icon));
  }
  // Unowned: under Wine a topmost popup owned by the window keeps the window
  // itself out of the topmost band. A tooltip is topmost on its own anyway.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, instance, nullptr);

  std::vector<std::vector<std::pair<int, HWND>>> siblings(definition.controls.size() + 1);
  for (int slot = 0; slot < count; ++slot) {
    const def::ControlDef& d = definition.controls[slot];
    SurfaceWindow& parent = d.parent == def::kWindow ? *window_ : *surfaces_[d.parent];
    auto& family = siblings[d.parent + 1];
    switch (d.kind) {
      case def::Kind::PictureBox: {
        auto box = std::make_unique<SurfaceWindow>(d, parent.Hwnd(), input);
        box->SetSlot(slot);
        surfaces_[slot] = box.get();
        family.emplace_back(d.tab_index, box->Hwnd());
        hwnds_[slot] = box->Hwnd();
        owned_.push_back(std::move(box));
        break;
      }
      case def::Kind::CommandButton: {
        auto button =
            std::make_unique<ButtonControl>(d, slot, parent.Hwnd(), *definition.window.font);
        parent.AddButton(*button);
        if (!d.tooltip.empty()) AddTool(tooltip_, button->Hwnd(), d.tooltip, nullptr);
        family.emplace_back(d.tab_index, button->Hwnd());
        hwnds_[slot] = button->Hwnd();
        owned_.push_back(std::move(button));
        break;
      }
      case def::Kind::Label:
      case def::Kind::Image: {
        auto label = std::make_unique<LabelItem>(d, slot, parent, *definition.window.font);
        parent.AddLabel(*label);
        label_parents_[slot] = &parent;
        if (!d.tooltip.empty()) {
          const RECT r = label->Rect();
          AddTool(tooltip_, parent.Hwnd(), d.tooltip, &r);
        }
        owned_.push_back(std::move(label));
        break;
      }
    }
    items_[slot] = owned_.back().get();
  }
  for (const auto& family : siblings) StackByTabIndex(family);
}

void MainWindow::ShowFocus(int slot) {
  if (slot >= 0 && slot < static_cast<int>(hwnds_.size()) && hwnds_[slot]) SetFocus(hwnds_[slot]);
}

void MainWindow::CapturePointer(int slot) {
  if (slot >= 0 && slot < static_cast<int>(label_parents_.size()) && label_parents_[slot]) {
    label_parents_[slot]->Capture(static_cast<LabelItem*>(items_[slot]));
    return;
  }
  for (SurfaceWindow* surface : label_parents_) {
    if (surface) surface->Capture(nullptr);
  }
}

void MainWindow::Unload() {
  if (IsWindow(window_->Hwnd())) DestroyWindow(window_->Hwnd());
}

}  // namespace talvo::win32
