// Placeholders that stand in a menu and expand into generated items each time their bar lays out: the MDI
// window list, the toolbars, the OLE verbs, the recent files and the tab-workspace actions. In customise mode
// they show themselves instead, so the user can move them.
#pragma once

#include "toolkit/commandbars/control_button.h"

class CRecentFileList;

// "&1 text" .. "&9 text", "1&0 text", "n text" past that; "text" for 0. Ampersands of the text are doubled.
CString TKNumberedMenuText(const CString& strText, int n);

// Drops are taken only into popup bars.
class CTKControlListBase : public CTKControlButton {
  DECLARE_DYNAMIC(CTKControlListBase)
public:
  BOOL IsCustomizeDragOverAvail(CTKControl* pDataObject, CPoint point) override;

protected:
  // Adds a generated item after index nAfter; null when the bar has no collection.
  CTKControl* AddGenerated(int nId, int nAfter, const CString& strCaption);
};

class CTKControlWindowList : public CTKControlListBase {
  DECLARE_DYNCREATE(CTKControlWindowList)
public:
  void OnCalcDynamicSize(DWORD dwMode) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;

  // The id of the first MDI child; it follows the ids the children are seen to use.
  static UINT GetFirstMDIChild();
  static void ResetFirstMDIChildForTest();
};

class CTKControlToolbars : public CTKControlListBase {
  DECLARE_DYNCREATE(CTKControlToolbars)
public:
  // One toolbar of the list: executing it shows or hides the toolbar at its tag index.
  class CTKControlToolbar : public CTKControlButton {
  public:
    void OnExecute() override;
    CTKControl* Clone(BOOL bRecursive = FALSE) override;
  };

  void OnCalcDynamicSize(DWORD dwMode) override;
  void Copy(CTKControl* pControl, BOOL bRecursive = FALSE) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  // Inserts the entries at nIndex; with the customise entry the customise command closes the list.
  static void AddToolbarItems(CTKCommandBar* pBar, int nIndex, int nId, BOOL bCustomizeEntry);

  // The toolbars' context menu lists the customise command after the toolbars.
  BOOL m_bCustomizeEntry = FALSE;
};

// The program is single-document: no OLE document reaches this list, so it only keeps its place and removes
// what a former layout left.
class CTKControlOleItems : public CTKControlListBase {
  DECLARE_DYNCREATE(CTKControlOleItems)
public:
  void OnCalcDynamicSize(DWORD dwMode) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
};

class CTKControlRecentFileList : public CTKControlListBase {
  DECLARE_DYNCREATE(CTKControlRecentFileList)
public:
  void OnCalcDynamicSize(DWORD dwMode) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  virtual CRecentFileList* GetRecentFileList();
  virtual int GetFirstID() { return 57616; }
};

class CTKControlWorkspaceActions : public CTKControlListBase {
  DECLARE_DYNCREATE(CTKControlWorkspaceActions)
public:
  void OnCalcDynamicSize(DWORD dwMode) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  BOOL IsCustomizeDragOverAvail(CTKControl* pDataObject, CPoint point) override;
};

// A grid picker: the user drags out a block of cells (a table's columns and rows, say); the grid grows under a
// held button up to its largest size, and the block chosen at the release goes to the command handler.
class CTKControlSelector : public CTKControl {
  DECLARE_SERIAL(CTKControlSelector)
public:
  CTKControlSelector();

  void SetItemsCount(CSize szCount) { m_szItemsCount = szCount; }
  void SetItemsMax(CSize szMax) { m_szItemsMax = szMax; }
  void SetItemSize(CSize szItem) { m_szItem = szItem; }
  CSize GetItemsVisible() const { return m_szItemsVisible; }
  CSize GetSelectedItems() const { return m_szSelected; }
  // The block at the last execution.
  CSize GetChosen() const { return m_szChosen; }
  // Stores a changed (or forced) selection, redraws and tells the site (4102).
  void SetSelectedItems(int nColumns, int nRows, BOOL bForce);

  void Draw(CDC* pDC) override;
  CSize GetSize(CDC* pDC) override;
  void OnCalcDynamicSize(DWORD dwMode) override;
  void DoPropExchange(CTKPropExchange* pPX) override;
  void Copy(CTKControl* pControl, BOOL bRecursive = FALSE) override;
  void OnClick(BOOL /*bKeyboard*/ = FALSE, CPoint /*pt*/ = CPoint(0, 0)) override {}
  void OnLButtonUp(CPoint point) override;
  void OnMouseMove(CPoint point) override;
  BOOL OnSetSelected(int bSelected) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  // Paints a cell's content in the colour given; nothing here.
  virtual void DrawItem(CDC* /*pDC*/, CRect /*rcItem*/, COLORREF /*clr*/) {}

protected:
  CSize m_szItemsCount{5, 4};
  CSize m_szItemsMax{12, 12};
  CSize m_szSelected{0, 0};
  CSize m_szItem{28, 28};
  CSize m_szChosen{0, 0};
  CSize m_szItemsVisible{0, 0};
  BOOL m_bResizing = FALSE;
};
