#include "platform/gdi/text.h"

#include "platform/base/codepage.h"
#include "platform/gdi/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gdi {

std::u32string FromCp1251(std::string_view text)
{
  std::u32string out;
  out.reserve(text.size());
  for (char c : text) {
    out.push_back(codepage::Cp1251ToUnicode(static_cast<unsigned char>(c)));
  }
  return out;
}

std::shared_ptr<RealizedFont> DCFont(HDC__& dc)
{
  auto& cache = dc.fontCache;
  const double sx = dc.ScaleX();
  const double sy = dc.ScaleY();
  // Font objects never change after creation, so the object and the scale identify the realisation.
  if (cache.font != dc.st.font || cache.scaleX != sx || cache.scaleY != sy || !cache.realized) {
    cache.font = dc.st.font;
    cache.scaleX = sx;
    cache.scaleY = sy;
    cache.realized = RealizeFont(dc.st.font->logFont, sy, sx);
  }
  return cache.realized;
}

namespace {

double LogicalPerDevice(const HDC__& dc)
{
  const double s = std::abs(dc.ScaleX());
  return s == 0 ? 1.0 : 1.0 / s;
}

// Device advance of each character.
std::vector<int> DeviceAdvances(HDC__& dc, RealizedFont& font, std::u32string_view text, const INT* dx)
{
  std::vector<int> adv(text.size());
  const int extra = static_cast<int>(std::lround(dc.st.charExtra * std::abs(dc.ScaleX())));
  for (std::size_t i = 0; i < text.size(); ++i) {
    adv[i] = dx != nullptr ? static_cast<int>(std::lround(dx[i] * std::abs(dc.ScaleX())))
                           : font.Advance(text[i]) + extra;
  }
  return adv;
}

void BlendGlyph(HDC__& dc, const PixelView& v, const Region& clip, const Glyph& g, int penX, int penY,
                std::uint32_t color, bool mono)
{
  const int gx = penX + g.left;
  const int gy = penY - g.top;
  const std::uint32_t cr = (color >> 16) & 0xFF;
  const std::uint32_t cg = (color >> 8) & 0xFF;
  const std::uint32_t cb = color & 0xFF;
  for (int row = 0; row < g.height; ++row) {
    const int y = gy + row;
    const std::vector<Span>* spans = clip.RowSpans(y);
    if (spans == nullptr) {
      continue;
    }
    const std::uint8_t* cov = g.coverage.data() + static_cast<std::ptrdiff_t>(row) * g.width;
    std::uint32_t* out = v.Row(y + dc.origin.y) + dc.origin.x;
    for (const Span& s : *spans) {
      const int x0 = std::max(s.x0, gx);
      const int x1 = std::min(s.x1, gx + g.width);
      for (int x = x0; x < x1; ++x) {
        const std::uint32_t a = cov[x - gx];
        if (a == 0) {
          continue;
        }
        if (a == 255 || mono) {
          if (a >= 128) {
            out[x] = color;
          }
          continue;
        }
        const std::uint32_t d = out[x];
        const std::uint32_t r = (((d >> 16) & 0xFF) * (255 - a) + cr * a + 127) / 255;
        const std::uint32_t gg = (((d >> 8) & 0xFF) * (255 - a) + cg * a + 127) / 255;
        const std::uint32_t b = ((d & 0xFF) * (255 - a) + cb * a + 127) / 255;
        out[x] = (r << 16) | (gg << 8) | b;
      }
    }
  }
}

}  // namespace

int TextWidth(HDC__& dc, std::u32string_view text)
{
  auto font = DCFont(dc);
  long total = 0;
  for (int a : DeviceAdvances(dc, *font, text, nullptr)) {
    total += a;
  }
  return static_cast<int>(std::lround(total * LogicalPerDevice(dc)));
}

int TextHeight(HDC__& dc)
{
  auto font = DCFont(dc);
  const double s = std::abs(dc.ScaleY());
  return static_cast<int>(std::lround(font->metrics.tmHeight / (s == 0 ? 1.0 : s)));
}

bool OutputText(HDC__& dc, int x, int y, UINT options, const RECT* rect, std::u32string_view text, const INT* dx)
{
  auto font = DCFont(dc);
  const TEXTMETRICA& tm = font->metrics;
  const bool updateCp = (dc.st.textAlign & TA_UPDATECP) != 0;
  if (updateCp) {
    x = dc.st.currentPos.x;
    y = dc.st.currentPos.y;
  }
  const std::vector<int> adv = DeviceAdvances(dc, *font, text, dx);
  long width = 0;
  for (int a : adv) {
    width += a;
  }
  double rx = 0;
  double ry = 0;
  dc.ToDevice(x, y, rx, ry);
  const double angle = font->escapement;
  const double ux = std::cos(angle);
  const double uy = -std::sin(angle);
  // Along the text: where the first character starts relative to the reference point.
  double along = 0;
  switch (dc.st.textAlign & TA_CENTER) {
  case TA_CENTER:
    along = -width / 2.0;
    break;
  case TA_RIGHT:
    along = -static_cast<double>(width);
    break;
  default:
    break;
  }
  // Across: the baseline's distance below the reference point.
  double across = tm.tmAscent;
  if ((dc.st.textAlign & TA_BASELINE) == TA_BASELINE) {
    across = 0;
  } else if (dc.st.textAlign & TA_BOTTOM) {
    across = -tm.tmDescent;
  }
  // Perpendicular to the text direction, pointing down the glyphs.
  const double px = -uy;
  const double py = ux;
  const double baseX = rx + along * ux + across * px;
  const double baseY = ry + along * uy + across * py;

  Region clip = dc.EffectiveClip();
  if (rect != nullptr) {
    const RECT r = dc.RectToDevice(*rect);
    if (options & ETO_OPAQUE) {
      FillShape(dc, Region(r), SolidInk(TargetPixel(dc, dc.st.bkColor), R2_COPYPEN));
    }
    if (options & ETO_CLIPPED) {
      clip = clip.Intersect(r);
    }
  }
  if (dc.st.bkMode == OPAQUE && angle == 0 && !text.empty()) {
    const int left = static_cast<int>(std::lround(baseX));
    const int top = static_cast<int>(std::lround(baseY)) - tm.tmAscent;
    FillShape(dc, Region(RECT{left, top, static_cast<LONG>(left + width), top + tm.tmHeight}).Intersect(clip.Bounds()),
              SolidInk(TargetPixel(dc, dc.st.bkColor), R2_COPYPEN));
  }
  PixelView v = dc.View();
  const std::uint32_t color = TargetPixel(dc, dc.st.textColor);
  const bool mono = dc.Mono() || !font->antialias;
  double pen = 0;
  // Printed text goes to the document as text, not into the page image.
  const bool asText = dc.print != nullptr && !font->file.empty();
  if (v.Valid() && !asText) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const Glyph& g = font->GetGlyph(text[i]);
      const int gxp = static_cast<int>(std::lround(baseX + pen * ux));
      const int gyp = static_cast<int>(std::lround(baseY + pen * uy));
      BlendGlyph(dc, v, clip, g, gxp, gyp, color, mono);
      pen += adv[i];
    }
  }
  if ((font->underline || font->strikeOut) && angle == 0 && width > 0) {
    const int left = static_cast<int>(std::lround(baseX));
    const int base = static_cast<int>(std::lround(baseY));
    const Ink ink = SolidInk(color, R2_COPYPEN);
    if (font->underline) {
      const int top = base + font->underlinePosition - font->underlineThickness / 2;
      FillShape(dc, Region(RECT{left, top, static_cast<LONG>(left + width), top + font->underlineThickness}).Intersect(clip.Bounds()), ink);
    }
    if (font->strikeOut) {
      const int top = base - font->strikePosition;
      FillShape(dc, Region(RECT{left, top, static_cast<LONG>(left + width), top + font->underlineThickness}).Intersect(clip.Bounds()), ink);
    }
  }
  if (asText && !text.empty()) {
    PrintJob::TextRun run;
    std::u16string u16;
    for (char32_t c : text) {
      u16.push_back(static_cast<char16_t>(c));
    }
    run.utf8 = codepage::Utf16ToUtf8(u16);
    run.fontFile = font->file;
    run.faceIndex = font->faceIndex;
    run.x = baseX + dc.origin.x;
    run.y = baseY + dc.origin.y;
    run.pixelSize = font->pixelSize;
    run.xScale = font->xScale;
    run.angleDegrees = angle * 180 / 3.14159265358979323846;
    run.color = color;
    run.clipped = true;
    run.clip = clip.Bounds().Offset(dc.origin.x, dc.origin.y);
    dc.print->AddText(std::move(run));
  }
  if (updateCp) {
    dc.st.currentPos.x += static_cast<LONG>(std::lround(width * LogicalPerDevice(dc)));
  }
  return true;
}

}  // namespace gdi

using namespace gdi;

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || (text == nullptr && length > 0)) {
    return FALSE;
  }
  const std::u32string u = FromCp1251(std::string_view(text == nullptr ? "" : text, length));
  return OutputText(*d, x, y, options, rect, u, dx) ? TRUE : FALSE;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT length, const INT* dx)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || (text == nullptr && length > 0)) {
    return FALSE;
  }
  std::u32string u(text, text + length);
  return OutputText(*d, x, y, options, rect, u, dx) ? TRUE : FALSE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
  if (length < 0) {
    return FALSE;
  }
  return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(length), nullptr);
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || size == nullptr || length < 0 || (text == nullptr && length > 0)) {
    return FALSE;
  }
  const std::u32string u = FromCp1251(std::string_view(text == nullptr ? "" : text, static_cast<std::size_t>(length)));
  *size = {TextWidth(*d, u), TextHeight(*d)};
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || size == nullptr || length < 0 || (text == nullptr && length > 0)) {
    return FALSE;
  }
  std::u32string u(text, text + length);
  *size = {TextWidth(*d, u), TextHeight(*d)};
  return TRUE;
}

BOOL GetTextExtentExPointA(HDC dc, LPCSTR text, int length, int maxExtent, INT* fit, INT* dx, SIZE* size)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || size == nullptr || length < 0 || (text == nullptr && length > 0)) {
    return FALSE;
  }
  const std::u32string u = FromCp1251(std::string_view(text == nullptr ? "" : text, static_cast<std::size_t>(length)));
  auto font = DCFont(*d);
  const std::vector<int> adv = DeviceAdvances(*d, *font, u, nullptr);
  const double perDevice = LogicalPerDevice(*d);
  long total = 0;
  int fits = 0;
  for (std::size_t i = 0; i < u.size(); ++i) {
    total += adv[i];
    const int w = static_cast<int>(std::lround(total * perDevice));
    if (dx != nullptr) {
      dx[i] = w;
    }
    if (w <= maxExtent && fits == static_cast<int>(i)) {
      fits = static_cast<int>(i + 1);
    }
  }
  if (fit != nullptr) {
    *fit = fits;
  }
  *size = {static_cast<LONG>(std::lround(total * perDevice)), TextHeight(*d)};
  return TRUE;
}

BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || widths == nullptr || last < first || last > 0xFF) {
    return FALSE;
  }
  auto font = DCFont(*d);
  for (UINT c = first; c <= last; ++c) {
    const Glyph& g = font->GetGlyph(codepage::Cp1251ToUnicode(static_cast<unsigned char>(c)));
    const int advance = font->Advance(codepage::Cp1251ToUnicode(static_cast<unsigned char>(c)));
    ABC& abc = widths[c - first];
    abc.abcA = g.width > 0 ? g.left : 0;
    abc.abcB = static_cast<UINT>(std::max(g.width, 1));
    abc.abcC = advance - abc.abcA - static_cast<int>(abc.abcB);
  }
  return TRUE;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || metrics == nullptr) {
    return FALSE;
  }
  auto font = DCFont(*d);
  *metrics = font->metrics;
  const double sy = std::abs(d->ScaleY());
  const double sx = std::abs(d->ScaleX());
  if (sy != 1.0 && sy != 0) {
    for (LONG* v : {&metrics->tmHeight, &metrics->tmAscent, &metrics->tmDescent, &metrics->tmInternalLeading,
                    &metrics->tmExternalLeading}) {
      *v = static_cast<LONG>(std::lround(*v / sy));
    }
  }
  if (sx != 1.0 && sx != 0) {
    for (LONG* v : {&metrics->tmAveCharWidth, &metrics->tmMaxCharWidth}) {
      *v = static_cast<LONG>(std::lround(*v / sx));
    }
  }
  return TRUE;
}

int GetTextFaceA(HDC dc, int size, LPSTR face)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return 0;
  }
  const std::string name(d->st.font->logFont.lfFaceName, strnlen(d->st.font->logFont.lfFaceName, LF_FACESIZE));
  if (face == nullptr) {
    return static_cast<int>(name.size()) + 1;
  }
  if (size <= 0) {
    return 0;
  }
  const std::size_t n = std::min(name.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(face, name.data(), n);
  face[n] = '\0';
  return static_cast<int>(n);
}

BOOL GetCharWidth32A(HDC dc, UINT first, UINT last, INT* widths)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || widths == nullptr || last < first || last > 0xFF) {
    return FALSE;
  }
  for (UINT c = first; c <= last; ++c) {
    const char ch = static_cast<char>(c);
    widths[c - first] = TextWidth(*d, FromCp1251(std::string_view(&ch, 1)));
  }
  return TRUE;
}

int GetTextCharsetInfo(HDC dc, void* signature, DWORD)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return DEFAULT_CHARSET;
  }
  if (signature != nullptr) {
    std::memset(signature, 0, 24);  // FONTSIGNATURE: six 32-bit words
  }
  return DCFont(*d)->metrics.tmCharSet;
}

int GetTextCharset(HDC dc) { return GetTextCharsetInfo(dc, nullptr, 0); }
