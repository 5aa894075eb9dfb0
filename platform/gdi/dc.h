// The device context: a painter bound to a target (a surface, a bitmap, a printer page) with its selected objects,
// colours, modes, coordinate mapping and clipping. Device coordinates start at the DC's origin on its target.
#pragma once

#include "platform/gdi/fonts.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/print.h"
#include "platform/gdi/surface.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace gdi {

struct DCState {
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Font> font;
  std::shared_ptr<Bitmap> bitmap;
  std::shared_ptr<Palette> palette;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF dcPenColor = RGB(0, 0, 0);
  COLORREF dcBrushColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  int arcDirection = AD_COUNTERCLOCKWISE;
  int graphicsMode = GM_COMPATIBLE;
  int mapMode = MM_TEXT;
  int charExtra = 0;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT windowOrg;
  POINT viewportOrg;
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  XFORM world;
  POINT brushOrg;
  POINT currentPos;
  // The application's clip region, device coordinates.
  std::optional<Region> clip;
};

// A figure of a path: device-space points (fractional, to keep curves smooth) and whether it is closed.
struct PathFigure {
  std::vector<double> xy;
  bool closed = false;
};

enum class DCKind { Surface, Memory, Info, Printer };

}  // namespace gdi

struct HDC__ {
  explicit HDC__(gdi::DCKind k) : kind(k) {}
  ~HDC__();

  gdi::DCKind kind;
  // The handle the table gave out; the DC's address is never a handle.
  HDC handle = nullptr;
  gdi::Surface* surface = nullptr;
  // Where device (0, 0) lies on the target, and the part of the target the DC may touch (window DCs).
  POINT origin;
  std::optional<RECT> area;
  // The window system's visible region, device coordinates.
  std::optional<gdi::Region> visible;
  gdi::DCState st;
  std::vector<gdi::DCState> saved;
  bool pathOpen = false;
  bool pathDone = false;
  std::vector<gdi::PathFigure> path;
  std::unique_ptr<gdi::PrintJob> print;
  // The font last realised for this DC, with what it was realised for.
  struct {
    std::shared_ptr<gdi::Font> font;
    double scaleX = 0;
    double scaleY = 0;
    std::shared_ptr<gdi::RealizedFont> realized;
  } fontCache;

  // The pixels to draw on. Asking for a surface's pixels counts as drawing on it: the window system shows what
  // such a DC drew at its next look (TakeSurfaceDrawing), not only when the DC is released.
  gdi::PixelView View();
  std::atomic<bool> drawn = false;
  // Device size: the area, the bitmap or the surface.
  SIZE DeviceSize();
  // Everything drawing may touch, device coordinates.
  gdi::Region EffectiveClip();
  // The base a clip region is limited to (GetClipBox without an application clip).
  RECT DeviceBounds();
  bool Mono() const { return kind == gdi::DCKind::Memory && st.bitmap && st.bitmap->Mono(); }
  int Dpi() const;

  void ToDevice(double x, double y, double& dx, double& dy) const;
  POINT ToDevice(POINT p) const;
  POINT ToLogical(POINT p) const;
  // Device pixels per logical unit along each axis (signed).
  double ScaleX() const;
  double ScaleY() const;
  // A logical rectangle in device space, normalised.
  RECT RectToDevice(const RECT& r) const;
};

namespace gdi {
// The live DC behind a handle, or null.
HDC__* LookupDC(HDC dc);
// Whether any surface DC drew since the last call.
bool TakeSurfaceDrawing();
}  // namespace gdi
