// System settings and colours, the one monitor, layered windows, the system's identity and its modules.
#include "platform/user/system.h"

#include "platform/base/module.h"
#include "platform/gdi/windraw.h"
#include "platform/user/accessibility.h"
#include "platform/user/common_controls.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"
#include "platform/user/uxtheme.h"
#include "platform/user/window.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

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

namespace user::detail {
bool SetMenuLook(UINT action, PVOID data, UINT winIni);
BOOL MenuLookValue(UINT action);
}  // namespace user::detail

BOOL SystemParametersInfo(UINT action, UINT, PVOID data, UINT winIni)
{
  // The SET actions carry their value in the pointer itself, so a null one is FALSE, not a missing buffer.
  if (user::detail::SetMenuLook(action, data, winIni)) {
    return TRUE;
  }
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
    case SPI_GETKEYBOARDCUES: *static_cast<BOOL*>(data) = user::detail::MenuLookValue(action); return TRUE;
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

// ---- Settings of the menu look, system colours, the system's identity and its modules

namespace {

struct MenuLook {
  std::atomic<BOOL> dropShadow{FALSE};
  std::atomic<BOOL> flatMenu{FALSE};
  std::atomic<BOOL> keyboardCues{TRUE};
  std::atomic<BOOL> menuAnimation{FALSE};
  std::atomic<BOOL> menuFade{FALSE};
};

MenuLook& Look()
{
  static MenuLook look;
  return look;
}

std::vector<HWND> TopLevelWindows()
{
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void SendToTopLevelWindows(UINT message, WPARAM wParam, LPARAM lParam)
{
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindow(hwnd)) {
      SendMessage(hwnd, message, wParam, lParam);
    }
  }
}

}  // namespace

namespace user::detail {

// The SET actions of the menu look; false for any other action.
bool SetMenuLook(UINT action, PVOID data, UINT winIni)
{
  std::atomic<BOOL>* setting = nullptr;
  switch (action) {
    case SPI_SETDROPSHADOW: setting = &Look().dropShadow; break;
    case SPI_SETFLATMENU: setting = &Look().flatMenu; break;
    case SPI_SETKEYBOARDCUES: setting = &Look().keyboardCues; break;
    case SPI_SETMENUANIMATION: setting = &Look().menuAnimation; break;
    case SPI_SETMENUFADE: setting = &Look().menuFade; break;
    default: return false;
  }
  *setting = data != nullptr ? TRUE : FALSE;
  if ((winIni & SPIF_SENDCHANGE) != 0) {
    SendToTopLevelWindows(WM_SETTINGCHANGE, action, 0);
  }
  return true;
}

BOOL MenuLookValue(UINT action)
{
  switch (action) {
    case SPI_GETDROPSHADOW: return Look().dropShadow;
    case SPI_GETFLATMENU: return Look().flatMenu;
    case SPI_GETKEYBOARDCUES: return Look().keyboardCues;
    case SPI_GETMENUANIMATION: return Look().menuAnimation;
    default: return Look().menuFade;
  }
}

}  // namespace user::detail

BOOL SetSysColors(int count, const INT* elements, const COLORREF* values)
{
  if (count < 0 || (count > 0 && (elements == nullptr || values == nullptr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (int i = 0; i < count; ++i) {
    if (elements[i] < 0 || elements[i] > COLOR_MENUBAR) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  for (int i = 0; i < count; ++i) {
    gdi::SetSysColorValue(elements[i], values[i]);
  }
  SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
  // Everything on the screen was painted in the old colours.
  for (HWND hwnd : TopLevelWindows()) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  return TRUE;
}

BOOL GetVersionEx(OSVERSIONINFOA* info)
{
  if (info == nullptr ||
      (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  std::strcpy(info->szCSDVersion, "Service Pack 2");
  if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
    auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
    ex->wServicePackMajor = 2;
    ex->wServicePackMinor = 0;
    ex->wSuiteMask = VER_SUITE_SINGLEUSERTS;
    ex->wProductType = VER_NT_WORKSTATION;
    ex->wReserved = 0;
  }
  return TRUE;
}

DWORD GetVersion() { return 5u | 1u << 8 | 2600u << 16; }

HRESULT SHAutoComplete(HWND edit, DWORD)
{
  return IsWindow(edit) ? S_OK : E_INVALIDARG;
}

namespace {

// shlwapi 6.0 as XP SP2 has it.
HRESULT ShlwapiDllGetVersion(DLLVERSIONINFO* info)
{
  if (info == nullptr || info->cbSize != sizeof(DLLVERSIONINFO)) {
    return E_INVALIDARG;
  }
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 0;
  info->dwBuildNumber = 2900;
  info->dwPlatformID = DLLVER_PLATFORM_NT;
  return S_OK;
}

template <class F>
void* Export(F* function)
{
  return reinterpret_cast<void*>(function);
}

platform::ModuleSymbols SymbolsOf(std::string_view name)
{
  if (name == "UxTheme.dll") {
    return uxtheme::ModuleSymbols();
  }
  if (name == "msimg32.dll") {
    return {{"AlphaBlend", Export(&AlphaBlend)},
            {"TransparentBlt", Export(&TransparentBlt)},
            {"GradientFill", Export(&GradientFill)}};
  }
  if (name == "USER32") {
    return {{"GetSystemMetrics", Export(&GetSystemMetrics)},
            {"MonitorFromWindow", Export(&MonitorFromWindow)},
            {"MonitorFromRect", Export(&MonitorFromRect)},
            {"MonitorFromPoint", Export(&MonitorFromPoint)},
            {"GetMonitorInfoA", Export(&GetMonitorInfoA)},
            {"UpdateLayeredWindow", Export(&UpdateLayeredWindow)},
            {"SetLayeredWindowAttributes", Export(&SetLayeredWindowAttributes)},
            {"NotifyWinEvent", Export(&NotifyWinEvent)},
            {"SetWinEventHook", Export(&SetWinEventHook)},
            {"UnhookWinEvent", Export(&UnhookWinEvent)}};
  }
  if (name == "oleacc.dll") {
    return {{"LresultFromObject", Export(&LresultFromObject)},
            {"ObjectFromLresult", Export(&ObjectFromLresult)},
            {"AccessibleObjectFromWindow", Export(&AccessibleObjectFromWindow)},
            {"CreateStdAccessibleObject", Export(&CreateStdAccessibleObject)}};
  }
  if (name == "shlwapi.dll") {
    return {{"SHAutoComplete", Export(&SHAutoComplete)}, {"DllGetVersion", Export(&ShlwapiDllGetVersion)}};
  }
  return {};
}

// The loader's own reference to each system module, as every process has one.
struct LoadedSystemModules {
  std::mutex mutex;
  std::map<std::string, HMODULE, std::less<>> handles;
};

LoadedSystemModules& Loaded()
{
  static LoadedSystemModules loaded;
  return loaded;
}

bool IsSystemModule(std::string_view name)
{
  for (const char* known : user::kSystemModules) {
    if (name == known) {
      return true;
    }
  }
  return false;
}

void Install(std::string_view name)
{
  if (name == "comctl32.dll") {
    user::RegisterCommonControlsModule();
  } else {
    platform::RegisterModule(name, SymbolsOf(name));
  }
  std::lock_guard guard(Loaded().mutex);
  auto& handle = Loaded().handles[std::string(name)];
  if (handle == nullptr) {
    handle = LoadLibrary(std::string(name).c_str());
  }
}

struct SystemModules {
  SystemModules()
  {
    for (const char* name : user::kSystemModules) {
      Install(name);
    }
  }
};
// Ahead of the program's own static initialisers, which bind some of these (see progress_status.cpp).
__attribute__((init_priority(1000))) const SystemModules g_systemModules;

}  // namespace

// Referenced by the link options of the library, so that every program gets the system modules.
extern "C" const void* const tesmira_user_system_modules = &g_systemModules;

namespace user {

bool SetSystemModuleAbsentForTest(std::string_view name, bool absent)
{
  if (!IsSystemModule(name)) {
    return false;
  }
  if (!absent) {
    Install(name);
    return true;
  }
  platform::UnregisterModule(name);
  HMODULE handle = nullptr;
  {
    std::lock_guard guard(Loaded().mutex);
    if (auto found = Loaded().handles.find(name); found != Loaded().handles.end()) {
      handle = found->second;
      found->second = nullptr;
    }
  }
  if (handle != nullptr) {
    FreeLibrary(handle);
  }
  return true;
}

void ResetSystemSettingsForTest()
{
  Look().dropShadow = FALSE;
  Look().flatMenu = FALSE;
  Look().keyboardCues = TRUE;
  Look().menuAnimation = FALSE;
  Look().menuFade = FALSE;
  gdi::ResetSysColors();
}

}  // namespace user
