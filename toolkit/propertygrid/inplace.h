// The one in-place edit, button and drop-down list of a grid, bound to whichever item is selected.
#pragma once

#include "platform/mfc/afxwin.h"
#include "toolkit/controls/mask_edit.h"

class CTKPropertyGridItem;
class CTKPropertyGridView;

class CTKPropertyGridInplaceEdit : public CTKMaskEditT<CEdit> {
  DECLARE_DYNAMIC(CTKPropertyGridInplaceEdit)
public:
  ~CTKPropertyGridInplaceEdit() override;

  virtual void SetValue(LPCSTR lpszValue) { m_strValue = lpszValue; }
  virtual void HideWindow();
  virtual void Create(CTKPropertyGridItem* pItem, CRect rect);
  virtual void DestroyItem();
  // False when the item has no constraints or the text is none of them.
  virtual BOOL SelectConstraint(int nDirection, BOOL bCircle);

  CTKPropertyGridItem* GetItem() const { return m_pItem; }
  BOOL IsEditing() const { return m_bEditMode; }
  BOOL IsCancelled() const { return m_bCancel; }
  // The view hands its in-place edit's notifications here.
  void OnEditNotify(UINT nCode);
  HBRUSH CtlColor(CDC* pDC);
  BOOL PreTranslateMessage(MSG* pMsg) override;

  CString m_strValue;
  CBrush m_brBack;
  COLORREF m_clrBack = static_cast<COLORREF>(-1);
  CTKPropertyGridView* m_pGrid = nullptr;
  CTKPropertyGridItem* m_pItem = nullptr;
  BOOL m_bDelayCreate = FALSE;
  BOOL m_bCreated = FALSE;
  BOOL m_bEditMode = FALSE;
  BOOL m_bCancel = FALSE;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CTKPropertyGridInplaceButton : public CStatic {
  DECLARE_DYNAMIC(CTKPropertyGridInplaceButton)
public:
  virtual void HideWindow();
  virtual void Create(CTKPropertyGridItem* pItem, CRect rect);
  virtual void DestroyItem();

  CTKPropertyGridItem* GetItem() const { return m_pItem; }
  BOOL IsPressed() const { return m_bPressed; }
  BOOL IsHot() const { return m_bOver; }

  BOOL m_bPressed = FALSE;
  BOOL m_bOver = FALSE;
  CTKPropertyGridView* m_pGrid = nullptr;
  CTKPropertyGridItem* m_pItem = nullptr;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CTKPropertyGridInplaceList : public CListBox {
  DECLARE_DYNAMIC(CTKPropertyGridInplaceList)
public:
  ~CTKPropertyGridInplaceList() override;

  virtual void Create(CTKPropertyGridItem* pItem, CRect rect);
  virtual void DestroyItem();
  virtual void Cancel();
  virtual void Apply();

  CTKPropertyGridItem* GetItem() const { return m_pItem; }
  void DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct);
  void MeasureItem(MEASUREITEMSTRUCT*) {}

  CTKPropertyGridItem* m_pItem = nullptr;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void FocusOwner();
};
