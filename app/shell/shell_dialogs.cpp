#include "app/shell/shell_dialogs.h"

#include "app/shell/analytics.h"
#include "model/shell/shell_services.h"

#include <algorithm>

namespace shell {

namespace {

constexpr UINT_PTR kStopTimer = 0x5701;
constexpr UINT kStopPollMilliseconds = 100;
constexpr UINT_PTR kCloseAfterLinkTimer = 2;

constexpr UINT IDC_PRODUCT_TITLE = 1032;
constexpr UINT IDC_ABOUT_SITE = 1075;
constexpr UINT IDC_PRODUCT_CODE = 1077;
constexpr UINT IDC_UPDATE_SITE = 1072;
constexpr UINT IDC_UPDATE_MESSAGE = 1076;
constexpr UINT IDC_UPDATE_VERSION_TEXT = 1124;
constexpr UINT IDC_DONT_SHOW_AGAIN = 1004;

constexpr COLORREF kLinkColour = 0xFF0000;
constexpr COLORREF kVisitedColour = 0x800080;
constexpr COLORREF kHoverColour = 0xFF;

CString Profile(LPCSTR section, LPCSTR entry, LPCSTR fallback)
{
  CWinApp* app = AfxGetApp();
  return app != nullptr ? app->GetProfileString(section, entry, fallback) : CString(fallback);
}

int ProfileInt(LPCSTR section, LPCSTR entry, int fallback)
{
  CWinApp* app = AfxGetApp();
  return app != nullptr ? static_cast<int>(app->GetProfileInt(section, entry, fallback)) : fallback;
}

void SetUpLink(CTKHyperLink& link, UINT id, CWnd* dialog)
{
  link.SubclassDlgItem(id, dialog);
  link.SetBackColor(0xFFFFFF);
  link.SetURL(Shell::GetNetworkAddress(Shell::kSiteAddressString));
  link.SetColors(kLinkColour, kVisitedColour, kHoverColour);
}

}  // namespace

CString ProductCodeText(const CString& installationId)
{
  CString id = installationId;
  if (id.GetLength() > 2) {
    int open = id.Find('{');
    if (open >= 0) {
      id = id.Mid(open + 1);
    }
    int close = id.Find('}');
    if (close >= 0) {
      id = id.Left(close);
    }
  }
  return CString("Код продукта: ") + id;
}

void ApplyDialogTransparency(CWnd* dialog)
{
  const int value = ProfileInt("Settings", "Transparence", 255);
  if (value == 255 || dialog == nullptr || dialog->GetSafeHwnd() == nullptr) {
    return;
  }
  dialog->ModifyStyleEx(0, WS_EX_LAYERED);
  ::SetLayeredWindowAttributes(dialog->GetSafeHwnd(), 0, static_cast<BYTE>(std::clamp(value, 0, 255)), LWA_ALPHA);
  dialog->RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

BEGIN_MESSAGE_MAP(CShellDialog, CDialog)
  ON_WM_CTLCOLOR()
  ON_WM_ERASEBKGND()
  ON_WM_TIMER()
END_MESSAGE_MAP()

CShellDialog::CShellDialog(UINT nIDTemplate, CWnd* pParent, const std::atomic<bool>* stop)
    : CDialog(nIDTemplate, pParent), m_stop(stop)
{
}

BOOL CShellDialog::OnInitDialog()
{
  CDialog::OnInitDialog();
  if (m_stop != nullptr) {
    SetTimer(kStopTimer, kStopPollMilliseconds, nullptr);
  }
  return TRUE;
}

HBRUSH CShellDialog::OnCtlColor(CDC* pDC, CWnd* /*pWnd*/, UINT /*nCtlColor*/)
{
  pDC->SetBkColor(0xFFFFFF);
  return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

BOOL CShellDialog::OnEraseBkgnd(HDC hDC)
{
  CRect client;
  GetClientRect(&client);
  CDC::FromHandle(hDC)->FillSolidRect(&client, 0xFFFFFF);
  return TRUE;
}

void CShellDialog::OnTimer(UINT_PTR nIDEvent)
{
  if (nIDEvent == kStopTimer && m_stop != nullptr && *m_stop) {
    KillTimer(kStopTimer);
    EndDialog(IDCANCEL);
    return;
  }
  CDialog::OnTimer(nIDEvent);
}

void CShellDialog::SetTitleFont()
{
  m_fontTitle.DeleteObject();
  m_fontTitle.CreateFont(28, 0, 0, 0, 700, FALSE, FALSE, FALSE, 204, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, 32, "Tahoma");
  if (CWnd* title = GetDlgItem(IDC_PRODUCT_TITLE)) {
    title->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontTitle.GetSafeHandle()), TRUE);
  }
}

CAboutDlg::CAboutDlg(CWnd* pParent) : CShellDialog(IDD_ABOUTBOX, pParent) {}

CAboutDlg::~CAboutDlg()
{
  SendAnalyticsInfo(GetAnalyticsModule(), 1);
}

BOOL CAboutDlg::OnInitDialog()
{
  CShellDialog::OnInitDialog();
  SetTitleFont();
  SetUpLink(m_link, IDC_ABOUT_SITE, this);
  SetDlgItemText(IDC_PRODUCT_CODE, ProductCodeText(Profile("Settings", "QorRID", "")));
  ApplyDialogTransparency(this);
  RegisterAnalyticsScreen(GetAnalyticsModule(), "О Программе", 1);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CUpdateTheProgram, CShellDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CUpdateTheProgram::CUpdateTheProgram(CWnd* pParent, const std::atomic<bool>* stop)
    : CShellDialog(IDD_UPDATE_PROGRAM, pParent, stop)
{
}

BOOL CUpdateTheProgram::OnInitDialog()
{
  CShellDialog::OnInitDialog();
  SetTitleFont();
  if (m_nMode == 1) {
    CString text;
    text.LoadString(526);
    SetDlgItemText(IDC_UPDATE_MESSAGE, text);
  } else {
    CString format;
    format.LoadString(523);
    CString text;
    text.Format(format, static_cast<LPCSTR>(m_strRelease));
    SetDlgItemText(IDC_UPDATE_MESSAGE, text);
  }
  if (CWnd* versionText = GetDlgItem(IDC_UPDATE_VERSION_TEXT)) {
    if (m_nMode == 1) {
      versionText->ShowWindow(SW_HIDE);
    } else {
      versionText->SetWindowText(m_strVersionText);
    }
  }
  SetUpLink(m_link, IDC_UPDATE_SITE, this);
  if (m_nMode == 1) {
    m_link.ShowWindow(SW_HIDE);
  }
  if (m_bShowBox == 0) {
    if (CWnd* box = GetDlgItem(IDC_DONT_SHOW_AGAIN)) {
      box->ShowWindow(SW_HIDE);
    }
  }
  return TRUE;
}

BOOL CUpdateTheProgram::OnCommand(WPARAM wParam, LPARAM lParam)
{
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (id == IDC_DONT_SHOW_AGAIN && code == BN_CLICKED) {
    m_nCheck = static_cast<int>(::SendDlgItemMessage(m_hWnd, IDC_DONT_SHOW_AGAIN, BM_GETCHECK, 0, 0));
    return TRUE;
  }
  if (id == IDC_UPDATE_SITE && code == STN_CLICKED) {
    // The link has opened the site; the dialog closes a moment later.
    SetTimer(kCloseAfterLinkTimer, s_closeAfterLink, nullptr);
    return TRUE;
  }
  return CShellDialog::OnCommand(wParam, lParam);
}

void CUpdateTheProgram::OnTimer(UINT_PTR nIDEvent)
{
  if (nIDEvent == kCloseAfterLinkTimer) {
    KillTimer(kCloseAfterLinkTimer);
    PostMessage(WM_COMMAND, IDOK, 0);
    return;
  }
  CShellDialog::OnTimer(nIDEvent);
}

CDlgZBufferBits::CDlgZBufferBits(CWnd* pParent, const std::atomic<bool>* stop)
    : CShellDialog(IDD_ZBUFFER_BITS, pParent, stop)
{
}

void CDlgZBufferBits::OnOK()
{
  m_nCheck = static_cast<int>(::SendDlgItemMessage(m_hWnd, IDC_DONT_SHOW_AGAIN, BM_GETCHECK, 0, 0));
  CShellDialog::OnOK();
}

void CDlgZBufferBits::OnCancel()
{
  m_nCheck = static_cast<int>(::SendDlgItemMessage(m_hWnd, IDC_DONT_SHOW_AGAIN, BM_GETCHECK, 0, 0));
  CShellDialog::OnCancel();
}

void DialogUpdateUi::Report(HWND owner, UINT stringId, UINT iconFlags)
{
  CString text;
  CString caption;
  text.LoadString(stringId);
  caption.LoadString(57344);
  ::MessageBox(owner, text, caption, iconFlags);
}

bool DialogUpdateUi::OfferUpdate(HWND owner, const Offer& offer, const std::atomic<bool>& stop)
{
  CUpdateTheProgram dialog(CWnd::FromHandle(owner), &stop);
  dialog.m_nMode = offer.mode;
  dialog.m_nVersion = offer.version;
  dialog.m_strRelease = offer.releaseText.c_str();
  dialog.m_strVersionText = offer.versionText.c_str();
  dialog.m_bShowBox = offer.showBox ? 1 : 0;
  dialog.DoModal();
  return dialog.m_nCheck != 0;
}

bool ShowDepthWarning(HWND owner, const std::atomic<bool>& stop)
{
  CDlgZBufferBits dialog(CWnd::FromHandle(owner), &stop);
  dialog.DoModal();
  return dialog.m_nCheck != 0;
}

}  // namespace shell
