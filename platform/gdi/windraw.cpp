#include "platform/gdi/windraw.h"

#include "platform/gdi/raster.h"

#include <array>

using namespace gdi;

namespace {

// The classic Windows palette, as the system starts; SetSysColors changes the live copy.
constexpr std::array<COLORREF, 31> kSysColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25, unnamed
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(49, 106, 197),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

int g_screenWidth = 1280;
int g_screenHeight = 1024;

// A device rectangle of a logical one; FillRect and its kin never fill the right and bottom edges.
bool DeviceRect(HDC dc, const RECT* rect, HDC__*& d, RECT& out)
{
  d = LookupDC(dc);
  if (d == nullptr || rect == nullptr) {
    return false;
  }
  out = d->RectToDevice(*rect);
  return true;
}

std::array<COLORREF, kSysColors.size()>& LiveSysColors()
{
  static std::array<COLORREF, kSysColors.size()> colors = kSysColors;
  return colors;
}

// The stock brushes of the system colours, which follow the colours as Windows' do.
struct SysColorBrushes {
  std::array<std::shared_ptr<Brush>, kSysColors.size()> brushes;
  std::array<HBRUSH, kSysColors.size()> handles{};
};

SysColorBrushes& SysBrushes()
{
  static SysColorBrushes table = [] {
    SysColorBrushes t;
    for (std::size_t i = 0; i < t.brushes.size(); ++i) {
      t.brushes[i] = std::make_shared<Brush>();
      t.brushes[i]->color = LiveSysColors()[i];
      t.brushes[i]->stock = true;
      t.handles[i] = Register(t.brushes[i]);
    }
    return t;
  }();
  return table;
}

}  // namespace

DWORD GetSysColor(int index)
{
  if (index < 0 || index >= static_cast<int>(kSysColors.size())) {
    return 0;
  }
  return LiveSysColors()[static_cast<std::size_t>(index)];
}

HBRUSH GetSysColorBrush(int index)
{
  if (index < 0 || index >= static_cast<int>(kSysColors.size())) {
    return nullptr;
  }
  return SysBrushes().handles[static_cast<std::size_t>(index)];
}

namespace gdi {
bool SetSysColorValue(int index, COLORREF color)
{
  if (index < 0 || index >= static_cast<int>(kSysColors.size())) {
    return false;
  }
  const auto i = static_cast<std::size_t>(index);
  LiveSysColors()[i] = color & 0x00FFFFFFu;
  SysBrushes().brushes[i]->color = color & 0x00FFFFFFu;
  return true;
}

void ResetSysColors()
{
  for (std::size_t i = 0; i < kSysColors.size(); ++i) {
    SetSysColorValue(static_cast<int>(i), kSysColors[i]);
  }
}
}  // namespace gdi

namespace gdi {
void SetScreenSize(int width, int height)
{
  g_screenWidth = width;
  g_screenHeight = height;
}
}  // namespace gdi

int GetSystemMetrics(int index)
{
  switch (index) {
  case SM_CXSCREEN:
  case SM_CXVIRTUALSCREEN:
    return g_screenWidth;
  case SM_CYSCREEN:
  case SM_CYVIRTUALSCREEN:
    return g_screenHeight;
  case SM_CXFULLSCREEN:
  case SM_CXMAXIMIZED:
    return g_screenWidth;
  case SM_CYFULLSCREEN:
    return g_screenHeight - 30 - 19;
  case SM_CYMAXIMIZED:
    return g_screenHeight - 30;
  case SM_XVIRTUALSCREEN:
  case SM_YVIRTUALSCREEN:
    return 0;
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
  case SM_CYVSCROLL:
  case SM_CXHSCROLL:
  case SM_CYVTHUMB:
  case SM_CXHTHUMB:
    return 16;
  case SM_CYCAPTION:
    return 19;
  case SM_CYSMCAPTION:
    return 15;
  case SM_CXBORDER:
  case SM_CYBORDER:
  case SM_CXFOCUSBORDER:
  case SM_CYFOCUSBORDER:
    return 1;
  case SM_CXDLGFRAME:
  case SM_CYDLGFRAME:
    return 3;
  case SM_CXFRAME:
  case SM_CYFRAME:
    return 4;
  case SM_CXEDGE:
  case SM_CYEDGE:
    return 2;
  case SM_CXICON:
  case SM_CYICON:
  case SM_CXCURSOR:
  case SM_CYCURSOR:
    return 32;
  case SM_CXSMICON:
  case SM_CYSMICON:
    return 16;
  case SM_CYMENU:
    return 19;
  case SM_CXSIZE:
  case SM_CYSIZE:
    return 18;
  case SM_CXSMSIZE:
  case SM_CYSMSIZE:
    return 12;
  case SM_CXMENUSIZE:
  case SM_CYMENUSIZE:
    return 18;
  case SM_CXMENUCHECK:
  case SM_CYMENUCHECK:
    return 13;
  case SM_CXMIN:
    return 112;
  case SM_CYMIN:
    return 27;
  case SM_CXMINTRACK:
    return 112;
  case SM_CYMINTRACK:
    return 27;
  case SM_CXDOUBLECLK:
  case SM_CYDOUBLECLK:
    return 4;
  case SM_CXDRAG:
  case SM_CYDRAG:
    return 4;
  case SM_CXICONSPACING:
  case SM_CYICONSPACING:
    return 75;
  case SM_CMONITORS:
    return 1;
  default:
    return 0;
  }
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
  HDC__* d = nullptr;
  RECT r;
  if (!DeviceRect(dc, rect, d, r)) {
    return FALSE;
  }
  // A small integer is a system colour index plus one, as window classes pass it.
  if (reinterpret_cast<UINT_PTR>(brush) <= 31 && brush != nullptr) {
    brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(brush)) - 1);
  }
  auto b = LookupAs<Brush>(brush);
  if (!b) {
    return FALSE;
  }
  FillShape(*d, Region(r), BrushInk(*d, *b, R2_COPYPEN));
  return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
  HDC__* d = nullptr;
  RECT r;
  if (!DeviceRect(dc, rect, d, r)) {
    return FALSE;
  }
  auto b = LookupAs<Brush>(brush);
  if (!b) {
    return FALSE;
  }
  if (r.IsEmpty()) {
    return TRUE;
  }
  FillShape(*d, Region::Combine(Region(r), Region(r.Inflate(-1, -1)), RGN_DIFF), BrushInk(*d, *b, R2_COPYPEN));
  return TRUE;
}

BOOL InvertRect(HDC dc, const RECT* rect)
{
  HDC__* d = nullptr;
  RECT r;
  if (!DeviceRect(dc, rect, d, r)) {
    return FALSE;
  }
  FillShape(*d, Region(r), SolidInk(0, R2_NOT));
  return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect)
{
  HDC__* d = nullptr;
  RECT r;
  if (!DeviceRect(dc, rect, d, r)) {
    return FALSE;
  }
  if (r.IsEmpty()) {
    return TRUE;
  }
  // A dotted frame, inverted so that drawing it twice removes it. The dots follow a checkerboard fixed to the
  // device, as the halftone pattern behind it is, so adjacent focus frames line up.
  std::vector<POINT> dots;
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) {
      dots.push_back({x, y});
    }
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    if (r.bottom - 1 != r.top) {
      dot(x, r.bottom - 1);
    }
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 != r.left) {
      dot(r.right - 1, y);
    }
  }
  PlotPixels(*d, dots, SolidInk(0xFFFFFF, R2_XORPEN));
  return TRUE;
}

namespace {

void Line(HDC__& d, POINT a, POINT b, COLORREF color)
{
  std::vector<POINT> pts;
  LinePixels(a, b, pts);
  PlotPixels(d, pts, SolidInk(TargetPixel(d, color), R2_COPYPEN));
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || rect == nullptr) {
    return FALSE;
  }
  RECT r = d->RectToDevice(*rect);
  const UINT outer = edge & BDR_OUTER;
  const UINT inner = edge & BDR_INNER;
  const bool mono = (flags & BF_MONO) != 0;
  const bool flat = (flags & BF_FLAT) != 0;
  const bool soft = (flags & BF_SOFT) != 0;
  // Colours of the top-left and bottom-right sides of each of the two rings.
  auto ringColors = [&](bool raised, bool isOuter, COLORREF& tl, COLORREF& br) {
    if (mono) {
      tl = br = GetSysColor(COLOR_WINDOWFRAME);
      return;
    }
    if (flat) {
      tl = br = isOuter ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_BTNFACE);
      return;
    }
    if (isOuter) {
      tl = raised ? GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT) : GetSysColor(COLOR_BTNSHADOW);
      br = raised ? GetSysColor(COLOR_3DDKSHADOW) : GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT);
    } else {
      tl = raised ? GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT) : GetSysColor(COLOR_3DDKSHADOW);
      br = raised ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_3DLIGHT);
    }
  };
  auto ring = [&](UINT bits, bool isOuter) {
    if (bits == 0) {
      return;
    }
    const bool raised = (bits & (BDR_RAISEDOUTER | BDR_RAISEDINNER)) != 0;
    COLORREF tl = 0;
    COLORREF br = 0;
    ringColors(raised, isOuter, tl, br);
    if (r.IsEmpty()) {
      return;
    }
    if (flags & BF_LEFT) {
      Line(*d, {r.left, r.top}, {r.left, r.bottom}, tl);
    }
    if (flags & BF_TOP) {
      Line(*d, {r.left, r.top}, {r.right, r.top}, tl);
    }
    if (flags & BF_RIGHT) {
      Line(*d, {r.right - 1, r.top}, {r.right - 1, r.bottom}, br);
    }
    if (flags & BF_BOTTOM) {
      Line(*d, {r.left, r.bottom - 1}, {r.right, r.bottom - 1}, br);
    }
    if (flags & BF_LEFT) {
      ++r.left;
    }
    if (flags & BF_TOP) {
      ++r.top;
    }
    if (flags & BF_RIGHT) {
      --r.right;
    }
    if (flags & BF_BOTTOM) {
      --r.bottom;
    }
  };
  ring(outer, true);
  ring(inner, false);
  if ((flags & BF_MIDDLE) && !r.IsEmpty()) {
    FillShape(*d, Region(r),
              SolidInk(TargetPixel(*d, GetSysColor(mono ? COLOR_WINDOW : COLOR_BTNFACE)), R2_COPYPEN));
  }
  if (flags & BF_ADJUST) {
    const POINT a = d->ToLogical(POINT{r.left, r.top});
    const POINT b = d->ToLogical(POINT{r.right, r.bottom});
    *rect = RECT{a.x, a.y, b.x, b.y};
  }
  return TRUE;
}
