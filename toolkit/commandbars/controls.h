// The ordered controls of one bar (or of one customisation category): made by type, inserted, cloned, removed,
// found, walked by the keyboard, built from a menu, and laid out in rows for the bar's size.
#pragma once

#include "toolkit/commandbars/control.h"

#include <vector>

class CTKCommandBarList;
class TK_BARSTATE_CONTEXT;

class CTKControls : public CCmdTarget {
  DECLARE_DYNCREATE(CTKControls)
public:
  CTKControls();
  ~CTKControls() override;
  CTKControls(const CTKControls&) = delete;
  CTKControls& operator=(const CTKControls&) = delete;

  // Creates a control of a type 1-8 before an index (at the end when out of range); null for another type.
  CTKControl* Add(int controlType, int nId, const CString& strParameter = CString(), int nBefore = -1,
                  BOOL bTemporary = FALSE);
  CTKControl* InsertAt(CTKControl* pControl, int nId, const CString& strParameter = CString(), int nBefore = -1,
                       BOOL bTemporary = FALSE);
  CTKControl* AddClone(CTKControl* pClone, int nBefore = -1, BOOL bRecursive = FALSE);
  // Appends without re-indexing: the caller re-indexes.
  void Append(CTKControl* pControl) { m_arrControls.push_back(pControl); }
  void Remove(CTKControl* pControl);
  void Remove(int nIndex);
  void RemoveAll();

  int GetCount() const { return static_cast<int>(m_arrControls.size()); }
  CTKControl* GetAt(int nIndex) const;
  CTKControl* GetFirst() const { return GetAt(0); }
  CTKControl* GetNextControl(CTKControl* pControl) const;
  CTKControl* FindControl(int nType, int nId, BOOL bVisible, BOOL bRecursive) const;
  CTKControl* FindControl(int nId) const { return FindControl(0, nId, FALSE, FALSE); }
  // Keyboard navigation: the next index from nIndex in steps of nDirection, wrapping once; -1 for none.
  int GetNext(int nIndex, int nDirection, BOOL bKeyboard = TRUE, BOOL bSkipTemporary = FALSE,
              BOOL bSkipCollapsed = TRUE) const;
  CTKControl* HitTest(CPoint point) const;
  int GetVisibleCount(BOOL bIncludeWrap = TRUE) const;

  void SetParent(CTKCommandBar* pParent);
  CTKCommandBar* GetParent() const { return m_pParent; }
  CTKCommandBars* GetCommandBars() const;
  void SetCommandBars(CTKCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  void RefreshIndexes();

  CTKControls* Duplicate(BOOL bRecursive = FALSE);
  void CreateOriginalControls();
  void ReleaseOriginalControls();
  CTKControls* GetOriginalControls() const { return m_pOriginalControls; }
  // Takes over the caller's reference; the copy held before is released.
  void SetOriginalControls(CTKControls* pOriginal);
  BOOL IsEqual(CTKControls* pOther) const;
  // The controls in the saved bar state: loading replaces them (and the built-in copy when one was stored).
  virtual void DoPropExchange(CTKPropExchange* pPX);
  void GenerateCommandBarList(DWORD& nID, CTKCommandBarList* pCommandBarList, TK_BARSTATE_CONTEXT* pContext);
  void RestoreCommandBarList(CTKCommandBarList* pCommandBarList);
  BOOL IsChanged() const { return m_pOriginalControls && !IsEqual(m_pOriginalControls); }

  BOOL LoadMenu(CMenu* pMenu);
  CTKControl* AddMenuItem(CMenu* pMenu, int nIndex);

  // The row layout of the controls for a bar of length nLength; rcBorder holds the four borders.
  CSize CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth = 0);

private:
  struct LayoutRecord {
    CRect rcControl;
    CRect rcRow;
    CSize szControl;
    BOOL bVisible = FALSE;
    BOOL bWrap = FALSE;
    BOOL bHide = FALSE;
    BOOL bBeginGroup = FALSE;
  };
  CWnd* FindSite() const;
  CTKControl* CreateControlByType(int controlType, int nId, const CString& strCaption, CMenu* pSubMenu, BOOL bMenu);
  int WrapRows(std::vector<LayoutRecord>& records, int nLength, DWORD& dwMode, BOOL bVert) const;
  CSize PlaceRows(std::vector<LayoutRecord>& records, BOOL bVert, CSize szSeparator) const;
  void AlignRows(std::vector<LayoutRecord>& records, CSize szContent, const CRect& rcBorder, BOOL bVert) const;
  void ApplyAlignment(std::vector<LayoutRecord>& records, CSize szBar, const CRect& rcBorder, BOOL bVert) const;
  CSize WrapAndPlace(std::vector<LayoutRecord>& records, int nLength, DWORD& dwMode, BOOL bVert,
                     CSize szSeparator) const;

  CTKCommandBar* m_pParent = nullptr;
  std::vector<CTKControl*> m_arrControls;
  CTKCommandBars* m_pCommandBars = nullptr;
  CTKControls* m_pOriginalControls = nullptr;
};
