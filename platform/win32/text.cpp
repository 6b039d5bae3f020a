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

// Whether the font selected into `dc` has a glyph for every character.
bool DrawsAll(HDC dc, std::u16string_view characters) {
  const std::vector<bool> covered = Covered(dc, characters);
  return std::find(covered.begin(), covered.end(), false) == covered.end();
}

}  // namespace

TextFont::TextFont(const def::Font& font, const Scale& scale, std::u16string_view text,
                   FallbackFace& chosen)
    : base_(MakeFont(font, std::wstring(font.face.begin(), font.face.end()), scale)) {
  // Every face the definitions name draws ASCII.
  if (!base_ || std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) return;
  // On the screen's DC, like the window's: a font realised here at this size
  // is the very one the paint draws with, not a second copy of a large face.
  const ScopedGetDC screen;
  std::u16string lacking;
  {
    const ScopedSelect select(screen.Get(), base_.Get());
    const std::vector<bool> covered = Covered(screen.Get(), text);
    for (size_t i = 0; i < text.size(); ++i) {
      if (!covered[i]) lacking.push_back(text[i]);
    }
  }
  if (lacking.empty()) return;
  // The first face, in order of preference, that draws them, judged by what
  // it draws, not by its name: on a Traditional Chinese Windows the platform
  // may report a face's localised name, and a missing face is quietly
  // replaced by another that may lack the glyphs. The face the last text
  // took comes first.
  std::vector<std::wstring> candidates(kFallbackFaces.begin(), kFallbackFaces.end());
  if (!chosen.name.empty()) candidates.insert(candidates.begin(), chosen.name);
  for (const std::wstring& candidate : candidates) {
    ScopedFont fallback(MakeFont(font, candidate, scale));
    if (!fallback) continue;
    const ScopedSelect select(screen.Get(), fallback.Get());
    if (DrawsAll(screen.Get(), lacking)) {
      chosen.name = candidate;
      fallback_ = std::move(fallback);
      return;
    }
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
