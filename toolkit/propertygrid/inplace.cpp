#include "toolkit/propertygrid/inplace.h"

#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/draw_tracking.h"
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/item.h"
#include "toolkit/propertygrid/paint_manager.h"
#include "toolkit/propertygrid/view.h"

#include "platform/user/dialog.h"
#include "platform/user/input.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cctype>

IMPLEMENT_DYNAMIC(CTKPropertyGridInplaceEdit, CEdit)
IMPLEMENT_DYNAMIC(CTKPropertyGridInplaceButton, CStatic)
IMPLEMENT_DYNAMIC(CTKPropertyGridInplaceList, CListBox)

namespace {

// Style bits that do not force the edit window to be made again.
constexpr DWORD kIgnoredEditStyles = WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER | ES_RIGHT;

std::weak_ptr<int> LifetimeOf(const CTKPropertyGridView* view)
{
  return view && view->GetPropertyGrid() ? view->GetPropertyGrid()->GetLifetime() : std::weak_ptr<int>();
}

}  // namespace

// --- Edit -----------------------------------------------------------------------------------------------------

CTKPropertyGridInplaceEdit::~CTKPropertyGridInplaceEdit()
{
  if (GetSafeHwnd())
    DestroyWindow();
}

void CTKPropertyGridInplaceEdit::HideWindow()
{
  if (GetSafeHwnd())
    ShowWindow(SW_HIDE);
}

void CTKPropertyGridInplaceEdit::DestroyItem()
{
  m_pItem = nullptr;
  m_pGrid = nullptr;
  m_strValue.Empty();
  m_brBack.DeleteObject();
  m_clrBack = static_cast<COLORREF>(-1);
  HideWindow();
}

void CTKPropertyGridInplaceEdit::Create(CTKPropertyGridItem* pItem, CRect rect)
{
  m_pItem = pItem;
  m_pGrid = pItem->GetGridView();
  m_bCreated = FALSE;
  m_bEditMode = FALSE;
  m_bCancel = FALSE;
  const DWORD style = pItem->GetEditStyle();
  if (GetSafeHwnd() && ((GetStyle() & ~kIgnoredEditStyles) != (style & ~kIgnoredEditStyles) || m_bDelayCreate))
    DestroyWindow();
  if (!GetSafeHwnd()) {
    if (!m_pGrid || !m_pGrid->GetSafeHwnd())
      return;
    CEdit::Create(style, CRect(0, 0, 0, 0), m_pGrid, 0);
  }
  m_bDelayCreate = FALSE;
  if (!GetSafeHwnd())
    return;
  if (pItem->IsPassword())
    SetPasswordChar(pItem->GetMaskChar());
  if (CTKPropertyGridPaintManager* paint = m_pGrid->GetPaintManager())
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(paint->GetItemFont(pItem, TRUE)->GetSafeHandle()), FALSE);
  SetUseMask(pItem->IsMaskEnabled());
  if (pItem->IsMaskEnabled()) {
    SetEditMask(pItem->GetMaskText(), pItem->GetMaskLiteral(), m_strValue);
    SetPromptChar(pItem->GetMaskChar(), FALSE);
  }
  SetWindowText(m_strValue);
  SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
  m_bCreated = TRUE;
}

BOOL CTKPropertyGridInplaceEdit::SelectConstraint(int nDirection, BOOL bCircle)
{
  if (!m_pItem || !GetSafeHwnd())
    return FALSE;
  CTKPropertyGridItemConstraints* constraints = m_pItem->GetConstraints();
  if (constraints->GetCount() == 0)
    return FALSE;
  int index = constraints->FindConstraint(GetWindowTextString());
  if (index == -1)
    return FALSE;
  index += nDirection;
  if (index >= constraints->GetCount())
    index = bCircle ? 0 : constraints->GetCount() - 1;
  if (index < 0)
    index = bCircle ? constraints->GetCount() - 1 : 0;
  SetWindowText(constraints->GetAt(index));
  constraints->SetCurrent(index);
  return TRUE;
}

void CTKPropertyGridInplaceEdit::OnEditNotify(UINT nCode)
{
  CTKPropertyGridView* view = m_pGrid;
  CTKPropertyGridItem* item = m_pItem;
  if (!view || !item)
    return;
  const std::weak_ptr<int> alive = LifetimeOf(view);
  switch (nCode) {
    case EN_CHANGE:
      if (m_bCreated)
        view->SendNotifyMessage(TK_PGN_EDIT_CHANGED, reinterpret_cast<LPARAM>(this));
      break;
    case EN_SETFOCUS:
      view->Invalidate(FALSE);
      if (!item->OnRequestEdit()) {
        if (!alive.expired() && view->GetSafeHwnd())
          view->SetFocus();
        return;
      }
      if (!alive.expired())
        m_bEditMode = TRUE;
      break;
    case EN_KILLFOCUS:
      item->InternalAddRef();
      item->OnValidateEdit();
      item->InternalRelease();
      if (!alive.expired() && view->GetSafeHwnd())
        view->Invalidate(FALSE);
      break;
    default: break;
  }
}

HBRUSH CTKPropertyGridInplaceEdit::CtlColor(CDC* pDC)
{
  if (!m_pItem || !m_pGrid || !m_pGrid->GetPaintManager())
    return nullptr;
  CTKPropertyGridPaintManager* paint = m_pGrid->GetPaintManager();
  const COLORREF back = paint->GetItemBackColor(m_pItem, TRUE);
  pDC->SetTextColor(paint->GetItemTextColor(m_pItem, TRUE));
  pDC->SetBkColor(back);
  if (back != m_clrBack || !m_brBack.GetSafeHandle()) {
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(back);
    m_clrBack = back;
  }
  return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}

BOOL CTKPropertyGridInplaceEdit::PreTranslateMessage(MSG* pMsg)
{
  if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == GetSafeHwnd() && ::IsDialogMessage(GetSafeHwnd(), pMsg))
    return TRUE;
  return CTKMaskEditT<CEdit>::PreTranslateMessage(pMsg);
}

LRESULT CTKPropertyGridInplaceEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  CTKPropertyGridDispatch dispatch;
  CTKPropertyGridItem* item = m_pItem;
  switch (message) {
    case WM_GETDLGCODE:
      // Enter and Escape end the edit as characters; the dialog-message processing its key-downs go through
      // would otherwise take them as the default and cancel buttons of a dialog the edit is not in.
      return CTKMaskEditT<CEdit>::WindowProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_SETFOCUS: {
      // A read-only value can be selected and copied, but a caret would invite typing into it.
      const LRESULT result = CTKMaskEditT<CEdit>::WindowProc(message, wParam, lParam);
      if ((GetStyle() & ES_READONLY) != 0)
        ::HideCaret(GetSafeHwnd());
      return result;
    }
    case WM_CHAR: {
      const UINT ch = static_cast<UINT>(wParam);
      if (ch == VK_RETURN || ch == VK_ESCAPE) {
        if (m_pGrid && m_pGrid->GetSafeHwnd())
          m_pGrid->SetFocus();
        return 0;
      }
      if (ch == VK_TAB)
        return 0;
      if (item && !item->GetReadOnly() && item->GetConstraintEdit() && item->GetConstraints()->GetCount() > 0) {
        CTKPropertyGridItemConstraints* constraints = item->GetConstraints();
        const int count = constraints->GetCount();
        int current = constraints->FindConstraint(GetWindowTextString());
        if (current == -1)
          current = count - 1;
        const char typed = tkmask::ToLower(static_cast<char>(ch));
        for (int step = 1; step <= count; ++step) {
          const int index = (current + step) % count;
          const CString text = constraints->GetAt(index);
          if (!text.IsEmpty() && tkmask::ToLower(text[0]) == typed) {
            SetWindowText(text);
            constraints->SetCurrent(index);
            SetSel(0, -1);
            break;
          }
        }
        return 0;
      }
      break;
    }
    case WM_KEYDOWN: {
      const UINT key = static_cast<UINT>(wParam);
      if (key == VK_TAB) {
        if (m_pGrid && m_pGrid->GetPropertyGrid())
          m_pGrid->GetPropertyGrid()->OnNavigate(1, GetKeyState(VK_SHIFT) >= 0, item);
        return 0;
      }
      if (key == VK_RETURN)
        return 0;
      if (key == VK_ESCAPE) {
        m_bCancel = TRUE;
        SetWindowText(m_strValue);
        return 0;
      }
      if ((key == VK_UP || key == VK_DOWN) && item && !item->GetReadOnly() &&
          SelectConstraint(key == VK_UP ? -1 : +1, FALSE)) {
        SetSel(0, -1);
        return 0;
      }
      if (key == VK_F4 && item && (item->GetFlags() & tkpgItemHasComboButton) != 0)
        item->OnInplaceButtonDown();
      break;
    }
    case WM_SYSKEYDOWN:
      if ((wParam == VK_DOWN || wParam == VK_UP) && item && (item->GetFlags() & tkpgItemHasComboButton) != 0) {
        item->OnInplaceButtonDown();
        return 0;
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (item && !item->GetReadOnly() && SelectConstraint(+1, TRUE)) {
        if (m_pGrid)
          m_pGrid->SetFocus();
        return 0;
      }
      break;
    default: break;
  }
  return CTKMaskEditT<CEdit>::WindowProc(message, wParam, lParam);
}

// --- Button ---------------------------------------------------------------------------------------------------

void CTKPropertyGridInplaceButton::HideWindow()
{
  if (GetSafeHwnd())
    ShowWindow(SW_HIDE);
}

void CTKPropertyGridInplaceButton::DestroyItem()
{
  m_bPressed = m_bOver = FALSE;
  m_pGrid = nullptr;
  m_pItem = nullptr;
  HideWindow();
}

void CTKPropertyGridInplaceButton::Create(CTKPropertyGridItem* pItem, CRect rect)
{
  CTKPropertyGridView* view = pItem->GetGridView();
  if (!view || !view->GetSafeHwnd())
    return;
  const int width = GetSystemMetrics(SM_CXHTHUMB);
  CRect button(rect.right - width, rect.top - 1, rect.right, rect.bottom);
  if (!GetSafeHwnd())
    CStatic::Create("", WS_CHILD | SS_NOTIFY, button, view, 0xFFFF);
  m_pGrid = view;
  m_pItem = pItem;
  SetWindowPos(nullptr, button.left, button.top, button.Width(), button.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
  Invalidate(FALSE);
}

LRESULT CTKPropertyGridInplaceButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  CTKPropertyGridDispatch dispatch;
  switch (message) {
    case WM_PAINT: {
      CPaintDC paint(this);
      if (m_pGrid && m_pGrid->GetPaintManager()) {
        CRect client;
        GetClientRect(&client);
        CTKBufferDC buffer(paint.GetSafeHdc(), client);
        m_pGrid->GetPaintManager()->FillInplaceButton(&buffer, this);
      }
      return 0;
    }
    case WM_ERASEBKGND: return TRUE;
    case WM_LBUTTONDOWN:
      m_bPressed = m_bOver = TRUE;
      Invalidate(FALSE);
      SetCapture();
      return 0;
    case WM_LBUTTONUP:
      if (m_bPressed) {
        m_bPressed = FALSE;
        Invalidate(FALSE);
        ReleaseCapture();
        if (m_bOver && m_pItem)
          m_pItem->OnInplaceButtonDown();
      }
      return 0;
    case WM_MOUSEMOVE: {
      CRect client;
      GetClientRect(&client);
      const BOOL over = client.PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      if (over != m_bOver) {
        m_bOver = over;
        Invalidate(FALSE);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      m_bPressed = FALSE;
      Invalidate(FALSE);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate(FALSE);
      if (message == WM_KILLFOCUS && m_pGrid)
        m_pGrid->Invalidate(FALSE);
      break;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if ((wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_DOWN) && m_pItem) {
        m_pItem->OnInplaceButtonDown();
        return 0;
      }
      if (wParam == VK_TAB && m_pGrid && m_pGrid->GetPropertyGrid()) {
        m_pGrid->GetPropertyGrid()->OnNavigate(2, GetKeyState(VK_SHIFT) >= 0, m_pItem);
        return 0;
      }
      break;
    default: break;
  }
  return CStatic::WindowProc(message, wParam, lParam);
}

// --- Drop-down list -----------------------------------------------------------------------------------------

CTKPropertyGridInplaceList::~CTKPropertyGridInplaceList()
{
  if (GetSafeHwnd())
    DestroyWindow();
}

void CTKPropertyGridInplaceList::Create(CTKPropertyGridItem* pItem, CRect rect)
{
  CTKPropertyGridView* view = pItem->GetGridView();
  if (!view || !view->GetSafeHwnd())
    return;
  CRect list(view->GetDividerPos() + 1, rect.top, rect.right, rect.bottom);
  if (GetSafeHwnd())
    DestroyWindow();
  m_pItem = pItem;
  DWORD exStyle = WS_EX_TOOLWINDOW | (view->GetExStyle() & WS_EX_LAYOUTRTL);
  if (!CreateEx(exStyle, "LISTBOX", nullptr,
                WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 0, 0,
                view->GetSafeHwnd(), nullptr))
    return;
  HFONT font = reinterpret_cast<HFONT>(view->SendMessage(WM_GETFONT));
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ResetContent();
  CClientDC dc(view);
  HGDIOBJ oldFont = font ? ::SelectObject(dc.GetSafeHdc(), font) : nullptr;
  CTKPropertyGridItemConstraints* constraints = pItem->GetConstraints();
  int width = 0;
  int height = dc.GetTextExtent(" ", 1).cy + 3;
  for (int i = 0; i < constraints->GetCount(); ++i) {
    CTKPropertyGridItemConstraint* constraint = constraints->GetConstraintAt(i);
    const int row = AddString(constraint->m_strConstraint);
    SetItemData(row, reinterpret_cast<DWORD_PTR>(constraint));
    const CSize size = pItem->OnMeasureConstraint(&dc, constraint);
    width = std::max(width, static_cast<int>(size.cx));
    height = std::max(height, static_cast<int>(size.cy));
    if (constraint->m_strConstraint == pItem->GetValue())
      SetCurSel(row);
  }
  if (oldFont)
    ::SelectObject(dc.GetSafeHdc(), oldFont);
  SetItemHeight(0, static_cast<UINT>(height));
  width = std::max(width, static_cast<int>(rect.right - list.left));
  const int rows = std::min(constraints->GetCount(), 10);
  list.top = rect.bottom;
  list.bottom = list.top + rows * height + 2;
  list.left = list.right - std::min(width, static_cast<int>(rect.Width()) - 14);
  view->ClientToScreen(&list);
  const CRect work = CTKDrawHelpers::GetWorkArea(list);
  if (list.bottom > work.bottom && list.top > work.CenterPoint().y) {
    CRect screenRow = rect;
    view->ClientToScreen(&screenRow);
    list.OffsetRect(0, screenRow.top - 1 - list.bottom);
  }
  if (list.right > work.right)
    list.OffsetRect(work.right - list.right, 0);
  if (list.left < work.left)
    list.OffsetRect(work.left - list.left, 0);
  SetFocus();
  // A popup owned by the view, so that it may reach past the grid.
  ::SetParent(GetSafeHwnd(), nullptr);
  ModifyStyle(WS_CHILD, WS_POPUP);
  ::SetWindowLongPtr(GetSafeHwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(view->GetSafeHwnd()));
  ::SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, list.left, list.top, list.Width(), list.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  CTKMouseMonitor::SetupHook(this);
}

void CTKPropertyGridInplaceList::DestroyItem()
{
  m_pItem = nullptr;
  CTKMouseMonitor::SetupHook(nullptr);
  if (GetSafeHwnd())
    DestroyWindow();
}

void CTKPropertyGridInplaceList::FocusOwner()
{
  CWnd* owner = GetOwner();
  if (!owner)
    owner = GetParent();
  if (owner)
    owner->SetFocus();
}

void CTKPropertyGridInplaceList::Cancel()
{
  CTKPropertyGridItem* item = m_pItem;
  m_pItem = nullptr;
  if (item) {
    item->InternalAddRef();
    item->OnCancelEdit();
    item->InternalRelease();
  }
  if (GetSafeHwnd() && ::GetFocus() == GetSafeHwnd())
    FocusOwner();
}

void CTKPropertyGridInplaceList::Apply()
{
  const int row = GetCurSel();
  CTKPropertyGridItem* item = m_pItem;
  if (row != LB_ERR && item) {
    m_pItem = nullptr;
    item->InternalAddRef();
    item->GetConstraints()->SetCurrent(row);
    CString value = item->GetConstraints()->GetAt(row);
    if (item->OnAfterEdit(value) && value != item->GetValue())
      item->OnValueChanged(value);
    item->InternalRelease();
  }
  m_pItem = nullptr;
  if (GetSafeHwnd())
    FocusOwner();
}

void CTKPropertyGridInplaceList::DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct)
{
  auto* constraint = reinterpret_cast<CTKPropertyGridItemConstraint*>(lpDrawItemStruct->itemData);
  if (!constraint || !m_pItem)
    return;
  CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
  m_pItem->OnDrawItemConstraint(dc, constraint, CRect(lpDrawItemStruct->rcItem),
                                (lpDrawItemStruct->itemState & ODS_SELECTED) != 0);
}

LRESULT CTKPropertyGridInplaceList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  CTKPropertyGridDispatch dispatch;
  switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONUP: {
      CRect client;
      GetClientRect(&client);
      CListBox::WindowProc(message, wParam, lParam);
      if (client.PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))))
        Apply();
      else
        Cancel();
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_F4) {
        Apply();
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        Cancel();
        return 0;
      }
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_DOWN || wParam == VK_UP) {
        Apply();
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      CTKMouseMonitor::SetupHook(nullptr);
      const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
      if (m_pItem)
        Cancel();
      if (GetSafeHwnd())
        DestroyWindow();
      return result;
    }
    case WM_DESTROY: CTKMouseMonitor::SetupHook(nullptr); break;
    default: break;
  }
  return CListBox::WindowProc(message, wParam, lParam);
}
