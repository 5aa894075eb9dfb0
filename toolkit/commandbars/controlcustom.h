// A window of the application placed on a bar as a control of fixed size: the control moves it into its
// rectangle, makes the bar its parent and shows or hides it with the bar's layout. Without a visible window it
// is drawn as a button.
#pragma once

#include "toolkit/commandbars/control_button.h"
#include "toolkit/paint/hook_manager.h"

class CTKControlCustom : public CTKControlButton, public CTKHookManagerHookAble {
  DECLARE_SERIAL(CTKControlCustom)
public:
  // On a vertical bar: hide the control, keep it as it is, or draw it as a button and hide the window.
  enum { tkVerticalHide = 0, tkVerticalNoChange = 1, tkVerticalButton = 2 };

  CTKControlCustom();
  ~CTKControlCustom() override;

  // The window stays the application's: the control never makes or destroys it.
  void SetControl(HWND hWnd) { m_hwndControl = hWnd; }
  HWND GetControl() const { return m_hwndControl; }
  void SetBorders(CRect rcBorders) { m_rcBorders = rcBorders; }
  void SetSize(CSize szControl) { m_szControl = szControl; }
  void SetVerticalPositionOption(int nOption) { m_verticalOptions = nOption; }
  void SetControlID(int nId) { m_nControlID = nId; }
  int GetControlID() const { return m_nControlID; }

  // The child with the id among the site's children, then each toolbar's; null for none.
  static HWND FindControlWindow(CTKCommandBars* pCommandBars, int nId);
  // After loading: the window of the stored child id, or none.
  void AttachByControlID(CTKCommandBars* pCommandBars);

  void SetEnabled(BOOL bEnabled) override;
  void SetHideFlags(DWORD dwFlags) override;
  void OnCalcDynamicSize(DWORD dwMode) override;
  CSize GetSize(CDC* pDC) override;
  void SetRect(CRect rcControl) override;
  void Draw(CDC* pDC) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void Copy(CTKControl* pControl, BOOL bRecursive = FALSE) override;
  // The button's values, then borders, size, vertical option and child id; loading finds the window again.
  void DoPropExchange(CTKPropExchange* pPX) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

protected:
  BOOL IsWindowVisibleNow() const;
  void ApplyVisibility();

  HWND m_hwndControl = nullptr;
  CRect m_rcBorders{0, 0, 0, 0};
  BOOL m_bControlVisible = TRUE;
  CSize m_szControl{0, 0};
  int m_verticalOptions = tkVerticalHide;
  int m_nControlID = 0;
};
