// The visual-styles library ("UxTheme.dll") bound at run time: the program must also run where there is none, so
// it is never linked. Each entry point is looked up on first use and every call degrades to a plain failure
// answer (E_FAIL, FALSE or a null handle) when the library or the export is missing.
#pragma once

#include "platform/base/hresult.h"
#include "platform/base/module.h"
#include "platform/base/wintypes.h"
#include "platform/gdi/wingdi.h"

// One theme-data handle: one window class of the current visual style.
class CTKWinThemeWrapper {
public:
  CTKWinThemeWrapper() = default;
  virtual ~CTKWinThemeWrapper();
  CTKWinThemeWrapper(const CTKWinThemeWrapper&) = delete;
  CTKWinThemeWrapper& operator=(const CTKWinThemeWrapper&) = delete;

  // Closes the handle held, then opens the class list; null when there is no library, export or style.
  HTHEME OpenThemeData(HWND hWnd, LPCWSTR pszClassList);
  void CloseThemeData();
  HRESULT DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect);
  HRESULT GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor);
  HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                              int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars);
  // FALSE without asking the system while no class is open.
  BOOL IsAppThemed();
  // The library is there, a style is active and the common controls draw with it (version 6 or later).
  BOOL IsThemingAvailable();

  HTHEME GetThemeHandle() const { return m_hTheme; }

private:
  HTHEME m_hTheme = nullptr;
};

BOOL TKIsThemeActive();
// major * 65536 + minor from the module's "DllGetVersion"; 0 when it has none or it fails.
DWORD TKGetDllVersion(HMODULE hModule);

// For tests: drops the library and the bound entry points and binds again by name, so that a system module
// made absent (or put back) is seen as the program would see it at start-up.
void TKReloadThemeLibraryForTest();
