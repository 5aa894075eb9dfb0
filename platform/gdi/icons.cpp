#include "platform/gdi/icon.h"
#include "platform/gdi/raster.h"
#include "platform/gdi/text.h"
#include "platform/gdi/windraw.h"

#include <cstring>
#include <map>
#include <mutex>

struct HICON__ {
  gdi::Image image;
  POINT hotspot;
  bool isIcon = true;
};

namespace gdi {

namespace {

struct IconTable {
  std::mutex mutex;
  std::map<HICON__*, std::unique_ptr<HICON__>> icons;
};

IconTable& Icons()
{
  static IconTable* table = new IconTable;
  return *table;
}

}  // namespace

HICON MakeIcon(Image image, POINT hotspot, bool isIcon)
{
  auto icon = std::make_unique<HICON__>();
  icon->image = std::move(image);
  icon->hotspot = hotspot;
  icon->isIcon = isIcon;
  IconTable& t = Icons();
  std::lock_guard lock(t.mutex);
  HICON handle = icon.get();
  t.icons.emplace(handle, std::move(icon));
  return handle;
}

const Image* IconImage(HICON icon)
{
  IconTable& t = Icons();
  std::lock_guard lock(t.mutex);
  auto it = t.icons.find(icon);
  return it == t.icons.end() ? nullptr : &it->second->image;
}

}  // namespace gdi

using namespace gdi;

HICON CreateIconIndirect(ICONINFO* info)
{
  if (info == nullptr) {
    return nullptr;
  }
  auto mask = LookupAs<Bitmap>(info->hbmMask);
  auto color = LookupAs<Bitmap>(info->hbmColor);
  if (!mask) {
    return nullptr;
  }
  Image img;
  if (color) {
    img = ImageFromBitmaps(color.get(), mask.get(), RECT{0, 0, color->width, color->height});
  } else {
    // A monochrome icon: the mask's upper half is the AND mask, the lower half the picture.
    const int h = mask->height / 2;
    img = ImageFromBitmaps(nullptr, mask.get(), RECT{0, 0, mask->width, h});
    Image lower = ImageFromBitmaps(mask.get(), nullptr, RECT{0, h, mask->width, 2 * h});
    img.color = lower.color;
  }
  return MakeIcon(std::move(img), POINT{static_cast<LONG>(info->xHotspot), static_cast<LONG>(info->yHotspot)},
                  info->fIcon != FALSE);
}

HICON CopyIcon(HICON icon)
{
  const Image* img = IconImage(icon);
  if (img == nullptr) {
    return nullptr;
  }
  return MakeIcon(*img, icon->hotspot, icon->isIcon);
}

BOOL DestroyIcon(HICON icon)
{
  IconTable& t = Icons();
  std::lock_guard lock(t.mutex);
  return t.icons.erase(icon) != 0 ? TRUE : FALSE;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info)
{
  const Image* img = IconImage(icon);
  if (img == nullptr || info == nullptr) {
    return FALSE;
  }
  info->fIcon = icon->isIcon ? TRUE : FALSE;
  info->xHotspot = static_cast<DWORD>(icon->hotspot.x);
  info->yHotspot = static_cast<DWORD>(icon->hotspot.y);
  ImageToBitmaps(*img, &info->hbmColor, &info->hbmMask);
  return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH flickerFree, UINT flags)
{
  HDC__* d = LookupDC(dc);
  const Image* img = IconImage(icon);
  if (d == nullptr || img == nullptr) {
    return FALSE;
  }
  if (width == 0) {
    width = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : img->width;
  }
  if (height == 0) {
    height = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : img->height;
  }
  const RECT dest = d->RectToDevice(RECT{x, y, x + width, y + height});
  if (flickerFree != nullptr) {
    if (auto b = LookupAs<Brush>(flickerFree)) {
      FillShape(*d, Region(dest), BrushInk(*d, *b, R2_COPYPEN));
    }
  }
  const UINT what = flags & DI_NORMAL;
  if (what == DI_MASK) {
    DrawImage(*d, dest, *img, ImageDraw::MaskOnly);
  } else if (what == DI_IMAGE) {
    DrawImage(*d, dest, *img, ImageDraw::ImageOnly);
  } else if (what == DI_NORMAL) {
    DrawImage(*d, dest, *img, ImageDraw::Normal);
  }
  return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

// ---- DrawState

namespace {

// The picture DrawState works with: what it draws, and which pixels count as ink for the disabled and mono looks.
Image StateImage(HDC__& d, HDC dc, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int cx, int cy, UINT kind)
{
  Image img;
  switch (kind) {
  case DST_ICON:
    if (const Image* icon = IconImage(reinterpret_cast<HICON>(data))) {
      img = *icon;
    }
    return img;
  case DST_BITMAP:
    if (auto b = LookupAs<Bitmap>(reinterpret_cast<HBITMAP>(data))) {
      img = ImageFromBitmaps(b.get(), nullptr, RECT{0, 0, b->width, b->height});
      img.hasAlpha = false;
    }
    return img;
  default:
    break;
  }
  // Text and callback pictures are drawn black on white into a scratch bitmap; white is transparent.
  if (cx <= 0 || cy <= 0) {
    return img;
  }
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bits = CreateBitmap(cx, cy, 1, 32, nullptr);
  HGDIOBJ oldBits = SelectObject(mem, bits);
  HGDIOBJ oldFont = SelectObject(mem, HandleOf(d.st.font));
  const RECT all{0, 0, cx, cy};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, RGB(0, 0, 0));
  if (kind == DST_COMPLEX) {
    if (proc != nullptr) {
      proc(mem, data, wData, cx, cy);
    }
  } else {
    const char* text = reinterpret_cast<const char*>(data);
    const int length = wData == 0 ? static_cast<int>(std::strlen(text)) : static_cast<int>(wData);
    RECT r = all;
    DrawTextA(mem, text, length, &r, DT_SINGLELINE | (kind == DST_TEXT ? DT_NOPREFIX : 0));
  }
  auto b = LookupAs<Bitmap>(bits);
  img = ImageFromBitmaps(b.get(), nullptr, all);
  img.hasAlpha = false;
  img.hasMask = true;
  for (std::size_t i = 0; i < img.color.size(); ++i) {
    img.transparent[i] = (img.color[i] & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
  }
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBits);
  DeleteDC(mem);
  DeleteObject(bits);
  return img;
}

// Paints the opaque pixels of a picture in one colour.
void DrawSilhouette(HDC__& d, const Image& img, int x, int y, std::uint32_t pixel)
{
  std::vector<std::vector<Span>> rows(static_cast<std::size_t>(img.height));
  for (int yy = 0; yy < img.height; ++yy) {
    for (int xx = 0; xx < img.width; ++xx) {
      if (img.Opaque(xx, yy)) {
        rows[static_cast<std::size_t>(yy)].push_back({x + xx, x + xx + 1});
      }
    }
  }
  FillShape(d, Region::FromRows(y, std::move(rows)), SolidInk(pixel, R2_COPYPEN));
}

}  // namespace

BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int x, int y, int cx, int cy,
                UINT flags)
{
  HDC__* d = LookupDC(dc);
  if (d == nullptr) {
    return FALSE;
  }
  const UINT kind = flags & 0x000F;
  if ((kind == DST_TEXT || kind == DST_PREFIXTEXT) && (cx == 0 || cy == 0)) {
    const char* text = reinterpret_cast<const char*>(data);
    if (text == nullptr) {
      return FALSE;
    }
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text, wData == 0 ? -1 : static_cast<int>(wData), &r,
              DT_SINGLELINE | DT_CALCRECT | (kind == DST_TEXT ? DT_NOPREFIX : 0));
    cx = cx == 0 ? r.right : cx;
    cy = cy == 0 ? r.bottom : cy;
  }
  Image img = StateImage(*d, dc, proc, data, wData, cx, cy, kind);
  if (img.width == 0) {
    return FALSE;
  }
  const POINT at = d->ToDevice(POINT{x, y});
  const bool textLike = kind == DST_TEXT || kind == DST_PREFIXTEXT || kind == DST_COMPLEX;
  if (flags & DSS_DISABLED) {
    // Embossed: a highlight one pixel down and right, the shadow on top.
    DrawSilhouette(*d, img, at.x + 1, at.y + 1, TargetPixel(*d, GetSysColor(COLOR_BTNHIGHLIGHT)));
    DrawSilhouette(*d, img, at.x, at.y, TargetPixel(*d, GetSysColor(COLOR_BTNSHADOW)));
    return TRUE;
  }
  if (flags & DSS_MONO) {
    COLORREF color = d->st.textColor;
    if (auto b = LookupAs<Brush>(brush)) {
      color = b->color;
    }
    DrawSilhouette(*d, img, at.x, at.y, TargetPixel(*d, color));
    return TRUE;
  }
  if (textLike) {
    DrawSilhouette(*d, img, at.x, at.y, TargetPixel(*d, d->st.textColor));
    return TRUE;
  }
  const RECT dest{at.x, at.y, at.x + (cx > 0 ? cx : img.width), at.y + (cy > 0 ? cy : img.height)};
  DrawImage(*d, dest, img, ImageDraw::Normal);
  return TRUE;
}

// ---- Frame controls

namespace {

// Draws a Marlett symbol centred in a rectangle.
void Symbol(HDC dc, const RECT& r, char symbol, COLORREF color, int offset = 0)
{
  const int size = std::min(r.right - r.left, r.bottom - r.top);
  if (size <= 0) {
    return;
  }
  HFONT font = CreateFontA(-size, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett");
  HGDIOBJ old = SelectObject(dc, font);
  const int mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, color);
  RECT box = r.Offset(offset, offset);
  DrawTextA(dc, &symbol, 1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, mode);
  SelectObject(dc, old);
  DeleteObject(font);
}

void ButtonFace(HDC dc, RECT* r, UINT state)
{
  const bool pushed = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
  if (state & DFCS_FLAT) {
    FrameRect(dc, r, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT inner = r->Inflate(-1, -1);
    FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  RECT box = *r;
  DrawEdge(dc, &box, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
}

}  // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state)
{
  if (LookupDC(dc) == nullptr || rect == nullptr) {
    return FALSE;
  }
  const RECT r = *rect;
  const bool inactive = (state & DFCS_INACTIVE) != 0;
  const int shift = (state & DFCS_PUSHED) ? 1 : 0;
  const COLORREF ink = inactive ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_BTNTEXT);
  auto symbol = [&](const RECT& box, char c) {
    if (inactive) {
      Symbol(dc, box, c, GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    }
    Symbol(dc, box, c, ink, shift);
  };
  switch (type) {
  case DFC_BUTTON: {
    const UINT kind = state & 0x1F;
    if (kind == DFCS_BUTTONPUSH) {
      ButtonFace(dc, rect, state);
      return TRUE;
    }
    const int size = std::min(r.right - r.left, r.bottom - r.top);
    RECT box{r.left, r.top + (r.bottom - r.top - size) / 2, r.left + size, r.top + (r.bottom - r.top - size) / 2 + size};
    if ((kind & DFCS_BUTTONRADIO) != 0) {
      HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
      HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
      SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
      SetDCBrushColor(dc, GetSysColor(inactive || (state & DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW));
      Ellipse(dc, box.left, box.top, box.right, box.bottom);
      if (state & DFCS_CHECKED) {
        const RECT dot = box.Inflate(-size / 3, -size / 3);
        SetDCPenColor(dc, ink);
        SetDCBrushColor(dc, ink);
        Ellipse(dc, dot.left, dot.top, dot.right, dot.bottom);
      }
      SelectObject(dc, oldPen);
      SelectObject(dc, oldBrush);
      return TRUE;
    }
    RECT edge = box;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &edge, GetSysColorBrush(inactive || (state & DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED) {
      Symbol(dc, edge, 'a', ink);
    }
    return TRUE;
  }
  case DFC_CAPTION: {
    ButtonFace(dc, rect, state);
    static const char kCaption[] = {'r', '0', '1', '2'};
    const UINT which = state & 0xF;
    if (which < sizeof kCaption) {
      symbol(r.Inflate(-2, -2), kCaption[which]);
    }
    return TRUE;
  }
  case DFC_SCROLL: {
    const UINT which = state & 0x1F;
    if (which == DFCS_SCROLLSIZEGRIP) {
      FillRect(dc, rect, GetSysColorBrush(COLOR_BTNFACE));
      Symbol(dc, r, 'o', GetSysColor(COLOR_BTNHIGHLIGHT));
      Symbol(dc, r, 'p', GetSysColor(COLOR_BTNSHADOW));
      return TRUE;
    }
    ButtonFace(dc, rect, state);
    static const char kArrows[] = {'5', '6', '3', '4', '6', '6'};
    if (which < sizeof kArrows) {
      symbol(r.Inflate(-2, -2), kArrows[which]);
    }
    return TRUE;
  }
  case DFC_MENU: {
    // Menu glyphs are black on white, for use as masks.
    FillRect(dc, rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    static const char kMenu[] = {'8', 'a', 'h'};
    const UINT which = state & 0xF;
    if (which < sizeof kMenu) {
      Symbol(dc, r, kMenu[which], RGB(0, 0, 0));
    }
    return TRUE;
  }
  default:
    return FALSE;
  }
}
