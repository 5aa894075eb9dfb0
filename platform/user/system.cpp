// System settings, the one monitor, layered windows and key names.
#include "platform/user/system.h"

#include "platform/gdi/windraw.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <cstdint>
#include <cstring>

using namespace user::detail;

namespace {

LOGFONTA SystemFont(int weight)
{
  LOGFONTA lf;
  lf.lfHeight = -11;
  lf.lfWeight = weight;
  lf.lfCharSet = 204;  // Cyrillic
  std::strcpy(lf.lfFaceName, "Tahoma");
  return lf;
}

RECT ScreenRect() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

HMONITOR TheMonitor() { return reinterpret_cast<HMONITOR>(static_cast<UINT_PTR>(0x10001)); }

}  // namespace

BOOL SystemParametersInfo(UINT action, UINT, PVOID data, UINT)
{
  if (data == nullptr) {
    return FALSE;
  }
  switch (action) {
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICS*>(data);
      m->iBorderWidth = 1;
      m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      m->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
      m->lfCaptionFont = SystemFont(700);
      m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
      m->lfSmCaptionFont = SystemFont(700);
      m->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      m->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      m->lfMenuFont = SystemFont(400);
      m->lfStatusFont = SystemFont(400);
      m->lfMessageFont = SystemFont(400);
      if (m->cbSize >= sizeof(NONCLIENTMETRICS)) {
        m->iPaddedBorderWidth = 0;
      }
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT: *static_cast<LOGFONTA*>(data) = SystemFont(400); return TRUE;
    case SPI_GETWORKAREA: *static_cast<RECT*>(data) = ScreenRect(); return TRUE;
    case SPI_GETWHEELSCROLLLINES: *static_cast<UINT*>(data) = 3; return TRUE;
    case SPI_GETMENUANIMATION:
    case SPI_GETMENUFADE:
    case SPI_GETFLATMENU:
    case SPI_GETDROPSHADOW:
    case SPI_GETKEYBOARDCUES:
      // Plain menus: no animation, no fading, no shadows, and accelerator underlines always shown.
      *static_cast<BOOL*>(data) = action == SPI_GETKEYBOARDCUES ? TRUE : FALSE;
      return TRUE;
    case SPI_GETFONTSMOOTHING: *static_cast<BOOL*>(data) = TRUE; return TRUE;
    default: return FALSE;
  }
}

HMONITOR MonitorFromWindow(HWND, DWORD) { return TheMonitor(); }
HMONITOR MonitorFromPoint(POINT point, DWORD flags)
{
  return ScreenRect().Contains(point) || flags != MONITOR_DEFAULTTONULL ? TheMonitor() : nullptr;
}
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags)
{
  return rect != nullptr && (!ScreenRect().Intersect(*rect).IsEmpty() || flags != MONITOR_DEFAULTTONULL) ? TheMonitor()
                                                                                                           : nullptr;
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info)
{
  if (monitor != TheMonitor() || info == nullptr) {
    return FALSE;
  }
  info->rcMonitor = ScreenRect();
  info->rcWork = ScreenRect();
  info->dwFlags = MONITORINFOF_PRIMARY;
  return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF, BYTE alpha, DWORD flags)
{
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || (w->exStyle & WS_EX_LAYERED) == 0) {
      return FALSE;
    }
    w->layeredAlpha = (flags & LWA_ALPHA) != 0 ? alpha : 255;
    w->perPixelAlpha = false;
  }
  user::PresentWindowPixels(hwnd);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || (w->exStyle & WS_EX_LAYERED) == 0) {
    return FALSE;
  }
  if (key != nullptr) {
    *key = 0;
  }
  if (alpha != nullptr) {
    *alpha = w->layeredAlpha;
  }
  if (flags != nullptr) {
    *flags = LWA_ALPHA;
  }
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND hwnd, HDC, POINT* position, SIZE* size, HDC sourceDC, POINT* sourcePoint, COLORREF,
                         const BLENDFUNCTION* blend, DWORD flags)
{
  if (!IsWindow(hwnd) || (GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) {
    return FALSE;
  }
  RECT r;
  GetWindowRect(hwnd, &r);
  const POINT at = position != nullptr ? *position : POINT{r.left, r.top};
  const SIZE extent = size != nullptr ? *size : SIZE{r.Width(), r.Height()};
  SetWindowPos(hwnd, nullptr, at.x, at.y, extent.cx, extent.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  if (sourceDC != nullptr) {
    HDC dc = GetWindowDC(hwnd);
    const POINT from = sourcePoint != nullptr ? *sourcePoint : POINT{0, 0};
    BitBlt(dc, 0, 0, extent.cx, extent.cy, sourceDC, from.x, from.y, SRCCOPY);
    ReleaseDC(hwnd, dc);
  }
  {
    Lock lock(S().mutex);
    if (Window* w = Find(hwnd)) {
      w->layeredAlpha = blend != nullptr && (flags & ULW_ALPHA) != 0 ? blend->SourceConstantAlpha : 255;
      w->perPixelAlpha = blend != nullptr && (flags & ULW_ALPHA) != 0 && blend->AlphaFormat != 0;
      // Its pixels are what it was given: nothing is to be painted over them.
      w->invalid = gdi::Region();
      w->erasePending = false;
      w->ncPaintPending = false;
    }
  }
  user::PresentWindowPixels(hwnd);
  return TRUE;
}

namespace {

const char* NameOfScanCode(UINT scan, bool extended)
{
  if (extended) {
    switch (scan) {
      case 0x1D: return "Right Ctrl";
      case 0x38: return "Right Alt";
      case 0x47: return "Home";
      case 0x48: return "Up";
      case 0x49: return "Page Up";
      case 0x4B: return "Left";
      case 0x4D: return "Right";
      case 0x4F: return "End";
      case 0x50: return "Down";
      case 0x51: return "Page Down";
      case 0x52: return "Insert";
      case 0x53: return "Delete";
      case 0x35: return "Num /";
      case 0x1C: return "Num Enter";
      default: return nullptr;
    }
  }
  switch (scan) {
    case 0x01: return "Esc";
    case 0x0E: return "Backspace";
    case 0x0F: return "Tab";
    case 0x1C: return "Enter";
    case 0x1D: return "Ctrl";
    case 0x2A: return "Shift";
    case 0x36: return "Right Shift";
    case 0x37: return "Num *";
    case 0x38: return "Alt";
    case 0x39: return "Space";
    case 0x3A: return "Caps Lock";
    case 0x45: return "Pause";
    case 0x46: return "Scroll Lock";
    case 0x47: return "Num 7";
    case 0x48: return "Num 8";
    case 0x49: return "Num 9";
    case 0x4A: return "Num -";
    case 0x4B: return "Num 4";
    case 0x4C: return "Num 5";
    case 0x4D: return "Num 6";
    case 0x4E: return "Num +";
    case 0x4F: return "Num 1";
    case 0x50: return "Num 2";
    case 0x51: return "Num 3";
    case 0x52: return "Num 0";
    case 0x53: return "Num Del";
    default: return nullptr;
  }
}

}  // namespace

int GetKeyNameText(LONG lParam, LPSTR buffer, int size)
{
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  const UINT scan = (static_cast<DWORD>(lParam) >> 16) & 0xFF;
  const bool extended = (lParam & (1 << 24)) != 0;
  std::string name;
  if (const char* fixed = NameOfScanCode(scan, extended)) {
    name = fixed;
  } else {
    const UINT vk = MapVirtualKey(scan, MAPVK_VSC_TO_VK);
    if (vk >= VK_F1 && vk <= VK_F12) {
      name = "F" + std::to_string(vk - VK_F1 + 1);
    } else if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
      name = std::string(1, static_cast<char>(vk));
    } else {
      WORD ch = 0;
      BYTE keys[256] = {};
      if (vk != 0 && ToAscii(vk, scan, keys, &ch, 0) == 1) {
        name = std::string(1, static_cast<char>(ch));
      }
    }
  }
  int n = std::min<int>(static_cast<int>(name.size()), size - 1);
  std::memcpy(buffer, name.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

int MulDiv(int number, int numerator, int denominator)
{
  if (denominator == 0) {
    return -1;
  }
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const std::uint64_t magnitude = product < 0 ? 0 - static_cast<std::uint64_t>(product) : product;
  const std::uint64_t divisor = denominator < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(denominator))
                                                : static_cast<std::uint64_t>(denominator);
  const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
  const bool negative = (product < 0) != (denominator < 0);
  if (quotient > (negative ? 0x80000000u : 0x7FFFFFFFu)) {
    return -1;
  }
  return negative ? static_cast<int>(0 - static_cast<std::int64_t>(quotient)) : static_cast<int>(quotient);
}
