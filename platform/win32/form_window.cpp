#include "platform/win32/form_window.h"

#include <stdexcept>

#include "platform/win32/dpi.h"
#include "platform/win32/input_modes.h"

namespace talvo::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TalvoOfficeForm";
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, newer than the headers' target

bool RegisterFormClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

bool IsPointerMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return true;
    default:
      return false;
  }
}

// The one paint path: a container's back colour, picture and drawing, then
// its other children, then its labels, each clipped to its container.
void PaintNode(HDC dc, const Node& node) {
  if (!node.Shown()) return;
  const RECT box = node.ClientBox();
  ScopedSaveDC saved(dc);
  IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
  node.Paint(dc, box);
  for (const Node* child : node.Children()) {
    if (!child->IsLabel()) PaintNode(dc, *child);
  }
  for (const Node* child : node.Children()) {
    if (child->IsLabel()) PaintNode(dc, *child);
  }
}

ScreenRect DesignRect(const def::WindowDef& window, const Scale& scale) {
  const int x = scale.ToPixels(window.left);
  const int y = scale.ToPixels(window.top);
  return {x, y, x + scale.ToPixels(window.width), y + scale.ToPixels(window.height)};
}

}  // namespace

FormWindow::FormWindow(const def::FormDef& definition, InputEvents& input,
                       ResourcePictureLoader& pictures, int dpi, HighContrastQuery high_contrast)
    : definition_(definition),
      input_(input),
      pictures_(pictures),
      scale_(dpi > 0 ? dpi : SystemDpi()),
      window_(std::make_unique<WindowNode>(*this, definition.window)),
      high_contrast_query_(high_contrast),
      high_contrast_(high_contrast()) {
  if (!RegisterFormClass(&FormWindow::Proc)) return;
  const ScreenRect place = DesignRect(definition.window, scale_);
  const std::wstring caption = Wide(definition.window.caption);
  // Hidden until the program shows it; no frame, so client and window agree.
  if (!CreateWindowExW(0, kClassName, caption.c_str(), WS_POPUP, place.left, place.top,
                       place.Width(), place.Height(), nullptr, nullptr, GetModuleHandleW(nullptr),
                       this)) {
    hwnd_ = nullptr;
    return;
  }
  // It may have landed on a monitor with another DPI than the primary one.
  if (const int actual = WindowDpi(hwnd_); dpi <= 0 && actual != scale_.Dpi()) {
    scale_ = Scale(actual);
  }
  IgnoreFailure(window_->Settle());
  BOOL cues = FALSE;
  focus_cues_ = SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues;
  Build(definition);
  pointer_.emplace(*this, input_, *window_, [this](int slot) -> const Node& { return At(slot); });
}

FormWindow::~FormWindow() {
  tooltip_.reset();
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void FormWindow::Build(const def::FormDef& definition) {
  const auto& controls = definition.controls;
  nodes_.reserve(controls.size());
  cursors_.resize(controls.size());
  for (int slot = 0; slot < static_cast<int>(controls.size()); ++slot) {
    const def::ControlDef& d = controls[slot];
    Node& parent = d.parent == def::kWindow ? *window_ : *nodes_.at(d.parent);
    const Node::Init init{slot, &d, &parent, d.left, d.top, d.width, d.height, d.caption, d.tag};
    const def::Font& font = d.font ? *d.font : *definition.window.font;
    auto picture = d.picture ? pictures_.LoadWin32(d.picture->asset) : nullptr;
    std::unique_ptr<Node> node;
    switch (d.kind) {
      case def::Kind::PictureBox:
        node = std::make_unique<PictureBoxNode>(*this, init, d.back_colour);
        if (picture) IgnoreFailure(node->SetPicture(picture));
        break;
      case def::Kind::Label:
        node = std::make_unique<LabelNode>(*this, init, font);
        break;
      case def::Kind::CommandButton:
        node = std::make_unique<ButtonNode>(*this, init, font, std::move(picture));
        break;
      case def::Kind::Image:
        node = std::make_unique<ImageNode>(*this, init, std::move(picture));
        break;
    }
    parent.Adopt(*node);
    nodes_.push_back(std::move(node));
  }
  buttons_ = def::TabStops(controls);
}

Node& FormWindow::At(int slot) const {
  if (slot == def::kWindow) return *window_;
  return *nodes_.at(static_cast<size_t>(slot));
}

Surface& FormWindow::PictureBox(int slot) {
  if (auto* box = dynamic_cast<PictureBoxNode*>(&At(slot))) return *box;
  throw std::invalid_argument("not a picture box");
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || !self->pointer_) return DefWindowProcW(hwnd, message, wparam, lparam);
  // Nothing may unwind through the system's frames; a failed handler counts
  // as a statement that failed and was skipped.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND self_hwnd = hwnd_;
  if (IsPointerMessage(message)) {
    if (message == WM_MOUSEMOVE) FinishStart();
    if (tooltip_) tooltip_->Relay(message, wparam, lparam);
    pointer_->OnMouse(message, wparam, lparam);
    return 0;
  }
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      PaintContent(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_SIZE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_CAPTURECHANGED:
      pointer_->OnCaptureChanged();
      AfterDrag();
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) shown_ = true;
      // A drag that waited for a new DPI to hold tries again at every move.
      if (Dragging() && WindowDpi(hwnd_) != scale_.Dpi())
        RescaleAroundPointer(WindowDpi(hwnd_), true);
      break;  // the default sends WM_SIZE and WM_MOVE
    case WM_DISPLAYCHANGE:
      KeepOnScreen();
      return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETWORKAREA) KeepOnScreen();
      if (wparam == SPI_SETHIGHCONTRAST) FollowContrast();
      return 0;
    case WM_SYSCOLORCHANGE:
      FollowContrast();
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(lparam)) return TRUE;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (OnKey(message, wparam, lparam)) return 0;
      break;
    case WM_GESTURENOTIFY:
      // A gesture is about to begin: the pan stays off (set at the start
      // too), whatever the system would configure for it.
      TouchAsMouse(hwnd_);
      break;
    case WM_UPDATEUISTATE:
      OnUpdateUiState(wparam);
      break;  // the default keeps the platform's record of it
    case WM_SETFOCUS:
      RepaintSlot(focus_);
      accessible_.NotifyFocus(focus_);
      return 0;
    case WM_KILLFOCUS:
      input_.FocusLost();
      RepaintSlot(focus_);
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT object = accessible_.OnGetObject(wparam, lparam)) return object;
      break;
    case kDpiChanged:
      OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case kFinishStartMessage:
      FinishStart();
      return 0;
    case kPressMessage:
      input_.Press(static_cast<int>(wparam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);  // the program's only window
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;  // nothing may use the handle once it is gone
      break;
    default:
      if (message >= 0xC000 && message == BringIntoViewMessage()) {
        BringIntoView();
        return 0;
      }
      break;
  }
  return DefWindowProcW(self_hwnd, message, wparam, lparam);
}

void FormWindow::PaintContent(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // Composed off screen, so the picture appears whole, never panel by panel.
  ScopedMemoryDC frame(dc);
  ScopedBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!frame.Get() || !bitmap) return;
  ScopedSelect select(frame.Get(), bitmap.Get());
  PaintNode(frame.Get(), *window_);
  BitBlt(dc, 0, 0, client.right, client.bottom, frame.Get(), 0, 0, SRCCOPY);
}

void FormWindow::OnPaint() {
  {
    ScopedPaint paint(hwnd_);
    PaintContent(paint.Get());
  }
  if (!painted_) {
    painted_ = true;
    PostMessageW(hwnd_, kFinishStartMessage, 0, 0);
  }
}

void FormWindow::FinishStart() {
  if (started_) return;
  started_ = true;
  DetachInputMethod(hwnd_);
  TouchAsMouse(hwnd_);
  MakeIconsAndPointers();
  tooltip_ = std::make_unique<Tooltip>(hwnd_);
  UpdateTools();
}

void FormWindow::MakeIconsAndPointers() {
  if (const auto* icon = definition_.window.icon) {
    if (auto picture =
            std::dynamic_pointer_cast<const IconPicture>(pictures_.LoadWin32(icon->asset))) {
      // The window keeps using the old ones until it has the new.
      ScopedIcon big = picture->Icon(scale_.FromDesignPixels(32));
      ScopedIcon small_one = picture->Icon(scale_.FromDesignPixels(16));
      SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
      SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_one.Get()));
      big_icon_ = std::move(big);
      small_icon_ = std::move(small_one);
    }
  }
  std::vector<ScopedIcon> cursors(definition_.controls.size());
  for (size_t slot = 0; slot < definition_.controls.size(); ++slot) {
    const def::ControlDef& d = definition_.controls[slot];
    if (d.mouse_pointer != def::kMousePointerCustom || !d.mouse_icon) continue;
    auto icon =
        std::dynamic_pointer_cast<const IconPicture>(pictures_.LoadWin32(d.mouse_icon->asset));
    if (icon)
      cursors[slot] = icon->Cursor(d.mouse_icon->hotspot_x, d.mouse_icon->hotspot_y, scale_);
    // A pointer in use must not be destroyed: show its successor first.
    if (cursors_[slot] && GetCursor() == cursors_[slot].Get()) SetCursor(cursors[slot].Get());
  }
  cursors_ = std::move(cursors);
}

void FormWindow::UpdateTools() {
  if (!tooltip_) return;
  std::vector<Tooltip::Tool> tools;
  for (const auto& node : nodes_) {
    if (node->Def()->tooltip.empty()) continue;
    // Only the part that shows: containers and the window clip it.
    RECT area = node->ClientBox();
    for (const Node* outer = node->Parent(); outer; outer = outer->Parent()) {
      const RECT box = outer->ClientBox();
      IntersectRect(&area, &area, &box);
    }
    if (!node->Shown()) area = {};
    tools.push_back({area, std::u16string(node->Def()->tooltip)});
  }
  tooltip_->SetTools(tools);
}

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (Dragging()) {
    RescaleAroundPointer(dpi, true);
    return;
  }
  Rescale(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Rescale(int dpi) {
  // The same twips at the new DPI: fonts, pictures, drawings and pointers
  // are made again; the layout pass is not run again.
  scale_ = Scale(dpi);
  for (const auto& node : nodes_) node->Rescale();
  if (started_) {
    MakeIconsAndPointers();
    UpdateTools();
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::MoveTo(const ScreenRect& place) {
  SetWindowPos(hwnd_, nullptr, place.left, place.top, place.Width(), place.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::RescaleAroundPointer(int dpi, bool dragging) {
  if (rescaling_ || dpi == scale_.Dpi()) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  POINT pointer{};
  GetCursorPos(&pointer);
  const ScreenRect now{r.left, r.top, r.right, r.bottom};
  const Scale next(dpi);
  const int width = next.ToPixels(window_->Width());
  const int height = next.ToPixels(window_->Height());
  // During a drag the new scale waits until it will hold, and is tried again
  // at every move; once the drag is over, should the window stand mostly
  // elsewhere, the platform's next DPI change brings its own suggested place.
  const std::optional<ScreenRect> there =
      dragging
          ? RescaledForDrag(now, pointer.x, pointer.y, scale_.Dpi(), dpi, width, height, Monitors())
          : ScaledAround(now, pointer.x, pointer.y, scale_.Dpi(), dpi, width, height);
  if (!there) return;
  rescaling_ = true;
  Rescale(dpi);
  MoveTo(*there);
  rescaling_ = false;
}

void FormWindow::AfterDrag() {
  // A scale the drag held back is taken now.
  if (!Dragging() && hwnd_) RescaleAroundPointer(WindowDpi(hwnd_), false);
}

void FormWindow::FollowContrast() {
  // The system colours may have changed too, so the whole window is painted
  // again either way.
  high_contrast_ = high_contrast_query_();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::KeepOnScreen() {
  if (!hwnd_) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const ScreenRect now{r.left, r.top, r.right, r.bottom};
  const ScreenRect place = FirstPlacement(now, WorkAreas());
  if (place != now) MoveTo(place);
}

void FormWindow::Repaint(const RECT& box) {
  if (hwnd_) InvalidateRect(hwnd_, &box, FALSE);
}

void FormWindow::Relaid() { UpdateTools(); }

HWND FormWindow::ShowingElsewhere() {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, kClassName, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, kClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

UINT FormWindow::BringIntoViewMessage() {
  // Registered when first needed: by a second start, or when a message from
  // the registered range first reaches the window.
  static const UINT message = RegisterWindowMessageW(L"TalvoInternetOffice.BringIntoView");
  return message;
}

void FormWindow::BringIntoView() {
  KeepOnScreen();
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void FormWindow::Unload() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

}  // namespace talvo::win32
