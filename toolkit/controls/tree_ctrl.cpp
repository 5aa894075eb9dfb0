#include "toolkit/controls/tree_ctrl.h"

#include "platform/mfc/dc.h"
#include "toolkit/controls/mask_edit.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/paint_manager.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// Colour indices of the colour manager, by the system colour they stand for.
constexpr UINT kWindow = 5;
constexpr UINT kWindowText = 8;
constexpr UINT kHighlight = 13;
constexpr UINT kHighlightText = 14;
constexpr UINT kButtonFace = 15;
constexpr UINT kGrayText = 17;
constexpr UINT kHotLight = 26;
constexpr UINT kHotBit = 0x10000;  // kept in the item state while hot tracking is on

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
  if (previous && !bMultiSelect && IsTreeWindow()) {
    HTREEITEM caret = GetNextItem(nullptr, TVGN_CARET);
    SelectAll(FALSE, caret);
  }
  m_bMultiSelect = bMultiSelect;
  return previous;
}

UINT CTKTreeBase::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
  UINT state = m_pTree->CTreeCtrl::GetItemState(hItem, nStateMask);
  if ((nStateMask & TVIS_FOCUSED) != 0 && hItem && hItem == GetNextItem(nullptr, TVGN_CARET))
    state |= TVIS_FOCUSED;
  return state;
}

UINT CTKTreeBase::ControlState(HTREEITEM hItem, UINT nMask) const
{
  return m_pTree->CTreeCtrl::GetItemState(hItem, nMask);
}

void CTKTreeBase::SetControlState(HTREEITEM hItem, UINT nState, UINT nMask)
{
  m_pTree->CTreeCtrl::SetItemState(hItem, nState, nMask);
}

BOOL CTKTreeBase::ChangeSelection(HTREEITEM hItem, bool select)
{
  NMTREEVIEW nm{};
  TVITEM& item = select ? nm.itemNew : nm.itemOld;
  item.mask = TVIF_HANDLE | TVIF_PARAM;
  item.hItem = hItem;
  item.lParam = static_cast<LPARAM>(m_pTree->GetItemData(hItem));
  nm.hdr.code = TVN_SELCHANGING;
  if (SendNotify(&nm.hdr) != 0)
    return FALSE;
  SetControlState(hItem, select ? TVIS_SELECTED : 0, TVIS_SELECTED);
  nm.hdr.code = TVN_SELCHANGED;
  SendNotify(&nm.hdr);
  return TRUE;
}

// Moving the caret never deselects: the item that had it keeps its selected bit.
void CTKTreeBase::MoveCaret(HTREEITEM hItem)
{
  HTREEITEM caret = GetNextItem(nullptr, TVGN_CARET);
  if (caret == hItem)
    return;
  const bool caretSelected = caret && (ControlState(caret, TVIS_SELECTED) & TVIS_SELECTED) != 0;
  const bool itemSelected = hItem && (ControlState(hItem, TVIS_SELECTED) & TVIS_SELECTED) != 0;
  if (caret) {
    m_pTree->Select(nullptr, TVGN_CARET);
    if (caretSelected)
      SetControlState(caret, TVIS_SELECTED, TVIS_SELECTED);
  }
  if (hItem) {
    m_pTree->Select(hItem, TVGN_CARET);
    if (!itemSelected)
      SetControlState(hItem, 0, TVIS_SELECTED);
  }
}

BOOL CTKTreeBase::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
  if (!m_bMultiSelect || !hItem)
    return m_pTree->CTreeCtrl::SetItemState(hItem, nState, nStateMask);
  if (nStateMask & TVIS_FOCUSED) {
    if (nState & TVIS_FOCUSED)
      MoveCaret(hItem);
    else if (GetNextItem(nullptr, TVGN_CARET) == hItem)
      MoveCaret(nullptr);
  }
  if (nStateMask & TVIS_SELECTED) {
    const bool selected = (ControlState(hItem, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    const bool wanted = (nState & TVIS_SELECTED) != 0;
    if (selected != wanted && !ChangeSelection(hItem, wanted))
      return FALSE;
  }
  const UINT rest = nStateMask & ~(TVIS_FOCUSED | TVIS_SELECTED);
  if (rest)
    SetControlState(hItem, nState, rest);
  return TRUE;
}

void CTKTreeBase::FocusItem(HTREEITEM hItem)
{
  if (!m_bMultiSelect) {
    if (hItem)
      m_pTree->Select(hItem, TVGN_CARET);
    return;
  }
  if (hItem)
    SetItemState(hItem, TVIS_FOCUSED, TVIS_FOCUSED);
  else
    MoveCaret(nullptr);
}

void CTKTreeBase::SelectRange(HTREEITEM from, HTREEITEM to, BOOL bClearOthers)
{
  bool inside = false;
  for (HTREEITEM item = GetNextItem(nullptr, TVGN_ROOT); item; item = GetNextItem(item, TVGN_NEXTVISIBLE)) {
    const bool edge = item == from || item == to;
    const bool within = inside || edge;
    if (within)
      SetItemState(item, TVIS_SELECTED, TVIS_SELECTED);
    else if (bClearOthers)
      SetItemState(item, 0, TVIS_SELECTED);
    if (edge && from != to)
      inside = !inside;
  }
}

BOOL CTKTreeBase::SelectChildren(HTREEITEM hItem, BOOL bSelect, BOOL bRecursive)
{
  BOOL hadFocus = FALSE;
  for (HTREEITEM child = GetNextItem(hItem, TVGN_CHILD); child; child = GetNextItem(child, TVGN_NEXT)) {
    if (GetItemState(child, TVIS_FOCUSED) & TVIS_FOCUSED)
      hadFocus = TRUE;
    SetItemState(child, bSelect ? TVIS_SELECTED : 0, TVIS_SELECTED);
    if (bRecursive && (ControlState(child, TVIS_EXPANDED) & TVIS_EXPANDED))
      hadFocus = SelectChildren(child, bSelect, TRUE) || hadFocus;
  }
  return hadFocus;
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
  if ((m_pTree->GetStyle() & TVS_TRACKSELECT) != 0 && !marked && (ControlState(hItem, kHotBit) & kHotBit) != 0)
    labelText = TKOSVersionInfo().IsWin95() || TKOSVersionInfo().IsWinNT4() ? Color(kHighlight) : Color(kHotLight);
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

namespace {

constexpr UINT_PTR kHotTimer = 85;
constexpr UINT kHotDelay = 55;
constexpr UINT_PTR kBandTimer = 86;
constexpr UINT kBandDelay = 75;

bool Held(UINT keys, UINT key) { return (keys & key) != 0; }

bool BeyondDragDistance(CPoint from, CPoint to)
{
  return std::abs(to.x - from.x) > ::GetSystemMetrics(SM_CXDRAG) ||
         std::abs(to.y - from.y) > ::GetSystemMetrics(SM_CYDRAG);
}

}  // namespace

BOOL CTKTreeBase::HandleLButtonDown(UINT nFlags, CPoint point)
{
  if (!m_bMultiSelect)
    return FALSE;
  UINT flags = 0;
  HTREEITEM item = m_pTree->HitTest(point, &flags);
  if (item && (flags & (TVHT_ONITEMBUTTON | TVHT_ONITEMSTATEICON)) != 0)
    return FALSE;
  if ((m_pTree->GetStyle() & TVS_EDITLABELS) != 0) {
    const bool plain = !Held(nFlags, MK_SHIFT) && !Held(nFlags, MK_CONTROL);
    if (plain && m_bClickToEdit && item && (flags & TVHT_ONITEMLABEL) != 0 &&
        item == GetNextItem(nullptr, TVGN_CARET)) {
      SelectAll(FALSE, item);
      SetItemState(item, TVIS_SELECTED, TVIS_SELECTED);
      return FALSE;
    }
    m_bClickToEdit = item && (flags & TVHT_ONITEM) != 0;
  }
  OnButtonDown(TRUE, nFlags, point);
  return TRUE;
}

void CTKTreeBase::OnButtonDown(BOOL bLeft, UINT nKeys, CPoint point)
{
  UINT flags = 0;
  HTREEITEM item = m_pTree->HitTest(point, &flags);
  if (item && (flags & TVHT_ONITEM) != 0) {
    SelectOnClick(item, bLeft, nKeys);
    TrackClick(item, bLeft, nKeys, point);
  } else {
    RubberBandSelect(nKeys, point);
  }
}

void CTKTreeBase::SelectOnClick(HTREEITEM hItem, BOOL bLeft, UINT nKeys)
{
  const bool shift = Held(nKeys, MK_SHIFT);
  const bool ctrl = Held(nKeys, MK_CONTROL);
  if (bLeft && shift) {
    if (!m_hSelect)
      m_hSelect = GetNextItem(nullptr, TVGN_CARET);
    SelectRange(m_hSelect ? m_hSelect : hItem, hItem, !ctrl);
    SetItemState(hItem, TVIS_FOCUSED, TVIS_FOCUSED);
    return;
  }
  if (bLeft && ctrl) {
    m_hSelect = nullptr;
    return;
  }
  if (!bLeft && ctrl && !shift) {
    m_hSelect = hItem;
    return;
  }
  if (!bLeft && shift)
    return;
  if (!(GetItemState(hItem, TVIS_SELECTED) & TVIS_SELECTED))
    SelectAll(FALSE, hItem);
  SetItemState(hItem, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
  m_hSelect = nullptr;
}

void CTKTreeBase::TrackClick(HTREEITEM hItem, BOOL bLeft, UINT nKeys, CPoint point)
{
  const UINT release = bLeft ? WM_LBUTTONUP : WM_RBUTTONUP;
  m_pTree->SetCapture();
  bool dragged = false;
  bool clicked = false;
  MSG msg;
  while (::GetCapture() == m_pTree->GetSafeHwnd() && ::GetMessage(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == m_pTree->GetSafeHwnd()) {
      if (BeyondDragDistance(point, CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)))) {
        dragged = true;
        break;
      }
      continue;
    }
    if (msg.message == release) {
      clicked = true;
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
      break;
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  if (::GetCapture() == m_pTree->GetSafeHwnd())
    ::ReleaseCapture();
  if (clicked) {
    if (bLeft && !Held(nKeys, MK_SHIFT)) {
      if (Held(nKeys, MK_CONTROL)) {
        const bool selected = (GetItemState(hItem, TVIS_SELECTED) & TVIS_SELECTED) != 0;
        SetItemState(hItem, selected ? 0 : TVIS_SELECTED, TVIS_SELECTED);
      } else {
        SelectAll(FALSE, hItem);
        SetItemState(hItem, TVIS_SELECTED, TVIS_SELECTED);
      }
    }
    SetItemState(hItem, TVIS_FOCUSED, TVIS_FOCUSED);
    m_pTree->SetFocus();
    NMHDR hdr{};
    hdr.code = bLeft ? NM_CLICK : NM_RCLICK;
    SendNotify(&hdr);
  } else if (dragged) {
    SetItemState(hItem, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
    if ((m_pTree->GetStyle() & TVS_DISABLEDRAGDROP) == 0) {
      NMTREEVIEW nm{};
      nm.hdr.code = bLeft ? TVN_BEGINDRAG : TVN_BEGINRDRAG;
      nm.itemNew.mask = TVIF_HANDLE | TVIF_PARAM;
      nm.itemNew.hItem = hItem;
      nm.itemNew.lParam = static_cast<LPARAM>(m_pTree->GetItemData(hItem));
      nm.ptDrag = point;
      SendNotify(&nm.hdr);
    }
  }
}

void CTKTreeBase::RubberBandSelect(UINT nKeys, CPoint point)
{
  m_pTree->SetFocus();
  m_pTree->SetCapture();
  const bool keep = Held(nKeys, MK_CONTROL) || Held(nKeys, MK_SHIFT);
  std::list<HTREEITEM> remembered;
  if (keep) {
    for (HTREEITEM item = GetFirstSelectedItem(); item; item = GetNextSelectedItem(item))
      remembered.push_back(item);
  }
  // The press point in content coordinates, so that the band keeps its corner while the tree scrolls.
  auto scrolled = [this] {
    const HWND tree = m_pTree->GetSafeHwnd();
    return CPoint(::GetScrollPos(tree, SB_HORZ), ::GetScrollPos(tree, SB_VERT) * m_pTree->GetItemHeight());
  };
  const CPoint anchor = point + scrolled();
  bool banding = false;
  bool ended = false;
  CRect drawn;
  CPoint last = point;
  CClientDC dc(m_pTree);
  // Scrolls towards a pointer outside the client area and draws the band from the press point to it.
  auto extend = [&](CPoint at) {
    CRect client;
    m_pTree->GetClientRect(&client);
    const bool outside = !client.PtInRect(at);
    if (at.y < client.top)
      m_pTree->SendMessage(WM_VSCROLL, SB_LINEUP);
    else if (at.y >= client.bottom)
      m_pTree->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    if (at.x < client.left)
      m_pTree->SendMessage(WM_HSCROLL, SB_LINELEFT);
    else if (at.x >= client.right)
      m_pTree->SendMessage(WM_HSCROLL, SB_LINERIGHT);
    if (outside)
      m_pTree->SetTimer(kBandTimer, kBandDelay, nullptr);
    else
      m_pTree->KillTimer(kBandTimer);
    const CPoint corner = anchor - scrolled();
    const CRect band(RECT{corner.x, corner.y, at.x, at.y}.Normalized());
    if (!drawn.IsRectEmpty())
      dc.DrawFocusRect(&drawn);
    dc.DrawFocusRect(&band);
    drawn = band;
    SelectItemsInRect(band, nKeys, &remembered);
  };
  MSG msg;
  while (!ended && ::GetCapture() == m_pTree->GetSafeHwnd() && ::GetMessage(&msg, nullptr, 0, 0)) {
    switch (msg.message) {
    case WM_MOUSEMOVE: {
      last = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      if (!banding) {
        if (!BeyondDragDistance(point, last))
          break;
        banding = true;
        if (!keep)
          SelectAll(FALSE);
      }
      extend(last);
      break;
    }
    case WM_TIMER:
      if (msg.hwnd == m_pTree->GetSafeHwnd() && msg.wParam == kBandTimer) {
        if (banding)
          extend(last);
        break;
      }
      ::DispatchMessage(&msg);
      break;
    case WM_KEYDOWN:
      if (msg.wParam == VK_ESCAPE) {
        SelectAll(FALSE);
        ended = true;
      }
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (!banding && !keep)
        SelectAll(FALSE);
      ended = true;
      break;
    default:
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  m_pTree->KillTimer(kBandTimer);
  if (!drawn.IsRectEmpty())
    dc.DrawFocusRect(&drawn);
  if (::GetCapture() == m_pTree->GetSafeHwnd())
    ::ReleaseCapture();
}

void CTKTreeBase::SelectItemsInRect(const CRect& band, UINT nKeys, std::list<HTREEITEM>* remembered)
{
  const bool ctrl = Held(nKeys, MK_CONTROL);
  const bool shift = Held(nKeys, MK_SHIFT);
  // Items scrolled off are measured too: the band may reach above the first row shown.
  for (HTREEITEM item = GetNextItem(nullptr, TVGN_ROOT); item; item = GetNextItem(item, TVGN_NEXTVISIBLE)) {
    CRect label;
    if (!m_pTree->GetItemRect(item, &label, m_bBandLabel))
      continue;
    const bool inside = !CRect(label.Intersect(band)).IsRectEmpty();
    auto it = std::find(remembered->begin(), remembered->end(), item);
    const bool known = it != remembered->end();
    bool select = known;
    if (inside) {
      select = !(ctrl && known);
      if (shift && known)
        remembered->erase(it);
    }
    SetItemState(item, select ? TVIS_SELECTED : 0, TVIS_SELECTED);
  }
}

BOOL CTKTreeBase::HandleKeyDown(UINT nChar)
{
  if (!m_bMultiSelect || (nChar != VK_UP && nChar != VK_DOWN))
    return FALSE;
  HTREEITEM caret = GetNextItem(nullptr, TVGN_CARET);
  if (!caret)
    return FALSE;
  HTREEITEM next = GetNextItem(caret, nChar == VK_UP ? TVGN_PREVIOUSVISIBLE : TVGN_NEXTVISIBLE);
  if (!next)
    return TRUE;
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  if (shift) {
    if (!m_hSelect)
      m_hSelect = caret;
    SelectRange(m_hSelect, next, TRUE);
    FocusItem(next);
  } else if (ctrl) {
    FocusItem(next);
  } else {
    SelectAll(FALSE, caret);
    SetItemState(caret, 0, TVIS_SELECTED);
    SetItemState(next, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
    m_hSelect = nullptr;
  }
  m_pTree->EnsureVisible(next);
  return TRUE;
}

void CTKTreeBase::HandleItemExpanding(NMHDR* pNMHDR)
{
  const auto* nm = reinterpret_cast<const NMTREEVIEW*>(pNMHDR);
  if (!m_bMultiSelect || (nm->action & (TVE_COLLAPSE | TVE_COLLAPSERESET)) == 0)
    return;
  HTREEITEM item = nm->itemNew.hItem;
  if (SelectChildren(item, FALSE, TRUE) && !(GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED))
    FocusItem(item);
}

void CTKTreeBase::SetHot(HTREEITEM hItem, bool hot)
{
  if (hItem)
    SetControlState(hItem, hot ? kHotBit : 0, kHotBit);
}

void CTKTreeBase::HandleMouseMove(CPoint point)
{
  if ((m_pTree->GetStyle() & TVS_TRACKSELECT) == 0)
    return;
  UINT flags = 0;
  HTREEITEM item = m_pTree->HitTest(point, &flags);
  if ((flags & TVHT_ONITEM) == 0)
    item = nullptr;
  if (m_hHotItem != item)
    SetHot(m_hHotItem, false);
  SetHot(item, true);
  m_hHotItem = item;
  m_pTree->SetTimer(kHotTimer, kHotDelay, nullptr);
}

void CTKTreeBase::HandleTimer(UINT_PTR nIDEvent)
{
  if (nIDEvent != kHotTimer)
    return;
  m_pTree->KillTimer(kHotTimer);
  const DWORD pos = ::GetMessagePos();
  CPoint cursor(GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
  CRect window;
  m_pTree->GetWindowRect(&window);
  if (window.PtInRect(cursor))
    return;
  for (HTREEITEM item = GetNextItem(nullptr, TVGN_ROOT); item; item = GetNextItem(item, TVGN_NEXTVISIBLE))
    SetHot(item, false);
  m_hHotItem = nullptr;
}

void CTKTreeBase::HandleNcMouseMove(UINT nHitTest)
{
  if (nHitTest == HTBORDER)
    SetHot(GetNextItem(nullptr, TVGN_FIRSTVISIBLE), false);
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
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_WM_NCMOUSEMOVE()
  ON_NOTIFY_REFLECT_EX(TVN_ITEMEXPANDING, &CTKTreeCtrl::OnItemExpanding)
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

void CTKTreeCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
  if (!HandleLButtonDown(nFlags, point))
    CTKTreeCtrlBase::OnLButtonDown(nFlags, point);
}

void CTKTreeCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  if (!HandleKeyDown(nChar))
    CTKTreeCtrlBase::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CTKTreeCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
  HandleMouseMove(point);
  CTKTreeCtrlBase::OnMouseMove(nFlags, point);
}

void CTKTreeCtrl::OnTimer(UINT_PTR nIDEvent)
{
  HandleTimer(nIDEvent);
  CTKTreeCtrlBase::OnTimer(nIDEvent);
}

void CTKTreeCtrl::OnNcMouseMove(UINT nHitTest, CPoint point)
{
  HandleNcMouseMove(nHitTest);
  CTKTreeCtrlBase::OnNcMouseMove(nHitTest, point);
}

BOOL CTKTreeCtrl::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
  HandleItemExpanding(pNMHDR);
  *pResult = 0;
  return FALSE;
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
