#include "toolkit/paint/color_manager.h"

#include "platform/base/clock.h"
#include "platform/gdi/windraw.h"
#include "platform/mfc/winapp.h"
#include "platform/user/paint.h"
#include "platform/user/uxtheme.h"
#include "platform/user/window.h"
#include "toolkit/paint/visual_styles.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

void CTKPaintManagerColorGradient::SetStandardValue(COLORREF clrLight, COLORREF clrDark, float fFactor)
{
  this->clrLight.SetStandardValue(clrLight);
  this->clrDark.SetStandardValue(clrDark);
  fGradientFactor = fFactor;
}

void CTKPaintManagerColorGradient::SetStandardValueFrom(const CTKPaintManagerColorGradient& other)
{
  SetStandardValue(other.clrLight.GetValue(), other.clrDark.GetValue(), other.fGradientFactor);
}

namespace {

// Where white lies in the weighted space is about 440.9; the ceiling leaves a little room above it.
constexpr double kBrightnessCeiling = 442.0;
constexpr double kRedMax = 195.0;
constexpr double kGreenMax = 390.0;
constexpr double kBlueMax = 65.0;

struct Weighted {
  double r, g, b;
};

Weighted ToWeighted(COLORREF c)
{
  return {GetRValue(c) * kRedMax / 255.0, GetGValue(c) * kGreenMax / 255.0, GetBValue(c) * kBlueMax / 255.0};
}

int BackToChannel(double value, double max)
{
  value = std::clamp(value, 0.0, max);
  return std::clamp(static_cast<int>(std::trunc(value * 255.0 / max + 0.5)), 0, 255);
}

COLORREF FromWeighted(const Weighted& w)
{
  return RGB(BackToChannel(w.r, kRedMax), BackToChannel(w.g, kGreenMax), BackToChannel(w.b, kBlueMax));
}

Weighted Mirrored(const Weighted& w)
{
  return {kRedMax - w.r, kGreenMax - w.g, kBlueMax - w.b};
}

double Dot(const Weighted& a, const Weighted& b)
{
  return a.r * b.r + a.g * b.g + a.b * b.b;
}

double SquaredDistance(const Weighted& a, const Weighted& b)
{
  const Weighted d{a.r - b.r, a.g - b.g, a.b - b.b};
  return Dot(d, d);
}

double Brightness(COLORREF c)
{
  const Weighted w = ToWeighted(c);
  return std::sqrt(Dot(w, w));
}

// A dark reference needs a larger distance to stand out: black doubles it, brightness 220 and up leaves it.
double Threshold(COLORREF reference, double distance)
{
  const double brightness = std::min(std::trunc(Brightness(reference)), 220.0);
  return (2.0 - brightness / 220.0) * std::trunc(distance);
}

COLORREF Scale(COLORREF c, int numerator, int denominator)
{
  return RGB(GetRValue(c) * numerator / denominator, GetGValue(c) * numerator / denominator,
             GetBValue(c) * numerator / denominator);
}

BYTE LargestChannel(COLORREF c)
{
  return std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
}

int ScreenBitsPerPixel()
{
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDC(desktop);
  if (dc == nullptr) {
    return 32;
  }
  const int bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(desktop, dc);
  return bits;
}

bool Contains(std::u16string_view text, std::u16string_view part)
{
  return text.find(part) != std::u16string_view::npos;
}

}  // namespace

CTKColorManager::CTKColorManager()
{
  RefreshColors();
}

COLORREF CTKColorManager::LightColor(COLORREF clrA, COLORREF clrB, int nWeight)
{
  const int scale = nWeight < 100 ? 100 : 1000;
  const auto mix = [&](BYTE a, BYTE b) { return (nWeight * a + (scale - nWeight) * b + scale / 2) / scale; };
  return RGB(mix(GetRValue(clrA), GetRValue(clrB)), mix(GetGValue(clrA), GetGValue(clrB)),
             mix(GetBValue(clrA), GetBValue(clrB)));
}

float CTKColorManager::ColorDistance(COLORREF clrA, COLORREF clrB)
{
  return static_cast<float>(std::sqrt(SquaredDistance(ToWeighted(clrA), ToWeighted(clrB))));
}

BOOL CTKColorManager::IsColorDistinct(COLORREF clrA, COLORREF clrB, BOOL bAdjust, float fMinDistance)
{
  const double x = bAdjust ? Threshold(clrA, fMinDistance) : fMinDistance;
  return SquaredDistance(ToWeighted(clrA), ToWeighted(clrB)) > x * x ? TRUE : FALSE;
}

COLORREF CTKColorManager::LimitContrast(COLORREF clrA, COLORREF clrB, float fMaxDistance)
{
  const Weighted a = ToWeighted(clrA);
  const Weighted b = ToWeighted(clrB);
  const double d = std::sqrt(SquaredDistance(a, b));
  if (d <= 0.0) {
    return clrB;
  }
  const double toward = (d - Threshold(clrA, fMaxDistance)) / d;
  return FromWeighted({b.r + toward * (a.r - b.r), b.g + toward * (a.g - b.g), b.b + toward * (a.b - b.b)});
}

COLORREF CTKColorManager::EnsureContrast(COLORREF clrA, COLORREF clrB, float fMinDistance)
{
  const double brightnessA = Brightness(clrA);
  const double brightnessB = Brightness(clrB);
  const double t = Threshold(clrA, fMinDistance);
  // Move B towards black, unless there is no room below A: then towards white, in mirrored coordinates.
  const double room = brightnessA < brightnessB ? kBrightnessCeiling - t : t;
  const bool mirrored = room >= brightnessA;
  Weighted a = ToWeighted(clrA);
  Weighted b = ToWeighted(clrB);
  if (mirrored) {
    a = Mirrored(a);
    b = Mirrored(b);
  }
  const double length = std::max(std::sqrt(Dot(b, b)), 0.001);
  const double ab = Dot(a, b);
  const double projection = ab / length;
  const double along = ab / (length * length);
  const double h2 = SquaredDistance(a, {b.r * along, b.g * along, b.b * along});
  // No point of the ray lies at distance t from A: leave B as it is rather than collapse it to black.
  if (t * t < h2) {
    return clrB;
  }
  const double k = projection - std::sqrt(t * t - h2);
  Weighted moved{b.r * k / length, b.g * k / length, b.b * k / length};
  if (mirrored) {
    moved = Mirrored(moved);
  }
  return FromWeighted(moved);
}

void CTKColorManager::RefreshColors()
{
  COLORREF* c = m_arrStandardColor;
  m_nLunaScheme = TKDetectLunaColorScheme();
  const int bits = ScreenBitsPerPixel();
  const bool lowColor = bits >= 1 && bits <= 8;

  c[0] = RGB(0, 0, 0);
  for (int i = 1; i <= 27; ++i) {
    c[i] = GetSysColor(i);
  }
  for (int i : {28, 29, 59, 61}) {
    c[i] = RGB(0, 0, 0);
  }
  for (int i : {30, 48, 51, 53, 55, 56}) {
    c[i] = c[COLOR_BTNFACE];
  }
  for (int i : {34, 38, 39, 40, 42, 43, 52, 54, 57, 60}) {
    c[i] = c[COLOR_BTNSHADOW];
  }
  for (int i : {31, 36, 41}) {
    c[i] = c[COLOR_WINDOW];
  }
  for (int i : {32, 33, 37, 50}) {
    c[i] = c[COLOR_HIGHLIGHT];
  }
  c[35] = c[58] = c[COLOR_GRAYTEXT];
  c[44] = c[8];
  c[45] = c[7];
  c[46] = c[49] = c[COLOR_BTNTEXT];
  c[47] = c[14];

  if (!lowColor) {
    struct Blend {
      int target, a, b, weight;
    };
    static constexpr Blend kBlends[] = {{30, 5, 15, 165}, {31, 13, 5, 30},  {33, 13, 5, 50},  {41, 15, 5, 143},
                                        {35, 17, 5, 70},  {38, 16, 5, 75},  {39, 16, 5, 70},  {43, 46, 16, 20},
                                        {40, 16, 5, 90},  {42, 15, 16, 90}};
    for (const Blend& blend : kBlends) {
      c[blend.target] = LightColor(c[blend.a], c[blend.b], blend.weight);
    }
    // The bar face may not drift far from the button face.
    if (IsColorDistinct(c[15], c[30], TRUE, 35)) {
      c[30] = LimitContrast(c[15], c[30], 35);
    }
    struct Contrast {
      int target, a, b;
      float distance;
    };
    static constexpr Contrast kContrasts[] = {{31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},
                                              {35, 41, 35, 80},  {37, 33, 37, 100}, {38, 30, 38, 85},
                                              {39, 30, 39, 50},  {43, 47, 43, 100}, {40, 30, 40, 80},
                                              {44, 41, 44, 180}, {45, 31, 45, 180}, {46, 30, 46, 180},
                                              {47, 33, 47, 180}};
    for (const Contrast& row : kContrasts) {
      if (!IsColorDistinct(c[row.a], c[row.b], TRUE, row.distance)) {
        c[row.target] = EnsureContrast(c[row.a], c[row.b], row.distance);
      }
    }
    if (IsColorDistinct(c[41], c[35], TRUE, 145)) {
      c[35] = LimitContrast(c[41], c[35], 145);
    }
    const auto mix36 = [](BYTE face, BYTE window, BYTE highlight) {
      return face * 50 / 100 + window * 40 / 100 + highlight * 10 / 100;
    };
    c[36] = RGB(mix36(GetRValue(c[30]), GetRValue(c[5]), GetRValue(c[13])),
                mix36(GetGValue(c[30]), GetGValue(c[5]), GetGValue(c[13])),
                mix36(GetBValue(c[30]), GetBValue(c[5]), GetBValue(c[13])));

    const int faceMax = LargestChannel(c[15]);
    c[48] = faceMax == 0 ? RGB(35, 35, 35) : Scale(c[15], faceMax + std::min(255 - faceMax, 35), faceMax);
    if (c[15] == RGB(0, 0, 0)) {
      c[49] = RGB(127, 127, 127);
    } else {
      const int shadowMax = LargestChannel(c[16]);
      c[49] = shadowMax == 0 ? RGB(0, 0, 0) : Scale(c[16], std::max(shadowMax - 43, 0), shadowMax);
    }

    c[34] = RGB(GetRValue(c[31]) * 3 / 4, GetGValue(c[31]) * 3 / 4, GetBValue(c[31]) * 3 / 4);
    const auto lighter = [](BYTE v) { return std::min(v + 15, 255); };
    c[22] = RGB(lighter(GetRValue(c[15])), lighter(GetGValue(c[15])), lighter(GetBValue(c[15])));
    c[53] = c[30];
    c[58] = c[40];
    c[60] = c[40];
  }

  switch (m_bDisableLunaColors ? 0 : m_nLunaScheme) {
    case 1:
      m_clrCaptionGradient.SetStandardValue(RGB(89, 135, 214), RGB(0, 45, 150), 0.5f);
      m_clrBarGradient.SetStandardValue(RGB(158, 190, 245), RGB(196, 218, 250), 0.5f);
      c[54] = RGB(0, 45, 150);
      break;
    case 2:
      m_clrCaptionGradient.SetStandardValue(RGB(175, 192, 130), RGB(99, 122, 68), 0.5f);
      m_clrBarGradient.SetStandardValue(RGB(217, 217, 167), RGB(242, 241, 228), 0.5f);
      c[54] = RGB(96, 128, 88);
      break;
    case 3:
      m_clrCaptionGradient.SetStandardValue(RGB(168, 167, 191), RGB(112, 111, 145), 0.5f);
      m_clrBarGradient.SetStandardValue(RGB(215, 215, 229), RGB(243, 243, 247), 0.5f);
      c[54] = RGB(124, 124, 148);
      break;
    default:
      m_clrCaptionGradient.SetStandardValue(c[16], c[16], 0.5f);
      m_clrBarGradient.SetStandardValue(c[15], LightColor(c[15], c[5], 215), 0.5f);
      break;
  }

  if (!lowColor) {
    CTKWinThemeWrapper treeView;
    treeView.OpenThemeData(nullptr, u"TREEVIEW");
    COLORREF border = 0;
    if (treeView.IsAppThemed() && SUCCEEDED(treeView.GetThemeColor(0, 0, TMT_BORDERCOLOR, &border))) {
      c[57] = border;
    }
  }
}

int TKDetectLunaColorScheme()
{
  CTKWinThemeWrapper wrapper;
  if (!TKIsThemeActive()) {
    return 0;
  }
  constexpr int kChars = 260;
  WCHAR fileName[kChars] = {};
  WCHAR colorName[kChars] = {};
  if (FAILED(wrapper.GetCurrentThemeName(fileName, kChars, colorName, kChars, nullptr, 0))) {
    return 0;
  }
  fileName[kChars - 1] = colorName[kChars - 1] = 0;
  for (WCHAR* text : {fileName, colorName}) {
    for (WCHAR* ch = text; *ch != 0; ++ch) {
      if (*ch >= u'A' && *ch <= u'Z') {
        *ch = static_cast<WCHAR>(*ch - u'A' + u'a');
      }
    }
  }
  const std::u16string_view file(fileName);
  const std::u16string_view color(colorName);
  if (Contains(file, u"luna.msstyles")) {
    if (color == u"normalcolor") {
      return 1;
    }
    if (color == u"homestead") {
      return 2;
    }
    if (color == u"metallic") {
      return 3;
    }
  }
  if (Contains(file, u"royale.msstyles") && color == u"normalcolor") {
    return 1;
  }
  return 0;
}

CTKColorManager& TKColorManager()
{
  static CTKColorManager manager;
  return manager;
}

int TKCurrentSystemTheme()
{
  return TKColorManager().GetCurrentSystemTheme();
}

namespace {
// Empty until a throttled refresh is counted. Our tick count starts near 0 with the process (Windows' counts from
// boot), so "no refresh yet" cannot be told by a tick of 0 without skipping refreshes of the first half second.
std::optional<DWORD> g_lastRefreshTick;
}  // namespace

void TKRefreshColors()
{
  // Unsigned difference: the wrap of the tick counter is harmless.
  if (g_lastRefreshTick && GetTickCount() - *g_lastRefreshTick <= 500) {
    return;
  }
  TKColorManager().RefreshColors();
  // Until there is a main window every call refreshes: start-up changes colours freely.
  CWinThread* thread = AfxGetThread();
  if (thread != nullptr && thread->GetMainWnd() != nullptr) {
    g_lastRefreshTick = GetTickCount();
  }
}

void TKResetRefreshThrottleForTest()
{
  g_lastRefreshTick.reset();
}
