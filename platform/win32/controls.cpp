#include "platform/win32/controls.h"

#include <algorithm>

#include "platform/win32/screen.h"

namespace talvo::win32 {
namespace {

RECT Union(const RECT& a, const RECT& b) {
  RECT both{};
  UnionRect(&both, &a, &b);
  return both;
}

// Replays display lists onto a DC, with the target's top-left at `origin`.
class GdiCanvas final : public PixelCanvas {
 public:
  GdiCanvas(HDC dc, POINT origin, Palette palette)
      : dc_(dc), origin_(origin), palette_(palette), saved_(dc) {}
  void SetDrawMode(int mode) override { SetROP2(dc_, mode); }
  void Fill(const PixelBox& box, Colour colour) override {
    // A rectangle with no pen fills one pixel short of its right and bottom
    // coordinates, and, unlike FillRect, honours the draw mode.
    ScopedBrush brush(CreateSolidBrush(palette_.Drawn(colour)));
    ScopedSelect select_brush(dc_, brush.Get());
    ScopedSelect select_pen(dc_, GetStockObject(NULL_PEN));
    Rectangle(dc_, origin_.x + box.left, origin_.y + box.top, origin_.x + box.right + 1,
              origin_.y + box.bottom + 1);
  }
  void Slant(int x1, int y1, int x2, int y2, int width, Colour colour) override {
    ScopedPen pen(CreatePen(PS_SOLID, width, palette_.Drawn(colour)));
    ScopedSelect select(dc_, pen.Get());
    MoveToEx(dc_, origin_.x + x1, origin_.y + y1, nullptr);
    LineTo(dc_, origin_.x + x2, origin_.y + y2);
    // LineTo leaves the end point out; one more step draws it, under the
    // same draw mode.
    LineTo(dc_, origin_.x + x2 + 1, origin_.y + y2);
  }

 private:
  HDC dc_;
  POINT origin_;
  Palette palette_;
  ScopedSaveDC saved_;
};

// Raised or sunken, as the platform draws a button's edge at 96 dpi, and with
// each of its two lines as many pixels wide as a line is at other sizes.
void DrawButtonEdge(HDC dc, const RECT& box, bool sunken, int width) {
  RECT r = box;
  if (width == 1) {
    DrawEdge(dc, &r, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    return;
  }
  for (UINT line :
       {sunken ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, sunken ? BDR_SUNKENINNER : BDR_RAISEDINNER}) {
    for (int i = 0; i < width; ++i) {
      DrawEdge(dc, &r, line, BF_RECT);
      InflateRect(&r, -1, -1);
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Node

Node::Node(NodeHost& host, const Init& init)
    : host_(host),
      slot_(init.slot),
      def_(init.def),
      parent_(init.parent),
      left_(init.left),
      top_(init.top),
      width_(init.width),
      height_(init.height),
      tag_(init.tag) {}

RECT Node::BoxIn(const RECT& outer, const Scale& scale) const {
  const int x = outer.left + scale.ToPixels(left_);
  const int y = outer.top + scale.ToPixels(top_);
  return {x, y, x + scale.ToPixels(width_), y + scale.ToPixels(height_)};
}

bool Node::Change(float& field, float twips) {
  const RECT before = CurrentBox();
  field = twips;
  host_.Repaint(Union(before, CurrentBox()));
  host_.Relaid();
  return true;
}

bool Node::Replace(std::shared_ptr<const Win32Picture>& held, PictureRef picture) {
  auto win32 = std::dynamic_pointer_cast<const Win32Picture>(std::move(picture));
  if (!win32) return false;  // not a picture this platform made
  held = std::move(win32);
  host_.Repaint(CurrentBox());
  return true;
}

bool Node::SetVisible(bool visible) {
  visible_ = visible;
  host_.Repaint(CurrentBox());
  host_.Relaid();
  return true;
}

// ---------------------------------------------------------------------------
// PictureBoxNode

PictureBoxNode::PictureBoxNode(NodeHost& host, const Init& init, Colour back_colour)
    : Node(host, init), back_colour_(back_colour) {}

bool PictureBoxNode::SetPicture(PictureRef picture) {
  // A new picture starts with nothing drawn on it.
  return Replace(picture_, std::move(picture)) && Cls();
}

bool PictureBoxNode::Cls() {
  drawing_.Clear();
  host_.Repaint(CurrentBox());
  return true;
}

bool PictureBoxNode::Drawn(bool added) {
  if (added) host_.Repaint(CurrentBox());
  return added;
}

bool PictureBoxNode::Line(float x1, float y1, float x2, float y2, Colour colour) {
  return Drawn(drawing_.Line(x1, y1, x2, y2, colour));
}

bool PictureBoxNode::Box(float x1, float y1, float x2, float y2, Colour colour) {
  return Drawn(drawing_.Box(x1, y1, x2, y2, colour));
}

bool PictureBoxNode::FilledBox(float x1, float y1, float x2, float y2, Colour colour) {
  return Drawn(drawing_.FilledBox(x1, y1, x2, y2, colour));
}

void PictureBoxNode::Paint(HDC dc, const RECT& box, const Look& look) const {
  ScopedBrush brush(CreateSolidBrush(look.palette.Back(back_colour_)));
  FillRect(dc, &box, brush.Get());
  if (picture_ && look.palette.Pictures()) picture_->Render(dc, box.left, box.top, look.scale);
  GdiCanvas canvas(dc, {box.left, box.top}, look.palette);
  drawing_.Replay(look.scale, canvas);
}

// ---------------------------------------------------------------------------
// WindowNode

WindowNode::WindowNode(NodeHost& host, const def::WindowDef& def)
    : PictureBoxNode(host,
                     {kWindowSlot, nullptr, nullptr, def.left, def.top, def.width, def.height, {}},
                     def.back_colour),
      window_def_(def),
      written_{def.left, def.top, def.width, def.height} {}

float WindowNode::Read(Side side, int pixels) const {
  const Scale& scale = host_.CurrentScale();
  return scale.ToPixels(written_[side]) == pixels ? written_[side] : scale.ToTwips(pixels);
}

RECT WindowNode::OnScreen() const {
  RECT r{};
  GetWindowRect(host_.Hwnd(), &r);
  return r;
}

float WindowNode::Left() const { return Read(kLeft, OnScreen().left); }
float WindowNode::Top() const { return Read(kTop, OnScreen().top); }
float WindowNode::Width() const {
  const RECT r = OnScreen();
  return Read(kWidth, r.right - r.left);
}
float WindowNode::Height() const {
  const RECT r = OnScreen();
  return Read(kHeight, r.bottom - r.top);
}

bool WindowNode::Place(const RECT& r) {
  const RECT now = OnScreen();
  if (EqualRect(&r, &now)) return true;  // no call for a write that changes nothing
  return SetWindowPos(host_.Hwnd(), nullptr, r.left, r.top, std::max(0L, r.right - r.left),
                      std::max(0L, r.bottom - r.top),
                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
}

bool WindowNode::Settle() {
  const Scale& scale = host_.CurrentScale();
  const int x = scale.ToPixels(written_[kLeft]);
  const int y = scale.ToPixels(written_[kTop]);
  const ScreenRect wanted{x, y, x + scale.ToPixels(written_[kWidth]),
                          y + scale.ToPixels(written_[kHeight])};
  const ScreenRect placed = FirstPlacement(wanted, WorkAreas());
  return Place({placed.left, placed.top, placed.right, placed.bottom});
}

bool WindowNode::Write(Side side, float twips) {
  written_[side] = twips;
  if (!host_.EverShown()) return Settle();
  const int pixels = host_.CurrentScale().ToPixels(twips);
  RECT r = OnScreen();
  switch (side) {
    case kLeft:
      OffsetRect(&r, pixels - r.left, 0);
      break;
    case kTop:
      OffsetRect(&r, 0, pixels - r.top);
      break;
    case kWidth:
      r.right = r.left + pixels;
      break;
    case kHeight:
      r.bottom = r.top + pixels;
      break;
  }
  return Place(r);
}

bool WindowNode::SetLeft(float twips) { return Write(kLeft, twips); }
bool WindowNode::SetTop(float twips) { return Write(kTop, twips); }
bool WindowNode::SetWidth(float twips) { return Write(kWidth, twips); }
bool WindowNode::SetHeight(float twips) { return Write(kHeight, twips); }

bool WindowNode::SetVisible(bool visible) {
  // Shown without taking the activation from whoever has it; the start
  // window is usually shown already (To_top shows it).
  if ((IsWindowVisible(host_.Hwnd()) != FALSE) != visible) {
    ShowWindow(host_.Hwnd(), visible ? SW_SHOWNA : SW_HIDE);
  }
  return true;
}

RECT WindowNode::BoxIn(const RECT&, const Scale&) const {
  RECT client{};
  GetClientRect(host_.Hwnd(), &client);
  return client;
}

// ---------------------------------------------------------------------------
// LabelNode

LabelNode::LabelNode(NodeHost& host, const Init& init, const def::Font& font)
    : Node(host, init), font_def_(font) {
  Rescale();
}

void LabelNode::Rescale() {
  font_.emplace(font_def_, host_.CurrentScale(), Def()->caption, host_.ChosenFace());
}

void LabelNode::Paint(HDC dc, const RECT& box, const Look& look) const {
  font_->Draw(dc, Def()->caption, box, Def()->alignment,
              look.palette.LabelText(Def()->fore_colour));
}

// ---------------------------------------------------------------------------
// ButtonNode

ButtonNode::ButtonNode(NodeHost& host, const Init& init, const def::Font& font,
                       std::shared_ptr<const Win32Picture> picture)
    : Node(host, init), font_def_(font), picture_(std::move(picture)) {
  Rescale();
}

void ButtonNode::Rescale() {
  font_.emplace(font_def_, host_.CurrentScale(), Def()->caption, host_.ChosenFace());
}

bool ButtonNode::SetPicture(PictureRef picture) { return Replace(picture_, std::move(picture)); }

void ButtonNode::Paint(HDC dc, const RECT& box, const Look& look) const {
  const Scale& scale = look.scale;
  const int line = scale.LineWidth();
  const bool pressed = look.pressed == Slot();
  const Palette& palette = look.palette;
  {
    ScopedBrush brush(CreateSolidBrush(palette.ButtonFace(Def()->back_colour)));
    FillRect(dc, &box, brush.Get());
  }
  // Pressed, the content moves down and right as the edge sinks.
  const int shift = pressed ? line : 0;
  if (picture_) {
    const SIZE size = picture_->Pixels(scale);
    ScopedSaveDC saved(dc);
    const int inset = scale.FromDesignPixels(2);
    IntersectClipRect(dc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
    picture_->Render(dc, (box.left + box.right - size.cx) / 2 + shift,
                     (box.top + box.bottom - size.cy) / 2 + shift, scale);
  }
  if (!Def()->caption.empty()) {
    RECT text = box;
    OffsetRect(&text, shift, shift);
    font_->Draw(dc, Def()->caption, text, def::Align::Center, palette.ButtonText(), true);
  }
  DrawButtonEdge(dc, box, pressed, line);
  if (look.marked == Slot()) {
    RECT focus = box;
    const int inset = scale.FromDesignPixels(4);
    InflateRect(&focus, -inset, -inset);
    for (int i = 0; i < line; ++i) {
      DrawFocusRect(dc, &focus);
      InflateRect(&focus, -1, -1);
    }
  }
}

// ---------------------------------------------------------------------------
// ImageNode

ImageNode::ImageNode(NodeHost& host, const Init& init, std::shared_ptr<const Win32Picture> picture)
    : Node(host, init), picture_(std::move(picture)) {}

bool ImageNode::SetPicture(PictureRef picture) { return Replace(picture_, std::move(picture)); }

void ImageNode::Paint(HDC dc, const RECT& box, const Look& look) const {
  if (!picture_) return;
  if (Def()->stretch) {
    picture_->Draw(dc, box);
  } else {
    picture_->Render(dc, box.left, box.top, look.scale);
  }
}

}  // namespace talvo::win32
