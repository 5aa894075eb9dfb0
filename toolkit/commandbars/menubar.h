// The frame's menu as a command bar: built from the same menu resource, it takes the Windows menu away from the
// frame, and F10 or a lone Alt puts it into keyboard tracking. A full row of its own at the top, never shortened.
#pragma once

#include "toolkit/commandbars/toolbar.h"

class CTKMenuBar : public CTKToolBar {
  DECLARE_SERIAL(CTKMenuBar)
public:
  CTKMenuBar();
  ~CTKMenuBar() override;

  // FALSE when the menu cannot be loaded or built.
  BOOL LoadMenuBar(UINT nIDResource);
  UINT GetDefaultMenuID() const { return m_nIDResource; }
  UINT GetCurrentMenuID() const { return m_nIDResourceCurrent; }
  HMENU GetSavedFrameMenu() const { return m_hMenuDefault; }

  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
  // Without a copy of the built controls, asks and builds the bar again from its current menu.
  void Reset() override;
  CTKCommandBar* Clone(BOOL bRecursive = FALSE) override;
  void DoPropExchange(CTKPropExchange* pPX) override;
  void Copy(CTKCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;

protected:
  HMENU m_hMenuDefault = nullptr;
  UINT m_nIDResource = 0;
  UINT m_nIDResourceCurrent = 0;
  HWND m_hwndHookedSite = nullptr;
};
