// The news dialog. There is no HTML engine to show the page with: the dialog fetches it, shows its text as plain
// paragraphs in a read-only rich edit and offers a link that opens the page in the system's browser.
#pragma once

#include "app/shell/frame_workers.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/web_texts.h"

#include <memory>
#include <string>

namespace shell {

inline constexpr UINT IDD_NEWS = 748;
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
