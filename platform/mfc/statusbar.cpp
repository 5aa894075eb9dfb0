#include "platform/mfc/statusbar.h"

#include "platform/mfc-core/resources.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {
// Three pixels on each side of a pane's text for its border.
constexpr int kPaneBorder = 6;

// The state update handlers give a pane: enabled shows the text, a check pops the pane out.
class CStatusCmdUI : public CCmdUI {
public:
  explicit CStatusCmdUI(CStatusBar* pBar) : m_pBar(pBar) {}
  void Enable(BOOL bOn) override
  {
    m_bEnableChanged = TRUE;
    UINT style = m_pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
    m_pBar->SetPaneStyle(static_cast<int>(m_nIndex), bOn ? style : (style | SBPS_DISABLED));
  }
  void SetCheck(int nCheck) override
  {
    UINT style = m_pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
    m_pBar->SetPaneStyle(static_cast<int>(m_nIndex), nCheck != 0 ? (style | SBPS_POPOUT) : style);
  }
  void SetText(LPCSTR lpszText) override { m_pBar->SetPaneText(static_cast<int>(m_nIndex), lpszText); }

private:
  CStatusBar* m_pBar;
};
}  // namespace

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, &CStatusBar::OnSetText)
  ON_MESSAGE(WM_GETTEXT, &CStatusBar::OnGetText)
  ON_MESSAGE(WM_GETTEXTLENGTH, &CStatusBar::OnGetTextLength)
END_MESSAGE_MAP()

CStatusBar::CStatusBar()
{
  m_cxLeftBorder = 0;
  m_cxRightBorder = 0;
  m_cyTopBorder = 2;
  m_cyBottomBorder = 0;
  m_hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
  if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) {
    return FALSE;
  }
  ::InitCommonControls();
  m_dwStyle = dwStyle & CBRS_ALL;
  // The frame places the bar; the control must not place itself.
  DWORD windowStyle =
      (dwStyle & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | dwCtrlStyle | WS_CHILD;
  if ((pParentWnd->GetStyle() & WS_THICKFRAME) != 0) {
    windowStyle |= SBARS_SIZEGRIP;
  }
  if (!CWnd::Create(STATUSCLASSNAME, nullptr, windowStyle, CRect(0, 0, 0, 0), pParentWnd, nID)) {
    return FALSE;
  }
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
  return TRUE;
}

BOOL CStatusBar::PreCreateWindow(CREATESTRUCT& cs)
{
  // A status bar at the bottom draws its own edges; the bar adds none.
  if ((m_dwStyle & 0xFF00) == CBRS_BOTTOM) {
    m_dwStyle &= ~(CBRS_BORDER_ANY | CBRS_BORDER_3D);
  }
  return CControlBar::PreCreateWindow(cs);
}

int CStatusBar::TextWidth(const CString& text) const
{
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, m_hFont);
  SIZE extent{};
  ::GetTextExtentPoint32(dc, text, text.GetLength(), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return extent.cx;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
  m_panes.clear();
  m_nCount = 0;
  BOOL result = TRUE;
  for (int i = 0; lpIDArray != nullptr && i < nIDCount; ++i) {
    Pane pane;
    pane.nID = lpIDArray[i];
    pane.pending = true;
    if (pane.nID != ID_SEPARATOR) {
      CString full;
      if (!full.LoadString(pane.nID)) {
        m_panes.push_back(pane);
        result = FALSE;  // the pane stays, empty, so that the indices of those before it hold
        break;
      }
      AfxExtractSubString(pane.strText, full, 0);
      pane.cxText = TextWidth(pane.strText);
    } else {
      pane.cxText = ::GetSystemMetrics(SM_CXSCREEN) / 4;
      if (i == 0) {
        pane.nStyle |= SBPS_STRETCH | SBPS_NOBORDERS;
      }
    }
    m_panes.push_back(pane);
  }
  m_nCount = static_cast<int>(m_panes.size());
  UpdateAllPanes(TRUE, TRUE);
  return result;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
  for (std::size_t i = 0; i < m_panes.size(); ++i) {
    if (m_panes[i].nID == nIDFind) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
  return nIndex >= 0 && nIndex < static_cast<int>(m_panes.size()) ? m_panes[static_cast<std::size_t>(nIndex)].nID
                                                                  : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
  *lpRect = RECT{};
  if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()) || m_hWnd == nullptr) {
    return;
  }
  if (!::SendMessage(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect))) {
    *lpRect = RECT{};
  }
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size())) {
    nID = 0;
    nStyle = 0;
    cxWidth = 0;
    return;
  }
  const Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
  nID = pane.nID;
  nStyle = pane.nStyle;
  cxWidth = pane.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size())) {
    return;
  }
  Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
  pane.nID = nID;
  pane.cxText = std::max(0, cxWidth);
  SetPaneStyle(nIndex, nStyle);
  UpdateAllPanes(TRUE, FALSE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
  return nIndex >= 0 && nIndex < static_cast<int>(m_panes.size()) ? m_panes[static_cast<std::size_t>(nIndex)].nStyle
                                                                  : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size())) {
    return;
  }
  Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
  if (pane.nStyle == nStyle) {
    return;
  }
  const bool stretchChanged = ((pane.nStyle ^ nStyle) & SBPS_STRETCH) != 0;
  pane.nStyle = nStyle;
  if (stretchChanged) {
    UpdateAllPanes(TRUE, FALSE);
  }
  // The control draws borders and hides disabled text by what it is sent with the text.
  pane.pending = true;
  SetPaneText(nIndex, pane.strText, TRUE);
}

CString CStatusBar::GetPaneText(int nIndex) const
{
  return nIndex >= 0 && nIndex < static_cast<int>(m_panes.size()) ? m_panes[static_cast<std::size_t>(nIndex)].strText
                                                                  : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size())) {
    return FALSE;
  }
  Pane& pane = m_panes[static_cast<std::size_t>(nIndex)];
  CString text(lpszNewText);
  if (!pane.pending && pane.strText == text) {
    return TRUE;  // the idle update sets the same text again and again
  }
  pane.strText = text;
  if (!bUpdate || m_hWnd == nullptr) {
    pane.pending = true;
    return TRUE;
  }
  pane.pending = false;
  const UINT kind = pane.nStyle & (SBPS_NOBORDERS | SBPS_POPOUT | SBPS_OWNERDRAW);
  const bool disabled = (pane.nStyle & SBPS_DISABLED) != 0;
  SendMessage(SB_SETTEXT, kind | static_cast<UINT>(nIndex),
              reinterpret_cast<LPARAM>(disabled ? "" : static_cast<LPCSTR>(pane.strText)));
  return TRUE;
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
  if (m_hWnd == nullptr) {
    return;
  }
  if (bUpdateRects && !m_panes.empty()) {
    CRect rect;
    GetWindowRect(rect);
    rect.OffsetRect(-rect.left, -rect.top);
    CalcInsideRect(rect, TRUE);
    int borders[3] = {0, 0, 0};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const int gap = borders[2];
    // What the panes' own widths leave goes to the stretching panes, shared out evenly.
    int free = rect.Width() + gap;
    int stretching = 0;
    for (const Pane& pane : m_panes) {
      stretching += (pane.nStyle & SBPS_STRETCH) != 0 ? 1 : 0;
      free -= pane.cxText + kPaneBorder + gap;
    }
    std::vector<int> rights;
    int right = rect.left + borders[0];
    for (const Pane& pane : m_panes) {
      right += pane.cxText + kPaneBorder;
      if ((pane.nStyle & SBPS_STRETCH) != 0 && free > 0) {
        int share = free / stretching;
        right += share;
        free -= share;
      }
      if ((pane.nStyle & SBPS_STRETCH) != 0) {
        --stretching;
      }
      rights.push_back(right);
      right += gap;
    }
    SendMessage(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    // The control forgets the texts of parts it makes anew.
    for (Pane& pane : m_panes) {
      pane.pending = true;
    }
    bUpdateText = TRUE;
  }
  if (bUpdateText) {
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
      if (m_panes[i].pending) {
        SetPaneText(static_cast<int>(i), m_panes[i].strText, TRUE);
      }
    }
  }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
  CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
  TEXTMETRICA metrics{};
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, m_hFont);
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  int borders[3] = {0, 2, 2};
  if (m_hWnd != nullptr) {
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  }
  size.cy += metrics.tmHeight - metrics.tmInternalLeading - 1 + 2 * (::GetSystemMetrics(SM_CYBORDER) + borders[1]);
  return size;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
  CStatusCmdUI state(this);
  state.m_nIndexMax = static_cast<UINT>(m_panes.size());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax && state.m_nIndex < m_panes.size(); ++state.m_nIndex) {
    state.m_nID = m_panes[state.m_nIndex].nID;
    // A pane without a handler is never disabled: it is information, not a command.
    state.DoUpdate(pTarget, FALSE);
  }
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CStatusBar::OnPaint()
{
  UpdateAllPanes(FALSE, TRUE);
  Default();
}

BOOL CStatusBar::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }

void CStatusBar::OnSize(UINT, int, int)
{
  Default();
  UpdateAllPanes(TRUE, FALSE);
  Invalidate();
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
  int index = CommandToIndex(ID_SEPARATOR);
  if (index < 0) {
    return -1;
  }
  return SetPaneText(index, reinterpret_cast<LPCSTR>(lParam)) ? TRUE : -1;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
  auto* buffer = reinterpret_cast<char*>(lParam);
  const auto room = static_cast<std::size_t>(wParam);
  if (buffer == nullptr || room == 0) {
    return 0;
  }
  int index = CommandToIndex(ID_SEPARATOR);
  CString text = index >= 0 ? m_panes[static_cast<std::size_t>(index)].strText : CString();
  const std::size_t copied = std::min(static_cast<std::size_t>(text.GetLength()), room - 1);
  std::memcpy(buffer, static_cast<LPCSTR>(text), copied);
  buffer[copied] = '\0';
  return static_cast<LRESULT>(copied);
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
  int index = CommandToIndex(ID_SEPARATOR);
  return index >= 0 ? m_panes[static_cast<std::size_t>(index)].strText.GetLength() : 0;
}
