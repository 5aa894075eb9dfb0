// Drag images, composed over the screen after every window.
#include "platform/user/drag_image.h"

#include "platform/gdi/surface.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

namespace {

struct DragImage {
  HIMAGELIST list = nullptr;  // a one-image copy
  POINT hotspot{};
  HWND lock = nullptr;
  POINT position{};  // relative to the lock window
  bool shown = false;
  // The picture as premultiplied colour and coverage, made once: drawn on black and on white, what differs
  // between the two is what lets the background through.
  std::vector<std::uint32_t> colour;
  std::vector<std::uint8_t> cover;
  int width = 0;
  int height = 0;
  POINT onScreen{};  // top-left corner of the picture
};

std::mutex& Mutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

DragImage& Drag()
{
  static auto* drag = new DragImage;
  return *drag;
}

void Render(DragImage& d)
{
  int cx = 0;
  int cy = 0;
  ImageList_GetIconSize(d.list, &cx, &cy);
  d.width = std::max(cx, 0);
  d.height = std::max(cy, 0);
  gdi::Surface onBlack(d.width, d.height);
  gdi::Surface onWhite(d.width, d.height);
  onBlack.Fill(0x000000);
  onWhite.Fill(0xFFFFFF);
  for (gdi::Surface* s : {&onBlack, &onWhite}) {
    HDC dc = gdi::CreateSurfaceDC(*s);
    ImageList_Draw(d.list, 0, dc, 0, 0, ILD_TRANSPARENT);
    DeleteDC(dc);
  }
  const std::size_t n = static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height);
  d.colour.assign(n, 0);
  d.cover.assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t b = onBlack.Pixels()[i] & 0xFFFFFFu;
    const std::uint32_t w = onWhite.Pixels()[i] & 0xFFFFFFu;
    const unsigned through = ((w >> 8) & 0xFF) - ((b >> 8) & 0xFF);
    d.colour[i] = b;
    d.cover[i] = static_cast<std::uint8_t>(255u - std::min(through, 255u));
  }
}

// Where the picture's corner is on the screen, from the lock window's rectangle as it is now.
POINT ScreenCorner(const DragImage& d)
{
  POINT origin{0, 0};
  if (d.lock != nullptr) {
    RECT r{};
    GetWindowRect(d.lock, &r);
    origin = POINT{r.left, r.top};
  }
  return POINT{origin.x + d.position.x - d.hotspot.x, origin.y + d.position.y - d.hotspot.y};
}

void Reposition()
{
  DragImage& d = Drag();
  const POINT corner = ScreenCorner(d);
  std::lock_guard lock(Mutex());
  d.onScreen = corner;
}

}  // namespace

namespace user::detail {

void ComposeDragImage(gdi::Surface& screen)
{
  std::lock_guard lock(Mutex());
  const DragImage& d = Drag();
  if (!d.shown || d.list == nullptr) {
    return;
  }
  std::uint32_t* out = screen.Pixels();
  for (int y = 0; y < d.height; ++y) {
    const int sy = d.onScreen.y + y;
    if (sy < 0 || sy >= screen.Height()) {
      continue;
    }
    for (int x = 0; x < d.width; ++x) {
      const int sx = d.onScreen.x + x;
      const std::size_t i = static_cast<std::size_t>(y) * d.width + x;
      if (sx < 0 || sx >= screen.Width() || d.cover[i] == 0) {
        continue;
      }
      std::uint32_t& dst = out[static_cast<std::size_t>(sy) * screen.Width() + sx];
      const unsigned a = d.cover[i];
      auto mix = [&](int shift) {
        const unsigned s = (d.colour[i] >> shift) & 0xFF;
        const unsigned b = (dst >> shift) & 0xFF;
        return std::min(s + b * (255u - a) / 255u, 255u) << shift;
      };
      dst = 0xFF000000u | mix(16) | mix(8) | mix(0);
    }
  }
}

}  // namespace user::detail

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot)
{
  if (list == nullptr || index < 0 || index >= ImageList_GetImageCount(list)) {
    return FALSE;
  }
  ImageList_EndDrag();
  int cx = 0;
  int cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  HIMAGELIST copy = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 0);
  HICON icon = ImageList_GetIcon(list, index, ILD_TRANSPARENT);
  if (copy == nullptr || icon == nullptr || ImageList_AddIcon(copy, icon) < 0) {
    if (icon != nullptr) {
      DestroyIcon(icon);
    }
    if (copy != nullptr) {
      ImageList_Destroy(copy);
    }
    return FALSE;
  }
  DestroyIcon(icon);
  DragImage d;
  d.list = copy;
  d.hotspot = POINT{dxHotspot, dyHotspot};
  Render(d);
  std::lock_guard lock(Mutex());
  Drag() = std::move(d);
  return TRUE;
}

BOOL ImageList_DragEnter(HWND lock, int x, int y)
{
  {
    std::lock_guard guard(Mutex());
    DragImage& d = Drag();
    if (d.list == nullptr) {
      return FALSE;
    }
    d.lock = lock;
    d.position = POINT{x, y};
    d.shown = true;
  }
  Reposition();
  return TRUE;
}

BOOL ImageList_DragMove(int x, int y)
{
  {
    std::lock_guard guard(Mutex());
    DragImage& d = Drag();
    if (d.list == nullptr) {
      return FALSE;
    }
    d.position = POINT{x, y};
  }
  Reposition();
  return TRUE;
}

BOOL ImageList_DragLeave(HWND)
{
  std::lock_guard guard(Mutex());
  Drag().shown = false;
  return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL show)
{
  {
    std::lock_guard guard(Mutex());
    DragImage& d = Drag();
    if (d.list == nullptr) {
      return FALSE;
    }
    d.shown = show != FALSE;
  }
  Reposition();
  return TRUE;
}

void ImageList_EndDrag()
{
  HIMAGELIST gone = nullptr;
  {
    std::lock_guard guard(Mutex());
    gone = Drag().list;
    Drag() = DragImage{};
  }
  if (gone != nullptr) {
    ImageList_Destroy(gone);
  }
}

HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotspot)
{
  std::lock_guard guard(Mutex());
  const DragImage& d = Drag();
  if (d.list == nullptr) {
    return nullptr;
  }
  if (position != nullptr) {
    *position = d.position;
  }
  if (hotspot != nullptr) {
    *hotspot = d.hotspot;
  }
  return d.list;
}
