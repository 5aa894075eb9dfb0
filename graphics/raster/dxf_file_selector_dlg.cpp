#include "graphics/raster/dxf_file_selector_dlg.h"

#include "res/program_ids.h"

BEGIN_MESSAGE_MAP(CDXFFileSelectorDgl, CDialog)
  ON_BN_CLICKED(CDXFFileSelectorDgl::kReplace, &CDXFFileSelectorDgl::OnReplace)
  ON_BN_CLICKED(CDXFFileSelectorDgl::kRemove, &CDXFFileSelectorDgl::OnRemove)
END_MESSAGE_MAP()

CDXFFileSelectorDgl::CDXFFileSelectorDgl(CWnd* parent, const CString& boundFile)
    : CDialog(res::program::IDD_DXF_FILE_SELECTOR, parent), m_fileName(boundFile)
{
}

BOOL CDXFFileSelectorDgl::OnInitDialog()
{
  CDialog::OnInitDialog();
  SetDlgItemText(res::program::IDC_BOUND_FILE_NAME, m_fileName);
  return TRUE;
}

void CDXFFileSelectorDgl::OnReplace()
{
  m_result = kReplace;
  EndDialog(kReplace);
}

void CDXFFileSelectorDgl::OnRemove()
{
  m_result = kRemove;
  EndDialog(kRemove);
}

void CDXFFileSelectorDgl::OnCancel()
{
  m_result = 0;
  CDialog::OnCancel();
}
