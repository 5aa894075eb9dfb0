// Invalid regions, WM_PAINT, window DCs on the top-level window's pixels, and the composed screen.
//
// Every top-level window owns a surface the size of its window rectangle; its children draw into the same
// surface through DCs confined to their place and clipped to what of them shows.
#include "platform/user/paint.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/input.h"
#include "platform/user/state.h"

#include <algorithm>
#include <map>

using namespace user::detail;

namespace {

struct HandedOutDC {
  HWND hwnd = nullptr;
  std::shared_ptr<gdi::Surface> surface;  // kept alive while the DC exists
  bool own = false;
};

std::map<HDC, HandedOutDC>& DCs()
{
  static auto* dcs = new std::map<HDC, HandedOutDC>;
  return *dcs;
}

std::shared_ptr<gdi::Surface>& Overlay()
{
  static auto* overlay = new std::shared_ptr<gdi::Surface>(
      std::make_shared<gdi::Surface>(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  return *overlay;
}

HWND g_lockedWindow = nullptr;

// With the lock held: the top-level surface sized to its window.
std::shared_ptr<gdi::Surface> SurfaceOf(Window& top)
{
  const int width = std::max(top.window.Width(), 0);
  const int height = std::max(top.window.Height(), 0);
  if (!top.surface) {
    top.surface = std::make_shared<gdi::Surface>(width, height);
  } else if (top.surface->Width() != width || top.surface->Height() != height) {
    top.surface->Resize(width, height);
  }
  return top.surface;
}

// A rectangle of `w` (window or client, in its parent's client coordinates) in its top-level window's surface.
RECT InTopSurface(const Window& w, const RECT& inParent)
{
  const Window* top = Find(TopLevelOf(w.hwnd));
  if (IsTopLevel(w)) {
    return inParent.Offset(-top->window.left, -top->window.top);
  }
  RECT screen = inParent;
  if (const Window* p = Find(w.parent)) {
    POINT o = ClientOrigin(*p);
    screen = inParent.Offset(o.x, o.y);
  }
  return screen.Offset(-top->window.left, -top->window.top);
}

// The part of `w` that shows, in its top-level surface's coordinates: within every ancestor's client area, less
// the siblings above it that clip it and, with WS_CLIPCHILDREN, less its children.
gdi::Region VisibleRegion(const Window& w, bool wholeWindow)
{
  RECT area = InTopSurface(w, wholeWindow ? w.window : w.client);
  gdi::Region vis(area);
  for (const Window* a = &w; a != nullptr && !IsTopLevel(*a); a = Find(a->parent)) {
    const Window* p = Find(a->parent);
    if (p == nullptr) {
      break;
    }
    vis = vis.Intersect(InTopSurface(*p, p->client));
    if ((a->style & WS_CLIPSIBLINGS) != 0) {
      for (HWND h : p->children) {
        if (h == a->hwnd) {
          break;
        }
        const Window* sib = Find(h);
        if (sib != nullptr && (sib->style & WS_VISIBLE) != 0) {
          vis = gdi::Region::Combine(vis, gdi::Region(InTopSurface(*sib, sib->window)), RGN_DIFF);
        }
      }
    }
  }
  if ((w.style & WS_CLIPCHILDREN) != 0) {
    for (HWND h : w.children) {
      const Window* c = Find(h);
      if (c != nullptr && (c->style & WS_VISIBLE) != 0) {
        vis = gdi::Region::Combine(vis, gdi::Region(InTopSurface(*c, c->window)), RGN_DIFF);
      }
    }
  }
  return vis;
}

HRGN ToHandle(const gdi::Region& region)
{
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (auto obj = gdi::LookupAs<gdi::RegionObject>(rgn)) {
    obj->region = region;
  }
  return rgn;
}

// Points a DC at a window: its area in the top-level surface and its visible region, limited further to
// `limit` (client or window coordinates of the window) when given.
void Aim(HDC dc, const Window& w, bool wholeWindow, const gdi::Region* limit)
{
  RECT area = InTopSurface(w, wholeWindow ? w.window : w.client);
  gdi::SetSurfaceDCArea(dc, area);
  gdi::Region vis = VisibleRegion(w, wholeWindow).Offset(-area.left, -area.top);
  if (limit != nullptr) {
    vis = vis.Intersect(*limit);
  }
  HRGN rgn = ToHandle(vis);
  gdi::SetSurfaceDCVisibleRegion(dc, rgn);
  DeleteObject(rgn);
}

HDC MakeWindowDC(HWND hwnd, bool wholeWindow, const gdi::Region* limit)
{
  State& s = S();
  Lock lock(s.mutex);
  if (hwnd == nullptr || hwnd == s.desktop->hwnd) {
    HDC dc = gdi::CreateSurfaceDC(*Overlay());
    DCs()[dc] = HandedOutDC{s.desktop->hwnd, Overlay(), false};
    return dc;
  }
  Window* w = Find(hwnd);
  if (w == nullptr || IsDesktopOrRoot(hwnd)) {
    return nullptr;
  }
  Window* top = Find(TopLevelOf(hwnd));
  std::shared_ptr<gdi::Surface> surface = SurfaceOf(*top);
  const bool own = (w->cls->style & CS_OWNDC) != 0 && !wholeWindow;
  HDC dc = own ? w->ownDC : nullptr;
  if (dc == nullptr) {
    dc = gdi::CreateSurfaceDC(*surface);
    DCs()[dc] = HandedOutDC{hwnd, surface, own};
    if (own) {
      w->ownDC = dc;
    }
  }
  Aim(dc, *w, wholeWindow, limit);
  return dc;
}

void MarkInvalid(Window& w, const gdi::Region& area, UINT flags)
{
  if ((flags & RDW_INVALIDATE) != 0) {
    gdi::Region clipped = area.Intersect(RECT{0, 0, w.client.Width(), w.client.Height()});
    w.invalid = gdi::Region::Combine(w.invalid, clipped, RGN_OR);
    if ((flags & RDW_ERASE) != 0 && !clipped.IsEmpty()) {
      w.erasePending = true;
    }
    if ((flags & RDW_FRAME) != 0) {
      w.ncPaintPending = true;
    }
  }
  if ((flags & RDW_INTERNALPAINT) != 0) {
    w.internalPaint = true;
  }
  if ((flags & RDW_VALIDATE) != 0) {
    w.invalid = gdi::Region::Combine(w.invalid, area, RGN_DIFF);
    if (w.invalid.IsEmpty() && (flags & RDW_NOERASE) != 0) {
      w.erasePending = false;
    }
    if ((flags & RDW_NOFRAME) != 0) {
      w.ncPaintPending = false;
    }
    if (w.invalid.IsEmpty()) {
      w.erasePending = false;
    }
  }
  if ((flags & RDW_NOINTERNALPAINT) != 0) {
    w.internalPaint = false;
  }
  if (w.queue) {
    WakeQueue(*w.queue);
  }
}

// `area` in the client coordinates of `w`.
void RedrawLocked(Window& w, const gdi::Region& area, UINT flags)
{
  MarkInvalid(w, area, flags);
  const bool children =
      (flags & RDW_ALLCHILDREN) != 0 || ((flags & RDW_NOCHILDREN) == 0 && (w.style & WS_CLIPCHILDREN) == 0);
  if (!children) {
    return;
  }
  for (HWND h : w.children) {
    Window* c = Find(h);
    if (c == nullptr || (c->style & WS_VISIBLE) == 0) {
      continue;
    }
    gdi::Region part = area.Intersect(c->window).Offset(-c->client.left, -c->client.top);
    if (part.IsEmpty()) {
      continue;
    }
    UINT childFlags = flags;
    if (!area.Intersect(c->window).IsEmpty() && (flags & RDW_INVALIDATE) != 0 && (flags & RDW_FRAME) != 0) {
      c->ncPaintPending = true;
    }
    RedrawLocked(*c, part, childFlags);
  }
}

void PaintNow(HWND hwnd, bool children)
{
  bool wants = false;
  std::vector<HWND> kids;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || !IsVisibleChain(*w)) {
      return;
    }
    wants = WantsPaint(*w);
    if (children) {
      kids = w->children;
    }
  }
  if (wants) {
    SendMessage(hwnd, WM_PAINT, 0, 0);
  }
  for (HWND k : kids) {
    PaintNow(k, true);
  }
}

}  // namespace

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags)
{
  State& s = S();
  if (hwnd == nullptr) {
    hwnd = s.desktop->hwnd;
  }
  {
    Lock lock(s.mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return FALSE;
    }
    if (hwnd == s.desktop->hwnd) {
      // The screen: every top-level window under the area, in its own client coordinates.
      RECT screen = rect != nullptr ? *rect : w->window;
      for (HWND h : w->children) {
        Window* top = Find(h);
        if (top == nullptr || (top->style & WS_VISIBLE) == 0) {
          continue;
        }
        RECT hit = screen.Intersect(top->window);
        if (hit.IsEmpty()) {
          continue;
        }
        if ((flags & RDW_FRAME) != 0) {
          top->ncPaintPending = true;
        }
        RedrawLocked(*top, gdi::Region(hit.Offset(-top->client.left, -top->client.top)), flags);
      }
    } else {
      gdi::Region area;
      if (region != nullptr) {
        if (auto obj = gdi::LookupAs<gdi::RegionObject>(region)) {
          area = obj->region;
        }
      } else if (rect != nullptr) {
        area = gdi::Region(*rect);
      } else {
        area = gdi::Region(RECT{0, 0, w->client.Width(), w->client.Height()});
        if ((flags & RDW_INVALIDATE) != 0 && (flags & RDW_FRAME) != 0) {
          w->ncPaintPending = true;
        }
      }
      RedrawLocked(*w, area, flags);
    }
  }
  if ((flags & (RDW_UPDATENOW | RDW_ERASENOW)) != 0) {
    PaintNow(hwnd, (flags & RDW_ALLCHILDREN) != 0 || hwnd == s.desktop->hwnd);
  }
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
  return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0u));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase)
{
  if (region == nullptr) {
    return InvalidateRect(hwnd, nullptr, erase);
  }
  return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0u));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
  return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hwnd, HRGN region)
{
  return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr) {
    return FALSE;
  }
  RECT box = w->invalid.IsEmpty() ? RECT{} : w->invalid.Bounds();
  if (rect != nullptr) {
    *rect = box;
  }
  return box.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  auto obj = gdi::LookupAs<gdi::RegionObject>(region);
  if (w == nullptr || !obj) {
    return 0;  // ERROR
  }
  obj->region = w->invalid;
  return w->invalid.Kind();
}

BOOL UpdateWindow(HWND hwnd) { return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint)
{
  if (paint == nullptr) {
    return nullptr;
  }
  bool ncPaint = false;
  bool erase = false;
  gdi::Region update;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return nullptr;
    }
    ncPaint = w->ncPaintPending;
    erase = w->erasePending;
    update = w->invalid;
    w->ncPaintPending = false;
    w->erasePending = false;
    w->internalPaint = false;
    w->invalid = gdi::Region();
  }
  HideCaret(hwnd);
  if (ncPaint) {
    SendMessage(hwnd, WM_NCPAINT, 1, 0);
  }
  HDC dc = MakeWindowDC(hwnd, false, &update);
  paint->hdc = dc;
  paint->rcPaint = update.IsEmpty() ? RECT{} : update.Bounds();
  paint->fErase = FALSE;
  if (erase && dc != nullptr) {
    paint->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0 ? TRUE : FALSE;
  }
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
  if (paint != nullptr && paint->hdc != nullptr) {
    ReleaseDC(hwnd, paint->hdc);
  }
  ShowCaret(hwnd);
  return TRUE;
}

HDC GetDC(HWND hwnd) { return MakeWindowDC(hwnd, false, nullptr); }

HDC GetWindowDC(HWND hwnd) { return MakeWindowDC(hwnd, true, nullptr); }

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags)
{
  gdi::Region limit;
  bool limited = false;
  if (clip != nullptr && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) != 0) {
    if (auto obj = gdi::LookupAs<gdi::RegionObject>(clip)) {
      limited = true;
      if ((flags & DCX_INTERSECTRGN) != 0) {
        limit = obj->region;
      } else {
        limit = gdi::Region::Combine(gdi::Region(RECT{-32768, -32768, 32767, 32767}), obj->region, RGN_DIFF);
      }
    }
  }
  if ((flags & DCX_LOCKWINDOWUPDATE) != 0 && (hwnd == nullptr || hwnd == GetDesktopWindow())) {
    return MakeWindowDC(nullptr, false, nullptr);
  }
  return MakeWindowDC(hwnd, (flags & DCX_WINDOW) != 0, limited ? &limit : nullptr);
}

int ReleaseDC(HWND, HDC dc)
{
  State& s = S();
  Lock lock(s.mutex);
  auto it = DCs().find(dc);
  if (it == DCs().end()) {
    return 0;
  }
  HWND hwnd = it->second.hwnd;
  const bool overlay = hwnd == s.desktop->hwnd;
  HDC__* d = gdi::LookupDC(dc);
  RECT area = d != nullptr && d->area ? *d->area : RECT{0, 0, 32767, 32767};
  if (d != nullptr) {
    d->drawn = false;  // shown now
  }
  if (it->second.own && Find(hwnd) != nullptr) {
    lock.unlock();
    PresentTopLevel(hwnd, area);  // a window's own DC lives as long as the window
    return 1;
  }
  DCs().erase(it);
  lock.unlock();
  DeleteDC(dc);
  if (!overlay) {
    PresentTopLevel(hwnd, area);
  }
  return 1;
}

HWND WindowFromDC(HDC dc)
{
  Lock lock(S().mutex);
  auto it = DCs().find(dc);
  return it == DCs().end() ? nullptr : it->second.hwnd;
}

BOOL LockWindowUpdate(HWND hwnd)
{
  Lock lock(S().mutex);
  if (hwnd != nullptr && g_lockedWindow != nullptr) {
    return FALSE;
  }
  g_lockedWindow = hwnd;
  return TRUE;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags)
{
  RECT area{};
  std::vector<std::pair<HWND, RECT>> moves;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return 0;
    }
    area = scroll != nullptr ? *scroll : RECT{0, 0, w->client.Width(), w->client.Height()};
    if (clip != nullptr) {
      area = area.Intersect(*clip);
    }
    if ((flags & SW_SCROLLCHILDREN) != 0) {
      for (HWND h : w->children) {
        Window* c = Find(h);
        if (c != nullptr && (scroll == nullptr || !scroll->Intersect(c->window).IsEmpty())) {
          moves.emplace_back(h, c->window.Offset(dx, dy));
        }
      }
    }
  }
  // The pixels are not moved: the whole area is handed back for repainting, which draws the same picture.
  if (updateRect != nullptr) {
    *updateRect = area;
  }
  if (update != nullptr) {
    SetRectRgn(update, area.left, area.top, area.right, area.bottom);
  }
  for (auto& [h, r] : moves) {
    SetWindowPos(h, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if ((flags & SW_INVALIDATE) != 0) {
    RedrawWindow(hwnd, &area, nullptr, RDW_INVALIDATE | ((flags & SW_ERASE) != 0 ? RDW_ERASE : 0u));
  }
  return area.IsEmpty() ? 1 : 2;  // NULLREGION or SIMPLEREGION
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip)
{
  UINT flags = SW_INVALIDATE | SW_ERASE | (scroll == nullptr ? SW_SCROLLCHILDREN : 0u);
  return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != 0 ? TRUE : FALSE;
}

namespace user::detail {

void ReaimOwnDCs(HWND hwnd)
{
  Lock lock(S().mutex);
  auto walk = [&](auto& self, HWND h) -> void {
    Window* w = Find(h);
    if (w == nullptr) {
      return;
    }
    if (w->ownDC != nullptr) {
      Window* top = Find(TopLevelOf(h));
      SurfaceOf(*top);  // a resized top-level window's pixels follow first
      Aim(w->ownDC, *w, false, nullptr);
    }
    for (HWND c : w->children) {
      self(self, c);
    }
  };
  walk(walk, hwnd);
}

void PresentDrawnDCs()
{
  if (!gdi::TakeSurfaceDrawing()) {
    return;
  }
  std::vector<std::pair<HWND, RECT>> drawn;
  {
    Lock lock(S().mutex);
    const HWND desktop = S().desktop->hwnd;
    for (auto& [dc, out] : DCs()) {
      HDC__* d = gdi::LookupDC(dc);
      if (out.hwnd == desktop || d == nullptr || !d->drawn.exchange(false)) {
        continue;
      }
      drawn.emplace_back(out.hwnd, d->area ? *d->area : RECT{0, 0, 32767, 32767});
    }
  }
  for (const auto& [hwnd, area] : drawn) {
    PresentTopLevel(hwnd, area);
  }
}

void ForgetWindowDCs(HWND hwnd)
{
  std::vector<HDC> gone;
  {
    Lock lock(S().mutex);
    for (auto it = DCs().begin(); it != DCs().end();) {
      if (it->second.hwnd == hwnd && it->second.own) {
        gone.push_back(it->first);
        it = DCs().erase(it);
      } else {
        ++it;
      }
    }
  }
  for (HDC dc : gone) {
    DeleteDC(dc);
  }
}

}  // namespace user::detail

namespace user {

const gdi::Surface* WindowSurface(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || !IsTopLevel(*w)) {
    return nullptr;
  }
  return SurfaceOf(*w).get();
}

const gdi::Surface& ScreenOverlay() { return *Overlay(); }

void ComposeScreen(gdi::Surface& screen)
{
  State& s = S();
  Lock lock(s.mutex);
  const int width = s.desktop->window.Width();
  const int height = s.desktop->window.Height();
  screen.Resize(width, height);
  const COLORREF desk = GetSysColor(COLOR_BACKGROUND);
  screen.Fill(0xFF000000u | (GetRValue(desk) << 16) | (GetGValue(desk) << 8) | GetBValue(desk));
  std::uint32_t* out = screen.Pixels();
  for (auto it = s.desktop->children.rbegin(); it != s.desktop->children.rend(); ++it) {
    Window* w = Find(*it);
    if (w == nullptr || (w->style & WS_VISIBLE) == 0) {
      continue;
    }
    std::shared_ptr<gdi::Surface> surface = SurfaceOf(*w);
    RECT on = w->window.Intersect(RECT{0, 0, width, height});
    const bool layered = (w->exStyle & WS_EX_LAYERED) != 0 && (w->layeredAlpha != 255 || w->perPixelAlpha);
    for (int y = on.top; y < on.bottom; ++y) {
      for (int x = on.left; x < on.right; ++x) {
        if (!InWindowShape(*w, x - w->window.left, y - w->window.top)) {
          continue;
        }
        std::uint32_t& dst = out[static_cast<std::size_t>(y) * width + x];
        const std::uint32_t src = surface->Pixel(x - w->window.left, y - w->window.top);
        if (!layered) {
          dst = 0xFF000000u | src;
          continue;
        }
        const unsigned a = w->layeredAlpha * (w->perPixelAlpha ? (src >> 24) : 255u) / 255u;
        auto mix = [&](int shift) {
          const unsigned s = (src >> shift) & 0xFF;
          const unsigned d = (dst >> shift) & 0xFF;
          // Pixels with their own alpha come premultiplied, as layered windows take them.
          const unsigned v = w->perPixelAlpha ? s * w->layeredAlpha / 255u + d * (255u - a) / 255u
                                              : (s * a + d * (255u - a)) / 255u;
          return std::min(v, 255u) << shift;
        };
        dst = 0xFF000000u | mix(16) | mix(8) | mix(0);
      }
    }
  }
  const gdi::Surface& overlay = *Overlay();
  for (int y = 0; y < std::min(height, overlay.Height()); ++y) {
    for (int x = 0; x < std::min(width, overlay.Width()); ++x) {
      out[static_cast<std::size_t>(y) * width + x] ^= overlay.Pixel(x, y) & 0x00FFFFFFu;
    }
  }
  ComposeDragImage(screen);
}

}  // namespace user
