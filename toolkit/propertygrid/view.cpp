#include "toolkit/propertygrid/view.h"

#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/draw_tracking.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/inplace.h"
#include "toolkit/propertygrid/paint_manager.h"
#include "toolkit/propertygrid/typed_items.h"

#include "platform/user/common_controls.h"

#include "platform/user/input.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CTKPropertyGridView, CListBox)
IMPLEMENT_DYNAMIC(CTKPropertyGridToolTip, CWnd)

// --- Tooltip --------------------------------------------------------------------------------------------------

BOOL CTKPropertyGridToolTip::Create(CWnd* pOwner)
{
  LPCSTR className = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, className, nullptr, WS_POPUP, 0, 0, 0, 0, pOwner->GetSafeHwnd(), nullptr);
}

void CTKPropertyGridToolTip::Show(const CString& strText, CFont* pFont, CRect rcScreen)
{
  m_strText = strText;
  m_font.DeleteObject();
  LOGFONTA font{};
  if (pFont && pFont->GetLogFont(&font))
    m_font.CreateFontIndirect(&font);
  SetWindowPos(nullptr, rcScreen.left, rcScreen.top, rcScreen.Width(), rcScreen.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(SW_SHOWNOACTIVATE);
  Invalidate(FALSE);
}

LRESULT CTKPropertyGridToolTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: {
      CPaintDC dc(this);
      CRect client;
      GetClientRect(&client);
      dc.FillSolidRect(client, TKColorManager().GetColor(24));
      CBrush frame(TKColorManager().GetColor(23));
      dc.FrameRect(client, &frame);
      dc.SetTextColor(TKColorManager().GetColor(23));
      dc.SetBkMode(TRANSPARENT);
      CTKFontDC font(&dc, m_font.GetSafeHandle() ? &m_font : nullptr);
      CRect text = client;
      text.left += 4;
      dc.DrawText(m_strText, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      return 0;
    }
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

namespace {

constexpr UINT kDividerCursor = 9970;

}  // namespace

BEGIN_MESSAGE_MAP(CTKPropertyGridView, CListBox)
  ON_WM_KEYDOWN()
  ON_WM_SYSKEYDOWN()
  ON_WM_CHAR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_CAPTURECHANGED()
  ON_WM_SETCURSOR()
  ON_WM_SIZE()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_MESSAGE(WM_GETDLGCODE, &CTKPropertyGridView::OnGetDlgCode)
  ON_MESSAGE(WM_DRAWITEM, &CTKPropertyGridView::OnDrawListItem)
  ON_MESSAGE(WM_MEASUREITEM, &CTKPropertyGridView::OnMeasureListItem)
END_MESSAGE_MAP()

CTKPropertyGridView::CTKPropertyGridView() : m_pCategories(new CTKPropertyGridItems())
{
  m_hCursor = TKResourceManager()->LoadCursor(kDividerCursor);
}

CTKPropertyGridView::~CTKPropertyGridView()
{
  m_pSelected = nullptr;
  m_pCategories->Clear();
  m_pCategories->InternalRelease();
}

CTKPropertyGridPaintManager* CTKPropertyGridView::GetPaintManager() const
{
  return m_pGrid ? m_pGrid->GetPaintManager() : nullptr;
}

LRESULT CTKPropertyGridView::SendNotifyMessage(WPARAM wParam, LPARAM lParam)
{
  return m_pGrid ? m_pGrid->SendNotifyMessage(wParam, lParam) : 0;
}

void CTKPropertyGridView::Unlock()
{
  if (m_nLockUpdate > 0 && --m_nLockUpdate == 0)
    Refresh();
}

CTKPropertyGridItem* CTKPropertyGridView::AddCategory(LPCSTR lpszCaption, CTKPropertyGridItem* pCategory)
{
  return InsertCategory(-1, lpszCaption, pCategory);
}

CTKPropertyGridItem* CTKPropertyGridView::InsertCategory(int nIndex, LPCSTR lpszCaption,
                                                         CTKPropertyGridItem* pCategory)
{
  if (m_nOrder != tkpgSortCategorized)
    SetPropertySort(tkpgSortCategorized);
  if (nIndex < 0 || nIndex > m_pCategories->GetCount())
    nIndex = m_pCategories->GetCount();
  CTKPropertyGridItem* category = pCategory ? pCategory : new CTKPropertyGridItem(lpszCaption);
  category->m_bCategory = TRUE;
  category->m_nFlags = 0;
  category->m_pGrid = this;
  m_pCategories->InsertAt(nIndex, category);
  if (GetSafeHwnd() && !IsLocked()) {
    const CTKPropertyGridItem* next = m_pCategories->GetAt(nIndex + 1);
    const int row = next && next->IsVisible() ? next->GetIndex() : GetCount();
    InsertItem(category, row);
    UpdateIndexes();
  }
  return category;
}

void CTKPropertyGridView::Refresh()
{
  UpdateIndexes();
  SetPropertySort(m_nOrder, TRUE);
  if (m_pGrid && m_pGrid->GetSafeHwnd())
    m_pGrid->Invalidate(FALSE);
}

void CTKPropertyGridView::ResetContent()
{
  if (m_pSelected) {
    CTKPropertyGridItem* selected = m_pSelected;
    m_pSelected = nullptr;
    selected->OnDeselect();
  }
  if (!GetSafeHwnd())
    return;
  for (int i = 0; i < GetCount(); ++i)
    if (CTKPropertyGridItem* item = GetItem(i))
      item->SetVisible(FALSE);
  CListBox::ResetContent();
  if (CTKPropertyGridPaintManager* paint = GetPaintManager()) {
    CFont* font = &paint->GetItemMetrics()->m_fontNormal;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), FALSE);
    CClientDC dc(this);
    CFont* old = dc.SelectObject(font);
    m_nItemHeight = dc.GetTextExtent(" ", 1).cy + 4;
    dc.SelectObject(old);
    SetItemHeight(0, static_cast<UINT>(m_nItemHeight));
  }
}

void CTKPropertyGridView::SetPropertySort(int nOrder, BOOL bKeepTop, BOOL bSuspendDraw)
{
  if (IsLocked()) {
    m_nOrder = nOrder;
    return;
  }
  if ((nOrder == m_nOrder && !bKeepTop) || !GetSafeHwnd())
    return;
  if (bSuspendDraw)
    SetRedraw(FALSE);
  CTKPropertyGridItem* top = bKeepTop ? GetItem(GetTopIndex()) : nullptr;
  CTKPropertyGridItem* selected = GetSelectedItem();
  ResetContent();
  if (nOrder == tkpgSortCategorized) {
    for (int i = 0; i < m_pCategories->GetCount(); ++i)
      InsertItem(m_pCategories->GetAt(i), GetCount());
  } else {
    // Borrowed pointers: the items stay in their categories.
    std::vector<CTKPropertyGridItem*> rows;
    for (int i = 0; i < m_pCategories->GetCount(); ++i) {
      CTKPropertyGridItem* category = m_pCategories->GetAt(i);
      if (category->IsHidden())
        continue;
      for (int k = 0; k < category->GetChilds()->GetCount(); ++k)
        rows.push_back(category->GetChilds()->GetAt(k));
    }
    if (nOrder == tkpgSortAlphabetical)
      std::sort(rows.begin(), rows.end(), [](const CTKPropertyGridItem* a, const CTKPropertyGridItem* b) {
        return std::strcmp(static_cast<LPCSTR>(a->m_strCaption), static_cast<LPCSTR>(b->m_strCaption)) < 0;
      });
    for (CTKPropertyGridItem* item : rows)
      InsertItem(item, GetCount());
  }
  UpdateIndexes();
  if (top && top->IsVisible())
    SetTopIndex(top->GetIndex());
  if (selected && selected->IsVisible())
    SetCurSel(selected->GetIndex());
  OnSelectionChanged();
  if (bSuspendDraw)
    SetRedraw(TRUE);
  if (nOrder != m_nOrder) {
    m_nOrder = nOrder;
    if (m_pGrid)
      m_pGrid->OnSortChanged();
  }
}

int CTKPropertyGridView::InsertItem(CTKPropertyGridItem* pItem, int nIndex)
{
  if (IsLocked() || !GetSafeHwnd() || pItem->IsHidden())
    return 0;
  pItem->OnBeforeInsert();
  const int row = static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex),
                                               reinterpret_cast<LPARAM>(pItem)));
  SetItemData(row, reinterpret_cast<DWORD_PTR>(pItem));
  if (m_pGrid && m_pGrid->IsVariableRowHeight()) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_LISTBOX;
    measure.itemID = static_cast<UINT>(row);
    measure.itemHeight = static_cast<UINT>(m_nItemHeight);
    measure.itemData = reinterpret_cast<ULONG_PTR>(pItem);
    MeasureItem(&measure);
    SetItemHeight(row, measure.itemHeight);
  }
  pItem->SetVisible(TRUE);
  pItem->m_nIndex = row;
  int inserted = 1;
  if (pItem->IsExpanded())
    inserted += InsertChilds(pItem);
  return inserted;
}

int CTKPropertyGridView::InsertChilds(CTKPropertyGridItem* pItem)
{
  int inserted = 0;
  for (int i = 0; i < pItem->GetChilds()->GetCount(); ++i)
    inserted += InsertItem(pItem->GetChilds()->GetAt(i), pItem->GetIndex() + 1 + inserted);
  return inserted;
}

void CTKPropertyGridView::RemoveDescendantRows(CTKPropertyGridItem* pItem)
{
  const int row = pItem->GetIndex() + 1;
  while (row < GetCount()) {
    CTKPropertyGridItem* item = GetItem(row);
    if (!item || !item->HasParent(pItem))
      break;
    item->SetVisible(FALSE);
    DeleteString(static_cast<UINT>(row));
  }
  UpdateIndexes();
}

void CTKPropertyGridView::UpdateIndexes()
{
  if (!GetSafeHwnd())
    return;
  for (int i = 0; i < GetCount(); ++i) {
    CTKPropertyGridItem* item = GetItem(i);
    if (item && item->m_nIndex != i) {
      item->m_nIndex = i;
      item->OnIndexChanged();
    }
  }
}

CTKPropertyGridItem* CTKPropertyGridView::GetItem(int nIndex) const
{
  if (!GetSafeHwnd() || nIndex < 0 || nIndex >= GetCount())
    return nullptr;
  const DWORD_PTR data = GetItemData(nIndex);
  if (data == 0 || data == static_cast<DWORD_PTR>(LB_ERR))
    return nullptr;
  return reinterpret_cast<CTKPropertyGridItem*>(data);
}

void CTKPropertyGridView::GetItemRect(int nIndex, CRect* pRect) const
{
  *pRect = CRect();
  if (!GetSafeHwnd() || nIndex < 0 || nIndex >= GetCount())
    return;
  CRect client;
  GetClientRect(&client);
  auto* self = const_cast<CTKPropertyGridView*>(this);
  const int top = GetTopIndex();
  int y = 0;
  if (nIndex >= top) {
    for (int i = top; i < nIndex; ++i)
      y += static_cast<int>(self->SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i)));
  } else {
    for (int i = nIndex; i < top; ++i)
      y -= static_cast<int>(self->SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i)));
  }
  const int height = static_cast<int>(self->SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
  *pRect = CRect(client.left, y, client.right, y + height);
}

CTKPropertyGridItem* CTKPropertyGridView::ItemFromPoint(CPoint point) const
{
  const LRESULT hit = const_cast<CTKPropertyGridView*>(this)->SendMessage(LB_ITEMFROMPOINT, 0,
                                                                          MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) != 0)
    return nullptr;
  return GetItem(LOWORD(hit));
}

CTKPropertyGridItem* CTKPropertyGridView::GetSelectedItem() const
{
  return GetSafeHwnd() ? GetItem(GetCurSel()) : nullptr;
}

void CTKPropertyGridView::SwitchExpandState(int nRow)
{
  CTKPropertyGridItem* item = GetItem(nRow);
  if (!item)
    return;
  if (item->IsExpanded())
    item->Collapse();
  else
    item->Expand();
}

void CTKPropertyGridView::SetDividerPos(int nX)
{
  CRect client;
  GetClientRect(&client);
  if (m_bVariableSplitterPos) {
    double divider = client.Width() == 0 ? 0.5 : static_cast<double>(nX) / client.Width();
    m_dDivider = std::min(std::max(divider, 0.1), 0.85);
  } else {
    int divider = std::max(nX, 1);
    if (client.Width() != 0)
      divider = std::min(divider, static_cast<int>(client.Width()));
    m_dDivider = divider;
  }
}

int CTKPropertyGridView::GetDividerPos() const
{
  if (!m_bVariableSplitterPos)
    return static_cast<int>(m_dDivider);
  CRect client;
  if (GetSafeHwnd())
    GetClientRect(&client);
  return static_cast<int>(m_dDivider * client.Width());
}

void CTKPropertyGridView::OnSelectionChanged()
{
  CTKPropertyGridItem* current = GetSelectedItem();
  if (m_pSelected) {
    CTKPropertyGridItem* previous = m_pSelected;
    previous->OnDeselect();
  }
  if (current)
    current->OnSelect();
  m_pSelected = current;
  if (m_pGrid)
    m_pGrid->OnSelectionChanged(current);
}

void CTKPropertyGridView::DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct)
{
  if (lpDrawItemStruct->itemData == 0 || static_cast<int>(lpDrawItemStruct->itemID) < 0)
    return;
  if (static_cast<int>(lpDrawItemStruct->itemID) == GetCount() - 1) {
    CRect client;
    GetClientRect(&client);
    client.top = lpDrawItemStruct->rcItem.bottom;
    if (client.top < client.bottom && GetPaintManager())
      ::FillRect(lpDrawItemStruct->hDC, &client,
                 CBrush(GetPaintManager()->GetItemMetrics()->m_clrBack.GetValue()).operator HBRUSH());
  }
  if (m_pGrid && (m_pGrid->GetStyle() & TK_PGS_OWNERDRAW) != 0 &&
      SendNotifyMessage(TK_PGN_DRAWITEM, reinterpret_cast<LPARAM>(lpDrawItemStruct)) == 1)
    return;
  if (GetPaintManager())
    GetPaintManager()->DrawItem(lpDrawItemStruct);
}

void CTKPropertyGridView::MeasureItem(MEASUREITEMSTRUCT* lpMeasureItemStruct)
{
  lpMeasureItemStruct->itemHeight = static_cast<UINT>(m_nItemHeight);
  if (GetPaintManager())
    GetPaintManager()->MeasureItem(lpMeasureItemStruct);
}

BOOL CTKPropertyGridView::OnCommand(WPARAM wParam, LPARAM lParam)
{
  CTKPropertyGrid* grid = m_pGrid;
  if (grid && reinterpret_cast<HWND>(lParam) == grid->GetInplaceEdit().GetSafeHwnd() && lParam != 0) {
    grid->GetInplaceEdit().OnEditNotify(HIWORD(wParam));
    return TRUE;
  }
  if (grid && reinterpret_cast<HWND>(lParam) == grid->GetInplaceList().GetSafeHwnd() && lParam != 0)
    return TRUE;
  return CListBox::OnCommand(wParam, lParam);
}

BOOL CTKPropertyGridView::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == MCN_SELECT) {
    auto* calendar = dynamic_cast<CTKPropertyGridInplaceMonthCal*>(CWnd::FromHandlePermanent(header->hwndFrom));
    if (calendar) {
      calendar->Accept();
      *pResult = 0;
      return TRUE;
    }
  }
  return CListBox::OnNotify(wParam, lParam, pResult);
}

LRESULT CTKPropertyGridView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  CTKPropertyGridDispatch dispatch;
  if (m_wndTip.GetSafeHwnd() && m_wndTip.IsWindowVisible())
    RelayToolTipEvent(message);
  return CListBox::WindowProc(message, wParam, lParam);
}

void CTKPropertyGridView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  UINT key = nChar;
  CTKDrawHelpers::KeyToLayout(this, key);
  CTKPropertyGridItem* selected = GetSelectedItem();
  if (ctrl && (key == VK_LEFT || key == VK_RIGHT)) {
    SetDividerPos(GetDividerPos() + (key == VK_LEFT ? -3 : 3));
    if (selected)
      selected->OnSelect();
    Invalidate(FALSE);
    return;
  }
  if (selected && selected->HasChilds() && key == VK_RIGHT && !selected->IsExpanded()) {
    selected->Expand();
    return;
  }
  if (selected && selected->HasChilds() && key == VK_LEFT && selected->IsExpanded()) {
    selected->Collapse();
    return;
  }
  if (nChar == VK_RETURN && selected) {
    if (selected->HasChilds()) {
      SwitchExpandState(GetCurSel());
    } else {
      // Nothing to show or hide: only the flag turns over, and the owner hears of it.
      selected->m_bExpanded = !selected->m_bExpanded;
      OnSelectionChanged();
      SendNotifyMessage(TK_PGN_ITEMEXPANDCHANGED, reinterpret_cast<LPARAM>(selected));
    }
    return;
  }
  if (nChar == VK_F4 && selected && (selected->GetFlags() & tkpgItemHasComboButton) != 0)
    selected->OnInplaceButtonDown();
  selected = GetSelectedItem();
  if (selected && selected->OnKeyDown(nChar))
    return;
  CListBox::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CTKPropertyGridView::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  CTKPropertyGridItem* selected = GetSelectedItem();
  if ((nChar == VK_DOWN || nChar == VK_UP) && selected &&
      (selected->GetFlags() & tkpgItemHasComboButton) != 0) {
    selected->OnInplaceButtonDown();
    return;
  }
  CListBox::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

void CTKPropertyGridView::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  if (m_bTracking)
    return;
  CTKPropertyGridItem* selected = GetSelectedItem();
  if (nChar == '+' && selected && selected->HasChilds() && !selected->IsExpanded()) {
    selected->Expand();
    return;
  }
  if (nChar == '-' && selected && selected->HasChilds() && selected->IsExpanded()) {
    selected->Collapse();
    return;
  }
  if (nChar == VK_TAB) {
    if (m_pGrid)
      m_pGrid->OnNavigate(0, GetKeyState(VK_SHIFT) >= 0, selected);
    return;
  }
  if (selected && !(nChar == VK_RETURN && selected->HasChilds()) && selected->OnChar(nChar))
    return;
  CListBox::OnChar(nChar, nRepCnt, nFlags);
}

void CTKPropertyGridView::OnLButtonDown(UINT nFlags, CPoint point)
{
  const int divider = GetDividerPos();
  if (GetCount() > 0 && point.x > divider - 4 && point.x <= divider + 2) {
    SetFocus();
    SetCapture();
    if (CTKPropertyGridItem* selected = GetSelectedItem())
      selected->OnValidateEdit();
    m_bTracking = TRUE;
    return;
  }
  CTKPropertyGridItem* item = ItemFromPoint(point);
  if (!item) {
    CListBox::OnLButtonDown(nFlags, point);
    return;
  }
  SetFocus();
  if (::GetFocus() != GetSafeHwnd())
    return;
  if (ItemFromPoint(point) == item)
    item->OnLButtonDown(nFlags, point);
}

void CTKPropertyGridView::OnLButtonUp(UINT nFlags, CPoint point)
{
  if (m_bTracking) {
    m_bTracking = FALSE;
    ReleaseCapture();
  }
  if (CTKPropertyGridItem* item = ItemFromPoint(point))
    item->OnLButtonUp(nFlags, point);
  CListBox::OnLButtonUp(nFlags, point);
}

void CTKPropertyGridView::OnLButtonDblClk(UINT nFlags, CPoint point)
{
  CListBox::OnLButtonDblClk(nFlags, point);
  CTKPropertyGridItem* item = ItemFromPoint(point);
  if (!item)
    return;
  const std::weak_ptr<int> alive = m_pGrid ? m_pGrid->GetLifetime() : std::weak_ptr<int>();
  item->InternalAddRef();
  item->OnLButtonDblClk(nFlags, point);
  if (m_pGrid && !alive.expired() && ItemFromPoint(point) == item)
    SendNotifyMessage(TK_PGN_DBLCLICK, reinterpret_cast<LPARAM>(item));
  item->InternalRelease();
}

void CTKPropertyGridView::OnRButtonDown(UINT nFlags, CPoint point)
{
  CListBox::OnRButtonDown(nFlags, point);
  CTKPropertyGridItem* item = ItemFromPoint(point);
  if (!item)
    return;
  item->OnRButtonDown(nFlags, point);
  if (ItemFromPoint(point) == item)
    SendNotifyMessage(TK_PGN_RCLICK, reinterpret_cast<LPARAM>(item));
}

void CTKPropertyGridView::OnMouseMove(UINT nFlags, CPoint point)
{
  if (m_bTracking) {
    SetDividerPos(point.x);
    if (CTKPropertyGridItem* selected = GetSelectedItem())
      selected->OnSelect();
    Invalidate(FALSE);
    return;
  }
  ShowToolTip(point);
  CListBox::OnMouseMove(nFlags, point);
}

void CTKPropertyGridView::RelayToolTipEvent(UINT message)
{
  if (m_bRelaying)
    return;
  m_bRelaying = true;
  switch (message) {
    case WM_MOUSEMOVE: {
      CPoint cursor;
      ::GetCursorPos(&cursor);
      if (!m_rcToolTip.PtInRect(cursor)) {
        m_strTipText.Empty();
        m_wndTip.ShowWindow(SW_HIDE);
      }
      break;
    }
    case WM_MOUSEWHEEL:
      m_strTipText.Empty();
      m_wndTip.ShowWindow(SW_HIDE);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSELEAVE:
      // The text stays, so the same tip is not offered again until the cursor leaves the part.
      m_wndTip.ShowWindow(SW_HIDE);
      break;
    default: break;
  }
  m_bRelaying = false;
}

void CTKPropertyGridView::ShowToolTip(CPoint point)
{
  if (CTKMouseMonitor::IsMouseHooked() || !GetPaintManager())
    return;
  if (!m_wndTip.GetSafeHwnd() && !m_wndTip.Create(this))
    return;
  CTKPropertyGridItem* item = ItemFromPoint(point);
  if (!item || item->IsCategory())
    return;
  CTKPropertyGridPaintManager* paint = GetPaintManager();
  CRect row;
  GetItemRect(item->GetIndex(), &row);
  const int divider = GetDividerPos();
  CRect part = row;
  CRect text;
  CString tip;
  CFont* font = nullptr;
  int textWidth = 0;
  CClientDC dc(this);
  const bool rtl = (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
  if (point.x < row.left + divider) {
    part.right = row.left + divider;
    tip = item->GetCaption();
    if (m_strTipText == tip)
      return;
    m_strTipText = tip;
    font = paint->GetItemFont(item, FALSE);
    CTKFontDC select(&dc, font);
    textWidth = dc.GetTextExtent(tip.IsEmpty() ? CString(" ") : tip).cx;
    text = CRect(row.left + item->GetIndent() * TK_PGI_EXPAND_BORDER - 1, row.top - 1, part.right, row.bottom);
    paint->AdjustItemCaptionRect(item, text);
    if (text.Width() >= textWidth + 3)
      return;
    if (rtl)
      text.left = part.right - item->GetIndent() * TK_PGI_EXPAND_BORDER - textWidth - 7;
  } else {
    part.left = row.left + divider;
    tip = item->GetViewValue();
    if (m_strTipText == tip || item->GetMultiLinesCount() > 1)
      return;
    m_strTipText = tip;
    CTKPropertyGridInplaceEdit& edit = item->GetInplaceEdit();
    if (edit.GetItem() == item && ::GetFocus() == edit.GetSafeHwnd())
      return;
    font = paint->GetItemFont(item, TRUE);
    CTKFontDC select(&dc, font);
    textWidth = dc.GetTextExtent(tip.IsEmpty() ? CString(" ") : tip).cx;
    text = item->GetValueRect();
    text.left -= 1;
    text.top -= 2;
    text.bottom += 1;
    if (text.Width() >= textWidth + 3)
      return;
    if (rtl)
      text.left = text.right - textWidth - 8;
  }
  ClientToScreen(&text);
  text.right = text.left + textWidth + 8;
  const CRect work = CTKDrawHelpers::GetWorkArea();
  if (text.right > work.right)
    text.OffsetRect(work.right - text.right, 0);
  if (text.left < work.left)
    text.OffsetRect(work.left - text.left, 0);
  m_wndTip.Show(tip, font, text);
  ClientToScreen(&part);
  m_rcToolTip = part;
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, GetSafeHwnd(), 0};
  ::TrackMouseEvent(&track);
}

void CTKPropertyGridView::OnCaptureChanged(CWnd* pWnd)
{
  m_bTracking = FALSE;
  CListBox::OnCaptureChanged(pWnd);
}

BOOL CTKPropertyGridView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
  if (nHitTest == HTCLIENT) {
    CPoint point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    const int divider = GetDividerPos();
    if (GetCount() > 0 && point.x > divider - 4 && point.x <= divider + 2) {
      ::SetCursor(m_hCursor);
      return TRUE;
    }
  }
  return CListBox::OnSetCursor(pWnd, nHitTest, message);
}

void CTKPropertyGridView::OnSize(UINT nType, int cx, int cy)
{
  CListBox::OnSize(nType, cx, cy);
  OnSelectionChanged();
}

void CTKPropertyGridView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
  (void)nSBCode;
  (void)nPos;
  (void)pScrollBar;
  Default();
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

BOOL CTKPropertyGridView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
  const BOOL result = CListBox::OnMouseWheel(nFlags, zDelta, pt);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  return result;
}

BOOL CTKPropertyGridView::OnEraseBkgnd(HDC)
{
  return TRUE;
}

void CTKPropertyGridView::OnPaint()
{
  // The rows draw themselves, each through its own buffer; the area below the last row is filled by it.
  if (GetCount() == 0 && GetPaintManager()) {
    CClientDC dc(this);
    GetPaintManager()->FillPropertyGridView(&dc, TRUE);
  }
  Default();
}

LRESULT CTKPropertyGridView::OnGetDlgCode(WPARAM, LPARAM)
{
  return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}


LRESULT CTKPropertyGridView::OnDrawListItem(WPARAM, LPARAM lParam)
{
  auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (m_pGrid && draw->hwndItem == m_pGrid->GetInplaceList().GetSafeHwnd())
    m_pGrid->GetInplaceList().DrawItem(draw);
  return TRUE;
}

LRESULT CTKPropertyGridView::OnMeasureListItem(WPARAM, LPARAM)
{
  return TRUE;
}
