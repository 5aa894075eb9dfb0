#include "tests/toolkit/commandbars/dock_frame.h"

#include "toolkit/paint/paint_manager.h"

namespace cbtest {

BOOL CDockFrame::MakeDocked(int cx, int cy)
{
  CTKPaintManager::SetTheme(tkThemeDefault);
  if (!Make(cx, cy))
    return FALSE;
  // The window is sized so that its client area is cx by cy.
  CRect rcWindow;
  CRect rcClient;
  GetWindowRect(&rcWindow);
  GetClientRect(&rcClient);
  SetWindowPos(nullptr, 0, 0, cx + rcWindow.Width() - rcClient.Width(), cy + rcWindow.Height() - rcClient.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST))
    return FALSE;
  ShowWindow(SW_SHOW);
  RecalcLayout();
  return TRUE;
}

CTKMenuBar* CDockFrame::AddMenuBar(UINT nMenuId) { return m_pCommandBars->SetMenu("Menu", nMenuId); }

CTKToolBar* CDockFrame::AddToolBar(const char* pszTitle, UINT nResourceId, int nPosition)
{
  CTKToolBar* pBar = m_pCommandBars->Add(pszTitle, nPosition);
  if (pBar)
    pBar->LoadToolBar(nResourceId, TRUE);
  return pBar;
}

CRect CDockFrame::ViewRect() const { return BarRect(const_cast<CWnd*>(&m_view)); }

CRect CDockFrame::BarRect(CWnd* pBar)
{
  CRect rc;
  pBar->GetWindowRect(&rc);
  if (CWnd* pParent = pBar->GetParent(); pParent && (pBar->GetStyle() & WS_CHILD))
    pParent->ScreenToClient(&rc);
  return rc;
}

int CDockFrame::Thickness(int nPosition) const
{
  CRect rc = BarRect(Dock(nPosition));
  return nPosition == tkBarTop || nPosition == tkBarBottom ? rc.Height() : rc.Width();
}

std::string CDockFrame::Rows(int nPosition) const
{
  std::string out;
  for (CTKToolBar* pBar : Dock(nPosition)->GetBars()) {
    if (!pBar) {
      out += "|";
      continue;
    }
    if (out.back() != '|')
      out += " ";
    out += static_cast<LPCSTR>(pBar->GetTitle());
  }
  return out;
}

}  // namespace cbtest
