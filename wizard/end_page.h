// The last page of every chain: the new project's input data as plain text, rebuilt each time it is shown,
// for the user to check before finishing.
#pragma once

#include "wizard/page.h"

#include <functional>

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

// The luminaire every new project starts with when no luminaire database tells which.
inline constexpr char kDefaultLuminaireName[] = "ЖКУ 21-100-001";

// The luminaire a new project gets, as the program's luminaire database answers it.
struct ProjectLuminaire {
  CString name;
  double power = 0;  // W, all light sources
  double flux = 0;   // lm, all light sources
};
// False: not known, and the summary names the default above. The program sets it; null removes it.
using ProjectLuminaireSource = std::function<bool(ProjectLuminaire*)>;
void SetProjectLuminaireSource(ProjectLuminaireSource source);

}  // namespace Wizard
