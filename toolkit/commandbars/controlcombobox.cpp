#include "toolkit/commandbars/controlcombobox.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"

#include <algorithm>

IMPLEMENT_SERIAL(CTKControlComboBoxList, CTKPopupBar, TK_BAR_CLASS_SCHEMA)
IMPLEMENT_SERIAL(CTKControlComboBox, CTKControlPopup, TK_BAR_CLASS_SCHEMA)

namespace {

constexpr DWORD kListExStyle = WS_EX_TOOLWINDOW | WS_EX_STATICEDGE;
constexpr DWORD kListStyle = WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL;
constexpr DWORD kListRtlExStyle = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
constexpr int kHighlight = 13;
constexpr int kHighlightText = 14;
constexpr int kGrayText = 17;
constexpr int kWindowText = 8;
constexpr DWORD kEditStyle = WS_CHILD | ES_AUTOHSCROLL;
constexpr UINT kMsgIsFieldWindow = 10824;
// SHACF_USETAB: the shell's completion moves through its suggestions with Tab.
constexpr DWORD kShellTabKey = 0x08;
constexpr UINT kShowNoActivate = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
constexpr UINT kHideNoActivate = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW;

CString EditWindowText(CWnd* pWnd)
{
  CString str;
  pWnd->GetWindowText(str);
  return str;
}

BOOL IsAltDown() { return ::GetKeyState(VK_MENU) < 0; }

}  // namespace

CTKControlComboBoxList::CTKControlComboBoxList()
{
  m_barPosition = tkBarComboBoxList;
  SetShowShadow(FALSE);
}

BOOL CTKControlComboBoxList::CreateListWindow()
{
  if (GetSafeHwnd())
    return TRUE;
  CWnd* pSite = GetSite();
  return CreateEx(kListExStyle, "LISTBOX", "", (m_dwStyle & 0xFFFF) | kListStyle, 0, 0, 0, 0,
                  pSite ? pSite->GetSafeHwnd() : nullptr, nullptr);
}

BOOL CTKControlComboBoxList::Popup(CTKControlPopup* pControlPopup, BOOL /*bSelectFirst*/)
{
  auto* pComboBox = dynamic_cast<CTKControlComboBox*>(pControlPopup);
  if (!pComboBox || !CreateListWindow())
    return FALSE;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetPaintManager()->GetRegularFont()->GetSafeHandle()), TRUE);
  m_pComboBox = pComboBox;
  m_pControlPopup = pComboBox;
  if (CWnd* pNotify = GetNotifySite(); pNotify && pNotify->GetSafeHwnd())
    pNotify->SendMessage(TKWM_POPUPBARINIT, reinterpret_cast<WPARAM>(this), 0);
  CWnd* pSite = GetSite();
  if (pSite && pSite->GetSafeHwnd() && (pSite->GetExStyle() & WS_EX_LAYOUTRTL))
    ModifyStyleEx(WS_EX_LAYOUTRTL, kListRtlExStyle);
  else
    ModifyStyleEx(kListRtlExStyle, 0);
  SetTrackingMode(1, FALSE, FALSE);
  if (!m_pComboBox)
    return FALSE;
  int cx = m_nListWidth > 0 ? m_nListWidth : pComboBox->GetRect().Width();
  int nItemHeight = static_cast<int>(SendMessage(LB_GETITEMHEIGHT, 0, 0));
  int nCount = static_cast<int>(SendMessage(LB_GETCOUNT, 0, 0));
  int cy = nItemHeight * std::min(pComboBox->GetDropDownItemCount(), std::max(nCount, 1)) + 4;
  UpdateExpandingDirection();
  CRect rc = CalcPopupRect(CSize(cx, cy));
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.Width(), rc.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  EnableWindow(TRUE);
  return TRUE;
}

BOOL CTKControlComboBoxList::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
  // The list window stays when the list closes: only the common tracking runs.
  BOOL bChanged = CTKCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
  if (!bChanged || !m_pComboBox)
    return bChanged;
  CTKControlComboBox* pComboBox = m_pComboBox;
  if (bMode) {
    ++TKMouseManager()->m_nLock;
    pComboBox->OnEditChanged();
    pComboBox->NotifySite(TKN_CBN_DROPDOWN);
  } else {
    pComboBox->NotifySite(TKN_CBN_CLOSEUP);
    if (TKMouseManager()->m_nLock > 0)
      --TKMouseManager()->m_nLock;
    if (GetSafeHwnd())
      ShowWindow(SW_HIDE);
    CTKCommandBar* pParent = pComboBox->GetParent();
    if (pParent && pParent->GetPopuped() == pComboBox->GetIndex())
      pParent->SetPopuped(-1, FALSE);
    m_pComboBox = nullptr;
    m_pControlPopup = nullptr;
  }
  return TRUE;
}

int CTKControlComboBoxList::OnHookKeyDown(UINT nChar, LPARAM lParam)
{
  if (!m_bTracking || !m_pComboBox)
    return 0;
  switch (nChar) {
  case VK_ESCAPE:
    if (m_pComboBox->IsFocused())
      return 0;
    return CTKCommandBar::OnHookKeyDown(nChar, lParam);
  case VK_TAB:
    return 0;
  case VK_RETURN:
    m_pComboBox->OnExecute();
    return 1;
  default:
    return ProcessListKey(m_pComboBox, nChar);
  }
}

int CTKControlComboBoxList::ProcessListKey(CTKControlComboBox* pComboBox, UINT nChar)
{
  if (!GetSafeHwnd())
    return 0;
  int nOld = static_cast<int>(SendMessage(LB_GETCURSEL, 0, 0));
  if (pComboBox->GetDropDownStyle()) {
    if (IsAltDown() || (nChar != VK_PRIOR && nChar != VK_NEXT && nChar != VK_UP && nChar != VK_DOWN))
      return 0;
    DefWindowProc(WM_KEYDOWN, nChar, 0);
  } else {
    if (((nChar == VK_UP || nChar == VK_DOWN) && IsAltDown()) || (nChar == VK_F4 && !IsAltDown()))
      return 0;
    // The list box's own keys: arrows, pages and letters choosing by prefix.
    DefWindowProc(WM_KEYDOWN, nChar, 0);
  }
  if (static_cast<int>(SendMessage(LB_GETCURSEL, 0, 0)) != nOld) {
    pComboBox->OnSelChanged();
    if (CWnd* pEdit = pComboBox->GetEditCtrl(); pEdit && pEdit->GetSafeHwnd()) {
      pEdit->SendMessage(EM_SETSEL, 0, -1);
      pEdit->SendMessage(EM_SCROLLCARET, 0, 0);
    }
  }
  return 1;
}

void CTKControlComboBoxList::Copy(CTKCommandBar* pCommandBar, BOOL bRecursive)
{
  CTKPopupBar::Copy(pCommandBar, bRecursive);
  auto* pSource = dynamic_cast<CTKControlComboBoxList*>(pCommandBar);
  if (!pSource || !pSource->GetSafeHwnd() || !CreateListWindow())
    return;
  SendMessage(LB_RESETCONTENT, 0, 0);
  int nCount = static_cast<int>(pSource->SendMessage(LB_GETCOUNT, 0, 0));
  for (int i = 0; i < nCount; ++i) {
    CString strItem;
    int nLength = static_cast<int>(pSource->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
    if (nLength < 0)
      continue;
    pSource->SendMessage(LB_GETTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(strItem.GetBuffer(nLength + 1)));
    strItem.ReleaseBuffer();
    SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strItem)));
  }
}

BOOL CTKControlComboBoxList::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
  case WM_MOUSEMOVE:
    if (m_bTracking) {
      LRESULT lItem = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
      int nItem = LOWORD(lItem);
      if (HIWORD(lItem) == 0 && nItem != static_cast<int>(SendMessage(LB_GETCURSEL, 0, 0)))
        SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nItem), 0);
    }
    if (pResult)
      *pResult = 0;
    return TRUE;
  case WM_LBUTTONDOWN:
    if (pResult)
      *pResult = 0;
    return TRUE;
  case WM_LBUTTONUP:
    if (m_pComboBox) {
      CTKControlComboBox* pComboBox = m_pComboBox;
      pComboBox->InternalAddRef();
      pComboBox->OnSelChanged();
      pComboBox->OnExecute();
      pComboBox->InternalRelease();
    }
    if (pResult)
      *pResult = 0;
    return TRUE;
  case WM_MOUSEACTIVATE:
    if (pResult)
      *pResult = MA_NOACTIVATE;
    return TRUE;
  default:
    // Painting and everything else is the list box's own.
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
}

CTKControlComboBox::CTKControlComboBox()
{
  m_controlType = tkControlComboBox;
  auto* pList = new CTKControlComboBoxList;
  pList->CreateListWindow();
  SetCommandBar(pList);
  pList->InternalRelease();
}

CTKControlComboBox::~CTKControlComboBox()
{
  DestroyEditWindow();
  delete m_pEdit;
}

void CTKControlComboBox::SetShellAutoComplete(DWORD dwFlags)
{
  m_dwShellAutoCompleteFlags = dwFlags;
  ApplyShellAutoComplete();
}

void CTKControlComboBox::ApplyShellAutoComplete()
{
  delete m_pAutoCompleteWnd;
  m_pAutoCompleteWnd = nullptr;
  if (!m_pEdit || !m_pEdit->GetSafeHwnd() || m_dwShellAutoCompleteFlags == 0)
    return;
  m_pAutoCompleteWnd = new CTKControlComboBoxAutoCompleteWnd;
  // Without the shell's completion the box types as before.
  if (FAILED(m_pAutoCompleteWnd->SetupEditAutoComplete(m_pEdit->GetSafeHwnd(), m_dwShellAutoCompleteFlags))) {
    delete m_pAutoCompleteWnd;
    m_pAutoCompleteWnd = nullptr;
    return;
  }
  if (::GetFocus() == m_pEdit->GetSafeHwnd())
    m_pAutoCompleteWnd->EnableHook(TRUE);
}

// ---- The edit window of the drop-down style

BOOL CTKControlComboBoxEditCtrl::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (static_cast<UINT>(nCode) == AFX_REFLECT_CONTROL_CODE(EN_CHANGE)) {
    if (m_pControl)
      m_pControl->OnEditTextChange();
    return TRUE;
  }
  return CTKEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CTKControlComboBoxEditCtrl::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  CTKControlComboBox* pControl = m_pControl;
  if (pControl && message == WM_DESTROY) {
    // The text outlives the window: it comes back when the bar places the control again.
    pControl->m_strEditText = EditWindowText(this);
    pControl->m_bEditChanged = FALSE;
  }
  CTKCommandBar* pBar = pControl ? pControl->GetParent() : nullptr;
  if (!pControl || !pBar)
    return CTKEdit::OnWndMsg(message, wParam, lParam, pResult);
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
  case WM_SETFOCUS: {
    if (pControl->IsCustomizeMode())
      break;
    pControl->OnEditSetFocus(reinterpret_cast<HWND>(wParam));
    BOOL bResult = CTKEdit::OnWndMsg(message, wParam, lParam, pResult);
    PostMessage(EM_SETSEL, 0, -1);
    return bResult;
  }
  case WM_KILLFOCUS: {
    BOOL bResult = CTKEdit::OnWndMsg(message, wParam, lParam, pResult);
    pControl->OnEditKillFocus();
    return bResult;
  }
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MOUSEMOVE:
    // In customise mode the bar takes the presses; the bar follows the mouse over the window in any mode.
    if (message == WM_MOUSEMOVE || pControl->IsCustomizeMode()) {
      CPoint ptBar = point;
      ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &ptBar, 1);
      pBar->SendMessage(message, wParam, MAKELPARAM(ptBar.x, ptBar.y));
      if (message != WM_MOUSEMOVE) {
        if (pResult)
          *pResult = 0;
        return TRUE;
      }
    }
    break;
  case kMsgIsFieldWindow:
    if (pResult)
      *pResult = 1;
    return TRUE;
  case TKWM_AUTOCOMPLETE_SHOWN:
    // The shell's list shows: the box's own closes.
    if (pControl->IsDroppedDown())
      pBar->SetPopuped(-1, FALSE);
    if (pResult)
      *pResult = 0;
    return TRUE;
  default:
    break;
  }
  return CTKEdit::OnWndMsg(message, wParam, lParam, pResult);
}

void CTKControlComboBox::SetDropDownStyle(BOOL bDropDown)
{
  m_bDropDown = bDropDown;
  if (bDropDown && !m_pEdit) {
    m_pEdit = CreateEditControl();
    m_pEdit->m_pControl = this;
  } else if (!bDropDown && m_pEdit) {
    DestroyEditWindow();
    delete m_pEdit;
    m_pEdit = nullptr;
  }
  m_bDelayReposition = TRUE;
  DelayLayoutParent();
}

void CTKControlComboBox::DestroyEditWindow()
{
  // Editing ends with the window, so the mouse manager's lock does not outlive it.
  SetFocused(FALSE);
  delete m_pAutoCompleteWnd;
  m_pAutoCompleteWnd = nullptr;
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->DestroyWindow();
}

void CTKControlComboBox::AdjustEditRect(CRect& rcEdit)
{
  if (m_nEditIconId <= 0)
    return;
  CTKImageManager* pImageManager = m_pParent ? m_pParent->GetImageManager() : nullptr;
  CTKImageManagerIcon* pIcon = pImageManager ? pImageManager->GetImage(static_cast<UINT>(m_nEditIconId), 16) : nullptr;
  if (pIcon)
    rcEdit.left += pIcon->GetWidth() + 2;
}

void CTKControlComboBox::SetRect(CRect rcControl)
{
  if (!m_pEdit) {
    CTKControlPopup::SetRect(rcControl);
    return;
  }
  HWND hWndBar = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
  if (m_pEdit->GetSafeHwnd() && ::GetParent(m_pEdit->GetSafeHwnd()) != hWndBar)
    DestroyEditWindow();
  BOOL bWindow = m_pEdit->GetSafeHwnd() != nullptr;
  if (rcControl == m_rcControl && bWindow && !m_bDelayReposition)
    return;
  CTKControlPopup::SetRect(rcControl);
  if (!bWindow) {
    if (!hWndBar || !m_pEdit->CreateEdit(kEditStyle, m_pParent))
      return;
    m_pEdit->SetWindowText(m_strEditText);
    m_bEditChanged = FALSE;
    if (!GetEnabled())
      m_pEdit->EnableWindow(FALSE);
    if (m_dwShellAutoCompleteFlags != 0)
      ApplyShellAutoComplete();
  }
  if (CTKPaintManager* pPaintManager = GetPaintManager())
    m_pEdit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pPaintManager->GetRegularFont()->GetSafeHandle()), FALSE);
  CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3, rcControl.right - m_nButtonWidth - 3,
               rcControl.bottom - 3);
  AdjustEditRect(rcEdit);
  m_pEdit->MoveWindow(rcEdit, FALSE);
  m_pEdit->SetWindowPos(nullptr, 0, 0, 0, 0, IsVisible() ? kShowNoActivate : kHideNoActivate);
  m_bDelayReposition = FALSE;
}

CString CTKControlComboBox::GetEditText() const
{
  if (m_pEdit && m_pEdit->GetSafeHwnd() && m_bEditChanged) {
    auto* pThis = const_cast<CTKControlComboBox*>(this);
    pThis->m_strEditText = EditWindowText(m_pEdit);
    pThis->m_bEditChanged = FALSE;
  }
  return m_strEditText;
}

CString CTKControlComboBox::GetEditTextWithoutHint() const
{
  CString strText = GetEditText();
  return !m_strEditHint.IsEmpty() && strText == m_strEditHint ? CString() : strText;
}

void CTKControlComboBox::OnEditTextChange()
{
  m_bEditChanged = TRUE;
  if (m_pEdit && ::GetFocus() == m_pEdit->GetSafeHwnd())
    OnEditChanged();
}

void CTKControlComboBox::OnEditSetFocus(HWND hWndPrevious)
{
  m_strLastText = GetEditTextWithoutHint();
  if (!m_hWndPrevFocus) {
    m_hWndPrevFocus = hWndPrevious;
    if (!m_hWndPrevFocus && m_pParent && m_pParent->GetSite())
      m_hWndPrevFocus = m_pParent->GetSite()->GetSafeHwnd();
  }
  if (m_pParent && !IsDroppedDown())
    m_pParent->SetPopuped(-1, FALSE);
  SetFocused(TRUE);
  if (m_pAutoCompleteWnd)
    m_pAutoCompleteWnd->EnableHook(TRUE);
  m_bIgnoreAutoComplete = TRUE;
  OnEditChanged();
}

void CTKControlComboBox::OnEditKillFocus()
{
  if (m_pParent && IsDroppedDown())
    m_pParent->SetPopuped(-1, FALSE);
  SetFocused(FALSE);
  if (m_pAutoCompleteWnd)
    m_pAutoCompleteWnd->EnableHook(FALSE);
}

BOOL CTKControlComboBox::HasListWindow() const
{
  CTKControlComboBoxList* pList = GetListBar();
  return pList && pList->GetSafeHwnd();
}

int CTKControlComboBox::GetCurSel() const
{
  if (HasListWindow())
    return static_cast<int>(GetListBar()->SendMessage(LB_GETCURSEL, 0, 0));
  return m_nCurSel;
}

void CTKControlComboBox::SetCurSel(int nIndex)
{
  if (nIndex == GetCurSel() && nIndex == m_nCurSel)
    return;
  m_nCurSel = nIndex;
  if (HasListWindow())
    GetListBar()->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
  OnSelChanged();
}

BOOL CTKControlComboBox::IsDroppedDown() const
{
  CTKControlComboBoxList* pList = GetListBar();
  return pList && pList->IsTrackingMode() && pList->GetOwnerCombo() == this;
}

CString CTKControlComboBox::GetListBoxText() const
{
  int nSel = GetCurSel();
  if (nSel < 0 || !HasListWindow())
    return CString();
  CTKControlComboBoxList* pList = GetListBar();
  int nLength = static_cast<int>(pList->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nSel), 0));
  if (nLength < 0)
    return CString();
  CString strText;
  pList->SendMessage(LB_GETTEXT, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
  strText.ReleaseBuffer();
  return strText;
}

void CTKControlComboBox::SetEditText(const CString& strText)
{
  if (m_pEdit && m_pEdit->GetSafeHwnd() && EditWindowText(m_pEdit) != strText) {
    // The window's change notice must not run completion on a text the program set.
    BOOL bIgnore = m_bIgnoreAutoComplete;
    m_bIgnoreAutoComplete = TRUE;
    m_pEdit->SetWindowText(strText);
    m_bIgnoreAutoComplete = bIgnore;
  }
  m_strEditText = strText;
  m_bEditChanged = FALSE;
}

void CTKControlComboBox::SetEditHint(const CString& strHint)
{
  m_strEditHint = strHint;
  RedrawParent();
}

void CTKControlComboBox::OnSelChanged()
{
  SetEditText(GetListBoxText());
  RedrawParent();
  NotifySite(TKN_CBN_SELCHANGE);
}

void CTKControlComboBox::OnEditChanged()
{
  HWND hWndEdit = m_pEdit ? m_pEdit->GetSafeHwnd() : nullptr;
  CTKControlComboBoxList* pList = HasListWindow() ? GetListBar() : nullptr;
  if (m_bAutoComplete && !m_bIgnoreAutoComplete && hWndEdit && pList) {
    CString strText = GetEditText();
    DWORD dwStart = 0;
    DWORD dwEnd = 0;
    ::SendMessage(hWndEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    const int nLength = strText.GetLength();
    if (nLength > 0 && static_cast<int>(dwStart) == nLength && dwStart == dwEnd) {
      int nItem = static_cast<int>(pList->SendMessage(LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strText))));
      if (nItem >= 0) {
        int nItemLength = static_cast<int>(pList->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nItem), 0));
        CString strItem;
        pList->SendMessage(LB_GETTEXT, static_cast<WPARAM>(nItem),
                           reinterpret_cast<LPARAM>(strItem.GetBuffer(nItemLength + 1)));
        strItem.ReleaseBuffer();
        m_bIgnoreAutoComplete = TRUE;
        ::SetWindowText(hWndEdit, strItem);
        m_strEditText = strItem;
        m_bEditChanged = FALSE;
        ::SendMessage(hWndEdit, EM_SETSEL, static_cast<WPARAM>(strItem.GetLength()), static_cast<LPARAM>(nLength));
        ::SendMessage(hWndEdit, EM_SCROLLCARET, 0, 0);
      }
    }
  }
  if (hWndEdit && pList) {
    CString strText = GetEditText();
    int nItem = static_cast<int>(pList->SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strText))));
    pList->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nItem), 0);
  }
  NotifySite(TKN_CBN_EDITCHANGE);
}

void CTKControlComboBox::SetEnabled(BOOL bEnabled)
{
  CTKControlPopup::SetEnabled(bEnabled);
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->EnableWindow(bEnabled);
}

void CTKControlComboBox::SetFocused(BOOL bFocused)
{
  if (m_bFocused == bFocused)
    return;
  m_bFocused = bFocused;
  if (bFocused) {
    m_nLastSel = GetCurSel();
    m_strLastText = m_strEditText;
    m_bSelEndOk = FALSE;
    if (HWND hWndEdit = m_pEdit ? m_pEdit->GetSafeHwnd() : nullptr; hWndEdit && ::GetFocus() != hWndEdit)
      ::SetFocus(hWndEdit);
    if (m_pParent) {
      m_pParent->SetTrackingMode(1, FALSE, FALSE);
      m_pParent->SetSelected(m_nIndex, FALSE);
    }
    ++TKMouseManager()->m_nLock;
    NotifySite(TKN_CBN_SETFOCUS);
  } else {
    if (!m_bSelEndOk && !IsDroppedDown() && !m_pEdit) {
      SetCurSel(m_nLastSel);
      NotifySite(TKN_CBN_SELENDCANCEL);
    }
    if (HWND hWndEdit = m_pEdit ? m_pEdit->GetSafeHwnd() : nullptr; hWndEdit && ::GetFocus() == hWndEdit)
      ::SetFocus(m_hWndPrevFocus && ::IsWindow(m_hWndPrevFocus) ? m_hWndPrevFocus : nullptr);
    m_hWndPrevFocus = nullptr;
    if (TKMouseManager()->m_nLock > 0)
      --TKMouseManager()->m_nLock;
    NotifySite(TKN_CBN_KILLFOCUS);
  }
  InvalidateParent();
}

BOOL CTKControlComboBox::IsCaptionVisible() const { return m_comboStyle == 1 && !GetCaption().IsEmpty(); }

BOOL CTKControlComboBox::Compare(CTKControl* pOther)
{
  auto* pComboBox = dynamic_cast<CTKControlComboBox*>(pOther);
  return CTKControlPopup::Compare(pOther) && pComboBox && pComboBox->m_nWidth == m_nWidth;
}

void CTKControlComboBox::SetHideFlags(DWORD dwFlags)
{
  if (dwFlags == m_dwHideFlags)
    return;
  m_dwHideFlags = dwFlags;
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->SetWindowPos(nullptr, 0, 0, 0, 0, IsVisible() ? kShowNoActivate : kHideNoActivate);
  DelayLayoutParent();
}

void CTKControlComboBox::OnCalcDynamicSize(DWORD dwMode)
{
  SetHideFlag(TK_HIDEDOCKINGPOSITION, (dwMode & LM_VERTDOCK) != 0);
}

BOOL CTKControlComboBox::Execute()
{
  SetFocused(TRUE);
  return TRUE;
}

void CTKControlComboBox::OnExecute()
{
  if (GetCurSel() != -1) {
    if (IsDroppedDown() || (!m_pEdit && m_bFocused))
      NotifySite(TKN_CBN_SELENDOK);
    m_bSelEndOk = TRUE;
    m_nLastSel = GetCurSel();
  }
  CTKControlPopup::OnExecute();
}

BOOL CTKControlComboBox::SetPopuped(BOOL bPopup)
{
  if (bPopup) {
    m_bSelEndOk = FALSE;
    m_nLastSel = GetCurSel();
    // One list at a time: the shell's gives way to the box's own.
    if (m_pAutoCompleteWnd)
      m_pAutoCompleteWnd->HideDropDown();
  } else if (m_bPopup && !m_bSelEndOk) {
    if (!m_pEdit && !m_bFocused)
      SetCurSel(m_nLastSel);
    NotifySite(TKN_CBN_SELENDCANCEL);
  }
  return CTKControlPopup::SetPopuped(bPopup);
}

void CTKControlComboBox::OnClick(BOOL bKeyboard, CPoint pt)
{
  if (!m_pParent)
    return;
  if (IsCustomizeMode()) {
    m_pParent->SetPopuped(-1, FALSE);
    m_pParent->SetSelected(-1, FALSE);
    if (!bKeyboard)
      OnCustomizeMouseDown(pt);
    return;
  }
  if (bKeyboard && m_bEnabled) {
    if (m_bFocused)
      OnExecute();
    else
      SetFocused(TRUE);
    return;
  }
  if (IsDroppedDown() && m_bFocused) {
    m_pParent->SetPopuped(-1, FALSE);
    return;
  }
  CTKControlPopup::OnClick(bKeyboard, pt);
}

void CTKControlComboBox::OnMouseHover()
{
  if (TKMouseManager()->m_nLock > 0)
    return;
  // The list opens by click, F4 or Alt+Down, never by resting the mouse on the box.
  if (GetListBar())
    CTKControl::OnMouseHover();
  else
    CTKControlPopup::OnMouseHover();
}

BOOL CTKControlComboBox::OnSetSelected(int bSelected)
{
  BOOL bChanged = CTKControlPopup::OnSetSelected(bSelected);
  if (bSelected == 0)
    SetFocused(FALSE);
  return bChanged;
}

int CTKControlComboBox::OnHookKeyDown(UINT nChar, LPARAM lParam)
{
  if (!m_bFocused)
    return 0;
  m_bIgnoreAutoComplete = nChar == VK_DELETE || nChar == VK_BACK;
  switch (nChar) {
  case VK_TAB:
    // The shell may take Tab to move through its suggestions.
    if (!m_pAutoCompleteWnd || !(m_dwShellAutoCompleteFlags & kShellTabKey))
      return 0;
    break;
  case VK_RETURN:
    return 0;
  case VK_ESCAPE:
    InternalAddRef();
    if (IsDroppedDown() && m_pParent)
      m_pParent->SetPopuped(-1, FALSE);
    SetCurSel(m_nLastSel);
    SetEditText(m_strLastText);
    SetFocused(FALSE);
    InternalRelease();
    return 1;
  default:
    break;
  }
  if (((nChar == VK_UP || nChar == VK_DOWN) && IsAltDown()) || (nChar == VK_F4 && !IsAltDown())) {
    OnClick(FALSE, CPoint(0, 0));
    return 1;
  }
  if (m_pAutoCompleteWnd && m_pAutoCompleteWnd->ForwardKey(nChar, lParam))
    return 1;
  CTKControlComboBoxList* pList = HasListWindow() ? GetListBar() : nullptr;
  if (!m_pEdit) {
    if (pList)
      pList->ProcessListKey(this, nChar);
    return 1;
  }
  if (pList && !IsAltDown() && (nChar == VK_PRIOR || nChar == VK_NEXT || nChar == VK_UP || nChar == VK_DOWN)) {
    pList->ProcessListKey(this, nChar);
    return 1;
  }
  return m_pEdit->GetSafeHwnd() && m_pEdit->ProcessNavigationKey(nChar, lParam) ? 1 : 2;
}

void CTKControlComboBox::SetParent(CTKCommandBar* pParent)
{
  CTKCommandBar* pOld = m_pParent;
  if (!pParent)
    DestroyEditWindow();
  CTKControlPopup::SetParent(pParent);
  if (pParent && pParent != pOld && HasListWindow()) {
    CWnd* pSite = pParent->GetSite();
    ::SetWindowLongPtr(GetListBar()->GetSafeHwnd(), GWLP_HWNDPARENT,
                       reinterpret_cast<LONG_PTR>(pSite ? pSite->GetSafeHwnd() : nullptr));
  }
}

void CTKControlComboBox::SetWidth(int nWidth)
{
  m_nWidth = nWidth;
  DelayLayoutParent();
}

void CTKControlComboBox::SetLabelWidth(int nWidth)
{
  if (m_nLabelWidth == nWidth)
    return;
  m_nLabelWidth = nWidth;
  m_bDelayReposition = TRUE;
}

void CTKControlComboBox::SetButtonWidth(int nWidth)
{
  if (m_nButtonWidth == nWidth)
    return;
  m_nButtonWidth = nWidth;
  m_bDelayReposition = TRUE;
}

void CTKControlComboBox::Copy(CTKControl* pControl, BOOL bRecursive)
{
  if (auto* pSource = dynamic_cast<CTKControlComboBox*>(pControl)) {
    m_comboStyle = pSource->m_comboStyle;
    m_nWidth = pSource->m_nWidth;
    m_strEditText = pSource->GetEditTextWithoutHint();
    m_strEditHint = pSource->m_strEditHint;
    SetDropDownStyle(pSource->m_pEdit != nullptr);
    m_bAutoComplete = pSource->m_bAutoComplete;
    m_dwShellAutoCompleteFlags = pSource->m_dwShellAutoCompleteFlags;
    m_nEditIconId = pSource->m_nEditIconId;
    m_nDropDownItemCount = pSource->m_nDropDownItemCount;
  }
  CTKControlPopup::Copy(pControl, bRecursive);
}

CTKControl* CTKControlComboBox::Clone(BOOL bRecursive) { return CTKControlPopup::Clone(bRecursive); }

void CTKControlComboBox::Draw(CDC* pDC)
{
  CTKControlPopup::Draw(pDC);
  if (!IsVisible())
    return;
  CRect rcText = GetRect();
  rcText.left += m_nLabelWidth;
  rcText.right -= m_nButtonWidth;
  rcText.DeflateRect(1, 1);
  if (!rcText.IsRectEmpty())
    DrawEditText(pDC, rcText);
}

void CTKControlComboBox::DrawEditText(CDC* pDC, CRect rcText)
{
  if (m_pEdit)
    return;
  CTKPaintManager* pPaintManager = GetPaintManager();
  if (m_bFocused && m_bEnabled) {
    CRect rcFill = rcText;
    rcFill.DeflateRect(1, 1);
    pDC->FillSolidRect(rcFill, pPaintManager->GetColor(kHighlight));
  }
  CRect rc = rcText;
  rc.left += 2;
  pDC->SetBkMode(TRANSPARENT);
  CString strText = GetListBoxText();
  if (!strText.IsEmpty()) {
    pDC->SetTextColor(pPaintManager->GetColor(!m_bEnabled ? kGrayText : m_bFocused ? kHighlightText : kWindowText));
    pDC->DrawText(strText, rc, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
  } else if (!m_strEditHint.IsEmpty() && m_bEnabled && !m_bFocused) {
    pDC->SetTextColor(pPaintManager->GetColor(kGrayText));
    pDC->DrawText(m_strEditHint, rc, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
  }
}
