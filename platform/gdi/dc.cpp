#include "platform/gdi/dc.h"

#include "platform/gdi/handle_table.h"
#include "platform/gdi/print.h"
#include "platform/gdi/windraw.h"

#include <cmath>
#include <cstring>
#include <strings.h>
#include <utility>

namespace gdi {

HBITMAP StockBitmap();

namespace {

using DCTable = HandleTable<std::unique_ptr<HDC__>, HandleTag::DC>;

DCTable& DCs()
{
  static DCTable* table = new DCTable;
  return *table;
}

int g_reportedDepth = 0;

std::uintptr_t Value(HDC dc) { return reinterpret_cast<std::uintptr_t>(dc); }

HDC AddDC(std::unique_ptr<HDC__> dc)
{
  dc->st.pen = LookupAs<Pen>(GetStockObject(BLACK_PEN));
  dc->st.brush = LookupAs<Brush>(GetStockObject(WHITE_BRUSH));
  dc->st.font = LookupAs<Font>(GetStockObject(SYSTEM_FONT));
  if (dc->kind == DCKind::Memory) {
    dc->st.bitmap = LookupAs<Bitmap>(StockBitmap());
  }
  HDC__* raw = dc.get();
  HDC handle = reinterpret_cast<HDC>(DCs().Add(std::move(dc)));
  raw->handle = handle;
  return handle;
}

}  // namespace

HDC__* LookupDC(HDC dc)
{
  FlushDibSections();
  if (dc == nullptr) {
    return nullptr;
  }
  return DCs().With(Value(dc), static_cast<HDC__*>(nullptr),
                    [](const std::unique_ptr<HDC__>& d) { return d.get(); });
}

HDC CreateSurfaceDC(Surface& surface)
{
  auto dc = std::make_unique<HDC__>(DCKind::Surface);
  dc->surface = &surface;
  return AddDC(std::move(dc));
}

BOOL SetSurfaceDCArea(HDC dc, const RECT& area)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || d->kind != DCKind::Surface) {
    return FALSE;
  }
  d->origin = {area.left, area.top};
  d->area = area;
  return TRUE;
}

BOOL SetSurfaceDCVisibleRegion(HDC dc, HRGN region)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  if (region == nullptr) {
    d->visible.reset();
    return TRUE;
  }
  auto r = LookupAs<RegionObject>(region);
  if (!r) {
    return FALSE;
  }
  d->visible = r->region;
  return TRUE;
}

HDC CreatePrinterDC(std::unique_ptr<PrintJob> job)
{
  auto dc = std::make_unique<HDC__>(DCKind::Printer);
  dc->print = std::move(job);
  dc->surface = &dc->print->Page();
  return AddDC(std::move(dc));
}

}  // namespace gdi

namespace {
std::atomic<bool> g_surfaceDrawing = false;
}  // namespace

bool gdi::TakeSurfaceDrawing() { return g_surfaceDrawing.exchange(false, std::memory_order_acq_rel); }

using namespace gdi;

HDC__::~HDC__() = default;

PixelView HDC__::View()
{
  if (kind == DCKind::Memory) {
    return st.bitmap ? st.bitmap->View() : PixelView{};
  }
  if (surface == nullptr) {
    return {};
  }
  if (kind == DCKind::Surface) {
    drawn.store(true, std::memory_order_relaxed);
    g_surfaceDrawing.store(true, std::memory_order_release);
  }
  return {surface->Pixels(), surface->Width(), surface->Width(), surface->Height()};
}

RECT HDC__::DeviceBounds()
{
  if (area) {
    return area->Offset(-origin.x, -origin.y);
  }
  if (kind != DCKind::Memory) {
    return surface != nullptr ? RECT{0, 0, surface->Width(), surface->Height()} : RECT{};
  }
  PixelView v = View();
  return RECT{0, 0, v.width, v.height};
}

SIZE HDC__::DeviceSize()
{
  // Screen and memory DCs describe the display they are compatible with, not their bitmap or window.
  if (kind != DCKind::Printer) {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return print->PhysicalSize();
}

Region HDC__::EffectiveClip()
{
  PixelView v = View();
  RECT bounds = RECT{0, 0, v.width, v.height}.Offset(-origin.x, -origin.y);
  if (area) {
    bounds = bounds.Intersect(area->Offset(-origin.x, -origin.y));
  }
  Region r(bounds);
  if (visible) {
    r = r.Intersect(*visible);
  }
  if (st.clip) {
    r = r.Intersect(*st.clip);
  }
  return r;
}

int HDC__::Dpi() const { return print ? print->Dpi() : 96; }

void HDC__::ToDevice(double x, double y, double& dx, double& dy) const
{
  if (st.graphicsMode == GM_ADVANCED) {
    const XFORM& w = st.world;
    const double wx = x * w.eM11 + y * w.eM21 + w.eDx;
    const double wy = x * w.eM12 + y * w.eM22 + w.eDy;
    x = wx;
    y = wy;
  }
  dx = (x - st.windowOrg.x) * ScaleX() + st.viewportOrg.x;
  dy = (y - st.windowOrg.y) * ScaleY() + st.viewportOrg.y;
}

double HDC__::ScaleX() const
{
  if (st.mapMode == MM_TEXT || st.windowExt.cx == 0) {
    return 1.0;
  }
  return static_cast<double>(st.viewportExt.cx) / st.windowExt.cx;
}

double HDC__::ScaleY() const
{
  if (st.mapMode == MM_TEXT || st.windowExt.cy == 0) {
    return 1.0;
  }
  return static_cast<double>(st.viewportExt.cy) / st.windowExt.cy;
}

POINT HDC__::ToDevice(POINT p) const
{
  double dx = 0;
  double dy = 0;
  ToDevice(p.x, p.y, dx, dy);
  return {static_cast<LONG>(std::lround(dx)), static_cast<LONG>(std::lround(dy))};
}

POINT HDC__::ToLogical(POINT p) const
{
  double x = (p.x - st.viewportOrg.x) / ScaleX() + st.windowOrg.x;
  double y = (p.y - st.viewportOrg.y) / ScaleY() + st.windowOrg.y;
  if (st.graphicsMode == GM_ADVANCED) {
    const XFORM& w = st.world;
    const double det = static_cast<double>(w.eM11) * w.eM22 - static_cast<double>(w.eM12) * w.eM21;
    if (det != 0) {
      const double tx = x - w.eDx;
      const double ty = y - w.eDy;
      x = (tx * w.eM22 - ty * w.eM21) / det;
      y = (ty * w.eM11 - tx * w.eM12) / det;
    }
  }
  return {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
}

RECT HDC__::RectToDevice(const RECT& r) const
{
  POINT a = ToDevice(POINT{r.left, r.top});
  POINT b = ToDevice(POINT{r.right, r.bottom});
  return RECT{a.x, a.y, b.x, b.y}.Normalized();
}

// ---- Device contexts

HDC CreateCompatibleDC(HDC dc)
{
  if (dc != nullptr && LookupDC(dc) == nullptr) {
    return nullptr;
  }
  return AddDC(std::make_unique<HDC__>(DCKind::Memory));
}

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const void*)
{
  if (driver == nullptr && device != nullptr) {
    // Any named printer is our PDF printer; StartDoc gives the file.
    return CreatePdfPrinterDC("");
  }
  if (driver == nullptr) {
    return nullptr;
  }
  if (strcasecmp(driver, "WINSPOOL") == 0) {
    return CreatePdfPrinterDC("");
  }
  if (strcasecmp(driver, "DISPLAY") != 0) {
    return nullptr;
  }
  static Surface screen(1, 1);
  auto dc = std::make_unique<HDC__>(DCKind::Info);
  dc->surface = &screen;
  return AddDC(std::move(dc));
}

HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode)
{
  return CreateDCA(driver, device, output, devmode);
}

BOOL DeleteDC(HDC dc)
{
  if (dc == nullptr) {
    return FALSE;
  }
  // The DC is destroyed outside the table's lock: a printer DC finishes its document on the way out.
  std::unique_ptr<HDC__> d = DCs().Remove(Value(dc));
  return d ? TRUE : FALSE;
}

int SaveDC(HDC dc)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return 0;
  }
  d->saved.push_back(d->st);
  return static_cast<int>(d->saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  const int depth = static_cast<int>(d->saved.size());
  const int level = savedDC < 0 ? depth + 1 + savedDC : savedDC;
  if (level < 1 || level > depth) {
    return FALSE;
  }
  d->st = d->saved[static_cast<std::size_t>(level - 1)];
  d->saved.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

void SetReportedColorDepth(int bitsPerPixel) { g_reportedDepth = bitsPerPixel; }

int GetDeviceCaps(HDC dc, int index)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return 0;
  }
  const SIZE size = d->DeviceSize();
  const int dpi = d->Dpi();
  const bool printer = d->kind == DCKind::Printer;
  switch (index) {
  case DRIVERVERSION:
    return 0x4000;
  case TECHNOLOGY:
    return printer ? DT_RASPRINTER : DT_RASDISPLAY;
  case HORZSIZE:
    return static_cast<int>(std::lround(size.cx * 25.4 / dpi));
  case VERTSIZE:
    return static_cast<int>(std::lround(size.cy * 25.4 / dpi));
  case HORZRES:
    return size.cx;
  case VERTRES:
    return size.cy;
  case BITSPIXEL:
    if (d->Mono()) {
      return 1;
    }
    return g_reportedDepth > 0 ? g_reportedDepth : 32;
  case PLANES:
    return 1;
  case NUMCOLORS:
    return -1;
  case RASTERCAPS:
    return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | (g_reportedDepth > 0 && g_reportedDepth <= 8 ? RC_PALETTE : 0);
  case LOGPIXELSX:
  case LOGPIXELSY:
    return dpi;
  case SIZEPALETTE:
    return g_reportedDepth > 0 && g_reportedDepth <= 8 ? (1 << g_reportedDepth) : 0;
  case PHYSICALWIDTH:
    return printer ? d->print->PhysicalSize().cx : 0;
  case PHYSICALHEIGHT:
    return printer ? d->print->PhysicalSize().cy : 0;
  case PHYSICALOFFSETX:
    return printer ? d->print->PhysicalOffset().x : 0;
  case PHYSICALOFFSETY:
    return printer ? d->print->PhysicalOffset().y : 0;
  case SHADEBLENDCAPS:
    return 0x3F;
  default:
    return 0;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return nullptr;
  }
  switch (type) {
  case OBJ_PEN:
    return HandleOf(d->st.pen);
  case OBJ_BRUSH:
    return HandleOf(d->st.brush);
  case OBJ_FONT:
    return HandleOf(d->st.font);
  case OBJ_BITMAP:
    return HandleOf(d->st.bitmap);
  default:
    return nullptr;
  }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
  HDC__* d = LookupDC(dc);
  auto o = Lookup(object);
  if (d == nullptr || !o) {
    return nullptr;
  }
  HGDIOBJ previous = nullptr;
  switch (o->objectType) {
  case OBJ_PEN:
    previous = HandleOf(d->st.pen);
    d->st.pen = std::static_pointer_cast<Pen>(o);
    return previous;
  case OBJ_BRUSH:
    previous = HandleOf(d->st.brush);
    d->st.brush = std::static_pointer_cast<Brush>(o);
    return previous;
  case OBJ_FONT:
    previous = HandleOf(d->st.font);
    d->st.font = std::static_pointer_cast<Font>(o);
    return previous;
  case OBJ_BITMAP:
    if (d->kind != DCKind::Memory) {
      return nullptr;
    }
    previous = HandleOf(d->st.bitmap);
    d->st.bitmap = std::static_pointer_cast<Bitmap>(o);
    return previous;
  case OBJ_REGION: {
    const int kind = SelectClipRgn(dc, object);
    return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(kind));
  }
  default:
    return nullptr;
  }
}

// ---- Attributes

namespace {

template <class T, class Fn>
T Swap(HDC dc, T fail, Fn&& fn)
{
  HDC__* d = LookupDC(dc);
  return d == nullptr ? fail : fn(*d);
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color)
{
  return Swap(dc, CLR_INVALID, [&](HDC__& d) { return std::exchange(d.st.textColor, color & 0xFFFFFF); });
}
COLORREF GetTextColor(HDC dc) { return Swap(dc, CLR_INVALID, [](HDC__& d) { return d.st.textColor; }); }
COLORREF SetBkColor(HDC dc, COLORREF color)
{
  return Swap(dc, CLR_INVALID, [&](HDC__& d) { return std::exchange(d.st.bkColor, color & 0xFFFFFF); });
}
COLORREF GetBkColor(HDC dc) { return Swap(dc, CLR_INVALID, [](HDC__& d) { return d.st.bkColor; }); }
int SetBkMode(HDC dc, int mode)
{
  if (mode != TRANSPARENT && mode != OPAQUE) {
    return 0;
  }
  return Swap(dc, 0, [&](HDC__& d) { return std::exchange(d.st.bkMode, mode); });
}
int GetBkMode(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.bkMode; }); }
int SetROP2(HDC dc, int rop2)
{
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) {
    return 0;
  }
  return Swap(dc, 0, [&](HDC__& d) { return std::exchange(d.st.rop2, rop2); });
}
int GetROP2(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.rop2; }); }
int SetStretchBltMode(HDC dc, int mode)
{
  if (mode < BLACKONWHITE || mode > HALFTONE) {
    return 0;
  }
  return Swap(dc, 0, [&](HDC__& d) { return std::exchange(d.st.stretchMode, mode); });
}
int GetStretchBltMode(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.stretchMode; }); }
int SetPolyFillMode(HDC dc, int mode)
{
  if (mode != ALTERNATE && mode != WINDING) {
    return 0;
  }
  return Swap(dc, 0, [&](HDC__& d) { return std::exchange(d.st.polyFillMode, mode); });
}
int GetPolyFillMode(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.polyFillMode; }); }
UINT SetTextAlign(HDC dc, UINT align)
{
  return Swap(dc, static_cast<UINT>(GDI_ERROR), [&](HDC__& d) { return std::exchange(d.st.textAlign, align); });
}
UINT GetTextAlign(HDC dc) { return Swap(dc, static_cast<UINT>(GDI_ERROR), [](HDC__& d) { return d.st.textAlign; }); }
int SetTextCharacterExtra(HDC dc, int extra)
{
  return Swap(dc, static_cast<int>(0x80000000), [&](HDC__& d) { return std::exchange(d.st.charExtra, extra); });
}
int GetTextCharacterExtra(HDC dc)
{
  return Swap(dc, static_cast<int>(0x80000000), [](HDC__& d) { return d.st.charExtra; });
}
int SetArcDirection(HDC dc, int direction)
{
  if (direction != AD_CLOCKWISE && direction != AD_COUNTERCLOCKWISE) {
    return 0;
  }
  return Swap(dc, 0, [&](HDC__& d) { return std::exchange(d.st.arcDirection, direction); });
}
int GetArcDirection(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.arcDirection; }); }
COLORREF SetDCPenColor(HDC dc, COLORREF color)
{
  return Swap(dc, CLR_INVALID, [&](HDC__& d) { return std::exchange(d.st.dcPenColor, color & 0xFFFFFF); });
}
COLORREF SetDCBrushColor(HDC dc, COLORREF color)
{
  return Swap(dc, CLR_INVALID, [&](HDC__& d) { return std::exchange(d.st.dcBrushColor, color & 0xFFFFFF); });
}
COLORREF GetDCPenColor(HDC dc) { return Swap(dc, CLR_INVALID, [](HDC__& d) { return d.st.dcPenColor; }); }
COLORREF GetDCBrushColor(HDC dc) { return Swap(dc, CLR_INVALID, [](HDC__& d) { return d.st.dcBrushColor; }); }

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old)
{
  return Swap(dc, FALSE, [&](HDC__& d) {
    if (old != nullptr) {
      *old = d.st.brushOrg;
    }
    d.st.brushOrg = {x, y};
    return TRUE;
  });
}
BOOL GetBrushOrgEx(HDC dc, POINT* org)
{
  return Swap(dc, FALSE, [&](HDC__& d) {
    if (org != nullptr) {
      *org = d.st.brushOrg;
    }
    return TRUE;
  });
}

COLORREF GetNearestColor(HDC dc, COLORREF color)
{
  return Swap(dc, CLR_INVALID, [&](HDC__& d) {
    if (d.Mono()) {
      const int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
      return sum >= 384 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    return color & 0xFFFFFF;
  });
}

// ---- Coordinates

namespace {

void SetMetricExtents(HDC__& d, int unitsPerInch)
{
  const int dpi = d.Dpi();
  d.st.windowExt = {unitsPerInch, unitsPerInch};
  d.st.viewportExt = {dpi, -dpi};
}

}  // namespace

int SetMapMode(HDC dc, int mode)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || mode < MM_TEXT || mode > MM_ANISOTROPIC) {
    return 0;
  }
  const int previous = d->st.mapMode;
  if (mode == previous) {
    return previous;
  }
  d->st.mapMode = mode;
  switch (mode) {
  case MM_TEXT:
    d->st.windowExt = {1, 1};
    d->st.viewportExt = {1, 1};
    break;
  case MM_LOMETRIC:
    SetMetricExtents(*d, 254);
    break;
  case MM_HIMETRIC:
    SetMetricExtents(*d, 2540);
    break;
  case MM_LOENGLISH:
    SetMetricExtents(*d, 100);
    break;
  case MM_HIENGLISH:
    SetMetricExtents(*d, 1000);
    break;
  case MM_TWIPS:
    SetMetricExtents(*d, 1440);
    break;
  case MM_ISOTROPIC:
    SetMetricExtents(*d, 254);
    break;
  default:
    break;  // MM_ANISOTROPIC keeps the current extents
  }
  return previous;
}

int GetMapMode(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.mapMode; }); }

namespace {

BOOL SetOrg(HDC dc, POINT gdi::DCState::*field, int x, int y, bool relative, POINT* old)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  POINT& p = d->st.*field;
  if (old != nullptr) {
    *old = p;
  }
  p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
  return TRUE;
}

BOOL GetPt(HDC dc, POINT gdi::DCState::*field, POINT* out)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || out == nullptr) {
    return FALSE;
  }
  *out = d->st.*field;
  return TRUE;
}

// Isotropic mapping shrinks one viewport extent so both axes scale alike.
void FixIsotropic(HDC__& d)
{
  if (d.st.mapMode != MM_ISOTROPIC || d.st.windowExt.cx == 0 || d.st.windowExt.cy == 0) {
    return;
  }
  const double sx = std::abs(static_cast<double>(d.st.viewportExt.cx) / d.st.windowExt.cx);
  const double sy = std::abs(static_cast<double>(d.st.viewportExt.cy) / d.st.windowExt.cy);
  if (sx < sy) {
    const double v = static_cast<double>(d.st.windowExt.cy) * sx;
    d.st.viewportExt.cy = static_cast<LONG>(std::lround(d.st.viewportExt.cy < 0 ? -std::abs(v) : std::abs(v)));
  } else if (sy < sx) {
    const double v = static_cast<double>(d.st.windowExt.cx) * sy;
    d.st.viewportExt.cx = static_cast<LONG>(std::lround(d.st.viewportExt.cx < 0 ? -std::abs(v) : std::abs(v)));
  }
}

BOOL SetExt(HDC dc, SIZE gdi::DCState::*field, int cx, int cy, SIZE* old)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  SIZE& s = d->st.*field;
  if (old != nullptr) {
    *old = s;
  }
  if (d->st.mapMode != MM_ISOTROPIC && d->st.mapMode != MM_ANISOTROPIC) {
    return TRUE;  // fixed modes ignore new extents
  }
  if (cx == 0 || cy == 0) {
    return FALSE;
  }
  s = {cx, cy};
  FixIsotropic(*d);
  return TRUE;
}

BOOL GetExt(HDC dc, SIZE gdi::DCState::*field, SIZE* out)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || out == nullptr) {
    return FALSE;
  }
  *out = d->st.*field;
  return TRUE;
}

}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) { return SetOrg(dc, &DCState::windowOrg, x, y, false, old); }
BOOL GetWindowOrgEx(HDC dc, POINT* org) { return GetPt(dc, &DCState::windowOrg, org); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old)
{
  return SetOrg(dc, &DCState::windowOrg, dx, dy, true, old);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old)
{
  return SetOrg(dc, &DCState::viewportOrg, x, y, false, old);
}
BOOL GetViewportOrgEx(HDC dc, POINT* org) { return GetPt(dc, &DCState::viewportOrg, org); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old)
{
  return SetOrg(dc, &DCState::viewportOrg, dx, dy, true, old);
}
BOOL SetWindowExtEx(HDC dc, int cx, int cy, SIZE* old) { return SetExt(dc, &DCState::windowExt, cx, cy, old); }
BOOL GetWindowExtEx(HDC dc, SIZE* ext) { return GetExt(dc, &DCState::windowExt, ext); }
BOOL SetViewportExtEx(HDC dc, int cx, int cy, SIZE* old) { return SetExt(dc, &DCState::viewportExt, cx, cy, old); }
BOOL GetViewportExtEx(HDC dc, SIZE* ext) { return GetExt(dc, &DCState::viewportExt, ext); }
BOOL ScaleViewportExtEx(HDC dc, int xNum, int xDenom, int yNum, int yDenom, SIZE* old)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || xDenom == 0 || yDenom == 0) {
    return FALSE;
  }
  const SIZE s = d->st.viewportExt;
  return SetViewportExtEx(dc, s.cx * xNum / xDenom, s.cy * yNum / yDenom, old);
}
BOOL ScaleWindowExtEx(HDC dc, int xNum, int xDenom, int yNum, int yDenom, SIZE* old)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || xDenom == 0 || yDenom == 0) {
    return FALSE;
  }
  const SIZE s = d->st.windowExt;
  return SetWindowExtEx(dc, s.cx * xNum / xDenom, s.cy * yNum / yDenom, old);
}

int SetGraphicsMode(HDC dc, int mode)
{
  if (mode != GM_COMPATIBLE && mode != GM_ADVANCED) {
    return 0;
  }
  return Swap(dc, 0, [&](HDC__& d) {
    if (mode == GM_COMPATIBLE) {
      d.st.world = XFORM{};
    }
    return std::exchange(d.st.graphicsMode, mode);
  });
}
int GetGraphicsMode(HDC dc) { return Swap(dc, 0, [](HDC__& d) { return d.st.graphicsMode; }); }

BOOL SetWorldTransform(HDC dc, const XFORM* xform)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || xform == nullptr || d->st.graphicsMode != GM_ADVANCED) {
    return FALSE;
  }
  d->st.world = *xform;
  return TRUE;
}

BOOL GetWorldTransform(HDC dc, XFORM* xform)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || xform == nullptr) {
    return FALSE;
  }
  *xform = d->st.world;
  return TRUE;
}

BOOL ModifyWorldTransform(HDC dc, const XFORM* xform, DWORD mode)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || d->st.graphicsMode != GM_ADVANCED) {
    return FALSE;
  }
  auto multiply = [](const XFORM& a, const XFORM& b) {  // a then b
    XFORM r;
    r.eM11 = a.eM11 * b.eM11 + a.eM12 * b.eM21;
    r.eM12 = a.eM11 * b.eM12 + a.eM12 * b.eM22;
    r.eM21 = a.eM21 * b.eM11 + a.eM22 * b.eM21;
    r.eM22 = a.eM21 * b.eM12 + a.eM22 * b.eM22;
    r.eDx = a.eDx * b.eM11 + a.eDy * b.eM21 + b.eDx;
    r.eDy = a.eDx * b.eM12 + a.eDy * b.eM22 + b.eDy;
    return r;
  };
  switch (mode) {
  case MWT_IDENTITY:
    d->st.world = XFORM{};
    return TRUE;
  case MWT_LEFTMULTIPLY:
    if (xform == nullptr) {
      return FALSE;
    }
    d->st.world = multiply(*xform, d->st.world);
    return TRUE;
  case MWT_RIGHTMULTIPLY:
    if (xform == nullptr) {
      return FALSE;
    }
    d->st.world = multiply(d->st.world, *xform);
    return TRUE;
  default:
    return FALSE;
  }
}

BOOL LPtoDP(HDC dc, POINT* points, int count)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || (points == nullptr && count > 0)) {
    return FALSE;
  }
  for (int i = 0; i < count; ++i) {
    points[i] = d->ToDevice(points[i]);
  }
  return TRUE;
}

BOOL DPtoLP(HDC dc, POINT* points, int count)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || (points == nullptr && count > 0)) {
    return FALSE;
  }
  for (int i = 0; i < count; ++i) {
    points[i] = d->ToLogical(points[i]);
  }
  return TRUE;
}

BOOL GetDCOrgEx(HDC dc, POINT* org)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr || org == nullptr) {
    return FALSE;
  }
  *org = d->origin;
  return TRUE;
}
