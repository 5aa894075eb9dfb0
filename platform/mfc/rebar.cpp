#include "platform/mfc/rebar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CReBar, CControlBar)

BEGIN_MESSAGE_MAP(CReBar, CControlBar)
  ON_WM_SIZE()
END_MESSAGE_MAP()

CReBar::CReBar()
{
  m_cxLeftBorder = 0;
  m_cxRightBorder = 0;
  m_cyTopBorder = 0;
  m_cyBottomBorder = 0;
}

CReBar::~CReBar() = default;

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
  if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) {
    return FALSE;
  }
  m_dwStyle = dwStyle & CBRS_ALL;
  DWORD windowStyle = (dwStyle & ~CBRS_ALL) | (dwCtrlStyle & 0xFFFF) | WS_CHILD;
  return CWnd::Create(AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), nullptr, windowStyle,
                      CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CReBar::AddBar(CWnd* pBar, LPCSTR pszText, CBitmap*, DWORD dwStyle)
{
  if (m_hWnd == nullptr || pBar == nullptr || pBar->m_hWnd == nullptr) {
    return FALSE;
  }
  // A bar in a band is laid out by the rebar, not by the frame.
  if (auto* pControlBar = dynamic_cast<CControlBar*>(pBar); pControlBar != nullptr) {
    if (pControlBar->m_pDockSite != nullptr) {
      pControlBar->m_pDockSite->RemoveControlBar(pControlBar);
      pControlBar->m_pDockSite = nullptr;
    }
    pControlBar->SetBarStyle(pControlBar->GetBarStyle() & ~(CBRS_BORDER_ANY | CBRS_GRIPPER));
  }
  ::SetParent(pBar->m_hWnd, m_hWnd);
  Band band;
  band.hWnd = pBar->m_hWnd;
  band.strText = pszText;
  band.dwStyle = dwStyle;
  m_bands.push_back(band);
  LayoutBands();
  if (CFrameWnd* pFrame = GetDockingFrame(); pFrame != nullptr) {
    pFrame->DelayRecalcLayout();
  }
  return TRUE;
}

int CReBar::BandHeight(const Band& band) const
{
  if (!::IsWindow(band.hWnd) || (band.dwStyle & RBBS_HIDDEN) != 0 || !::IsWindowVisible(band.hWnd)) {
    return 0;
  }
  if (auto* pBar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(band.hWnd)); pBar != nullptr) {
    return pBar->CalcFixedLayout(FALSE, TRUE).cy;
  }
  RECT rect;
  ::GetWindowRect(band.hWnd, &rect);
  return rect.Height();
}

void CReBar::LayoutBands()
{
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int top = 0;
  for (const Band& band : m_bands) {
    int height = BandHeight(band);
    if (height > 0) {
      ::MoveWindow(band.hWnd, 0, top, client.Width(), height, TRUE);
      top += height;
    }
  }
}

CSize CReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
  int height = 0;
  int width = 0;
  for (const Band& band : m_bands) {
    height += BandHeight(band);
    if (auto* pBar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(band.hWnd)); pBar != nullptr) {
      width = std::max<int>(width, pBar->CalcFixedLayout(FALSE, TRUE).cx);
    }
  }
  CSize size(bStretch && bHorz ? 32767 : width, height);
  return size;
}

void CReBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
  // The bands are bars of their own and bring themselves up to date.
}

void CReBar::OnSize(UINT nType, int cx, int cy)
{
  CControlBar::OnSize(nType, cx, cy);
  LayoutBands();
}
