#include "graphics/core/view_services.h"

#include "platform/mfc-core/resources.h"
#include "platform/user/input.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"

namespace {

// Bits of the document's view-mode word that choose a report picture.
constexpr DWORD kViewIlluminance100 = 0x4000;
constexpr DWORD kViewIlluminance80 = 0x8000;
constexpr DWORD kViewIlluminance18 = 0x10000;
constexpr DWORD kViewLayer800000 = 0x20000;
constexpr DWORD kViewLayer1000000 = 0x40000;

CViewServices g_defaults;
CViewServices* g_installed = nullptr;

}  // namespace

DWORD PictureFlagsFromViewMode(DWORD viewMode, int quantity, int resultDisplay, BOOL straightRoad)
{
  DWORD flags = 0;
  if (viewMode & kViewLayer800000)
    flags = 0x800000;
  else if (viewMode & kViewLayer1000000)
    flags = 0x1000000;
  switch (quantity) {
  case 0:
    flags += 0xC00;
    break;
  case 1:
    if (viewMode & kViewIlluminance80)
      flags += 0x80;
    else if (viewMode & kViewIlluminance100)
      flags += 0x100;
    else if (viewMode & kViewIlluminance18)
      flags += 0x18;
    else
      flags += straightRoad ? 6 : 1;
    break;
  case 2:
    flags += 0x60;
    break;
  default:
    break;
  }
  if (resultDisplay == 3)
    flags += 0x4000000;
  if (!straightRoad)
    flags += 0x400000;
  return flags;
}

int NavigatorCursorId(int mode)
{
  switch (mode) {
  case 1:
    return 291;
  case 2:
    return 300;
  case 4:
  case 8:
    return 334;
  default:
    return 104;
  }
}

BOOL CViewServices::RenderViewToBitmap(CWnd*, int, int, CBitmap*, IGroupOfDev*)
{
  return FALSE;
}

void CViewServices::SetNavigatorCursor(int mode, HWND view)
{
  HCURSOR cursor =
      LoadCursorFromModule(AfxGetResourceHandle(), MAKEINTRESOURCE(static_cast<WORD>(NavigatorCursorId(mode))));
  if (!cursor)
    return;
  SetCursor(cursor);
  if (view)
    SetClassLongPtr(view, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

void SetViewServices(CViewServices* services)
{
  g_installed = services;
}

CViewServices& GetViewServices()
{
  return g_installed ? *g_installed : g_defaults;
}

BOOL RenderViewToBitmap(CWnd* view, int width, int height, CBitmap* bitmap, IGroupOfDev* group)
{
  return GetViewServices().RenderViewToBitmap(view, width, height, bitmap, group);
}

void SetNavigatorCursor(int mode, HWND view)
{
  GetViewServices().SetNavigatorCursor(mode, view);
}
