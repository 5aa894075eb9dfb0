// Window regions.
#include "platform/user/window_region.h"

#include "platform/gdi/objects.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <optional>

using namespace user::detail;

namespace user::detail {

bool InWindowShape(const Window& w, int x, int y) { return !w.shape || w.shape->Contains(x, y); }

}  // namespace user::detail

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw)
{
  std::optional<gdi::Region> shape;
  if (region != nullptr) {
    auto object = gdi::LookupAs<gdi::RegionObject>(region);
    if (object == nullptr) {
      return 0;
    }
    shape = object->region;
  }
  RECT was{};
  HWND parent = nullptr;
  bool visible = false;
  bool topLevel = false;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || IsDesktopOrRoot(hwnd)) {
      return 0;
    }
    w->shape = std::move(shape);
    was = w->window;
    parent = w->parent;
    visible = IsVisibleChain(*w);
    topLevel = IsTopLevel(*w);
  }
  if (region != nullptr) {
    DeleteObject(region);
  }
  if (redraw && visible) {
    if (!topLevel && parent != nullptr) {
      // What the old shape covered and the new one does not shows the parent again.
      RedrawWindow(parent, &was, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    PresentTopLevel(hwnd, RECT{0, 0, 32767, 32767});
  }
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region)
{
  auto object = gdi::LookupAs<gdi::RegionObject>(region);
  if (object == nullptr) {
    return ERROR;
  }
  std::optional<gdi::Region> shape;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || !w->shape) {
      return ERROR;
    }
    shape = w->shape;
  }
  object->region = *shape;
  return object->region.Kind();
}

int GetWindowRgnBox(HWND hwnd, RECT* box)
{
  if (box == nullptr) {
    return ERROR;
  }
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || !w->shape) {
    return ERROR;
  }
  *box = w->shape->Bounds();
  return w->shape->Kind();
}
