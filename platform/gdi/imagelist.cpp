#include "platform/gdi/imagelist.h"

#include "platform/gdi/icon.h"
#include "platform/gdi/raster.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <set>

struct HIMAGELIST__ {
  int cx = 16;
  int cy = 16;
  UINT flags = 0;
  COLORREF background = CLR_NONE;
  std::vector<gdi::Image> images;
};

using namespace gdi;

namespace {

struct ListTable {
  std::mutex mutex;
  std::set<HIMAGELIST__*> lists;
};

ListTable& Lists()
{
  static ListTable* table = new ListTable;
  return *table;
}

HIMAGELIST__* Live(HIMAGELIST list)
{
  ListTable& t = Lists();
  std::lock_guard lock(t.mutex);
  return t.lists.count(list) != 0 ? list : nullptr;
}

// Cuts a strip into pictures of the list's size; false when the bitmap is missing.
bool Slice(HIMAGELIST__& l, HBITMAP bitmap, HBITMAP mask, std::vector<Image>& out)
{
  auto color = LookupAs<Bitmap>(bitmap);
  auto m = LookupAs<Bitmap>(mask);
  if (!color) {
    return false;
  }
  const int count = std::max(1, color->width / l.cx);
  for (int i = 0; i < count; ++i) {
    Image img = ImageFromBitmaps(color.get(), (l.flags & ILC_MASK) && m ? m.get() : nullptr,
                                 RECT{i * l.cx, 0, (i + 1) * l.cx, l.cy});
    if ((l.flags & 0xFE) != ILC_COLOR32) {
      img.hasAlpha = false;
    }
    out.push_back(std::move(img));
  }
  return true;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int)
{
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) {
    return nullptr;
  }
  auto* list = new HIMAGELIST__;
  list->cx = cx;
  list->cy = cy;
  list->flags = flags;
  ListTable& t = Lists();
  std::lock_guard lock(t.mutex);
  t.lists.insert(list);
  return list;
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
  ListTable& t = Lists();
  std::lock_guard lock(t.mutex);
  if (t.lists.erase(list) == 0) {
    return FALSE;
  }
  delete list;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list)
{
  HIMAGELIST__* l = Live(list);
  return l == nullptr ? 0 : static_cast<int>(l->images.size());
}

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr) {
    return FALSE;
  }
  Image blank;
  blank.width = l->cx;
  blank.height = l->cy;
  blank.color.assign(static_cast<std::size_t>(l->cx) * l->cy, 0);
  blank.transparent.assign(blank.color.size(), 1);
  blank.hasMask = (l->flags & ILC_MASK) != 0;
  l->images.resize(count, blank);
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP bitmap, HBITMAP mask)
{
  HIMAGELIST__* l = Live(list);
  std::vector<Image> added;
  if (l == nullptr || !Slice(*l, bitmap, mask, added)) {
    return -1;
  }
  const int first = static_cast<int>(l->images.size());
  for (Image& img : added) {
    l->images.push_back(std::move(img));
  }
  return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF maskColor)
{
  HIMAGELIST__* l = Live(list);
  std::vector<Image> added;
  if (l == nullptr || !Slice(*l, bitmap, nullptr, added)) {
    return -1;
  }
  const std::uint32_t key = PixelFromColor(maskColor);
  const int first = static_cast<int>(l->images.size());
  for (Image& img : added) {
    if (l->flags & ILC_MASK) {
      img.hasMask = true;
      for (std::size_t i = 0; i < img.color.size(); ++i) {
        if ((img.color[i] & 0xFFFFFF) == key) {
          img.transparent[i] = 1;
          img.color[i] = 0;
        }
      }
    }
    l->images.push_back(std::move(img));
  }
  return first;
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP bitmap, HBITMAP mask)
{
  HIMAGELIST__* l = Live(list);
  std::vector<Image> added;
  if (l == nullptr || index < 0 || index >= static_cast<int>(l->images.size()) || !Slice(*l, bitmap, mask, added)) {
    return FALSE;
  }
  l->images[static_cast<std::size_t>(index)] = std::move(added.front());
  return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon)
{
  HIMAGELIST__* l = Live(list);
  const Image* source = IconImage(icon);
  if (l == nullptr || source == nullptr || index < -1 || index >= static_cast<int>(l->images.size())) {
    return -1;
  }
  // The icon is fitted to the list's size.
  Image img;
  img.width = l->cx;
  img.height = l->cy;
  img.hasMask = true;
  img.hasAlpha = source->hasAlpha;
  img.color.resize(static_cast<std::size_t>(l->cx) * l->cy);
  img.transparent.resize(img.color.size());
  for (int y = 0; y < l->cy; ++y) {
    for (int x = 0; x < l->cx; ++x) {
      const int sx = x * source->width / l->cx;
      const int sy = y * source->height / l->cy;
      const std::size_t s = static_cast<std::size_t>(sy) * source->width + sx;
      const std::size_t d = static_cast<std::size_t>(y) * l->cx + x;
      img.color[d] = source->color[s];
      img.transparent[d] = source->Opaque(sx, sy) ? 0 : 1;
    }
  }
  if (index == -1) {
    l->images.push_back(std::move(img));
    return static_cast<int>(l->images.size()) - 1;
  }
  l->images[static_cast<std::size_t>(index)] = std::move(img);
  return index;
}

BOOL ImageList_Remove(HIMAGELIST list, int index)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr) {
    return FALSE;
  }
  if (index == -1) {
    l->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(l->images.size())) {
    return FALSE;
  }
  l->images.erase(l->images.begin() + index);
  return TRUE;
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style)
{
  HIMAGELIST__* l = Live(list);
  HDC__* d = LookupDC(dc);
  if (l == nullptr || d == nullptr || index < 0 || index >= static_cast<int>(l->images.size())) {
    return FALSE;
  }
  const Image& img = l->images[static_cast<std::size_t>(index)];
  // A width or height of 0 draws the whole image; a smaller one draws its top-left part, unstretched.
  const int w = dx == 0 ? l->cx : std::min(dx, l->cx);
  const int h = dy == 0 ? l->cy : std::min(dy, l->cy);
  Image part = img;
  if (w != l->cx || h != l->cy) {
    part.width = w;
    part.height = h;
    part.color.clear();
    part.transparent.clear();
    for (int yy = 0; yy < h; ++yy) {
      for (int xx = 0; xx < w; ++xx) {
        part.color.push_back(img.color[static_cast<std::size_t>(yy) * img.width + xx]);
        part.transparent.push_back(img.transparent[static_cast<std::size_t>(yy) * img.width + xx]);
      }
    }
  }
  const POINT at = d->ToDevice(POINT{x, y});
  const RECT dest{at.x, at.y, at.x + w, at.y + h};
  if (style & ILD_MASK) {
    DrawImage(*d, dest, part, ImageDraw::MaskOnly);
    return TRUE;
  }
  if (style & ILD_IMAGE) {
    DrawImage(*d, dest, part, ImageDraw::ImageOnly);
    return TRUE;
  }
  COLORREF bk = background == CLR_DEFAULT ? l->background : background;
  if ((style & ILD_TRANSPARENT) || !(l->flags & ILC_MASK)) {
    bk = CLR_NONE;
  }
  if (bk != CLR_NONE && (l->flags & ILC_MASK)) {
    FillShape(*d, Region(dest), SolidInk(TargetPixel(*d, bk), R2_COPYPEN));
  }
  if (style & (ILD_BLEND50 | ILD_BLEND25)) {
    const std::uint32_t blend =
        PixelFromColor(foreground == CLR_DEFAULT || foreground == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : foreground);
    DrawImage(*d, dest, part, ImageDraw::Normal, &blend);
    return TRUE;
  }
  DrawImage(*d, dest, part, ImageDraw::Normal);
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style)
{
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr || index < 0 || index >= static_cast<int>(l->images.size())) {
    return nullptr;
  }
  return MakeIcon(l->images[static_cast<std::size_t>(index)], POINT{l->cx / 2, l->cy / 2}, true);
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr || cx == nullptr || cy == nullptr) {
    return FALSE;
  }
  *cx = l->cx;
  *cy = l->cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr || cx <= 0 || cy <= 0) {
    return FALSE;
  }
  // As the common controls do, a new size empties the list.
  l->cx = cx;
  l->cy = cy;
  l->images.clear();
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr) {
    return CLR_NONE;
  }
  return std::exchange(l->background, color);
}

COLORREF ImageList_GetBkColor(HIMAGELIST list)
{
  HIMAGELIST__* l = Live(list);
  return l == nullptr ? CLR_NONE : l->background;
}

BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr || info == nullptr || index < 0 || index >= static_cast<int>(l->images.size())) {
    return FALSE;
  }
  const Image& img = l->images[static_cast<std::size_t>(index)];
  ImageToBitmaps(img, &info->hbmImage, (l->flags & ILC_MASK) ? &info->hbmMask : nullptr);
  if (!(l->flags & ILC_MASK)) {
    info->hbmMask = nullptr;
  }
  info->rcImage = RECT{0, 0, l->cx, l->cy};
  return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST list)
{
  HIMAGELIST__* l = Live(list);
  if (l == nullptr) {
    return nullptr;
  }
  HIMAGELIST copy = ImageList_Create(l->cx, l->cy, l->flags, 0, 0);
  copy->background = l->background;
  copy->images = l->images;
  return copy;
}
