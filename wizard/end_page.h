// The last page of every chain: the new project's input data as plain text, rebuilt each time it is shown,
// for the user to check before finishing.
#pragma once

#include "wizard/page.h"

namespace Wizard {

class CPageOfEnd : public CWDialog {
public:
  explicit CPageOfEnd(_WIZARD_DATA* data);

  ~CPageOfEnd() override;
  BOOL OnInitDialog() override;
  BOOL TransferData(BOOL save) override;
  void ShowData() override;

  CFont m_bigFont;
  HBITMAP m_picture = nullptr;

protected:
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
};

class CDlgWizard;
// The summary of the record's area; the typical-form kinds read the page of their form in `wizard`.
CString BuildSummary(const _WIZARD_DATA& data, const CDlgWizard* wizard);

// The luminaire every new project starts with.
inline constexpr char kDefaultLuminaireName[] = "ЖКУ 21-100-001";

}  // namespace Wizard
