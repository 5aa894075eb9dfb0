// The news dialog. There is no HTML engine to show the page with: the dialog fetches it, shows its text as plain
// paragraphs in a read-only rich edit and offers a link that opens the page in the system's browser.
#pragma once

#include "app/shell/frame_workers.h"
#include "app/shell/shell_dialogs.h"

#include <memory>
#include <string>

namespace shell {

inline constexpr UINT IDD_NEWS = 748;
inline constexpr std::size_t kNewsPageCap = 256 * 1024;

// The readable text of an HTML page in cp1251: scripts, styles and comments dropped, block elements and <br> as
// line breaks, entities decoded, runs of blanks as one, empty lines as one. A page that names windows-1251 as its
// charset is taken as it is, any other as UTF-8. Input beyond kNewsPageCap is not read.
std::string HtmlToText(const std::string& html);

class CDlgNews : public CShellDialog {
public:
  CDlgNews(CWnd* pParent, const CString& address, std::shared_ptr<UpdateFetch> fetch);
  CString m_strAddress;
  CTKHyperLink m_browserLink;

protected:
  BOOL OnInitDialog() override;

private:
  std::shared_ptr<UpdateFetch> m_fetch;
};

}  // namespace shell
