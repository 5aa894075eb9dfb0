#include "platform/mfc/propsheet.h"

#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/resources.h"
#include "platform/mfc/afxcmn.h"
#include "platform/mfc/winapp.h"
#include "platform/user/hooks.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// The framework's help command, which a page's PSN_HELP becomes.
constexpr UINT kHelpCommand = 0xE146;

// The sheet whose window is being made, for the callback that binds it.
thread_local CPropertySheet* t_sheetBeingMade = nullptr;

// While a modal sheet runs, its loop offers each message to the objects of the window it goes to and of that
// window's parents first, as the application's loop does: the sheet's PreTranslateMessage sees its keys.
thread_local int t_modalSheets = 0;
thread_local HHOOK t_sheetFilter = nullptr;

LRESULT SheetMessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && msg != nullptr) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
      CWnd* pWnd = CWnd::FromHandlePermanent(hwnd);
      if (pWnd != nullptr && pWnd->PreTranslateMessage(msg)) {
        return 1;
      }
    }
  }
  return ::CallNextHookEx(t_sheetFilter, code, wParam, lParam);
}

class ModalSheetRun {
public:
  ModalSheetRun()
  {
    if (t_modalSheets++ == 0) {
      t_sheetFilter = ::SetWindowsHookEx(WH_MSGFILTER, &SheetMessageFilter, nullptr, 0);
    }
  }
  ~ModalSheetRun()
  {
    if (--t_modalSheets == 0) {
      ::UnhookWindowsHookEx(t_sheetFilter);
      t_sheetFilter = nullptr;
    }
  }
  ModalSheetRun(const ModalSheetRun&) = delete;
  ModalSheetRun& operator=(const ModalSheetRun&) = delete;
};

// The dialog procedure of pages: binds the object named by the description's lParam.
INT_PTR PageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
  if (message != WM_INITDIALOG) {
    return FALSE;
  }
  auto* desc = reinterpret_cast<PROPSHEETPAGE*>(lParam);
  auto* pPage = desc != nullptr ? reinterpret_cast<CPropertyPage*>(desc->lParam) : nullptr;
  if (pPage == nullptr || (pPage->m_hWnd != hWnd && !pPage->SubclassWindow(hWnd))) {
    return TRUE;
  }
  try {
    return pPage->OnInitDialog();
  } catch (CException* e) {
    e->ReportError();
    e->Delete();
    return TRUE;
  }
}

}  // namespace

// ---- CPropertyPage

CPropertyPage::CPropertyPage() { CommonConstruct(nullptr, 0); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate)
{
  CommonConstruct(MAKEINTRESOURCE(static_cast<WORD>(nIDTemplate)), nIDCaption);
}

CPropertyPage::CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption) : CDialog(lpszTemplateName)
{
  CommonConstruct(m_lpszTemplateName, nIDCaption);
}

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
  m_strTemplateName.Empty();
  m_lpszTemplateName = MAKEINTRESOURCE(static_cast<WORD>(nIDTemplate));
  m_nIDHelp = nIDTemplate;
  CommonConstruct(m_lpszTemplateName, nIDCaption);
}

void CPropertyPage::Construct(LPCSTR lpszTemplateName, UINT nIDCaption)
{
  if (lpszTemplateName != nullptr && IS_INTRESOURCE(lpszTemplateName)) {
    Construct(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName)), nIDCaption);
    return;
  }
  m_strTemplateName = lpszTemplateName;
  m_lpszTemplateName = m_strTemplateName;
  CommonConstruct(m_lpszTemplateName, nIDCaption);
}

void CPropertyPage::CommonConstruct(LPCSTR lpszTemplateName, UINT nIDCaption)
{
  m_psp = PROPSHEETPAGE{};
  m_psp.hInstance = AfxGetResourceHandle();
  m_psp.pszTemplate = lpszTemplateName;
  m_psp.pfnDlgProc = &PageDlgProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  if (nIDCaption != 0) {
    m_strCaption.LoadString(nIDCaption);
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = m_strCaption;
  }
}

void CPropertyPage::SetModified(BOOL bChanged)
{
  HWND sheet = m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr;
  if (sheet != nullptr) {
    ::SendMessage(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
  }
}

void CPropertyPage::CancelToClose()
{
  if (HWND sheet = m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr) {
    PropSheet_CancelToClose(sheet);
  }
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam)
{
  HWND sheet = m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr;
  return sheet != nullptr ? PropSheet_QuerySiblings(sheet, wParam, lParam) : 0;
}

BOOL CPropertyPage::OnSetActive()
{
  // The first time OnInitDialog has just shown the values.
  if (m_bFirstSetActive) {
    m_bFirstSetActive = FALSE;
  } else {
    UpdateData(FALSE);
  }
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply()
{
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

BOOL CPropertyPage::OnQueryCancel() { return TRUE; }

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  if (hdr != nullptr && hdr->hwndFrom == ::GetParent(m_hWnd)) {
    switch (hdr->code) {
      case PSN_SETACTIVE: *pResult = OnSetActive() ? 0 : -1; return TRUE;
      case PSN_KILLACTIVE: *pResult = OnKillActive() ? FALSE : TRUE; return TRUE;
      case PSN_APPLY: *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; return TRUE;
      case PSN_RESET: OnReset(); *pResult = 0; return TRUE;
      case PSN_QUERYCANCEL: *pResult = OnQueryCancel() ? FALSE : TRUE; return TRUE;
      case PSN_HELP: ::SendMessage(m_hWnd, WM_COMMAND, kHelpCommand, 0); *pResult = 0; return TRUE;
      default: break;
    }
  }
  return CDialog::OnNotify(wParam, lParam, pResult);
}

// ---- CPropertySheet

CPropertySheet::CPropertySheet() { m_psh = PROPSHEETHEADER{}; }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
  Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
  Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet()
{
  if (m_hWnd != nullptr) {
    DestroyWindow();
  }
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
  CString caption;
  caption.LoadString(nIDCaption);
  Construct(caption, pParentWnd, iSelectPage);
}

void CPropertySheet::Construct(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
  m_psh = PROPSHEETHEADER{};
  m_strCaption = pszCaption;
  m_pParentWnd = pParentWnd;
  m_psh.nStartPage = iSelectPage;
}

HWND CPropertySheet::OwnerWindow() const
{
  if (m_pParentWnd != nullptr && ::IsWindow(m_pParentWnd->m_hWnd)) {
    return m_pParentWnd->m_hWnd;
  }
  CWnd* pMainWnd = AfxGetMainWnd();
  return pMainWnd != nullptr && ::IsWindow(pMainWnd->m_hWnd) ? pMainWnd->m_hWnd : nullptr;
}

void CPropertySheet::BuildHeader(std::vector<PROPSHEETPAGE>& descriptions)
{
  descriptions.clear();
  for (CPropertyPage* pPage : m_pages) {
    pPage->m_bFirstSetActive = TRUE;
    descriptions.push_back(pPage->m_psp);
  }
  m_psh.dwSize = sizeof(PROPSHEETHEADER);
  m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK;
  m_psh.dwFlags &= ~PSH_MODELESS;
  m_psh.hwndParent = OwnerWindow();
  m_psh.hInstance = AfxGetResourceHandle();
  m_psh.pszCaption = m_strCaption;
  m_psh.nPages = static_cast<UINT>(descriptions.size());
  m_psh.ppsp = descriptions.empty() ? nullptr : descriptions.data();
  m_psh.pfnCallback = &SheetCallback;
  if (m_psh.nStartPage >= m_psh.nPages) {
    m_psh.nStartPage = 0;
  }
}

int CPropertySheet::SheetCallback(HWND hWnd, UINT message, LPARAM)
{
  CPropertySheet* pSheet = t_sheetBeingMade;
  if (message != PSCB_INITIALIZED || pSheet == nullptr) {
    return 0;
  }
  t_sheetBeingMade = nullptr;
  if (pSheet->m_hWnd == nullptr && !pSheet->SubclassWindow(hWnd)) {
    return 0;
  }
  try {
    pSheet->OnInitDialog();
  } catch (CException* e) {
    e->ReportError();
    e->Delete();
  }
  return 0;
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

INT_PTR CPropertySheet::DoModal()
{
  if (m_hWnd != nullptr) {
    return -1;
  }
  std::vector<PROPSHEETPAGE> descriptions;
  BuildHeader(descriptions);
  ModalSheetRun run;
  CPropertySheet* outer = t_sheetBeingMade;
  t_sheetBeingMade = this;
  const INT_PTR result = ::PropertySheet(&m_psh);
  t_sheetBeingMade = outer;
  m_psh.ppsp = nullptr;
  if (result < 0) {
    return -1;
  }
  return result > 0 ? IDOK : IDCANCEL;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
  if (m_hWnd != nullptr) {
    return FALSE;
  }
  if (pParentWnd != nullptr) {
    m_pParentWnd = pParentWnd;
  }
  std::vector<PROPSHEETPAGE> descriptions;
  BuildHeader(descriptions);
  m_psh.dwFlags |= PSH_MODELESS;
  CPropertySheet* outer = t_sheetBeingMade;
  t_sheetBeingMade = this;
  const INT_PTR result = ::PropertySheet(&m_psh);
  t_sheetBeingMade = outer;
  m_psh.ppsp = nullptr;
  m_psh.dwFlags &= ~PSH_MODELESS;
  if (result <= 0 || m_hWnd == nullptr) {
    return FALSE;
  }
  if (dwStyle != static_cast<DWORD>(-1)) {
    ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(dwStyle));
  }
  if (dwExStyle != 0) {
    ::SetWindowLong(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(dwExStyle));
  }
  return TRUE;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
  if (m_hWnd == nullptr || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))) {
    return FALSE;
  }
  return PropSheet_IsDialogMessage(m_hWnd, pMsg);
}

int CPropertySheet::GetPageCount() const { return static_cast<int>(m_pages.size()); }

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
  return nPage >= 0 && nPage < GetPageCount() ? m_pages[nPage] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
  auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
  return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CPropertySheet::GetActiveIndex() const
{
  if (m_hWnd == nullptr) {
    return static_cast<int>(m_psh.nStartPage);
  }
  HWND page = PropSheet_GetCurrentPageHwnd(m_hWnd);
  return page != nullptr ? PropSheet_HwndToIndex(m_hWnd, page) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
  if (m_hWnd == nullptr) {
    return GetPage(static_cast<int>(m_psh.nStartPage));
  }
  HWND page = PropSheet_GetCurrentPageHwnd(m_hWnd);
  return page != nullptr ? dynamic_cast<CPropertyPage*>(CWnd::FromHandlePermanent(page)) : nullptr;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
  if (nPage < 0 || nPage >= GetPageCount()) {
    return FALSE;
  }
  if (m_hWnd == nullptr) {
    m_psh.nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
  if (pPage == nullptr || GetPageIndex(pPage) >= 0) {
    return;
  }
  m_pages.push_back(pPage);
  if (m_hWnd != nullptr) {
    pPage->m_bFirstSetActive = TRUE;
    if (HPROPSHEETPAGE handle = ::CreatePropertySheetPage(&pPage->m_psp)) {
      PropSheet_AddPage(m_hWnd, handle);
    }
  }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage)
{
  if (nPage < 0 || nPage >= GetPageCount()) {
    return;
  }
  if (m_hWnd != nullptr) {
    PropSheet_RemovePage(m_hWnd, nPage, nullptr);
  }
  m_pages.erase(m_pages.begin() + nPage);
  if (m_hWnd == nullptr && m_psh.nStartPage > static_cast<UINT>(nPage)) {
    --m_psh.nStartPage;
  }
}

CWnd* CPropertySheet::GetTabControl() const
{
  return m_hWnd != nullptr ? CWnd::FromHandle(PropSheet_GetTabControl(m_hWnd)) : nullptr;
}

void CPropertySheet::SetTitle(LPCSTR lpszText, UINT nStyle)
{
  m_strCaption = lpszText;
  if (m_hWnd != nullptr) {
    PropSheet_SetTitle(m_hWnd, nStyle, lpszText);
  }
}

BOOL CPropertySheet::PressButton(int nButton)
{
  if (m_hWnd == nullptr) {
    return FALSE;
  }
  PropSheet_PressButton(m_hWnd, nButton);
  return TRUE;
}

void CPropertySheet::EndDialog(int nEndID) { PressButton(nEndID == IDOK ? PSBTN_OK : PSBTN_CANCEL); }
