// The common controls as framework objects: progress bar, up-down (spin) button, trackbar (slider), tree view,
// tab control, header, list view, tooltip and status bar. Like the standard controls of controls.h each is a
// thin layer of messages over the window system's control and adds no data; image lists are CImageList objects
// (a temporary one for a list the control holds but no object owns).
#pragma once

#include "platform/mfc-core/collection_support.h"
#include "platform/mfc/controls.h"
#include "platform/mfc/imagelist.h"
#include "platform/mfc/wnd.h"
#include "platform/user/common_controls.h"

#include <vector>

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)
public:
  static CProgressCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CProgressCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  void SetRange(short nLower, short nUpper);
  void SetRange32(int nLower, int nUpper);
  void GetRange(int& nLower, int& nUpper) const;
  int GetPos() const;
  int SetPos(int nPos);
  int OffsetPos(int nPos);
  int SetStep(int nStep);
  int StepIt();
  COLORREF SetBarColor(COLORREF clrBar);
  COLORREF SetBkColor(COLORREF clrNew);
};

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
  static CSpinButtonCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CSpinButtonCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  void SetRange(short nLower, short nUpper);
  void SetRange32(int nLower, int nUpper);
  DWORD GetRange() const;
  void GetRange(int& nLower, int& nUpper) const;
  void GetRange32(int& nLower, int& nUpper) const { GetRange(nLower, nUpper); }
  int SetPos(int nPos);
  int GetPos() const;
  int SetPos32(int nPos);
  int GetPos32() const;
  CWnd* SetBuddy(CWnd* pWndBuddy);
  CWnd* GetBuddy() const;
};

class CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)
public:
  static CSliderCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CSliderCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  int GetRangeMin() const;
  int GetRangeMax() const;
  void GetRange(int& nMin, int& nMax) const;
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
  int GetPos() const;
  void SetPos(int nPos);
  int GetLineSize() const;
  int SetLineSize(int nSize);
  int GetPageSize() const;
  int SetPageSize(int nSize);
  BOOL SetTic(int nTic);
  void ClearTics(BOOL bRedraw = FALSE);
  UINT GetNumTics() const;
  int GetTic(int nTic) const;
  void SetTicFreq(int nFreq);
  void GetSelection(int& nMin, int& nMax) const;
  void SetSelection(int nMin, int nMax);
  void ClearSel(BOOL bRedraw = FALSE);
  void GetThumbRect(LPRECT lprc) const;
  void GetChannelRect(LPRECT lprc) const;
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
public:
  static CToolTipCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CToolTipCtrl>(hWnd); }
  // A tip window (always a popup) owned by pParentWnd.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

  void Activate(BOOL bActivate);
  // A tool over pWnd's rectangle (the whole window when lpRectTool is null and nIDTool 0).
  BOOL AddTool(CWnd* pWnd, LPCSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  BOOL GetToolInfo(TOOLINFO& toolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void SetToolInfo(const TOOLINFO* lpToolInfo);
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  int GetToolCount() const;
  BOOL HitTest(CWnd* pWnd, POINT pt, TOOLINFO* lpToolInfo) const;
  void RelayEvent(LPMSG lpMsg);
  void SetDelayTime(UINT nDelay);
  void SetDelayTime(DWORD dwDuration, int iTime);
  int GetDelayTime(DWORD dwDuration) const;
  int SetMaxTipWidth(int iWidth);
  int GetMaxTipWidth() const;
  void SetTipBkColor(COLORREF clr);
  void SetTipTextColor(COLORREF clr);
  void SetMargin(LPRECT lprc);
  BOOL SetTitle(UINT uIcon, LPCSTR lpstrTitle);
  void Pop();
  void Update();
};

class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)
public:
  static CTreeCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CTreeCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct);
  HTREEITEM InsertItem(UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                       LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
  HTREEITEM InsertItem(LPCSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
  HTREEITEM InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST);
  BOOL DeleteItem(HTREEITEM hItem);
  BOOL DeleteAllItems();
  BOOL Expand(HTREEITEM hItem, UINT nCode);
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
  UINT GetCount() const;
  UINT GetIndent() const;
  void SetIndent(UINT nIndent);
  CImageList* GetImageList(int nImageList) const;
  CImageList* SetImageList(CImageList* pImageList, int nImageList);
  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const;
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
  HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
  HTREEITEM GetLastVisibleItem() const { return GetNextItem(nullptr, TVGN_LASTVISIBLE); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  BOOL ItemHasChildren(HTREEITEM hItem) const;
  BOOL Select(HTREEITEM hItem, UINT nCode);
  BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
  BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
  BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
  BOOL GetItem(TVITEM* pItem) const;
  BOOL SetItem(TVITEM* pItem);
  BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
               UINT nStateMask, LPARAM lParam);
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCSTR lpszItem);
  BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
  UINT GetVisibleCount() const;
  HTREEITEM HitTest(POINT pt, UINT* pFlags = nullptr) const;
  HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const;
  BOOL SortChildren(HTREEITEM hItem);
  BOOL SortChildrenCB(LPTVSORTCB pSort);
  BOOL EnsureVisible(HTREEITEM hItem);
  CEdit* EditLabel(HTREEITEM hItem);
  CEdit* GetEditControl() const;
  BOOL EndEditLabelNow(BOOL fCancelWithoutSave);
  COLORREF GetBkColor() const;
  COLORREF SetBkColor(COLORREF clr);
  COLORREF GetTextColor() const;
  COLORREF SetTextColor(COLORREF clr);
  CToolTipCtrl* GetToolTips() const;
  CToolTipCtrl* SetToolTips(CToolTipCtrl* pWndTip);
  SHORT GetItemHeight() const;
  SHORT SetItemHeight(SHORT cyHeight);
};

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)
public:
  static CTabCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CTabCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  int GetItemCount() const;
  BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const;
  BOOL SetItem(int nItem, TCITEM* pTabCtrlItem);
  LONG InsertItem(int nItem, TCITEM* pTabCtrlItem);
  LONG InsertItem(int nItem, LPCSTR lpszItem);
  LONG InsertItem(int nItem, LPCSTR lpszItem, int nImage);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  int GetCurSel() const;
  int SetCurSel(int nItem);
  int GetCurFocus() const;
  void SetCurFocus(int nItem);
  BOOL GetItemRect(int nItem, LPRECT lpRect) const;
  int HitTest(TCHITTESTINFO* pHitTestInfo) const;
  void AdjustRect(BOOL bLarger, LPRECT lpRect);
  int GetRowCount() const;
  CImageList* GetImageList() const;
  CImageList* SetImageList(CImageList* pImageList);
};

class CHeaderCtrl : public CWnd {
  DECLARE_DYNAMIC(CHeaderCtrl)
public:
  static CHeaderCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CHeaderCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  int GetItemCount() const;
  int InsertItem(int nPos, HDITEM* phdi);
  BOOL DeleteItem(int nPos);
  BOOL GetItem(int nPos, HDITEM* pHeaderItem) const;
  BOOL SetItem(int nPos, HDITEM* pHeaderItem);
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
  BOOL Layout(HDLAYOUT* pHeaderLayout);
  int HitTest(HDHITTESTINFO* pHeaderHitTestInfo);
  BOOL GetOrderArray(int* piArray, int iCount) const;
  BOOL SetOrderArray(int iCount, int* piArray);
};

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)
public:
  static CListCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CListCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  // Items
  int GetItemCount() const;
  int InsertItem(const LVITEM* pItem);
  int InsertItem(int nItem, LPCSTR lpszItem);
  int InsertItem(int nItem, LPCSTR lpszItem, int nImage);
  int InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  BOOL GetItem(LVITEM* pItem) const;
  BOOL SetItem(const LVITEM* pItem);
  BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
               LPARAM lParam);
  CString GetItemText(int nItem, int nSubItem) const;
  int GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const;
  BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
  DWORD_PTR GetItemData(int nItem) const;
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  UINT GetItemState(int nItem, UINT nMask) const;
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  BOOL SetItemState(int nItem, LVITEM* pItem);
  BOOL GetCheck(int nItem) const;
  BOOL SetCheck(int nItem, BOOL fCheck = TRUE);
  int GetNextItem(int nItem, int nFlags) const;
  UINT GetSelectedCount() const;
  // The selected items from the first: the position is the item's index plus one (null at the end).
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& pos) const;
  int GetSelectionMark() const;
  int SetSelectionMark(int iIndex);
  int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const;
  BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData);
  BOOL SortItemsEx(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData);
  // Columns
  int InsertColumn(int nCol, const LVCOLUMN* pColumn);
  int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                   int nSubItem = -1);
  BOOL DeleteColumn(int nCol);
  BOOL GetColumn(int nCol, LVCOLUMN* pColumn) const;
  BOOL SetColumn(int nCol, const LVCOLUMN* pColumn);
  int GetColumnWidth(int nCol) const;
  BOOL SetColumnWidth(int nCol, int cx);
  CHeaderCtrl* GetHeaderCtrl() const;
  BOOL GetColumnOrderArray(int* piArray, int iCount = -1) const;
  BOOL SetColumnOrderArray(int iCount, int* piArray);
  // Looks
  CImageList* GetImageList(int nImageList) const;
  CImageList* SetImageList(CImageList* pImageList, int nImageListType);
  DWORD GetExtendedStyle() const;
  DWORD SetExtendedStyle(DWORD dwNewStyle);
  COLORREF GetBkColor() const;
  BOOL SetBkColor(COLORREF cr);
  COLORREF GetTextColor() const;
  BOOL SetTextColor(COLORREF cr);
  COLORREF GetTextBkColor() const;
  BOOL SetTextBkColor(COLORREF cr);
  int GetStringWidth(LPCSTR lpsz) const;
  // Geometry and scrolling
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
  BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
  int HitTest(POINT pt, UINT* pFlags = nullptr) const;
  int HitTest(LVHITTESTINFO* pHitTestInfo) const;
  int SubItemHitTest(LVHITTESTINFO* pInfo);
  BOOL EnsureVisible(int nItem, BOOL bPartialOK);
  BOOL Scroll(CSize size);
  int GetTopIndex() const;
  int GetCountPerPage() const;
  BOOL RedrawItems(int nFirst, int nLast);
  BOOL Update(int nItem);
};

class CStatusBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CStatusBarCtrl)
public:
  static CStatusBarCtrl* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CStatusBarCtrl>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  BOOL SetText(LPCSTR lpszText, int nPane, int nType);
  CString GetText(int nPane, int* pType = nullptr) const;
  int GetTextLength(int nPane, int* pType = nullptr) const;
  BOOL SetParts(int nParts, int* pWidths);
  int GetParts(int nParts, int* pParts) const;
  BOOL GetBorders(int* pBorders) const;
  BOOL GetBorders(int& nHorz, int& nVert, int& nSpacing) const;
  void SetMinHeight(int nMin);
  BOOL SetSimple(BOOL bSimple = TRUE);
  BOOL IsSimple() const;
  BOOL GetRect(int nPane, LPRECT lpRect) const;
};

// A list box whose items carry check boxes. The object draws the items itself and keeps their checks, so it must
// be bound to the list box for good (Create or SubclassDlgItem). A click on a box, or Space on the selected
// item, toggles it and tells the parent WM_COMMAND with CLBN_CHKCHANGE.
class CCheckListBox : public CListBox {
  DECLARE_DYNAMIC(CCheckListBox)
public:
  // The list box is made owner-drawn with strings, as the check boxes need.
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE or BS_AUTO3STATE; the plain kinds only tell, the parent checks.
  void SetCheckStyle(UINT nStyle) { m_nStyle = nStyle; }
  UINT GetCheckStyle() const { return m_nStyle; }
  void SetCheck(int nIndex, int nCheck);
  // 0, 1, or 2 (indeterminate); 0 for an index out of range.
  int GetCheck(int nIndex) const;
  void Enable(int nIndex, BOOL bEnabled = TRUE);
  BOOL IsEnabled(int nIndex) const;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  struct Mark {
    int check = 0;
    bool enabled = true;
  };
  // Items added before the object was bound count as unchecked.
  void Catch() const;
  int BoxWidth() const;
  void Toggle(int nIndex);
  void Paint();

  mutable std::vector<Mark> m_marks;
  UINT m_nStyle = BS_AUTOCHECKBOX;
};
