#include "app/shell/news_page.h"


namespace shell {

namespace {

constexpr UINT IDC_NEWS_TEXT = 1116;
constexpr UINT IDC_NEWS_BROWSER = 1117;

}  // namespace

CDlgNews::CDlgNews(CWnd* pParent, const CString& address, std::shared_ptr<UpdateFetch> fetch)
    : CShellDialog(IDD_NEWS, pParent), m_strAddress(address), m_fetch(std::move(fetch))
{
}

BOOL CDlgNews::OnInitDialog()
{
  CShellDialog::OnInitDialog();
  m_browserLink.SubclassDlgItem(IDC_NEWS_BROWSER, this);
  m_browserLink.SetBackColor(0xFFFFFF);
  m_browserLink.SetURL(m_strAddress);
  if (m_strAddress.IsEmpty()) {
    return TRUE;
  }
  CString shown;
  std::string body;
  std::atomic<bool> stop{false};
  HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  const std::string address(m_strAddress);
  const bool web = address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0;
  if (web && m_fetch != nullptr && m_fetch->Fetch(address, &body, stop) == UpdateFetch::Result::Opened) {
    shown = HtmlToText(body).c_str();
  } else {
    shown = CString("Страница новостей не загружена: ") + m_strAddress;
  }
  ::SetCursor(old);
  SetDlgItemText(IDC_NEWS_TEXT, shown);
  ::SendDlgItemMessage(m_hWnd, IDC_NEWS_TEXT, EM_SETSEL, 0, 0);
  if (!web) {
    m_browserLink.ShowWindow(SW_HIDE);
  }
  // The page is read, not edited: the focus goes to "Закрыть" so that nothing stands selected.
  if (CWnd* close = GetDlgItem(IDCANCEL)) {
    close->SetFocus();
    return FALSE;
  }
  return TRUE;
}

}  // namespace shell
