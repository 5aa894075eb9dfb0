// The toolkit's tree control: the standard tree view with a text colour and a font per item, bold items, labels
// drawn by the control itself over an off-screen copy of the standard painting, and a text search over the items.
// CTKTreeBase holds the logic and works on the tree window it is attached to; CTKTreeCtrl is the window.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/afxwin.h"

#include <list>
#include <map>

class CTKTreeBase {
public:
  // An item's own colour and font: the font counts as set when its face name is not empty, the colour when it
  // is not -1.
  struct CLRFONT {
    LOGFONT logfont{};
    COLORREF color = static_cast<COLORREF>(-1);
  };

  CTKTreeBase();
  CTKTreeBase(const CTKTreeBase&) = delete;
  CTKTreeBase& operator=(const CTKTreeBase&) = delete;
  virtual ~CTKTreeBase();

  virtual HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const;
  // Depth-first order: first child, else next sibling, else the next sibling of the nearest ancestor with one.
  virtual HTREEITEM GetNextItemInOrder(HTREEITEM hItem) const;
  // The last descendant of the previous sibling, else the parent.
  virtual HTREEITEM GetPrevItemInOrder(HTREEITEM hItem) const;
  // The last descendant of the item; of the whole tree when null.
  virtual HTREEITEM GetLastItem(HTREEITEM hItem) const;
  // The first item whose label holds the text, from `start` (else the caret item, else the root) on, wrapping
  // around once; null for an empty text or no match.
  virtual HTREEITEM FindItem(const CString& text, BOOL bMatchCase = FALSE, BOOL bDown = TRUE,
                             BOOL bWholeWord = FALSE, HTREEITEM start = nullptr);
  // The same among the descendants of an item, a match among the children before the item's own.
  virtual HTREEITEM FindItemInBranch(const CString& text, BOOL bMatchCase, BOOL bWholeWord, HTREEITEM hItem);
  virtual void SetItemFont(HTREEITEM hItem, const LOGFONT& logfont);
  virtual BOOL GetItemFont(HTREEITEM hItem, LOGFONT* logfont);
  virtual void SetItemBold(HTREEITEM hItem, BOOL bBold);
  virtual BOOL GetItemBold(HTREEITEM hItem);
  virtual void SetItemColor(HTREEITEM hItem, COLORREF color);
  // -1 when the item has no colour of its own.
  virtual COLORREF GetItemColor(HTREEITEM hItem);
  // Answers the previous mode.
  virtual BOOL EnableMultiSelect(BOOL bMultiSelect);
  virtual HTREEITEM GetPrevSelectedItem(HTREEITEM hItem);
  virtual BOOL IsTreeWindow() const = 0;
  // WM_NOTIFY with the control id to the tree's owner, else its parent.
  virtual LRESULT SendNotify(NMHDR* pNMHDR);
  virtual void SelectAll(BOOL bSelect, HTREEITEM except = nullptr);
  // A press in multi-selection mode: on an item its selection and then the click or drag, elsewhere the band.
  virtual void OnButtonDown(BOOL bLeft, UINT nKeys, CPoint point);
  virtual void SelectOnClick(HTREEITEM hItem, BOOL bLeft, UINT nKeys);
  // Waits with the mouse captured for the release (a click) or a move beyond the drag distance (a drag).
  virtual void TrackClick(HTREEITEM hItem, BOOL bLeft, UINT nKeys, CPoint point);
  virtual void RubberBandSelect(UINT nKeys, CPoint point);
  // Selects the visible items whose label meets the band; `remembered` holds the selection made before it.
  virtual void SelectItemsInRect(const CRect& band, UINT nKeys, std::list<HTREEITEM>* remembered);
  virtual BOOL IsFindValid(HTREEITEM hItem);
  // The standard painting into a memory DC, then (with bLabels) every visible label drawn again in its own
  // colours and font.
  virtual void OnPaint(CDC* pDC, BOOL bLabels);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  BOOL SelectItem(HTREEITEM hItem);
  HTREEITEM GetFirstSelectedItem() const;
  HTREEITEM GetNextSelectedItem(HTREEITEM hItem) const;
  UINT GetSelectedCount() const;
  void SetAllSelected(BOOL bSelect, HTREEITEM from = nullptr);
  // Multi-selection: the focus alone; null takes it from the caret item.
  void FocusItem(HTREEITEM hItem);
  // The visible items between the two, either order, selected; with bClearOthers every other one deselected.
  void SelectRange(HTREEITEM from, HTREEITEM to, BOOL bClearOthers);
  // Answers whether one of the children had the focus.
  BOOL SelectChildren(HTREEITEM hItem, BOOL bSelect, BOOL bRecursive);
  BOOL IsMultiSelect() const { return m_bMultiSelect; }
  HTREEITEM GetEditedItem() const { return m_hEditedItem; }

protected:
  void AttachTree(CTreeCtrl* pTree) { m_pTree = pTree; }
  // The standard control's own painting into a DC.
  virtual void DefaultPaint(CDC* pDC) = 0;

  // Message handlers shared with the window class.
  void HandleDeleteItem(NMHDR* pNMHDR);
  void HandleBeginLabelEdit(NMHDR* pNMHDR);
  void HandleEndLabelEdit();
  void HandleSize();
  // Before the standard control sees a right press.
  void HandleRButtonDown(CPoint point);
  // TRUE when the press was handled and the standard control must not see it.
  BOOL HandleLButtonDown(UINT nFlags, CPoint point);
  // TRUE when the key was handled.
  BOOL HandleKeyDown(UINT nChar);
  void HandleItemExpanding(NMHDR* pNMHDR);
  void HandleMouseMove(CPoint point);
  void HandleTimer(UINT_PTR nIDEvent);
  void HandleNcMouseMove(UINT nHitTest);

  BOOL m_bMultiSelect = FALSE;
  BOOL m_bBandLabel = TRUE;
  HTREEITEM m_hSelect = nullptr;  // the anchor of range selection
  HTREEITEM m_hEditedItem = nullptr;
  HTREEITEM m_hHotItem = nullptr;
  std::map<HTREEITEM, CLRFONT> m_mapColorFont;
  CTreeCtrl* m_pTree = nullptr;
  BOOL m_bClickToEdit = TRUE;

private:
  CLRFONT* Find(HTREEITEM hItem);
  const CLRFONT* Find(HTREEITEM hItem) const;
  void DrawLabel(CDC& dc, HTREEITEM hItem, COLORREF back, COLORREF text, const CRect& client);
  void InvalidateTree();
  UINT ControlState(HTREEITEM hItem, UINT nMask) const;
  void SetControlState(HTREEITEM hItem, UINT nState, UINT nMask);
  // TVN_SELCHANGING then, unless refused, the change and TVN_SELCHANGED; FALSE when refused.
  BOOL ChangeSelection(HTREEITEM hItem, bool select);
  void MoveCaret(HTREEITEM hItem);
  void SetHot(HTREEITEM hItem, bool hot);
};

class CTKTreeCtrlBase : public CTreeCtrl, public CTKTreeBase {
  DECLARE_DYNAMIC(CTKTreeCtrlBase)
public:
  CTKTreeCtrlBase() { AttachTree(this); }

  virtual UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const
  {
    return CTKTreeBase::GetItemState(hItem, nStateMask);
  }
  virtual BOOL SelectItem(HTREEITEM hItem) { return CTKTreeBase::SelectItem(hItem); }
  virtual BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
  {
    return CTKTreeBase::SetItemState(hItem, nState, nStateMask);
  }
  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const override { return CTKTreeBase::GetNextItem(hItem, nCode); }
  BOOL IsTreeWindow() const override { return GetSafeHwnd() != nullptr; }
  BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void DefaultPaint(CDC* pDC) override;
};

class CTKTreeCtrl : public CTKTreeCtrlBase {
  DECLARE_DYNAMIC(CTKTreeCtrl)
public:
  CTKTreeCtrl();

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC hDC);
  void OnSize(UINT nType, int cx, int cy);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnTimer(UINT_PTR nIDEvent);
  void OnNcMouseMove(UINT nHitTest, CPoint point);
  BOOL OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  BOOL OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
  BOOL OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  BOOL OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);

  DECLARE_MESSAGE_MAP()
};
