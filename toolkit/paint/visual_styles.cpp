#include "toolkit/paint/visual_styles.h"

#include "platform/user/common_controls.h"
#include "platform/user/uxtheme.h"

// Windows guards each call against a fault inside the library (structured exceptions). Here there is no such
// fault to catch: failure means the library or its export is absent, or the library's own failure answer.

namespace {

enum Entry {
  kOpenThemeData,
  kCloseThemeData,
  kDrawThemeBackground,
  kGetThemeColor,
  kGetCurrentThemeName,
  kIsAppThemed,
  kIsThemeActive,
  kEntryCount
};

constexpr const char* kEntryNames[kEntryCount] = {"OpenThemeData",       "CloseThemeData", "DrawThemeBackground",
                                                  "GetThemeColor",       "GetCurrentThemeName", "IsAppThemed",
                                                  "IsThemeActive"};

struct ThemeLibrary {
  HMODULE module = nullptr;
  DWORD comctlVersion = 0;
  FARPROC entries[kEntryCount] = {};
  bool looked[kEntryCount] = {};
};

ThemeLibrary LoadThemeLibrary()
{
  ThemeLibrary library;
  library.module = LoadLibrary("UxTheme.dll");
  if (HMODULE comctl = LoadLibrary("comctl32.dll")) {
    library.comctlVersion = TKGetDllVersion(comctl);
    FreeLibrary(comctl);
  }
  return library;
}

// Bound on first use rather than by a static initialiser: the module table is itself built by static objects
// of the platform, whose order against ours is not fixed.
ThemeLibrary& Library()
{
  static ThemeLibrary library = LoadThemeLibrary();
  return library;
}

template <typename Function>
Function Bind(Entry entry)
{
  ThemeLibrary& library = Library();
  if (!library.looked[entry]) {
    library.looked[entry] = true;
    library.entries[entry] = library.module != nullptr ? GetProcAddress(library.module, kEntryNames[entry]) : nullptr;
  }
  return reinterpret_cast<Function>(library.entries[entry]);
}

}  // namespace

CTKWinThemeWrapper::~CTKWinThemeWrapper()
{
  CloseThemeData();
}

HTHEME CTKWinThemeWrapper::OpenThemeData(HWND hWnd, LPCWSTR pszClassList)
{
  CloseThemeData();
  if (auto open = Bind<HTHEME (*)(HWND, LPCWSTR)>(kOpenThemeData)) {
    m_hTheme = open(hWnd, pszClassList);
  }
  return m_hTheme;
}

void CTKWinThemeWrapper::CloseThemeData()
{
  if (m_hTheme != nullptr) {
    if (auto close = Bind<HRESULT (*)(HTHEME)>(kCloseThemeData)) {
      close(m_hTheme);
    }
  }
  m_hTheme = nullptr;
}

HRESULT CTKWinThemeWrapper::DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                                                const RECT* pClipRect)
{
  auto draw = Bind<HRESULT (*)(HTHEME, HDC, int, int, const RECT*, const RECT*)>(kDrawThemeBackground);
  return draw != nullptr ? draw(m_hTheme, hDC, iPartId, iStateId, pRect, pClipRect) : E_FAIL;
}

HRESULT CTKWinThemeWrapper::GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
  auto get = Bind<HRESULT (*)(HTHEME, int, int, int, COLORREF*)>(kGetThemeColor);
  return get != nullptr ? get(m_hTheme, iPartId, iStateId, iPropId, pColor) : E_FAIL;
}

HRESULT CTKWinThemeWrapper::GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                                int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars)
{
  auto get = Bind<HRESULT (*)(LPWSTR, int, LPWSTR, int, LPWSTR, int)>(kGetCurrentThemeName);
  return get != nullptr
             ? get(pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars, pszSizeBuff, cchMaxSizeChars)
             : E_FAIL;
}

BOOL CTKWinThemeWrapper::IsAppThemed()
{
  if (m_hTheme == nullptr) {
    return FALSE;
  }
  auto themed = Bind<BOOL (*)()>(kIsAppThemed);
  return themed != nullptr ? themed() : FALSE;
}

BOOL CTKWinThemeWrapper::IsThemingAvailable()
{
  return Library().module != nullptr && TKIsThemeActive() && HIWORD(Library().comctlVersion) > 5 ? TRUE : FALSE;
}

BOOL TKIsThemeActive()
{
  auto active = Bind<BOOL (*)()>(kIsThemeActive);
  return active != nullptr ? active() : FALSE;
}

DWORD TKGetDllVersion(HMODULE hModule)
{
  if (hModule == nullptr) {
    return 0;
  }
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(hModule, "DllGetVersion"));
  if (getVersion == nullptr) {
    return 0;
  }
  DLLVERSIONINFO info{};
  info.cbSize = sizeof(info);
  if (FAILED(getVersion(&info))) {
    return 0;
  }
  return static_cast<DWORD>(MAKELONG(info.dwMinorVersion, info.dwMajorVersion));
}

void TKReloadThemeLibraryForTest()
{
  ThemeLibrary& library = Library();
  if (library.module != nullptr) {
    FreeLibrary(library.module);
  }
  library = LoadThemeLibrary();
}
