// The start-up benchmark's yardstick: the launcher's finished window, pixel for
// pixel, painted with the least work a Windows program can do it with. One
// popup, one WM_PAINT of plain GDI from fixed pixel geometry; no child
// windows, no COM, no common controls. What the launcher takes beyond this is
// the cost of its own machinery, not of the picture.
#include <windows.h>

#include <cstring>

namespace {

constexpr int kLeft = 165, kTop = 137, kWidth = 734, kHeight = 379;

constexpr COLORREF kBack = RGB(128, 128, 255);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kExitFace = RGB(0, 192, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kLight = RGB(255, 255, 255);
constexpr COLORREF kDark = RGB(128, 128, 128);

// The two panels, in window pixels.
constexpr RECT kTitle{4, 4, 728, 50};
constexpr RECT kBody{4, 50, 728, 373};

struct Skin {
  HMETAFILE meta = nullptr;
  SIZE pixels{};
};

Skin skins[3];  // Color01, Color08A, exit
enum { kTitleSkin, kBodySkin, kExitSkin };

// A placeable metafile: 22-byte header whose bounding box in units per inch
// gives the natural size; the plain metafile follows it.
Skin LoadSkin(const wchar_t* name) {
  Skin skin;
  HRSRC found = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return skin;
  const DWORD size = SizeofResource(nullptr, found);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
  if (!bytes || size <= 22) return skin;
  SHORT box[4];
  WORD inch;
  std::memcpy(box, bytes + 6, sizeof box);
  std::memcpy(&inch, bytes + 14, sizeof inch);
  if (inch == 0) return skin;
  const int himetric_x = MulDiv(box[2] - box[0], 2540, inch);
  const int himetric_y = MulDiv(box[3] - box[1], 2540, inch);
  skin.pixels = {(himetric_x * 96 + 1270) / 2540, (himetric_y * 96 + 1270) / 2540};
  skin.meta = SetMetaFileBitsEx(size - 22, bytes + 22);
  return skin;
}

void Play(HDC dc, const Skin& skin, int x, int y, const RECT& clip) {
  if (!skin.meta) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetViewportOrgEx(dc, x, y, nullptr);
  SetViewportExtEx(dc, skin.pixels.cx, skin.pixels.cy, nullptr);
  PlayMetaFile(dc, skin.meta);
  RestoreDC(dc, saved);
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// A line that keeps its end pixel, as the frames' corners want.
void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  LineTo(dc, x2 + 1, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// A bevel frame at (x, y): outer lines from near to far corner, then the
// inner ones three pixels in with the colours swapped.
void Frame(HDC dc, int x, int y, int outer_right, int outer_bottom, int inner_right,
           int inner_bottom) {
  const int o = 1, i = 4;
  Line(dc, x + o, y + o, x + outer_right, y + o, kLight);
  Line(dc, x + o, y + o, x + o, y + outer_bottom, kLight);
  Line(dc, x + o, y + outer_bottom, x + outer_right, y + outer_bottom, kDark);
  Line(dc, x + outer_right, y + o, x + outer_right, y + outer_bottom, kDark);
  Line(dc, x + i, y + i, x + inner_right, y + i, kDark);
  Line(dc, x + i, y + i, x + i, y + inner_bottom, kDark);
  Line(dc, x + i, y + inner_bottom, x + inner_right, y + inner_bottom, kLight);
  Line(dc, x + inner_right, y + i, x + inner_right, y + inner_bottom, kLight);
}

HFONT MakeFont(int pixels, const wchar_t* face, BYTE charset) {
  return CreateFontW(-pixels, 0, 0, 0, FW_BOLD, 0, 0, 0, charset, 0, 0, DEFAULT_QUALITY, 0, face);
}

enum class Align { kLeft, kRight, kCentre };

// Latin runs in Arial, the Chinese ones in a Chinese face, all on Arial's
// baseline; clipped to the box.
void Text(HDC dc, const wchar_t* text, const RECT& box, Align align, bool middle, int pixels,
          COLORREF colour) {
  HFONT latin = MakeFont(pixels, L"Arial", ANSI_CHARSET);
  HFONT chinese = MakeFont(pixels, L"Noto Sans CJK TC", DEFAULT_CHARSET);
  HGDIOBJ old = SelectObject(dc, latin);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int length = lstrlenW(text);
  auto run_end = [&](int start) {
    int end = start + 1;
    while (end < length && (text[end] < 0x80) == (text[start] < 0x80)) ++end;
    return end;
  };
  int width = 0;
  for (int start = 0; start < length; start = run_end(start)) {
    SelectObject(dc, text[start] < 0x80 ? latin : chinese);
    SIZE size{};
    GetTextExtentPoint32W(dc, text + start, run_end(start) - start, &size);
    width += size.cx;
  }
  int x = box.left;
  if (align == Align::kRight) x = box.right - width;
  if (align == Align::kCentre) x = box.left + (box.right - box.left - width) / 2;
  const LONG top = middle ? box.top + (box.bottom - box.top - metrics.tmHeight) / 2 : box.top;

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  for (int start = 0; start < length; start = run_end(start)) {
    const int count = run_end(start) - start;
    SelectObject(dc, text[start] < 0x80 ? latin : chinese);
    ExtTextOutW(dc, x, top + metrics.tmAscent, 0, nullptr, text + start, count, nullptr);
    SIZE size{};
    GetTextExtentPoint32W(dc, text + start, count, &size);
    x += size.cx;
  }
  RestoreDC(dc, saved);
  SelectObject(dc, old);
  DeleteObject(chinese);
  DeleteObject(latin);
}

struct Room {
  int x, y;  // the black panel, in window pixels
  const wchar_t* caption;
};

constexpr Room kRooms[6] = {
    {59, 83, L"01-研一部/研二部專用"}, {59, 168, L"02-公用區"},
    {59, 253, L"03-營業部專用"},       {386, 83, L"04-資訊部專用"},
    {386, 168, L"05-技研部專用"},      {386, 253, L"06-海外廠會議專用"},
};

void Paint(HDC dc) {
  const COLORREF white = RGB(255, 255, 255);
  Fill(dc, {0, 0, kWidth, kHeight}, kBack);
  Frame(dc, 0, 0, 733, 378, 729, 374);

  // Title strip.
  Fill(dc, kTitle, kNavy);
  Play(dc, skins[kTitleSkin], kTitle.left, kTitle.top, kTitle);
  Text(dc, L"TALVO Internet Office TALVO網路會議室", {82, 11, 636, 40}, Align::kLeft, false, 27,
       white);
  Text(dc, L"Ver:1.01", {512, 25, 697, 45}, Align::kRight, false, 16, white);
  const RECT exit{9, 6, 50, 43};
  Fill(dc, exit, kExitFace);
  const Skin& cross = skins[kExitSkin];
  Play(dc, cross, exit.left + (exit.right - exit.left - cross.pixels.cx) / 2,
       exit.top + (exit.bottom - exit.top - cross.pixels.cy) / 2,
       {exit.left + 2, exit.top + 2, exit.right - 2, exit.bottom - 2});
  RECT edge = exit;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);

  // Body.
  Fill(dc, kBody, kGreen);
  Play(dc, skins[kBodySkin], kBody.left, kBody.top, kBody);
  Frame(dc, kBody.left, kBody.top, 723, 322, 719, 318);
  Text(dc, L"Designed by TALVO SF", {386, 338, 669, 357}, Align::kRight, false, 13, white);
  for (const Room& room : kRooms) {
    Fill(dc, {room.x, room.y, room.x + 283, room.y + 75}, RGB(0, 0, 0));
    RECT face{room.x + 3, room.y + 2, room.x + 277, room.y + 69};
    Fill(dc, face, kCyan);
    Text(dc, room.caption, face, Align::kCentre, true, 19, GetSysColor(COLOR_BTNTEXT));
    DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);
  }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONUP:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  skins[kTitleSkin] = LoadSkin(L"Color01");
  skins[kBodySkin] = LoadSkin(L"Color08A");
  skins[kExitSkin] = LoadSkin(L"exit");
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = L"TalvoSamePicture";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, wc.lpszClassName, L"", WS_POPUP,
                              kLeft, kTop, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
