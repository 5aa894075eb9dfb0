#include "toolkit/controls/tree_ctrl.h"

#include "platform/mfc/dc.h"
#include "toolkit/controls/mask_edit.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/draw_helpers.h"

#include <cctype>
#include <cstring>

namespace {

// Colour indices of the colour manager, by the system colour they stand for.
constexpr UINT kWindow = 5;
constexpr UINT kWindowText = 8;
constexpr UINT kHighlight = 13;
constexpr UINT kHighlightText = 14;
constexpr UINT kButtonFace = 15;
constexpr UINT kGrayText = 17;

constexpr COLORREF kNoColor = static_cast<COLORREF>(-1);

COLORREF Color(UINT index) { return TKColorManager().GetColor(index); }

// Labels are code page 1251: Cyrillic letters have case and count as word characters too.
CString Lowered(const CString& text)
{
  CString out(text);
  out.MakeLower();
  return out;
}

bool IsWordChar(char ch)
{
  return std::isdigit(static_cast<unsigned char>(ch)) != 0 || tkmask::IsAlphaChar(ch) || ch == '_';
}

// Whether `label` holds `text`; with wholeWord only where neither neighbour is a word character.
bool LabelMatches(const CString& label, const CString& text, bool wholeWord)
{
  int from = 0;
  for (;;) {
    const int at = label.Find(text, from);
    if (at < 0)
      return false;
    if (!wholeWord)
      return true;
    const int end = at + text.GetLength();
    const bool before = at == 0 || !IsWordChar(label[at - 1]);
    const bool after = end >= label.GetLength() || !IsWordChar(label[end]);
    if (before && after)
      return true;
    from = at + 1;
  }
}

}  // namespace

CTKTreeBase::CTKTreeBase() = default;

CTKTreeBase::~CTKTreeBase() = default;

HTREEITEM CTKTreeBase::GetNextItem(HTREEITEM hItem, UINT nCode) const { return m_pTree->GetNextItem(hItem, nCode); }

HTREEITEM CTKTreeBase::GetNextItemInOrder(HTREEITEM hItem) const
{
  if (HTREEITEM child = GetNextItem(hItem, TVGN_CHILD))
    return child;
  for (HTREEITEM item = hItem; item; item = GetNextItem(item, TVGN_PARENT)) {
    if (HTREEITEM next = GetNextItem(item, TVGN_NEXT))
      return next;
  }
  return nullptr;
}

HTREEITEM CTKTreeBase::GetPrevItemInOrder(HTREEITEM hItem) const
{
  if (HTREEITEM prev = GetNextItem(hItem, TVGN_PREVIOUS))
    return GetLastItem(prev);
  return GetNextItem(hItem, TVGN_PARENT);
}

HTREEITEM CTKTreeBase::GetLastItem(HTREEITEM hItem) const
{
  HTREEITEM item = hItem;
  if (!item) {
    item = GetNextItem(nullptr, TVGN_ROOT);
    if (!item)
      return nullptr;
    while (HTREEITEM next = GetNextItem(item, TVGN_NEXT))
      item = next;
  }
  while (HTREEITEM child = GetNextItem(item, TVGN_CHILD)) {
    item = child;
    while (HTREEITEM next = GetNextItem(item, TVGN_NEXT))
      item = next;
  }
  return item;
}

HTREEITEM CTKTreeBase::FindItem(const CString& text, BOOL bMatchCase, BOOL bDown, BOOL bWholeWord, HTREEITEM start)
{
  if (text.IsEmpty())
    return nullptr;
  if (!start)
    start = GetNextItem(nullptr, TVGN_CARET);
  if (!start)
    start = GetNextItem(nullptr, TVGN_ROOT);
  if (!start)
    return nullptr;
  const CString wanted = bMatchCase ? text : Lowered(text);
  HTREEITEM item = start;
  do {
    const CString label = bMatchCase ? m_pTree->GetItemText(item) : Lowered(m_pTree->GetItemText(item));
    if (LabelMatches(label, wanted, bWholeWord != FALSE) && IsFindValid(item))
      return item;
    item = bDown ? GetNextItemInOrder(item) : GetPrevItemInOrder(item);
    if (!item)
      item = bDown ? GetNextItem(nullptr, TVGN_ROOT) : GetLastItem(nullptr);
  } while (item && item != start);
  return nullptr;
}

HTREEITEM CTKTreeBase::FindItemInBranch(const CString& text, BOOL bMatchCase, BOOL bWholeWord, HTREEITEM hItem)
{
  if (text.IsEmpty())
    return nullptr;
  const CString wanted = bMatchCase ? text : Lowered(text);
  for (HTREEITEM child = GetNextItem(hItem, TVGN_CHILD); child; child = GetNextItem(child, TVGN_NEXT)) {
    if (HTREEITEM below = FindItemInBranch(text, bMatchCase, bWholeWord, child))
      return below;
    const CString label = bMatchCase ? m_pTree->GetItemText(child) : Lowered(m_pTree->GetItemText(child));
    if (LabelMatches(label, wanted, bWholeWord != FALSE) && IsFindValid(child))
      return child;
  }
  return nullptr;
}

CTKTreeBase::CLRFONT* CTKTreeBase::Find(HTREEITEM hItem)
{
  auto it = m_mapColorFont.find(hItem);
  return it != m_mapColorFont.end() ? &it->second : nullptr;
}

const CTKTreeBase::CLRFONT* CTKTreeBase::Find(HTREEITEM hItem) const
{
  auto it = m_mapColorFont.find(hItem);
  return it != m_mapColorFont.end() ? &it->second : nullptr;
}

void CTKTreeBase::InvalidateTree()
{
  if (IsTreeWindow())
    m_pTree->Invalidate();
}

void CTKTreeBase::SetItemFont(HTREEITEM hItem, const LOGFONT& logfont) { m_mapColorFont[hItem].logfont = logfont; }

BOOL CTKTreeBase::GetItemFont(HTREEITEM hItem, LOGFONT* logfont)
{
  const CLRFONT* entry = Find(hItem);
  if (!entry || entry->logfont.lfFaceName[0] == '\0')
    return FALSE;
  *logfont = entry->logfont;
  return TRUE;
}

void CTKTreeBase::SetItemBold(HTREEITEM hItem, BOOL bBold)
{
  m_pTree->CTreeCtrl::SetItemState(hItem, bBold ? TVIS_BOLD : 0, TVIS_BOLD);
  InvalidateTree();
}

BOOL CTKTreeBase::GetItemBold(HTREEITEM hItem) { return (m_pTree->CTreeCtrl::GetItemState(hItem, TVIS_BOLD) & TVIS_BOLD) != 0; }

void CTKTreeBase::SetItemColor(HTREEITEM hItem, COLORREF color)
{
  m_mapColorFont[hItem].color = color;
  InvalidateTree();
}

COLORREF CTKTreeBase::GetItemColor(HTREEITEM hItem)
{
  const CLRFONT* entry = Find(hItem);
  return entry ? entry->color : kNoColor;
}

BOOL CTKTreeBase::EnableMultiSelect(BOOL bMultiSelect)
{
  const BOOL previous = m_bMultiSelect;
  m_bMultiSelect = bMultiSelect;
  if (previous && !bMultiSelect && IsTreeWindow()) {
    HTREEITEM caret = GetNextItem(nullptr, TVGN_CARET);
    SelectAll(FALSE, caret);
  }
  return previous;
}

UINT CTKTreeBase::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
  UINT state = m_pTree->CTreeCtrl::GetItemState(hItem, nStateMask);
  if ((nStateMask & TVIS_FOCUSED) != 0 && hItem && hItem == GetNextItem(nullptr, TVGN_CARET))
    state |= TVIS_FOCUSED;
  return state;
}

BOOL CTKTreeBase::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
  return m_pTree->CTreeCtrl::SetItemState(hItem, nState, nStateMask);
}

BOOL CTKTreeBase::SelectItem(HTREEITEM hItem)
{
  if (!m_bMultiSelect)
    return m_pTree->Select(hItem, TVGN_CARET);
  return SetItemState(hItem, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
}

HTREEITEM CTKTreeBase::GetFirstSelectedItem() const
{
  for (HTREEITEM item = GetNextItem(nullptr, TVGN_ROOT); item; item = GetNextItem(item, TVGN_NEXTVISIBLE)) {
    if (GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED)
      return item;
  }
  return nullptr;
}

HTREEITEM CTKTreeBase::GetNextSelectedItem(HTREEITEM hItem) const
{
  for (HTREEITEM item = GetNextItem(hItem, TVGN_NEXTVISIBLE); item; item = GetNextItem(item, TVGN_NEXTVISIBLE)) {
    if (GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED)
      return item;
  }
  return nullptr;
}

HTREEITEM CTKTreeBase::GetPrevSelectedItem(HTREEITEM hItem)
{
  for (HTREEITEM item = GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); item;
       item = GetNextItem(item, TVGN_PREVIOUSVISIBLE)) {
    if (GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED)
      return item;
  }
  return nullptr;
}

UINT CTKTreeBase::GetSelectedCount() const
{
  UINT count = 0;
  for (HTREEITEM item = GetFirstSelectedItem(); item; item = GetNextSelectedItem(item))
    ++count;
  return count;
}

void CTKTreeBase::SelectAll(BOOL bSelect, HTREEITEM except)
{
  for (HTREEITEM item = GetNextItem(nullptr, TVGN_ROOT); item; item = GetNextItem(item, TVGN_NEXTVISIBLE)) {
    if (item != except)
      SetItemState(item, bSelect ? TVIS_SELECTED : 0, TVIS_SELECTED);
  }
}

void CTKTreeBase::SetAllSelected(BOOL bSelect, HTREEITEM from)
{
  for (HTREEITEM item = from ? from : GetNextItem(nullptr, TVGN_ROOT); item;
       item = GetNextItem(item, TVGN_NEXTVISIBLE))
    SetItemState(item, bSelect ? TVIS_SELECTED : 0, TVIS_SELECTED);
}

LRESULT CTKTreeBase::SendNotify(NMHDR* pNMHDR)
{
  CWnd* target = m_pTree->GetOwner();
  if (!target)
    target = m_pTree->GetParent();
  if (!target)
    return 0;
  pNMHDR->hwndFrom = m_pTree->GetSafeHwnd();
  pNMHDR->idFrom = static_cast<UINT_PTR>(m_pTree->GetDlgCtrlID());
  return target->SendMessage(WM_NOTIFY, pNMHDR->idFrom, reinterpret_cast<LPARAM>(pNMHDR));
}

BOOL CTKTreeBase::IsFindValid(HTREEITEM) { return TRUE; }

void CTKTreeBase::DrawLabel(CDC& dc, HTREEITEM hItem, COLORREF back, COLORREF text, const CRect& client)
{
  CRect label;
  if (!m_pTree->GetItemRect(hItem, &label, TRUE))
    return;
  CRect row(label.left, label.top, client.right, label.bottom);
  dc.FillSolidRect(&row, back);

  const bool enabled = m_pTree->IsWindowEnabled() != FALSE;
  const bool focused = CWnd::GetFocus() == m_pTree;
  const UINT state = GetItemState(hItem, TVIS_FOCUSED | TVIS_SELECTED | TVIS_DROPHILITED | TVIS_BOLD);
  const bool marked = (state & (TVIS_SELECTED | TVIS_DROPHILITED)) != 0;
  COLORREF labelBack = back;
  COLORREF labelText = text;
  if (marked && (focused || (m_pTree->GetStyle() & TVS_SHOWSELALWAYS) != 0)) {
    labelBack = !enabled ? Color(kGrayText) : focused ? Color(kHighlight) : Color(kButtonFace);
    labelText = !enabled ? Color(kButtonFace) : focused ? Color(kHighlightText) : Color(kWindowText);
  }
  if (hItem == m_hEditedItem)
    labelBack = labelText = back;

  LOGFONT logfont{};
  HFONT controlFont = reinterpret_cast<HFONT>(m_pTree->SendMessage(WM_GETFONT));
  CFont::FromHandle(controlFont ? controlFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
      ->GetLogFont(&logfont);
  if (const CLRFONT* own = Find(hItem)) {
    if (own->logfont.lfFaceName[0] != '\0')
      logfont = own->logfont;
    if (own->color != kNoColor && !marked && enabled)
      labelText = own->color;
  }
  if (state & TVIS_BOLD)
    logfont.lfWeight = FW_BOLD;
  CFont font;
  font.CreateFontIndirect(&logfont);
  CFont* oldFont = dc.SelectObject(&font);

  const CString itemText = m_pTree->GetItemText(hItem);
  const CSize extent = dc.GetTextExtent(itemText);
  if (extent.cx > label.Width())
    label.right = label.left + extent.cx + 2;
  if (marked && labelBack != back)
    dc.FillSolidRect(&label, labelBack);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(labelText);
  dc.DrawText(itemText, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(oldFont);

  if ((state & TVIS_FOCUSED) && !m_hEditedItem && enabled && focused)
    dc.DrawFocusRect(&label);
}

void CTKTreeBase::OnPaint(CDC* pDC, BOOL bLabels)
{
  CRect client;
  m_pTree->GetClientRect(&client);
  const bool enabled = m_pTree->IsWindowEnabled() != FALSE;
  COLORREF back = Color(kButtonFace);
  COLORREF text = Color(kGrayText);
  if (enabled) {
    back = m_pTree->GetBkColor();
    if (back == kNoColor)
      back = Color(kWindow);
    text = m_pTree->GetTextColor();
    if (text == kNoColor)
      text = Color(kWindowText);
  }
  CTKMemDC memDC(pDC, client, CTKPaintManagerColorGradient(back));
  DefaultPaint(&memDC);
  if (!bLabels)
    return;
  HTREEITEM item = GetNextItem(nullptr, TVGN_FIRSTVISIBLE);
  const UINT rows = m_pTree->GetVisibleCount() + 1;
  for (UINT i = 0; item && i < rows; ++i, item = GetNextItem(item, TVGN_NEXTVISIBLE))
    DrawLabel(memDC, item, back, text, client);
}

BOOL CTKTreeBase::PreTranslateMessage(MSG* pMsg)
{
  if (pMsg->message != WM_KEYDOWN || !IsTreeWindow())
    return FALSE;
  CEdit* edit = m_pTree->GetEditControl();
  if ((m_pTree->GetStyle() & TVS_EDITLABELS) != 0 && edit) {
    ::TranslateMessage(pMsg);
    ::DispatchMessage(pMsg);
    return TRUE;
  }
  if (pMsg->wParam == VK_RETURN) {
    if (HTREEITEM caret = GetNextItem(nullptr, TVGN_CARET))
      m_pTree->Expand(caret, TVE_TOGGLE);
  }
  return FALSE;
}

BOOL CTKTreeBase::OnNotify(WPARAM, LPARAM lParam, LRESULT*)
{
  const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (hdr && hdr->code == TTN_SHOW && IsTreeWindow()) {
    if (HWND tips = reinterpret_cast<HWND>(m_pTree->SendMessage(TVM_GETTOOLTIPS)))
      ::SetWindowPos(tips, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
  return FALSE;
}

void CTKTreeBase::HandleDeleteItem(NMHDR* pNMHDR)
{
  const auto* nm = reinterpret_cast<const NMTREEVIEW*>(pNMHDR);
  m_mapColorFont.erase(nm->itemOld.hItem);
  if (nm->itemOld.hItem == m_hEditedItem)
    m_hEditedItem = nullptr;
  if (nm->itemOld.hItem == m_hHotItem)
    m_hHotItem = nullptr;
  if (nm->itemOld.hItem == m_hSelect)
    m_hSelect = nullptr;
}

void CTKTreeBase::HandleBeginLabelEdit(NMHDR* pNMHDR)
{
  m_hEditedItem = reinterpret_cast<const NMTVDISPINFO*>(pNMHDR)->item.hItem;
}

void CTKTreeBase::HandleEndLabelEdit() { m_hEditedItem = nullptr; }

void CTKTreeBase::HandleSize()
{
  if ((m_pTree->GetStyle() & TVS_EDITLABELS) == 0 || !m_hEditedItem)
    return;
  CEdit* edit = m_pTree->GetEditControl();
  CRect label;
  if (!edit || !m_pTree->GetItemRect(m_hEditedItem, &label, TRUE))
    return;
  edit->SetWindowPos(nullptr, label.left - 3, label.top - 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTKTreeBase::HandleRButtonDown(CPoint point)
{
  UINT flags = 0;
  HTREEITEM item = m_pTree->HitTest(point, &flags);
  if (!item || (flags & TVHT_ONITEM) == 0) {
    SetAllSelected(FALSE);
    return;
  }
  if ((GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED) == 0) {
    SelectAll(FALSE, item);
    SelectItem(item);
  }
}

IMPLEMENT_DYNAMIC(CTKTreeCtrlBase, CTreeCtrl)

BOOL CTKTreeCtrlBase::PreTranslateMessage(MSG* pMsg)
{
  if (CTKTreeBase::PreTranslateMessage(pMsg))
    return TRUE;
  return CTreeCtrl::PreTranslateMessage(pMsg);
}

BOOL CTKTreeCtrlBase::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  CTKTreeBase::OnNotify(wParam, lParam, pResult);
  return CTreeCtrl::OnNotify(wParam, lParam, pResult);
}

void CTKTreeCtrlBase::DefaultPaint(CDC* pDC)
{
  CTreeCtrl::DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), 0);
}

IMPLEMENT_DYNAMIC(CTKTreeCtrl, CTKTreeCtrlBase)

CTKTreeCtrl::CTKTreeCtrl() = default;

BEGIN_MESSAGE_MAP(CTKTreeCtrl, CTKTreeCtrlBase)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_RBUTTONDOWN()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_NOTIFY_REFLECT_EX(TVN_DELETEITEM, &CTKTreeCtrl::OnDeleteItem)
  ON_NOTIFY_REFLECT_EX(TVN_BEGINLABELEDIT, &CTKTreeCtrl::OnBeginLabelEdit)
  ON_NOTIFY_REFLECT_EX(TVN_ENDLABELEDIT, &CTKTreeCtrl::OnEndLabelEdit)
END_MESSAGE_MAP()

void CTKTreeCtrl::OnPaint()
{
  CPaintDC dc(this);
  CTKTreeBase::OnPaint(&dc, TRUE);
}

BOOL CTKTreeCtrl::OnEraseBkgnd(HDC) { return TRUE; }

void CTKTreeCtrl::OnSize(UINT nType, int cx, int cy)
{
  CTKTreeCtrlBase::OnSize(nType, cx, cy);
  HandleSize();
}

void CTKTreeCtrl::OnRButtonDown(UINT nFlags, CPoint point)
{
  HandleRButtonDown(point);
  CTKTreeCtrlBase::OnRButtonDown(nFlags, point);
}

// The selected labels change colour with the focus.
void CTKTreeCtrl::OnSetFocus(CWnd* pOldWnd)
{
  CTKTreeCtrlBase::OnSetFocus(pOldWnd);
  Invalidate(FALSE);
}

void CTKTreeCtrl::OnKillFocus(CWnd* pNewWnd)
{
  CTKTreeCtrlBase::OnKillFocus(pNewWnd);
  Invalidate(FALSE);
}

// The reflected notifications go on to the parent as well.
BOOL CTKTreeCtrl::OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult)
{
  HandleDeleteItem(pNMHDR);
  *pResult = 0;
  return FALSE;
}

BOOL CTKTreeCtrl::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
  HandleBeginLabelEdit(pNMHDR);
  *pResult = 0;
  return FALSE;
}

BOOL CTKTreeCtrl::OnEndLabelEdit(NMHDR*, LRESULT* pResult)
{
  HandleEndLabelEdit();
  *pResult = 0;
  return FALSE;
}
