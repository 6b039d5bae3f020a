#include "platform/win32/text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace talvo::win32 {
namespace {

// Traditional Chinese faces in order of preference: Windows' own first, then
// what a Linux desktop running Wine usually has.
constexpr std::array<const wchar_t*, 6> kFallbackFaces = {
    L"Microsoft JhengHei", L"PMingLiU",          L"MingLiU",
    L"Noto Sans CJK TC",   L"Noto Serif CJK TC", L"AR PL UMing TW"};

HFONT MakeFont(const def::Font& font, const std::wstring& face, const Scale& scale) {
  LOGFONTW lf{};
  lf.lfHeight = -scale.FontPixels(font.points);  // negative: the character height
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic;
  lf.lfUnderline = font.underline;
  lf.lfStrikeOut = font.strikethrough;
  lf.lfCharSet = static_cast<BYTE>(
      face == std::wstring(font.face.begin(), font.face.end()) ? font.charset : DEFAULT_CHARSET);
  lf.lfQuality = DEFAULT_QUALITY;
  wcsncpy_s(lf.lfFaceName, LF_FACESIZE, face.c_str(), _TRUNCATE);
  return CreateFontIndirectW(&lf);
}

// Which characters the selected font has a glyph for.
std::vector<bool> Covered(HDC dc, std::u16string_view text) {
  std::vector<WORD> glyphs(text.size());
  const std::wstring wide = Wide(text);
  std::vector<bool> covered(text.size(), true);
  if (GetGlyphIndicesW(dc, wide.c_str(), static_cast<int>(wide.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return covered;
  }
  for (size_t i = 0; i < glyphs.size(); ++i) covered[i] = glyphs[i] != 0xFFFF;
  return covered;
}

// Asking for a face by name is enough: the platform maps a face it lacks to
// another, and says which it chose. Cheaper than listing every family.
bool FaceInstalled(HDC dc, const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  query.lfHeight = -16;
  wcsncpy_s(query.lfFaceName, LF_FACESIZE, face, _TRUNCATE);
  ScopedFont font(CreateFontIndirectW(&query));
  if (!font) return false;
  ScopedSelect select(dc, font.Get());
  wchar_t chosen[LF_FACESIZE] = {};
  return GetTextFaceW(dc, LF_FACESIZE, chosen) > 0 && _wcsicmp(chosen, face) == 0;
}

}  // namespace

const std::wstring& ChineseFallbackFace() {
  static const std::wstring face = [] {
    ScopedGetDC screen;
    for (const wchar_t* candidate : kFallbackFaces) {
      if (FaceInstalled(screen.Get(), candidate)) return std::wstring(candidate);
    }
    return std::wstring();
  }();
  return face;
}

TextFont::TextFont(const def::Font& font, const Scale& scale)
    : base_(MakeFont(font, std::wstring(font.face.begin(), font.face.end()), scale)) {
  if (!ChineseFallbackFace().empty()) {
    fallback_.Reset(MakeFont(font, ChineseFallbackFace(), scale));
  }
}

// Calls visit(run, font) for each maximal run that one font draws.
template <typename Visit>
void TextFont::ForEachRun(HDC dc, std::u16string_view text, Visit visit) const {
  std::vector<bool> covered;
  {
    ScopedSelect select(dc, base_.Get());
    covered = Covered(dc, text);
  }
  size_t start = 0;
  while (start < text.size()) {
    const bool base = covered[start] || !fallback_;
    size_t end = start + 1;
    while (end < text.size() && (covered[end] || !fallback_) == base) ++end;
    visit(text.substr(start, end - start), base ? base_.Get() : fallback_.Get());
    start = end;
  }
}

SIZE TextFont::Measure(HDC dc, std::u16string_view text) const {
  SIZE total{0, 0};
  ForEachRun(dc, text, [&](std::u16string_view run, HFONT font) {
    ScopedSelect select(dc, font);
    const std::wstring wide = Wide(run);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    total.cx += size.cx;
    total.cy = std::max(total.cy, size.cy);
  });
  return total;
}

void TextFont::Draw(HDC dc, std::u16string_view text, const RECT& box, def::Align align,
                    COLORREF colour, bool centre) const {
  // Every run sits on the base font's baseline: the Chinese faces carry a
  // taller ascent that would push the Latin text out of its box.
  TEXTMETRICW metrics{};
  {
    ScopedSelect select(dc, base_.Get());
    GetTextMetricsW(dc, &metrics);
  }
  const int ascent = metrics.tmAscent;
  const SIZE size = Measure(dc, text);
  int x = box.left;
  if (align == def::Align::Right) x = box.right - size.cx;
  if (align == def::Align::Center) x = box.left + (box.right - box.left - size.cx) / 2;
  const int top = centre ? box.top + (box.bottom - box.top - metrics.tmHeight) / 2 : box.top;

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  ForEachRun(dc, text, [&](std::u16string_view run, HFONT font) {
    ScopedSelect select(dc, font);
    const std::wstring wide = Wide(run);
    ExtTextOutW(dc, x, top + ascent, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()),
                nullptr);
    SIZE advance{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &advance);
    x += advance.cx;
  });
  RestoreDC(dc, saved);
}

}  // namespace talvo::win32
