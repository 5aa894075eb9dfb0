#include "toolkit/controls/hyperlink.h"

#include "platform/shell/shell_execute.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/resource_manager.h"

#include <cstdint>

IMPLEMENT_DYNAMIC(CTKHyperLink, CStatic)

BEGIN_MESSAGE_MAP(CTKHyperLink, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_CONTROL_REFLECT_EX(STN_CLICKED, &CTKHyperLink::OnClicked)
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_WM_SETCURSOR()
  ON_WM_ERASEBKGND()
  ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverMilliseconds = 10;
constexpr UINT kToolkitHandCursor = 9973;

}  // namespace

CTKHyperLink::CTKHyperLink()
{
  m_hCursor = ::LoadCursor(nullptr, IDC_HAND);
  if (m_hCursor == nullptr && TKResourceManager() != nullptr) {
    m_hCursor = TKResourceManager()->LoadCursor(kToolkitHandCursor);
  }
}

CTKHyperLink::~CTKHyperLink() = default;

BOOL CTKHyperLink::SubclassDlgItem(UINT nID, CWnd* pParent)
{
  if (!CStatic::SubclassDlgItem(nID, pParent)) {
    return FALSE;
  }
  if (m_bInitOnSubclass) {
    Initialise();
  }
  return TRUE;
}

int CTKHyperLink::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
  if (CStatic::OnCreate(lpCreateStruct) == -1) {
    return -1;
  }
  m_bInitOnSubclass = FALSE;
  Initialise();
  return 0;
}

void CTKHyperLink::Initialise()
{
  if (IsTextControl()) {
    if (m_strURL.IsEmpty()) {
      GetWindowText(m_strURL);
    }
    SetURL(m_strURL);
  }
  ModifyStyle(0, SS_NOTIFY);
  ApplyFont();
}

void CTKHyperLink::MakeLinkFont(CFont& font, BOOL bUnderline)
{
  LOGFONTA lf{};
  HFONT current = GetSafeHwnd() != nullptr ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0)) : nullptr;
  if (current == nullptr || ::GetObject(current, sizeof lf, &lf) == 0) {
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    lf = metrics.lfMessageFont;
  }
  lf.lfUnderline = bUnderline ? 1 : 0;
  font.DeleteObject();
  font.CreateFontIndirect(&lf);
}

void CTKHyperLink::ApplyFont()
{
  MakeLinkFont(m_font, m_bUnderline);
  if (GetSafeHwnd() != nullptr) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    Redraw();
  }
}

void CTKHyperLink::Redraw()
{
  if (GetSafeHwnd() != nullptr) {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void CTKHyperLink::SetURL(LPCSTR lpszURL)
{
  m_strURL = lpszURL != nullptr ? lpszURL : "";
  if (m_strTooltip.IsEmpty()) {
    m_strTooltip = m_strURL;
  }
  if (GetSafeHwnd() == nullptr || m_strTooltip.IsEmpty()) {
    return;
  }
  if (m_tooltip.GetSafeHwnd() != nullptr) {
    m_tooltip.UpdateTipText(m_strURL, this);
    return;
  }
  if (m_tooltip.Create(this)) {
    m_tooltip.AddTool(this, m_strTooltip);
    m_tooltip.Activate(m_bTooltipEnabled);
  }
}

void CTKHyperLink::SetColors(COLORREF crLink, COLORREF crVisited, COLORREF crHover)
{
  m_crLink = crLink;
  m_crVisited = crVisited;
  m_crHover = crHover;
  Redraw();
}

void CTKHyperLink::SetVisited(BOOL bVisited)
{
  m_bVisited = bVisited;
  Redraw();
}

void CTKHyperLink::SetUnderline(BOOL bUnderline)
{
  m_bUnderline = bUnderline;
  ApplyFont();
}

void CTKHyperLink::SetBackColor(COLORREF crBack)
{
  m_crBack = crBack;
  Redraw();
}

COLORREF CTKHyperLink::GetBackColor() const
{
  return m_crBack == static_cast<COLORREF>(-1) ? TKColorManager().GetColor(COLOR_3DFACE) : m_crBack;
}

BOOL CTKHyperLink::GotoURL(LPCSTR lpszURL, int nShowCmd, LPCSTR lpszParams, LPCSTR lpszDir)
{
  const CString target = lpszURL != nullptr ? CString(lpszURL) : m_strURL;
  HINSTANCE result = ShellExecute(nullptr, "open", target, lpszParams, lpszDir, nShowCmd);
  const auto code = static_cast<int>(reinterpret_cast<std::intptr_t>(result));
  if (code > 32) {
    return TRUE;
  }
  ReportError(code);
  return FALSE;
}

BOOL CTKHyperLink::IsTextControl() const
{
  if (GetSafeHwnd() == nullptr) {
    return FALSE;
  }
  const DWORD type = GetStyle() & 0xFF;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
}

BOOL CTKHyperLink::IsMouseOverText() const
{
  if (!IsTextControl()) {
    return TRUE;
  }
  CString text;
  GetWindowText(text);
  CClientDC dc(const_cast<CTKHyperLink*>(this));
  CFont* old = dc.SelectObject(const_cast<CFont*>(&m_font));
  const CSize extent = dc.GetTextExtent(text);
  dc.SelectObject(old);

  CRect window;
  GetWindowRect(&window);
  const DWORD type = GetStyle() & 0xFF;
  const int width = std::min<int>(extent.cx, window.Width());
  if (type == SS_CENTER) {
    window.left += (window.Width() - width) / 2;
    window.right = window.left + width;
  } else if (type == SS_RIGHT) {
    window.left = window.right - width;
  } else {
    window.right = window.left + width;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  return window.PtInRect(cursor);
}

void CTKHyperLink::ReportError(int nError)
{
  struct Entry {
    int code;
    UINT string;
  };
  static constexpr Entry kStrings[] = {
      {0, 9037},  {2, 9038},  {3, 9039},  {5, 9040},  {8, 9041},  {11, 9042}, {26, 9043},
      {27, 9044}, {28, 9045}, {29, 9046}, {30, 9047}, {31, 9048}, {32, 9049},
  };
  CString text;
  bool known = false;
  for (const Entry& entry : kStrings) {
    if (entry.code == nError) {
      if (TKResourceManager() != nullptr) {
        TKResourceManager()->LoadString(&text, entry.string);
      }
      known = true;
    }
  }
  if (!known) {
    CString format;
    if (TKResourceManager() != nullptr) {
      TKResourceManager()->LoadString(&format, 9050);
    }
    // The format comes from a resource module: only its "%d" is taken, never another conversion.
    int at = format.Find("%d");
    text = at < 0 ? format : format.Left(at) + CString(std::to_string(nError).c_str()) + format.Mid(at + 2);
  }
  MessageBeep(MB_ICONEXCLAMATION);
  AfxMessageBox(text, MB_ICONEXCLAMATION);
}

BOOL CTKHyperLink::PreTranslateMessage(MSG* pMsg)
{
  if (m_tooltip.GetSafeHwnd() != nullptr && m_bTooltipEnabled) {
    m_tooltip.RelayEvent(pMsg);
  }
  return CStatic::PreTranslateMessage(pMsg);
}

HBRUSH CTKHyperLink::CtlColor(CDC* pDC, UINT /*nCtlColor*/)
{
  if (!IsTextControl()) {
    return nullptr;
  }
  pDC->SetTextColor(m_bHover ? m_crHover : m_bVisited ? m_crVisited : m_crLink);
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BOOL CTKHyperLink::OnEraseBkgnd(HDC hDC)
{
  if (GetExStyle() & WS_EX_TRANSPARENT) {
    return CStatic::OnEraseBkgnd(hDC);
  }
  CRect client;
  GetClientRect(&client);
  CDC::FromHandle(hDC)->FillSolidRect(&client, GetBackColor());
  return TRUE;
}

BOOL CTKHyperLink::OnClicked()
{
  if (!IsMouseOverText()) {
    return FALSE;
  }
  if (m_bOpenOnClick) {
    m_bVisited = GotoURL(nullptr, SW_SHOW);
  } else {
    m_bVisited = TRUE;
  }
  Redraw();
  if (m_tooltip.GetSafeHwnd() != nullptr && m_bTooltipEnabled) {
    m_tooltip.SendMessage(TTM_POP, 0, 0);
  }
  // A text link lets its parent see the click too.
  return !IsTextControl();
}

void CTKHyperLink::OnMouseMove(UINT nFlags, CPoint point)
{
  CStatic::OnMouseMove(nFlags, point);
  if (IsTextControl() && IsMouseOverText()) {
    SetTimer(kHoverTimer, kHoverMilliseconds, nullptr);
  }
}

void CTKHyperLink::OnTimer(UINT_PTR nIDEvent)
{
  if (nIDEvent != kHoverTimer || !IsTextControl()) {
    CStatic::OnTimer(nIDEvent);
    return;
  }
  if (IsMouseOverText()) {
    m_bHover = TRUE;
  } else {
    KillTimer(kHoverTimer);
    m_bHover = FALSE;
  }
  Redraw();
}

BOOL CTKHyperLink::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
  if (m_hCursor != nullptr && IsMouseOverText()) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  return CStatic::OnSetCursor(pWnd, nHitTest, message);
}
