#include "toolkit/commandbars/controledit.h"

#include "platform/base/thread.h"
#include "platform/user/clipboard.h"
#include "platform/user/hooks.h"
#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/mouse_manager.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/paint/tooltip_context.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CTKEdit, CEdit)
IMPLEMENT_SERIAL(CTKControlEdit, CTKControl, TK_BAR_CLASS_SCHEMA)

namespace {
// An input method's composition starts and ends.
constexpr UINT kImeStartComposition = 0x010D;
constexpr UINT kImeEndComposition = 0x010E;
constexpr UINT kIdCopy = 57634;
constexpr UINT kIdCut = 57635;
constexpr UINT kIdPaste = 57637;
constexpr DWORD kEditStyle = WS_CHILD | ES_AUTOHSCROLL;
// The bars ask a window whether it is one of the toolkit's field windows.
constexpr UINT kMsgIsFieldWindow = 10824;
constexpr UINT kShowNoActivate = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
constexpr UINT kHideNoActivate = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW;

CTKControlComboBoxAutoCompleteWnd* g_pActiveWatcher = nullptr;
HHOOK g_hWatcherHook = nullptr;

CString WindowText(CWnd* pWnd)
{
  CString str;
  if (pWnd && pWnd->GetSafeHwnd())
    pWnd->GetWindowText(str);
  return str;
}
}  // namespace

// ---- Rich-edit library

CTKRichEditLibrary::CTKRichEditLibrary()
{
  m_hModule = ::LoadLibrary("RICHED20.DLL");
  if (m_hModule) {
    m_strClassName = "RichEdit20A";
    m_bRichEdit2 = TRUE;
    return;
  }
  m_hModule = ::LoadLibrary("RICHED32.DLL");
  if (m_hModule)
    m_strClassName = "RICHEDIT";
}

CTKRichEditLibrary::~CTKRichEditLibrary()
{
  if (m_hModule)
    ::FreeLibrary(m_hModule);
}

CTKRichEditLibrary* TKRichEditLibrary()
{
  static CTKRichEditLibrary library;
  return &library;
}

// ---- Edit window

BOOL CTKEdit::CreateEdit(DWORD dwStyle, CWnd* pParentWnd)
{
  CTKRichEditLibrary* pLibrary = TKRichEditLibrary();
  if (!pLibrary->m_hModule)
    return CEdit::Create(dwStyle, CRect(0, 0, 0, 0), pParentWnd, 0);
  if (!CWnd::Create(pLibrary->m_strClassName, nullptr, dwStyle, CRect(0, 0, 0, 0), pParentWnd, 0))
    return FALSE;
  SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE);
  SendMessage(EM_SETTEXTMODE, TM_PLAINTEXT | TM_SINGLELEVELUNDO, 0);
  return TRUE;
}

BOOL CTKEdit::ShowContextMenu(CTKControl* pControl, CPoint point)
{
  CString strProbe;
  if (!pControl || !TKResourceManager()->LoadString(&strProbe, kIdCut))
    return FALSE;
  CTKCommandBar* pBar = pControl->GetParent();
  CTKCommandBars* pCommandBars = pBar ? pBar->GetCommandBars() : nullptr;
  if (!pCommandBars)
    return FALSE;
  // The field's editing lock would make the menu's own clicks close nothing.
  CTKMouseManager* pMouseManager = TKMouseManager();
  --pMouseManager->m_nLock;
  CTKPopupBar* pPopup = CTKPopupBar::CreatePopupBar(pCommandBars);
  for (UINT nId : {kIdCut, kIdCopy, kIdPaste}) {
    if (CTKControl* pItem = pPopup->GetControls()->Add(tkControlButton, static_cast<int>(nId)))
      pItem->SetEnabled(IsCommandEnabled(nId));
  }
  UINT nFlags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RECURSE;
  if (pBar->GetExStyle() & (WS_EX_LAYOUTRTL | WS_EX_RIGHT))
    nFlags |= TPM_RIGHTALIGN;
  const int nCommand = pCommandBars->TrackPopupMenu(pPopup, nFlags, point.x, point.y, this);
  if (nCommand > 0 && GetSafeHwnd())
    OnCommand(static_cast<WPARAM>(nCommand), 0);
  ++pMouseManager->m_nLock;
  pPopup->InternalRelease();
  if (pBar->GetSafeHwnd()) {
    pBar->Invalidate();
    pBar->UpdateWindow();
  }
  return TRUE;
}

BOOL CTKEdit::IsCommandEnabled(UINT nID)
{
  switch (nID) {
  case kIdCut:
  case kIdCopy: {
    int nStart = 0;
    int nEnd = 0;
    GetSel(nStart, nEnd);
    return nStart != nEnd;
  }
  case kIdPaste:
    return ::IsClipboardFormatAvailable(CF_TEXT);
  default:
    return TRUE;
  }
}

BOOL CTKEdit::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nCode == CN_UPDATE_COMMAND_UI && (nID == kIdCut || nID == kIdCopy || nID == kIdPaste)) {
    if (pExtra)
      static_cast<CCmdUI*>(pExtra)->Enable(IsCommandEnabled(nID));
    return TRUE;
  }
  return CEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CTKEdit::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
  switch (LOWORD(wParam)) {
  case kIdCopy:
    SendMessage(WM_COPY, 0, 0);
    return TRUE;
  case kIdCut:
    SendMessage(WM_CUT, 0, 0);
    return TRUE;
  case kIdPaste:
    SendMessage(WM_PASTE, 0, 0);
    return TRUE;
  default:
    return FALSE;
  }
}

BOOL CTKEdit::ProcessNavigationKey(UINT nChar, LPARAM lParam)
{
  if (nChar != VK_BACK && (nChar < VK_PRIOR || nChar > VK_DELETE))
    return FALSE;
  MSG msg{};
  msg.hwnd = m_hWnd;
  msg.message = WM_KEYDOWN;
  msg.wParam = nChar;
  msg.lParam = lParam;
  return ::IsDialogMessage(m_hWnd, &msg);
}

BOOL CTKEdit::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == kImeStartComposition)
    m_bComposing = TRUE;
  else if (message == kImeEndComposition || message == WM_KILLFOCUS)
    m_bComposing = FALSE;
  return CEdit::OnWndMsg(message, wParam, lParam, pResult);
}

// ---- Auto-complete watcher

CTKControlComboBoxAutoCompleteWnd::~CTKControlComboBoxAutoCompleteWnd() { EnableHook(FALSE); }

HRESULT CTKControlComboBoxAutoCompleteWnd::SetupEditAutoComplete(HWND hWndEdit, DWORD dwFlags)
{
  HMODULE hShell = ::LoadLibrary("shlwapi.dll");
  if (!hShell)
    return E_FAIL;
  using PFNSHAUTOCOMPLETE = HRESULT (*)(HWND, DWORD);
  auto pfn = reinterpret_cast<PFNSHAUTOCOMPLETE>(::GetProcAddress(hShell, "SHAutoComplete"));
  HRESULT hr = pfn ? pfn(hWndEdit, dwFlags) : E_FAIL;
  ::FreeLibrary(hShell);
  m_hWndEdit = hWndEdit;
  return hr;
}

void CTKControlComboBoxAutoCompleteWnd::EnableHook(BOOL bEnable)
{
  if (bEnable) {
    if (!g_hWatcherHook) {
      g_hWatcherHook = ::SetWindowsHookEx(WH_CALLWNDPROC, &CTKControlComboBoxAutoCompleteWnd::CallWndProc,
                                          AfxGetInstanceHandle(), ::GetCurrentThreadId());
      TKKeyboardManager()->HookKeyboardTracking(this);
      g_pActiveWatcher = this;
    }
  } else if (g_pActiveWatcher == this) {
    ::UnhookWindowsHookEx(g_hWatcherHook);
    g_hWatcherHook = nullptr;
    TKKeyboardManager()->UnhookKeyboardTracking(this);
    g_pActiveWatcher = nullptr;
  }
  SetDropDownWindow(nullptr);
}

void CTKControlComboBoxAutoCompleteWnd::SetDropDownWindow(HWND hWnd)
{
  if (hWnd == m_hWndDropDown)
    return;
  if (m_hWndDropDown)
    TKMouseManager()->RemoveTrustedWindow(m_hWndDropDown);
  m_hWndDropDown = hWnd;
  if (hWnd)
    TKMouseManager()->AddTrustedWindow(hWnd);
}

void CTKControlComboBoxAutoCompleteWnd::HideDropDown()
{
  if (m_hWndDropDown)
    ::ShowWindow(m_hWndDropDown, SW_HIDE);
}

BOOL CTKControlComboBoxAutoCompleteWnd::ForwardKey(UINT nChar, LPARAM lParam)
{
  if (!IsDropDownShown() || ::GetKeyState(VK_MENU) < 0)
    return FALSE;
  if (nChar != VK_PRIOR && nChar != VK_NEXT && nChar != VK_UP && nChar != VK_DOWN)
    return FALSE;
  HWND hWndFirst = ::GetWindow(m_hWndDropDown, GW_CHILD);
  HWND hWndList = hWndFirst ? ::GetWindow(hWndFirst, GW_HWNDNEXT) : nullptr;
  if (!hWndList)
    return FALSE;
  MSG msg{};
  msg.hwnd = hWndList;
  msg.message = WM_KEYDOWN;
  msg.wParam = nChar;
  msg.lParam = lParam;
  return ::IsDialogMessage(hWndList, &msg);
}

int CTKControlComboBoxAutoCompleteWnd::OnHookMessage(HWND /*hWnd*/, UINT nMessage, WPARAM& /*wParam*/,
                                                     LPARAM& /*lParam*/, LRESULT& /*lResult*/)
{
  return nMessage == WM_MOUSEWHEEL && IsDropDownShown() ? 2 : 0;
}

LRESULT CTKControlComboBoxAutoCompleteWnd::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  CTKControlComboBoxAutoCompleteWnd* pWatcher = g_pActiveWatcher;
  if (nCode == HC_ACTION && pWatcher) {
    const auto* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (pMsg->message == WM_WINDOWPOSCHANGED) {
      const auto* pPos = reinterpret_cast<const WINDOWPOS*>(pMsg->lParam);
      if (pWatcher->m_hWndDropDown) {
        if (pMsg->hwnd == pWatcher->m_hWndDropDown && (pPos->flags & SWP_HIDEWINDOW))
          pWatcher->SetDropDownWindow(nullptr);
      } else if (pPos->flags & SWP_SHOWWINDOW) {
        char szClass[64] = {};
        ::GetClassName(pMsg->hwnd, szClass, sizeof(szClass));
        if (std::strcmp(szClass, "Auto-Suggest Dropdown") == 0) {
          pWatcher->SetDropDownWindow(pMsg->hwnd);
          ::PostMessage(pWatcher->m_hWndEdit, TKWM_AUTOCOMPLETE_SHOWN, 0, 0);
        }
      }
    }
  }
  return ::CallNextHookEx(g_hWatcherHook, nCode, wParam, lParam);
}

// ---- The edit window on a bar

BOOL CTKControlEditCtrl::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (static_cast<UINT>(nCode) == AFX_REFLECT_CONTROL_CODE(EN_CHANGE)) {
    if (m_pControl)
      m_pControl->OnEditTextChange();
    return TRUE;
  }
  return CTKEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CTKControlEditCtrl::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  CTKControlEdit* pControl = m_pControl;
  if (pControl && message == WM_DESTROY) {
    // The text outlives the window: it comes back when the bar places the control again.
    pControl->m_strEditText = pControl->m_bHintShown ? CString() : WindowText(this);
    pControl->m_bEditChanged = FALSE;
  }
  CTKCommandBar* pBar = pControl ? pControl->GetParent() : nullptr;
  if (!pControl || !pBar)
    return CTKEdit::OnWndMsg(message, wParam, lParam, pResult);
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    if (CTKCommandBars* pCommandBars = pBar->GetCommandBars())
      pCommandBars->GetToolTipContext()->FilterToolTipMessage(pBar, message, wParam, lParam);
  }
  auto answer = [pResult](LRESULT lResult) {
    if (pResult)
      *pResult = lResult;
    return TRUE;
  };
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  BOOL bCustomize = pControl->IsCustomizeMode();
  switch (message) {
  case WM_SETFOCUS: {
    if (bCustomize)
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
    if (bCustomize) {
      if (pBar->IsCustomizable() && !(pControl->GetFlags() & TK_FLAG_NOMOVABLE)) {
        CPoint ptBar = point;
        ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &ptBar, 1);
        pControl->OnClick(FALSE, ptBar);
      }
      return answer(0);
    }
    break;
  case WM_RBUTTONDOWN: {
    if (bCustomize) {
      CPoint ptBar = point;
      ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &ptBar, 1);
      pBar->SendMessage(WM_RBUTTONDOWN, wParam, MAKELPARAM(ptBar.x, ptBar.y));
      return answer(0);
    }
    pControl->SetFocused(TRUE);
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    if (ShowContextMenu(pControl, ptScreen))
      return answer(0);
    break;
  }
  case WM_CONTEXTMENU:
    return answer(0);
  case WM_MOUSEMOVE: {
    CPoint ptBar = point;
    ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &ptBar, 1);
    pBar->SendMessage(WM_MOUSEMOVE, wParam, MAKELPARAM(ptBar.x, ptBar.y));
    break;
  }
  case kMsgIsFieldWindow:
    return answer(1);
  default:
    break;
  }
  return CTKEdit::OnWndMsg(message, wParam, lParam, pResult);
}

// ---- The control

CTKControlEdit::CTKControlEdit() { m_controlType = tkControlEdit; }

CTKControlEdit::~CTKControlEdit()
{
  DestroyEditWindow();
  delete m_pEdit;
}

void CTKControlEdit::DestroyEditWindow()
{
  // Editing ends with the window, so the mouse manager's lock does not outlive it.
  SetFocused(FALSE);
  delete m_pAutoCompleteWnd;
  m_pAutoCompleteWnd = nullptr;
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->DestroyWindow();
  m_bHintShown = FALSE;
}

void CTKControlEdit::SetLabelWidth(int nWidth)
{
  if (m_nLabelWidth == nWidth)
    return;
  m_nLabelWidth = nWidth;
  m_bDelayReposition = TRUE;
}

CTKControlEditCtrl* CTKControlEdit::CreateEditControl() { return new CTKControlEditCtrl; }

CString CTKControlEdit::GetEditText() const
{
  if (m_pEdit && m_pEdit->GetSafeHwnd() && m_bEditChanged) {
    m_strEditText = WindowText(m_pEdit);
    m_bEditChanged = FALSE;
  }
  return m_strEditText;
}

CString CTKControlEdit::GetEditTextWithoutHint() const
{
  CString strText = GetEditText();
  if (m_bHintShown || (!m_strEditHint.IsEmpty() && strText == m_strEditHint))
    return CString();
  return strText;
}

void CTKControlEdit::SetEditText(const CString& strText)
{
  m_bHintShown = FALSE;
  if (m_pEdit && m_pEdit->GetSafeHwnd() && WindowText(m_pEdit) != strText) {
    m_pEdit->SetWindowText("");
    m_pEdit->SetWindowText(strText);
  }
  m_strEditText = strText;
  m_bEditChanged = FALSE;
  if (strText.IsEmpty() && !m_bFocused)
    ShowHint();
}

void CTKControlEdit::ShowHint()
{
  if (m_strEditHint.IsEmpty() || !m_pEdit || !m_pEdit->GetSafeHwnd() || m_bHintShown)
    return;
  m_bHintShown = TRUE;
  m_pEdit->SetWindowText(m_strEditHint);
  m_strEditText.Empty();
  m_bEditChanged = FALSE;
  UpdateEditFormat();
}

void CTKControlEdit::ClearHint()
{
  if (!m_bHintShown)
    return;
  m_bHintShown = FALSE;
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->SetWindowText("");
  m_strEditText.Empty();
  m_bEditChanged = FALSE;
  UpdateEditFormat();
}

void CTKControlEdit::SetEditHint(const CString& strHint)
{
  ClearHint();
  m_strEditHint = strHint;
  if (!m_bFocused && GetEditText().IsEmpty())
    ShowHint();
}

void CTKControlEdit::SetReadOnly(BOOL bReadOnly)
{
  m_bReadOnly = bReadOnly;
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->SetReadOnly(bReadOnly);
}

void CTKControlEdit::SetShellAutoComplete(DWORD dwFlags)
{
  m_dwShellAutoCompleteFlags = dwFlags;
  delete m_pAutoCompleteWnd;
  m_pAutoCompleteWnd = nullptr;
  if (!m_pEdit || !m_pEdit->GetSafeHwnd() || dwFlags == 0)
    return;
  m_pAutoCompleteWnd = new CTKControlComboBoxAutoCompleteWnd;
  if (FAILED(m_pAutoCompleteWnd->SetupEditAutoComplete(m_pEdit->GetSafeHwnd(), dwFlags))) {
    delete m_pAutoCompleteWnd;
    m_pAutoCompleteWnd = nullptr;
  }
}

BOOL CTKControlEdit::ShowLabel(BOOL bShow)
{
  if (m_bLabel == bShow)
    return FALSE;
  m_bLabel = bShow;
  DelayLayoutParent();
  return TRUE;
}

void CTKControlEdit::GetEditTextFormat(CHARFORMAT2A& cf)
{
  cf.cbSize = TKRichEditLibrary()->m_bRichEdit2 ? sizeof(CHARFORMAT2A) : sizeof(CHARFORMATA);
  cf.dwMask = CFM_COLOR | CFM_BACKCOLOR;
  CTKColorManager& colors = TKColorManager();
  if (GetEnabled()) {
    cf.crTextColor = colors.GetColor(m_bHintShown ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    cf.crBackColor = colors.GetColor(COLOR_WINDOW);
  } else {
    cf.crTextColor = colors.GetColor(COLOR_GRAYTEXT);
    cf.crBackColor = colors.GetColor(COLOR_BTNFACE);
  }
}

void CTKControlEdit::UpdateEditFormat()
{
  if (!m_pEdit || !m_pEdit->GetSafeHwnd())
    return;
  m_pEdit->SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  CHARFORMAT2A cf{};
  GetEditTextFormat(cf);
  m_pEdit->SendMessage(EM_SETCHARFORMAT, 0, reinterpret_cast<LPARAM>(&cf));
}

void CTKControlEdit::OnEditTextChange()
{
  m_bEditChanged = TRUE;
  if (m_pEdit && ::GetFocus() == m_pEdit->GetSafeHwnd())
    OnEditChanged();
  UpdateEditFormat();
}

void CTKControlEdit::OnEditChanged() { NotifySite(TKN_EDIT_CHANGED); }

void CTKControlEdit::SetRect(CRect rcControl)
{
  if (!m_pEdit) {
    m_pEdit = CreateEditControl();
    m_pEdit->m_pControl = this;
  }
  HWND hWndBar = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
  if (m_pEdit->GetSafeHwnd() &&
      ((m_pEdit->GetExStyle() & WS_EX_LAYOUTRTL) || ::GetParent(m_pEdit->GetSafeHwnd()) != hWndBar))
    DestroyEditWindow();
  BOOL bWindow = m_pEdit->GetSafeHwnd() != nullptr;
  if (rcControl == m_rcControl && bWindow && !m_bDelayReposition)
    return;
  m_rcControl = rcControl;
  if (!bWindow) {
    if (!hWndBar)
      return;
    if (!m_pEdit->CreateEdit(kEditStyle, m_pParent))
      return;
    CString strText = m_strEditText;
    m_bHintShown = strText.IsEmpty() && !m_strEditHint.IsEmpty();
    m_pEdit->SetWindowText(m_bHintShown ? m_strEditHint : strText);
    m_bEditChanged = FALSE;
    if (!GetEnabled())
      m_pEdit->EnableWindow(FALSE);
    if (m_dwShellAutoCompleteFlags)
      SetShellAutoComplete(m_dwShellAutoCompleteFlags);
  }
  if (CTKPaintManager* pPaintManager = GetPaintManager())
    m_pEdit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pPaintManager->GetRegularFont()->GetSafeHandle()), FALSE);
  UpdateEditFormat();
  m_pEdit->SetReadOnly(m_bReadOnly);
  int nLeft = rcControl.left + m_nLabelWidth + 4;
  m_pEdit->MoveWindow(nLeft, rcControl.top + 3, (rcControl.right - 3) - nLeft, rcControl.Height() - 6, FALSE);
  m_pEdit->SetWindowPos(nullptr, 0, 0, 0, 0, IsVisible() ? kShowNoActivate : kHideNoActivate);
  m_bDelayReposition = FALSE;
}

void CTKControlEdit::SetHideFlags(DWORD dwFlags)
{
  CTKControl::SetHideFlags(dwFlags);
  if (m_pEdit && m_pEdit->GetSafeHwnd())
    m_pEdit->SetWindowPos(nullptr, 0, 0, 0, 0, IsVisible() ? kShowNoActivate : kHideNoActivate);
}

void CTKControlEdit::OnCalcDynamicSize(DWORD dwMode)
{
  SetHideFlag(TK_HIDEDOCKINGPOSITION, (dwMode & LM_VERTDOCK) != 0);
}

BOOL CTKControlEdit::IsCaptionVisible() const { return m_bLabel && !GetCaption().IsEmpty(); }

BOOL CTKControlEdit::Compare(CTKControl* pOther)
{
  if (!CTKControl::Compare(pOther))
    return FALSE;
  auto* pEdit = dynamic_cast<CTKControlEdit*>(pOther);
  return pEdit && pEdit->GetRuntimeClass() == GetRuntimeClass() && pEdit->m_nWidth == m_nWidth;
}

void CTKControlEdit::SetEnabled(BOOL bEnabled)
{
  CTKControl::SetEnabled(bEnabled);
  if (m_pEdit && m_pEdit->GetSafeHwnd()) {
    m_pEdit->EnableWindow(bEnabled);
    UpdateEditFormat();
  }
}

void CTKControlEdit::SetFocused(BOOL bFocused)
{
  if (m_bFocused == bFocused)
    return;
  m_bFocused = bFocused;
  HWND hWndEdit = m_pEdit ? m_pEdit->GetSafeHwnd() : nullptr;
  if (bFocused) {
    if (hWndEdit && ::GetFocus() != hWndEdit)
      ::SetFocus(hWndEdit);
    if (m_pParent) {
      m_pParent->SetTrackingMode(1, FALSE, FALSE);
      m_pParent->SetSelected(m_nIndex, FALSE);
    }
    ++TKMouseManager()->m_nLock;
    NotifySite(TKN_EDIT_SETFOCUS);
  } else {
    if (hWndEdit && ::GetFocus() == hWndEdit) {
      HWND hWndBack = m_hWndPrevFocus && ::IsWindow(m_hWndPrevFocus) ? m_hWndPrevFocus : nullptr;
      ::SetFocus(hWndBack);
    }
    m_hWndPrevFocus = nullptr;
    --TKMouseManager()->m_nLock;
    NotifySite(TKN_EDIT_KILLFOCUS);
  }
  InvalidateParent();
}

void CTKControlEdit::OnEditSetFocus(HWND hWndPrevious)
{
  ClearHint();
  m_strLastText = GetEditTextWithoutHint();
  if (!m_hWndPrevFocus) {
    m_hWndPrevFocus = hWndPrevious;
    if (!m_hWndPrevFocus && m_pParent && m_pParent->GetSite())
      m_hWndPrevFocus = m_pParent->GetSite()->GetSafeHwnd();
  }
  if (m_pParent)
    m_pParent->SetPopuped(-1, FALSE);
  SetFocused(TRUE);
  if (m_pAutoCompleteWnd)
    m_pAutoCompleteWnd->EnableHook(TRUE);
}

void CTKControlEdit::OnEditKillFocus()
{
  if (GetEditText().IsEmpty())
    ShowHint();
  SetFocused(FALSE);
  if (m_pAutoCompleteWnd)
    m_pAutoCompleteWnd->EnableHook(FALSE);
}

int CTKControlEdit::OnHookKeyDown(UINT nChar, LPARAM lParam)
{
  if (!m_bFocused || !m_pEdit || !m_pEdit->GetSafeHwnd())
    return 0;
  if (m_pEdit->m_bComposing)
    return 2;
  switch (nChar) {
  case VK_TAB:
  case VK_RETURN:
    return 0;
  case VK_ESCAPE:
    SetEditText(m_strLastText);
    SetFocused(FALSE);
    return 1;
  default:
    if (m_pAutoCompleteWnd && m_pAutoCompleteWnd->ForwardKey(nChar, lParam))
      return 1;
    return m_pEdit->ProcessNavigationKey(nChar, lParam) ? 1 : 2;
  }
}

void CTKControlEdit::OnClick(BOOL bKeyboard, CPoint pt)
{
  if (IsCustomizeMode()) {
    if (m_pParent) {
      m_pParent->SetPopuped(-1, FALSE);
      m_pParent->SetSelected(-1, FALSE);
      if (!bKeyboard)
        OnCustomizeMouseDown(pt);
    }
    return;
  }
  HWND hWndEdit = m_pEdit ? m_pEdit->GetSafeHwnd() : nullptr;
  if (bKeyboard && hWndEdit && ::GetFocus() == hWndEdit)
    OnExecute();
  else if (hWndEdit)
    ::SetFocus(hWndEdit);
}

void CTKControlEdit::OnMouseHover()
{
  if (TKMouseManager()->m_nLock > 0)
    return;
  CTKControl::OnMouseHover();
}

BOOL CTKControlEdit::OnSetSelected(int bSelected)
{
  BOOL bChanged = CTKControl::OnSetSelected(bSelected);
  if (bSelected == 0)
    SetFocused(FALSE);
  return bChanged;
}

void CTKControlEdit::SetParent(CTKCommandBar* pParent)
{
  if (!pParent)
    DestroyEditWindow();
  CTKControl::SetParent(pParent);
}

void CTKControlEdit::SetWidth(int nWidth)
{
  m_nWidth = nWidth;
  DelayLayoutParent();
}

void CTKControlEdit::Copy(CTKControl* pControl, BOOL bRecursive)
{
  if (auto* pEdit = dynamic_cast<CTKControlEdit*>(pControl)) {
    m_nWidth = pEdit->m_nWidth;
    SetEditText(pEdit->GetEditTextWithoutHint());
    m_bLabel = pEdit->m_bLabel;
    m_bReadOnly = pEdit->m_bReadOnly;
    m_strEditHint = pEdit->m_strEditHint;
    m_dwShellAutoCompleteFlags = pEdit->m_dwShellAutoCompleteFlags;
  }
  CTKControl::Copy(pControl, bRecursive);
}

CTKControl* CTKControlEdit::Clone(BOOL bRecursive) { return CTKControl::Clone(bRecursive); }
