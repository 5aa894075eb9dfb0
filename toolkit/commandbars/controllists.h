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
