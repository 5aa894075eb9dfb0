// One row of a property grid: a named value kept as text, its children and its list of allowed values.
#pragma once

#include "platform/mfc/afxwin.h"

#include <vector>

class CTKPropertyGrid;
class CTKPropertyGridView;
class CTKPropertyGridItem;
class CTKPropertyGridItemMetrics;
class CTKPropertyGridInplaceEdit;
class CTKPropertyGridInplaceButton;
class CTKPropertyGridInplaceList;
class CTKImageManagerIcon;

// The grid's message to its owner: wParam a code below, lParam its argument.
inline constexpr UINT TKWM_PROPERTYGRID_NOTIFY = 10975;

enum TKPropertyGridNotification : WPARAM {
  TK_PGN_SORTORDER_CHANGED = 1,
  TK_PGN_SELECTION_CHANGED = 2,
  TK_PGN_ITEMVALUE_CHANGED = 3,
  TK_PGN_EDIT_CHANGED = 4,
  TK_PGN_INPLACEBUTTONDOWN = 5,
  TK_PGN_DRAWITEM = 6,
  TK_PGN_ITEMEXPANDCHANGED = 7,
  TK_PGN_DBLCLICK = 8,
  TK_PGN_RCLICK = 9,
  TK_PGN_VERB_CLICK = 10,
  TK_PGN_REQUESTEDIT = 11,
  TK_PGN_AFTEREDIT = 12,
  TK_PGN_CANCELEDIT = 13,
};

// Edit flags of an item.
enum TKPropertyGridItemFlags : UINT {
  tkpgItemHasEdit = 1,
  tkpgItemHasExpandButton = 2,  // the "..." button
  tkpgItemHasComboButton = 4,   // the drop-down list of constraints
};

// Handed with codes 11, 12 and 13; the owner sets bCancel to refuse and may rewrite strValue for code 12.
struct TK_PROPERTYGRID_EDIT {
  BOOL bCancel = FALSE;
  CString strValue;
  CTKPropertyGridItem* pItem = nullptr;
};

class CTKPropertyGridItemConstraints;

class CTKPropertyGridItemConstraint : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridItemConstraint)
public:
  virtual int GetIndex() const { return m_nIndex; }
  // The icon of the image id at its natural width; null for -1 or an id the image manager lacks.
  virtual CTKImageManagerIcon* GetImage() const;

  CString m_strConstraint;
  DWORD_PTR m_dwData = 0;
  int m_nImage = -1;
  int m_nIndex = 0;
  CTKPropertyGridItem* m_pItem = nullptr;
};

class CTKPropertyGridItemConstraints : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridItemConstraints)
public:
  explicit CTKPropertyGridItemConstraints(CTKPropertyGridItem* pItem) : m_pItem(pItem) {}
  ~CTKPropertyGridItemConstraints() override;

  CTKPropertyGridItemConstraint* AddConstraint(LPCSTR lpszConstraint, DWORD_PTR dwData = 0, int nImage = -1);
  // Empty for an index outside the list.
  CString GetAt(int nIndex) const;
  // -1 when no constraint has exactly this text.
  int FindConstraint(LPCSTR lpszConstraint) const;
  void RemoveAll();
  void Sort();
  int GetCount() const { return static_cast<int>(m_arrConstraints.size()); }
  // Null outside the list.
  CTKPropertyGridItemConstraint* GetConstraintAt(int nIndex) const;
  int GetCurrent() const { return m_nCurrent; }
  void SetCurrent(int nIndex) { m_nCurrent = nIndex; }
  void DetachOwner() { m_pItem = nullptr; }

private:
  std::vector<CTKPropertyGridItemConstraint*> m_arrConstraints;
  int m_nCurrent = -1;
  CTKPropertyGridItem* m_pItem;
};

class CTKPropertyGridItems : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridItems)
public:
  ~CTKPropertyGridItems() override;

  int GetCount() const { return static_cast<int>(m_arrItems.size()); }
  // Null outside 0..count-1.
  CTKPropertyGridItem* GetAt(int nIndex) const;
  // The same items (each gains a reference), not copies.
  void AddTail(const CTKPropertyGridItems* pItems);
  void InsertAt(int nIndex, CTKPropertyGridItem* pItem);
  void SortByCaption();
  // Detaches and releases every item, with the view locked so that nothing redraws in between.
  void Clear();

private:
  std::vector<CTKPropertyGridItem*> m_arrItems;
};

class CTKPropertyGridItem : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridItem)
public:
  // Text before the first newline is the caption, the rest the description.
  CTKPropertyGridItem(LPCSTR lpszCaption, LPCSTR lpszValue = nullptr, CString* pBindString = nullptr);
  ~CTKPropertyGridItem() override;

  virtual CRect GetValueRect();
  virtual void SetValue(CString strValue);
  virtual void OnValueChanged(CString strValue);
  virtual BOOL OnDrawItemValue(CDC& dc, CRect rcValue);
  virtual void OnDrawItemConstraint(CDC* pDC, CTKPropertyGridItemConstraint* pConstraint, CRect rc, BOOL bSelected);
  virtual CSize OnMeasureConstraint(CDC* pDC, CTKPropertyGridItemConstraint* pConstraint);
  virtual void OnMeasureItem(MEASUREITEMSTRUCT* lpMeasureItemStruct);
  virtual BOOL IsValueChanged() const;
  virtual void ResetValue();
  virtual CString GetViewValue();
  virtual CTKPropertyGridInplaceEdit& GetInplaceEdit();
  virtual void SetFocusToInplaceControl();
  virtual BOOL OnRequestEdit();
  virtual BOOL OnAfterEdit(CString& strValue);
  virtual void OnCancelEdit();
  virtual DWORD GetEditStyle() const;
  virtual void SetVisible(BOOL bVisible) { m_bVisible = bVisible; }
  virtual void OnIndexChanged() {}
  virtual void OnSelect();
  virtual void OnDeselect();
  virtual BOOL OnChar(UINT nChar);
  virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
  virtual void OnRButtonDown(UINT, CPoint) {}
  virtual BOOL OnLButtonDown(UINT nFlags, CPoint point);
  virtual void OnLButtonUp(UINT, CPoint) {}
  virtual BOOL OnKeyDown(UINT) { return FALSE; }
  virtual void OnAddChildItem() {}
  virtual void OnInplaceButtonDown();
  virtual CTKPropertyGridInplaceButton& GetInplaceButton();
  virtual CTKPropertyGridInplaceList& GetInplaceList();
  virtual void OnValidateEdit();
  virtual void SetEditText(const CString& str);
  virtual void OnBeforeInsert();
  virtual void OnConstraintsChanged() {}

  void Expand();
  void Collapse();
  void Select();
  BOOL IsSelected() const;
  void SetReadOnly(BOOL bReadOnly);
  CTKPropertyGridItem* AddChildItem(CTKPropertyGridItem* pItem);
  CTKPropertyGridItem* InsertChildItem(int nIndex, CTKPropertyGridItem* pItem);
  void SetDescription(LPCSTR lpszDescription);
  void SetMask(LPCSTR lpszMask, LPCSTR lpszLiteral, char chPrompt = '_');
  void BindToString(CString* pBindString);
  // The item's own metrics of the value part (or of the caption part); made on request when bCreate.
  CTKPropertyGridItemMetrics* GetMetrics(BOOL bValueMetrics, BOOL bCreate = TRUE);

  CString GetCaption() const { return m_strCaption; }
  CString GetDescription() const { return m_strDescription; }
  CString GetValue() const { return m_strValue; }
  CString GetDefaultValue() const { return m_strDefaultValue; }
  UINT GetID() const { return m_nID; }
  void SetID(UINT nID) { m_nID = nID; }
  DWORD_PTR GetItemData() const { return m_dwData; }
  void SetItemData(DWORD_PTR dwData) { m_dwData = dwData; }
  UINT GetFlags() const { return m_nFlags; }
  void SetFlags(UINT nFlags) { m_nFlags = nFlags; }
  BOOL GetReadOnly() const { return m_bReadOnly; }
  BOOL GetConstraintEdit() const { return m_bConstraintEdit; }
  void SetConstraintEdit(BOOL bConstraintEdit) { m_bConstraintEdit = bConstraintEdit; }
  BOOL IsPassword() const { return m_bPassword; }
  void SetPasswordMask(BOOL bPassword = TRUE) { m_bPassword = bPassword; }
  int GetIndent() const { return m_nIndent; }
  int GetIndex() const { return m_nIndex; }
  CTKPropertyGridItem* GetParentItem() const { return m_pParent; }
  CTKPropertyGridItems* GetChilds() const { return m_pChilds; }
  BOOL HasChilds() const { return m_pChilds->GetCount() > 0; }
  CTKPropertyGridItemConstraints* GetConstraints() const { return m_pConstraints; }
  BOOL IsCategory() const { return m_bCategory; }
  BOOL IsExpanded() const { return m_bExpanded; }
  BOOL IsVisible() const { return m_bVisible; }
  BOOL IsHidden() const { return m_bHidden; }
  void SetHidden(BOOL bHidden) { m_bHidden = bHidden; }
  BOOL HasParent(const CTKPropertyGridItem* pParent) const;
  CTKPropertyGridView* GetGridView() const { return m_pGrid; }
  int GetRowHeight() const { return m_nHeight; }
  void SetRowHeight(int nHeight) { m_nHeight = nHeight; }
  int GetMultiLinesCount() const { return m_nLinesCount; }
  void SetMultiLinesCount(int nLines) { m_nLinesCount = nLines; }
  DWORD GetEditStyleEx() const { return m_dwEditStyle; }
  void SetEditStyle(DWORD dwStyle) { m_dwEditStyle = dwStyle; }
  CString GetFormat() const { return m_strFormat; }
  BOOL IsMaskEnabled() const { return m_bUseMask; }
  CString GetMaskText() const { return m_strMask; }
  CString GetMaskLiteral() const { return m_strLiteral; }
  char GetMaskChar() const { return m_chPrompt; }

protected:
  void Init();
  // The grid's answer to a notification; 0 for an item in no grid.
  LRESULT Notify(WPARAM nCode, LPARAM lParam);
  // Edit record round trip; false when the owner set the cancel flag.
  BOOL NotifyEdit(WPARAM nCode, CString* pValue);
  void InvalidateView();
  // The grid's in-place controls bound to this item, or nothing.
  void RefreshInplaceControls();

private:
  friend class CTKPropertyGridView;
  friend class CTKPropertyGridItems;
  void Detach();
  void InsertChildRows();

protected:
  BOOL m_bConstraintEdit = FALSE;  // list-only
  int m_nIndex = -1;
  int m_nIndent = 0;
  UINT m_nID = 0;
  UINT m_nFlags = tkpgItemHasEdit;
  BOOL m_bReadOnly = FALSE;
  BOOL m_bVisible = FALSE;
  BOOL m_bCategory = FALSE;
  BOOL m_bExpanded = FALSE;
  CString m_strValue;
  CString m_strDefaultValue;
  CString m_strCaption;
  CString m_strDescription;
  CTKPropertyGridItem* m_pParent = nullptr;
  CTKPropertyGridView* m_pGrid = nullptr;
  CTKPropertyGridItems* m_pChilds = nullptr;
  CTKPropertyGridItemConstraints* m_pConstraints = nullptr;
  CTKPropertyGridItemMetrics* m_pValueMetrics = nullptr;
  CTKPropertyGridItemMetrics* m_pCaptionMetrics = nullptr;
  CString* m_pBindString = nullptr;
  CString m_strFormat;
  CString m_strMask;
  CString m_strLiteral;
  char m_chPrompt = '*';
  bool m_bUseMask = false;
  BOOL m_bPassword = FALSE;
  DWORD_PTR m_dwData = 0;
  BOOL m_bHidden = FALSE;
  int m_nHeight = -1;
  int m_nLinesCount = 1;
  DWORD m_dwEditStyle = 0;
};

// Where a click lies in the 14-pixel expand column of a row.
inline constexpr int TK_PGI_EXPAND_BORDER = 14;
