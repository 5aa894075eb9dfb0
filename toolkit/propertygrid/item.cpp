#include "toolkit/propertygrid/item.h"

#include "toolkit/paint/image_manager.h"
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/inplace.h"
#include "toolkit/propertygrid/paint_manager.h"
#include "toolkit/propertygrid/view.h"

#include "platform/user/input.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CTKPropertyGridItemConstraint, CCmdTarget)
IMPLEMENT_DYNAMIC(CTKPropertyGridItemConstraints, CCmdTarget)
IMPLEMENT_DYNAMIC(CTKPropertyGridItems, CCmdTarget)
IMPLEMENT_DYNAMIC(CTKPropertyGridItem, CCmdTarget)

namespace {

// The in-place controls of items that belong to no grid: one of each for the process.
CTKPropertyGridInplaceEdit& LooseInplaceEdit()
{
  static CTKPropertyGridInplaceEdit edit;
  return edit;
}
CTKPropertyGridInplaceButton& LooseInplaceButton()
{
  static CTKPropertyGridInplaceButton button;
  return button;
}
CTKPropertyGridInplaceList& LooseInplaceList()
{
  static CTKPropertyGridInplaceList list;
  return list;
}

bool ByteLess(const CString& a, const CString& b)
{
  return std::strcmp(static_cast<LPCSTR>(a), static_cast<LPCSTR>(b)) < 0;
}

}  // namespace

// --- Constraints -------------------------------------------------------------------------------------------

CTKImageManagerIcon* CTKPropertyGridItemConstraint::GetImage() const
{
  if (m_nImage == -1)
    return nullptr;
  CTKPropertyGridView* view = m_pItem ? m_pItem->GetGridView() : nullptr;
  CTKPropertyGrid* grid = view ? view->GetPropertyGrid() : nullptr;
  CTKImageManager* images = grid ? grid->GetImageManager() : &TKImageManager();
  return images->GetImage(static_cast<UINT>(m_nImage), 0);
}

CTKPropertyGridItemConstraints::~CTKPropertyGridItemConstraints()
{
  for (CTKPropertyGridItemConstraint* constraint : m_arrConstraints)
    constraint->InternalRelease();
}

CTKPropertyGridItemConstraint* CTKPropertyGridItemConstraints::AddConstraint(LPCSTR lpszConstraint, DWORD_PTR dwData,
                                                                           int nImage)
{
  auto* constraint = new CTKPropertyGridItemConstraint();
  constraint->m_strConstraint = lpszConstraint ? lpszConstraint : "";
  constraint->m_dwData = dwData;
  constraint->m_nImage = nImage;
  constraint->m_nIndex = GetCount();
  constraint->m_pItem = m_pItem;
  m_arrConstraints.push_back(constraint);
  if (m_pItem)
    m_pItem->OnConstraintsChanged();
  return constraint;
}

CString CTKPropertyGridItemConstraints::GetAt(int nIndex) const
{
  const CTKPropertyGridItemConstraint* constraint = GetConstraintAt(nIndex);
  return constraint ? constraint->m_strConstraint : CString();
}

CTKPropertyGridItemConstraint* CTKPropertyGridItemConstraints::GetConstraintAt(int nIndex) const
{
  if (nIndex < 0 || nIndex >= GetCount())
    return nullptr;
  return m_arrConstraints[static_cast<size_t>(nIndex)];
}

int CTKPropertyGridItemConstraints::FindConstraint(LPCSTR lpszConstraint) const
{
  const char* text = lpszConstraint ? lpszConstraint : "";
  for (int i = 0; i < GetCount(); ++i)
    if (std::strcmp(static_cast<LPCSTR>(m_arrConstraints[static_cast<size_t>(i)]->m_strConstraint), text) == 0)
      return i;
  return -1;
}

void CTKPropertyGridItemConstraints::RemoveAll()
{
  for (CTKPropertyGridItemConstraint* constraint : m_arrConstraints)
    constraint->InternalRelease();
  m_arrConstraints.clear();
  if (m_pItem)
    m_pItem->OnConstraintsChanged();
}

void CTKPropertyGridItemConstraints::Sort()
{
  std::sort(m_arrConstraints.begin(), m_arrConstraints.end(),
            [](const auto* a, const auto* b) { return ByteLess(a->m_strConstraint, b->m_strConstraint); });
}

// --- Item lists ---------------------------------------------------------------------------------------------

CTKPropertyGridItems::~CTKPropertyGridItems()
{
  Clear();
}

CTKPropertyGridItem* CTKPropertyGridItems::GetAt(int nIndex) const
{
  if (nIndex < 0 || nIndex >= GetCount())
    return nullptr;
  return m_arrItems[static_cast<size_t>(nIndex)];
}

void CTKPropertyGridItems::AddTail(const CTKPropertyGridItems* pItems)
{
  for (CTKPropertyGridItem* item : pItems->m_arrItems) {
    item->InternalAddRef();
    m_arrItems.push_back(item);
  }
}

void CTKPropertyGridItems::InsertAt(int nIndex, CTKPropertyGridItem* pItem)
{
  if (nIndex < 0 || nIndex > GetCount())
    nIndex = GetCount();
  m_arrItems.insert(m_arrItems.begin() + nIndex, pItem);
}

void CTKPropertyGridItems::SortByCaption()
{
  // Equal captions end in no fixed order, as with the platform's quicksort.
  std::sort(m_arrItems.begin(), m_arrItems.end(),
            [](const auto* a, const auto* b) { return ByteLess(a->m_strCaption, b->m_strCaption); });
}

void CTKPropertyGridItems::Clear()
{
  if (m_arrItems.empty())
    return;
  CTKPropertyGridView* view = m_arrItems.front()->m_pGrid;
  if (view) {
    if (!view->IsLocked() && view->GetSafeHwnd())
      view->CListBox::ResetContent();
    view->Lock();
  }
  std::vector<CTKPropertyGridItem*> items;
  items.swap(m_arrItems);
  for (CTKPropertyGridItem* item : items) {
    item->Detach();
    item->InternalRelease();
  }
  if (view)
    view->Unlock();
}

// --- Item -----------------------------------------------------------------------------------------------------

CTKPropertyGridItem::CTKPropertyGridItem(LPCSTR lpszCaption, LPCSTR lpszValue, CString* pBindString)
{
  Init();
  const CString caption(lpszCaption ? lpszCaption : "");
  const int newline = caption.Find('\n');
  if (newline >= 0) {
    m_strCaption = caption.Left(newline);
    m_strDescription = caption.Mid(newline + 1);
  } else {
    m_strCaption = caption;
  }
  m_strValue = m_strDefaultValue = lpszValue ? lpszValue : "";
  BindToString(pBindString);
}

void CTKPropertyGridItem::Init()
{
  m_pChilds = new CTKPropertyGridItems();
  m_pConstraints = new CTKPropertyGridItemConstraints(this);
}

CTKPropertyGridItem::~CTKPropertyGridItem()
{
  Detach();
  m_pChilds->InternalRelease();
  m_pConstraints->InternalRelease();
}

void CTKPropertyGridItem::Detach()
{
  if (m_pGrid) {
    if (m_pGrid->m_pSelected == this)
      m_pGrid->m_pSelected = nullptr;
    CTKPropertyGrid* grid = m_pGrid->GetPropertyGrid();
    if (grid) {
      if (grid->GetInplaceButton().GetItem() == this)
        grid->GetInplaceButton().DestroyItem();
      if (grid->GetInplaceList().GetItem() == this)
        grid->GetInplaceList().DestroyItem();
      if (grid->GetInplaceEdit().GetItem() == this)
        grid->GetInplaceEdit().DestroyItem();
    }
  }
  m_pChilds->Clear();
  m_pConstraints->DetachOwner();
  if (m_pValueMetrics) {
    m_pValueMetrics->InternalRelease();
    m_pValueMetrics = nullptr;
  }
  if (m_pCaptionMetrics) {
    m_pCaptionMetrics->InternalRelease();
    m_pCaptionMetrics = nullptr;
  }
  m_pGrid = nullptr;
}

LRESULT CTKPropertyGridItem::Notify(WPARAM nCode, LPARAM lParam)
{
  return m_pGrid ? m_pGrid->SendNotifyMessage(nCode, lParam) : 0;
}

BOOL CTKPropertyGridItem::NotifyEdit(WPARAM nCode, CString* pValue)
{
  if (!m_pGrid)
    return TRUE;
  TK_PROPERTYGRID_EDIT edit;
  edit.strValue = pValue ? *pValue : CString();
  edit.pItem = this;
  Notify(nCode, reinterpret_cast<LPARAM>(&edit));
  if (pValue)
    *pValue = edit.strValue;
  return !edit.bCancel;
}

void CTKPropertyGridItem::InvalidateView()
{
  if (m_pGrid && m_pGrid->GetSafeHwnd())
    m_pGrid->Invalidate(FALSE);
}

CRect CTKPropertyGridItem::GetValueRect()
{
  CRect rc;
  if (!m_pGrid || !m_pGrid->GetSafeHwnd())
    return rc;
  m_pGrid->GetItemRect(m_nIndex, &rc);
  rc.left = m_pGrid->GetDividerPos() + 1;
  rc.top += 1;
  rc.bottom -= 1;
  CTKPropertyGridInplaceButton& button = GetInplaceButton();
  if ((m_nFlags & (tkpgItemHasExpandButton | tkpgItemHasComboButton)) != 0 && button.GetItem() == this &&
      button.GetSafeHwnd() && button.IsWindowVisible())
    rc.right -= GetSystemMetrics(SM_CXHTHUMB);
  if (CTKPropertyGridPaintManager* paint = m_pGrid->GetPaintManager())
    paint->AdjustItemValueRect(this, rc);
  return rc;
}

void CTKPropertyGridItem::SetValue(CString strValue)
{
  m_strValue = strValue;
  if (m_pBindString)
    *m_pBindString = strValue;
  SetEditText(m_strValue);
  InvalidateView();
}

void CTKPropertyGridItem::OnValueChanged(CString strValue)
{
  // The owner may empty or destroy the grid while it handles code 3: the item outlives the send.
  InternalAddRef();
  SetValue(strValue);
  InvalidateView();
  Notify(TK_PGN_ITEMVALUE_CHANGED, reinterpret_cast<LPARAM>(this));
  InternalRelease();
}

BOOL CTKPropertyGridItem::OnDrawItemValue(CDC&, CRect)
{
  return FALSE;
}

void CTKPropertyGridItem::OnDrawItemConstraint(CDC* pDC, CTKPropertyGridItemConstraint* pConstraint, CRect rc,
                                               BOOL bSelected)
{
  if (m_pGrid && m_pGrid->GetPaintManager())
    m_pGrid->GetPaintManager()->DrawInplaceListItem(pDC, pConstraint, rc, bSelected);
}

CSize CTKPropertyGridItem::OnMeasureConstraint(CDC* pDC, CTKPropertyGridItemConstraint* pConstraint)
{
  const CSize text = pDC->GetTextExtent(pConstraint->m_strConstraint);
  return CSize(text.cx + 2 * GetSystemMetrics(SM_CXHTHUMB), text.cy + 3);
}

void CTKPropertyGridItem::OnMeasureItem(MEASUREITEMSTRUCT* lpMeasureItemStruct)
{
  if (m_nHeight != -1)
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(m_nHeight);
  else if (m_nLinesCount > 1)
    lpMeasureItemStruct->itemHeight =
        static_cast<UINT>(m_nLinesCount * (static_cast<int>(lpMeasureItemStruct->itemHeight) - 4) + 4);
}

BOOL CTKPropertyGridItem::IsValueChanged() const
{
  return std::strcmp(static_cast<LPCSTR>(m_strValue), static_cast<LPCSTR>(m_strDefaultValue)) != 0;
}

void CTKPropertyGridItem::ResetValue()
{
  OnValueChanged(m_strDefaultValue);
}

CString CTKPropertyGridItem::GetViewValue()
{
  if (m_bPassword)
    return CString(m_chPrompt, m_strValue.GetLength());
  return m_strValue;
}

CTKPropertyGridInplaceEdit& CTKPropertyGridItem::GetInplaceEdit()
{
  if (m_pGrid && m_pGrid->GetPropertyGrid())
    return m_pGrid->GetPropertyGrid()->GetInplaceEdit();
  return LooseInplaceEdit();
}

CTKPropertyGridInplaceButton& CTKPropertyGridItem::GetInplaceButton()
{
  if (m_pGrid && m_pGrid->GetPropertyGrid())
    return m_pGrid->GetPropertyGrid()->GetInplaceButton();
  return LooseInplaceButton();
}

CTKPropertyGridInplaceList& CTKPropertyGridItem::GetInplaceList()
{
  if (m_pGrid && m_pGrid->GetPropertyGrid())
    return m_pGrid->GetPropertyGrid()->GetInplaceList();
  return LooseInplaceList();
}

void CTKPropertyGridItem::SetFocusToInplaceControl()
{
  CTKPropertyGridInplaceEdit& edit = GetInplaceEdit();
  if (edit.GetItem() == this && edit.GetSafeHwnd()) {
    edit.SetFocus();
    edit.SetSel(0, -1);
    edit.SendMessage(EM_SCROLLCARET);
  }
}

BOOL CTKPropertyGridItem::OnRequestEdit()
{
  return NotifyEdit(TK_PGN_REQUESTEDIT, nullptr);
}

BOOL CTKPropertyGridItem::OnAfterEdit(CString& strValue)
{
  return NotifyEdit(TK_PGN_AFTEREDIT, &strValue);
}

void CTKPropertyGridItem::OnCancelEdit()
{
  NotifyEdit(TK_PGN_CANCELEDIT, nullptr);
}

DWORD CTKPropertyGridItem::GetEditStyle() const
{
  DWORD style = WS_CHILD | ES_AUTOHSCROLL;
  if (m_bPassword)
    style |= ES_PASSWORD;
  if (m_nLinesCount > 1)
    style |= ES_MULTILINE;
  return style | m_dwEditStyle;
}

void CTKPropertyGridItem::OnSelect()
{
  CTKPropertyGridInplaceButton& button = GetInplaceButton();
  if (!m_bReadOnly && (m_nFlags & (tkpgItemHasExpandButton | tkpgItemHasComboButton)) != 0) {
    CRect row;
    if (m_pGrid && m_pGrid->GetSafeHwnd())
      m_pGrid->GetItemRect(m_nIndex, &row);
    button.Create(this, row);
  } else {
    button.HideWindow();
  }
  CTKPropertyGridInplaceEdit& edit = GetInplaceEdit();
  if ((m_nFlags & tkpgItemHasEdit) != 0) {
    edit.SetValue(m_strValue);
    edit.Create(this, GetValueRect());
    if (edit.GetSafeHwnd())
      edit.SetReadOnly(m_bReadOnly || m_bConstraintEdit);
  } else {
    edit.HideWindow();
  }
}

void CTKPropertyGridItem::OnDeselect()
{
  GetInplaceButton().HideWindow();
  OnValidateEdit();
}

void CTKPropertyGridItem::OnValidateEdit()
{
  CTKPropertyGridInplaceEdit& edit = GetInplaceEdit();
  edit.HideWindow();
  if (!edit.GetSafeHwnd() || edit.GetItem() != this)
    return;
  const CString text = edit.GetWindowTextString();
  const BOOL cancelled = edit.IsCancelled();
  const BOOL editing = edit.IsEditing();
  edit.DestroyItem();
  InternalAddRef();
  if (cancelled) {
    OnCancelEdit();
  } else if (editing) {
    CString value = text;
    if (OnAfterEdit(value) && std::strcmp(static_cast<LPCSTR>(value), static_cast<LPCSTR>(m_strValue)) != 0)
      OnValueChanged(value);
  }
  InternalRelease();
}

void CTKPropertyGridItem::SetEditText(const CString& str)
{
  CTKPropertyGridInplaceEdit& edit = GetInplaceEdit();
  if (edit.GetItem() == this && edit.GetSafeHwnd())
    edit.SetWindowText(str);
}

void CTKPropertyGridItem::OnBeforeInsert()
{
  if (m_pBindString && *m_pBindString != m_strValue)
    m_strValue = *m_pBindString;
}

void CTKPropertyGridItem::OnInplaceButtonDown()
{
  if (m_bReadOnly)
    return;
  InternalAddRef();
  const std::weak_ptr<int> alive =
      m_pGrid && m_pGrid->GetPropertyGrid() ? m_pGrid->GetPropertyGrid()->GetLifetime() : std::weak_ptr<int>();
  const bool inGrid = m_pGrid != nullptr;
  if (Notify(TK_PGN_INPLACEBUTTONDOWN, reinterpret_cast<LPARAM>(this)) != 1 && (!inGrid || !alive.expired()) &&
      (m_nFlags & tkpgItemHasComboButton) != 0 && m_pConstraints->GetCount() > 0 && OnRequestEdit() &&
      (!inGrid || !alive.expired()) && m_pGrid) {
    CRect row;
    m_pGrid->GetItemRect(m_nIndex, &row);
    GetInplaceList().Create(this, row);
    m_pGrid->Invalidate(FALSE);
  }
  InternalRelease();
}

BOOL CTKPropertyGridItem::OnChar(UINT nChar)
{
  if ((m_nFlags & tkpgItemHasEdit) == 0 || nChar == VK_ESCAPE) {
    CTKPropertyGridInplaceButton& button = GetInplaceButton();
    if (nChar == VK_TAB && button.GetItem() == this && button.GetSafeHwnd() && button.IsWindowVisible())
      button.SetFocus();
    return FALSE;
  }
  OnSelect();
  CTKPropertyGridInplaceEdit& edit = GetInplaceEdit();
  if (edit.GetItem() == this && edit.GetSafeHwnd() && edit.IsWindowVisible()) {
    const std::weak_ptr<int> alive =
        m_pGrid && m_pGrid->GetPropertyGrid() ? m_pGrid->GetPropertyGrid()->GetLifetime() : std::weak_ptr<int>();
    edit.SetFocus();
    // The owner may have refused the edit (code 11) and the focus gone back to the view.
    if (m_pGrid && !alive.expired() && edit.GetItem() == this && ::GetFocus() == edit.GetSafeHwnd()) {
      edit.SetSel(0, -1);
      edit.SendMessage(EM_SCROLLCARET);
      if (nChar != VK_TAB)
        edit.SendMessage(WM_CHAR, nChar, 0);
    }
  }
  return TRUE;
}

BOOL CTKPropertyGridItem::OnLButtonDown(UINT, CPoint point)
{
  Select();
  const int left = (m_bCategory ? m_nIndent : m_nIndent - 1) * TK_PGI_EXPAND_BORDER;
  if (HasChilds() && point.x >= left && point.x < left + TK_PGI_EXPAND_BORDER) {
    if (m_bExpanded)
      Collapse();
    else
      Expand();
  }
  if ((m_nFlags & tkpgItemHasEdit) != 0 && GetValueRect().PtInRect(point))
    user::InjectMouseButton(VK_LBUTTON, true);  // our mouse has no swapped buttons
  return TRUE;
}

void CTKPropertyGridItem::OnLButtonDblClk(UINT, CPoint)
{
  if (HasChilds()) {
    if (m_bExpanded)
      Collapse();
    else
      Expand();
    return;
  }
  OnSelect();
  CTKPropertyGridInplaceEdit& edit = GetInplaceEdit();
  if ((m_nFlags & tkpgItemHasEdit) != 0 && edit.GetItem() == this && edit.GetSafeHwnd() &&
      edit.IsWindowVisible()) {
    edit.SetFocus();
    if (edit.GetItem() != this)
      return;
    if (!m_bReadOnly && edit.SelectConstraint(+1, TRUE))
      OnValidateEdit();
    else
      edit.SetSel(0, -1);
    return;
  }
  if ((m_nFlags & tkpgItemHasEdit) == 0 && !m_bReadOnly && m_pConstraints->GetCount() > 0) {
    InternalAddRef();
    if (OnRequestEdit()) {
      int next = m_pConstraints->FindConstraint(m_strValue) + 1;
      if (next >= m_pConstraints->GetCount())
        next = 0;
      CString value = m_pConstraints->GetAt(next);
      if (OnAfterEdit(value)) {
        m_pConstraints->SetCurrent(next);
        OnValueChanged(value);
      }
    }
    InternalRelease();
  }
}

void CTKPropertyGridItem::InsertChildRows()
{
  if (m_pGrid && !m_pGrid->IsLocked() && m_pGrid->GetSafeHwnd() && m_bVisible) {
    m_pGrid->InsertChilds(this);
    m_pGrid->UpdateIndexes();
    m_pGrid->OnSelectionChanged();
  }
}

void CTKPropertyGridItem::Expand()
{
  if (m_bExpanded)
    return;
  InsertChildRows();
  m_bExpanded = TRUE;
  Notify(TK_PGN_ITEMEXPANDCHANGED, reinterpret_cast<LPARAM>(this));
}

void CTKPropertyGridItem::Collapse()
{
  if (!m_bExpanded)
    return;
  if (m_pGrid && !m_pGrid->IsLocked() && m_pGrid->GetSafeHwnd() && m_bVisible) {
    m_pGrid->RemoveDescendantRows(this);
    m_pGrid->OnSelectionChanged();
  }
  m_bExpanded = FALSE;
  Notify(TK_PGN_ITEMEXPANDCHANGED, reinterpret_cast<LPARAM>(this));
}

void CTKPropertyGridItem::Select()
{
  if (m_pGrid && m_bVisible && m_pGrid->GetSafeHwnd()) {
    m_pGrid->SetCurSel(m_nIndex);
    m_pGrid->OnSelectionChanged();
  }
}

BOOL CTKPropertyGridItem::IsSelected() const
{
  return m_pGrid && m_pGrid->GetSafeHwnd() && m_pGrid->GetSelectedItem() == this;
}

BOOL CTKPropertyGridItem::HasParent(const CTKPropertyGridItem* pParent) const
{
  for (const CTKPropertyGridItem* item = m_pParent; item; item = item->m_pParent)
    if (item == pParent)
      return TRUE;
  return FALSE;
}

void CTKPropertyGridItem::RefreshInplaceControls()
{
  if (m_pGrid && m_pGrid->GetSafeHwnd() && IsSelected()) {
    OnDeselect();
    OnSelect();
  }
}

void CTKPropertyGridItem::SetReadOnly(BOOL bReadOnly)
{
  if (m_bReadOnly == bReadOnly)
    return;
  m_bReadOnly = bReadOnly;
  if (m_pGrid && m_pGrid->GetSafeHwnd()) {
    RefreshInplaceControls();
    m_pGrid->Invalidate(FALSE);
  }
}

CTKPropertyGridItem* CTKPropertyGridItem::AddChildItem(CTKPropertyGridItem* pItem)
{
  return InsertChildItem(-1, pItem);
}

CTKPropertyGridItem* CTKPropertyGridItem::InsertChildItem(int nIndex, CTKPropertyGridItem* pItem)
{
  const bool first = m_pChilds->GetCount() == 0;
  m_pChilds->InsertAt(nIndex, pItem);
  pItem->m_pGrid = m_pGrid;
  pItem->m_pParent = this;
  pItem->m_nIndent = m_nIndent + 1;
  pItem->OnAddChildItem();
  if (m_bVisible && m_pGrid) {
    if (m_bExpanded)
      m_pGrid->SetPropertySort(m_pGrid->GetPropertySort(), TRUE, TRUE);
    else if (first)
      InvalidateView();
  }
  return pItem;
}

void CTKPropertyGridItem::SetDescription(LPCSTR lpszDescription)
{
  m_strDescription = lpszDescription ? lpszDescription : "";
  if (IsSelected() && m_pGrid->GetParent())
    m_pGrid->GetParent()->Invalidate(FALSE);
}

void CTKPropertyGridItem::SetMask(LPCSTR lpszMask, LPCSTR lpszLiteral, char chPrompt)
{
  m_bUseMask = true;
  m_strMask = lpszMask ? lpszMask : "";
  m_strLiteral = lpszLiteral ? lpszLiteral : "";
  m_chPrompt = chPrompt;
  if (m_pGrid && m_pGrid->GetSafeHwnd() && IsSelected())
    OnSelect();
}

void CTKPropertyGridItem::BindToString(CString* pBindString)
{
  m_pBindString = pBindString;
  if (m_pBindString)
    *m_pBindString = m_strValue;
}

CTKPropertyGridItemMetrics* CTKPropertyGridItem::GetMetrics(BOOL bValueMetrics, BOOL bCreate)
{
  CTKPropertyGridItemMetrics*& metrics = bValueMetrics ? m_pValueMetrics : m_pCaptionMetrics;
  if (!metrics && bCreate)
    metrics = new CTKPropertyGridItemMetrics(m_pGrid ? m_pGrid->GetPaintManager() : nullptr);
  return metrics;
}
