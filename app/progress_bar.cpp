#include "app/progress_bar.h"

BEGIN_MESSAGE_MAP(CProgressBar, CProgressCtrl)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CRect ProgressBarRect(const CRect& pane, int widthPercent)
{
  CRect rect = pane;
  rect.right += (rect.left - rect.right) * 2 / 100;
  rect.left = rect.right - (rect.right - rect.left) * widthPercent / 100;
  const int quarter = pane.Height() / 4;
  rect.top += quarter;
  rect.bottom -= quarter;
  return rect;
}

CProgressBar::CProgressBar(IProgressBarHost* host) : m_host(host)
{
  CWnd* statusBar = m_host ? m_host->GetHostWindow() : nullptr;
  if (!statusBar || !statusBar->GetSafeHwnd())
    return;
  CRect pane;
  m_host->GetPaneRect(m_pane, &pane);
  if (!Create(WS_CHILD, pane, statusBar, 1))
    return;
  SetRange(0, 100);
  SetStep(1);
  m_created = TRUE;
  Layout();
}

CProgressBar::~CProgressBar()
{
  if (GetSafeHwnd()) {
    ModifyStyle(WS_VISIBLE, 0);
    if (CWnd* statusBar = m_host->GetHostWindow(); statusBar && statusBar->GetSafeHwnd())
      statusBar->InvalidateRect(nullptr, TRUE);
    DestroyWindow();
  }
}

void CProgressBar::Layout()
{
  CWnd* statusBar = m_host ? m_host->GetHostWindow() : nullptr;
  if (!GetSafeHwnd() || !statusBar || !statusBar->GetSafeHwnd())
    return;
  if (IsWindowVisible())
    statusBar->UpdateWindow();
  CRect pane;
  m_host->GetPaneRect(m_pane, &pane);
  const CRect rect = ProgressBarRect(pane, m_widthPercent);
  if (rect != m_placed) {
    MoveWindow(&rect, TRUE);
    m_placed = rect;
  }
}

BOOL CProgressBar::OnEraseBkgnd(HDC hDC)
{
  Layout();
  return CProgressCtrl::OnEraseBkgnd(hDC);
}
