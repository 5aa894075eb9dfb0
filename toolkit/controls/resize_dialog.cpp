#include "toolkit/controls/resize_dialog.h"

IMPLEMENT_DYNCREATE(CTKResizeDialog, CDialog)

BEGIN_MESSAGE_MAP(CTKResizeDialog, CDialog)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CTKResizeDialog::CTKResizeDialog() : m_resize(this, 0) {}

CTKResizeDialog::CTKResizeDialog(UINT nIDTemplate, CWnd* pParentWnd, UINT nFlags)
    : CDialog(nIDTemplate, pParentWnd), m_resize(this, nFlags), m_nIDTemplate(nIDTemplate)
{
}

BOOL CTKResizeDialog::OnInitDialog()
{
  // A dialog that cannot be resized gets no grip.
  if (!(GetStyle() & WS_THICKFRAME))
    m_resize.AddFlags(CTKResize::flagNoSizeIcon);
  CDialog::OnInitDialog();
  m_resize.Init();
  return TRUE;
}

void CTKResizeDialog::OnSize(UINT nType, int cx, int cy)
{
  CDialog::OnSize(nType, cx, cy);
  m_resize.Size();
}

void CTKResizeDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
  CDialog::OnGetMinMaxInfo(lpMMI);
  m_resize.GetMinMaxInfo(lpMMI);
}

void CTKResizeDialog::OnDestroy()
{
  m_resize.OnDestroy();
  CDialog::OnDestroy();
}
