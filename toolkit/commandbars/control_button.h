// The two workhorse controls: a command button (toolbar button, menu item) and a popup control that opens a
// popup bar (menu title or submenu item, drop-down button, split button).
#pragma once

#include "toolkit/commandbars/control.h"

class CTKControlButton : public CTKControl {
  DECLARE_SERIAL(CTKControlButton)
public:
  CTKControlButton();
  void DoPropExchange(CTKPropExchange* pPX) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnLButtonUp(CPoint point) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
};

class CTKControlPopup : public CTKControl {
  DECLARE_SERIAL(CTKControlPopup)
public:
  CTKControlPopup();
  ~CTKControlPopup() override;

  static CTKControlPopup* CreateControlPopup(int controlType);
  // Holds one reference on the bar.
  void SetCommandBar(CTKCommandBar* pBar);
  BOOL IsPopuped() const { return m_bPopup; }
  // Whether the two popups share a popup bar anywhere down their trees.
  BOOL IsContainPopup(CTKControlPopup* pOther);
  // An open menu shows its rarely used commands too.
  void ExpandCommandBar();

  BOOL Compare(CTKControl* pOther) override;
  CTKCommandBar* GetCommandBar() const override { return m_pCommandBar; }
  BOOL Execute() override;
  void Copy(CTKControl* pControl, BOOL bRecursive = FALSE) override;
  BOOL SetPopuped(BOOL bPopup) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnLButtonUp(CPoint point) override;
  // Menu titles and drop-down buttons: a double click opens the popup and runs its default item.
  BOOL OnLButtonDblClk(CPoint point) override;
  void OnMouseHover() override;
  BOOL OnSetSelected(int bSelected) override;
  void OnCustomizeDragOver(CTKControl* pDataObject, CPoint point) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  // After opening: a shadow for the control when its popup bar wants one.
  virtual void UpdateShadow();
  void DoPropExchange(CTKPropExchange* pPX) override;
  // The bar id a loaded control names until the merge finds that bar (0: none).
  int GetPendingBarId() const { return m_nPendingBarId; }
  void SetPendingBarId(int nBarId) { m_nPendingBarId = nBarId; }

protected:
  BOOL IsContainPopupDepth(CTKControlPopup* pOther, int nDepth);

  BOOL m_bPopup = FALSE;
  CTKCommandBar* m_pCommandBar = nullptr;
  int m_nPendingBarId = 0;
};
