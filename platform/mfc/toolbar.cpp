#include "platform/mfc/toolbar.h"

#include "platform/gdi/windraw.h"
#include "platform/mfc-core/resources.h"
#include "platform/mfc/dc.h"
#include "platform/user/common_controls.h"
#include "platform/user/resources.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {
// A separator's width when its button says none.
constexpr int kSeparatorWidth = 8;
// Toolbar images are drawn on this colour, which stays transparent.
constexpr COLORREF kMaskColour = RGB(192, 192, 192);
// The TOOLBAR resource's header: version, width, height, count (four WORDs).
constexpr std::size_t kToolbarHeaderBytes = 8;
constexpr WORD kToolbarVersion = 1;

// The state update handlers give a button.
class CToolCmdUI : public CCmdUI {
public:
  explicit CToolCmdUI(CToolBar* pBar) : m_pBar(pBar) {}
  void Enable(BOOL bOn) override
  {
    m_bEnableChanged = TRUE;
    UINT style = m_pBar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
    if (!bOn) {
      style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;  // a disabled button cannot stay held down
    }
    m_pBar->SetButtonStyle(static_cast<int>(m_nIndex), style);
  }
  void SetCheck(int nCheck) override
  {
    // A button that shows a check becomes a check box.
    UINT style = m_pBar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1) {
      style |= TBBS_CHECKED;
    } else if (nCheck == 2) {
      style |= TBBS_INDETERMINATE;
    }
    m_pBar->SetButtonStyle(static_cast<int>(m_nIndex), style | TBBS_CHECKBOX);
  }
  void SetText(LPCSTR) override {}

private:
  CToolBar* m_pBar;
};
}  // namespace

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_CAPTURECHANGED()
  ON_WM_SIZE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CToolBar::CToolBar()
{
  // Flat bars keep little space around their buttons.
  m_cxLeftBorder = 4;
  m_cxRightBorder = 4;
  m_cyTopBorder = 2;
  m_cyBottomBorder = 2;
}

CToolBar::~CToolBar()
{
  if (m_hbmImageWell != nullptr) {
    ::DeleteObject(m_hbmImageWell);
  }
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
  return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder),
                  nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
  if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) {
    return FALSE;
  }
  SetBorders(rcBorders);
  m_dwStyle = dwStyle & CBRS_ALL;
  DWORD windowStyle = (dwStyle & ~CBRS_ALL) | (dwCtrlStyle & 0xFFFF) | WS_CHILD;
  LPCSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  if (!CWnd::Create(cls, nullptr, windowStyle, CRect(0, 0, 0, 0), pParentWnd, nID)) {
    return FALSE;
  }
  UpdateToolTips();
  return TRUE;
}

void CToolBar::UpdateToolTips()
{
  if (m_hWnd == nullptr || (m_dwStyle & CBRS_TOOLTIPS) == 0) {
    return;
  }
  if (m_hWndToolTip == nullptr) {
    ::InitCommonControls();
    m_hWndToolTip = ::CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     0, 0, 0, 0, m_hWnd, nullptr, nullptr, nullptr);
    if (m_hWndToolTip == nullptr) {
      return;
    }
  }
  for (int i = 0; i < m_nTools; ++i) {
    TOOLINFO tool;
    tool.hwnd = m_hWnd;
    tool.uId = static_cast<UINT_PTR>(i);
    ::SendMessage(m_hWndToolTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
  }
  m_nTools = static_cast<int>(m_buttons.size());
  for (int i = 0; i < m_nTools; ++i) {
    const Button& button = m_buttons[static_cast<std::size_t>(i)];
    CString full;
    CString tip;
    if ((button.nStyle & (TBBS_SEPARATOR | TBBS_HIDDEN)) != 0 || !full.LoadString(button.nID) ||
        !AfxExtractSubString(tip, full, 1) || tip.IsEmpty()) {
      continue;  // a button whose string has no second line has no tip
    }
    TOOLINFO tool;
    tool.hwnd = m_hWnd;
    tool.uId = static_cast<UINT_PTR>(i);
    GetItemRect(i, &tool.rect);
    tool.lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(tip));
    ::SendMessage(m_hWndToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CToolBar::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (m_hWndToolTip == nullptr) {
    return;
  }
  MSG msg{};
  msg.hwnd = m_hWnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ClientToScreen(m_hWnd, &at);
  msg.pt = at;
  ::SendMessage(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void CToolBar::OnSize(UINT nType, int cx, int cy)
{
  CControlBar::OnSize(nType, cx, cy);
  UpdateToolTips();
}

void CToolBar::OnDestroy()
{
  if (m_hWndToolTip != nullptr) {
    ::DestroyWindow(m_hWndToolTip);
    m_hWndToolTip = nullptr;
    m_nTools = 0;
  }
  CControlBar::OnDestroy();
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
  m_sizeButton = sizeButton;
  m_sizeImage = sizeImage;
  if (m_hWnd != nullptr) {
    Invalidate();
  }
}

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName)
{
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC found = ::FindResource(module, lpszResourceName, RT_TOOLBAR);
  if (found == nullptr) {
    return FALSE;
  }
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
  const DWORD size = ::SizeofResource(module, found);
  if (bytes == nullptr || size < kToolbarHeaderBytes) {
    return FALSE;
  }
  auto word = [bytes](std::size_t i) { return static_cast<WORD>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
  const WORD version = word(0);
  const WORD width = word(1);
  const WORD height = word(2);
  const WORD count = word(3);
  if (version != kToolbarVersion || width == 0 || height == 0 || size < kToolbarHeaderBytes + 2u * count) {
    return FALSE;
  }
  std::vector<UINT> ids(count);
  for (WORD i = 0; i < count; ++i) {
    ids[i] = word(4 + i);
  }
  // The bitmap first: a bar whose images are missing stays as it was.
  if (!LoadBitmap(lpszResourceName)) {
    return FALSE;
  }
  SetButtons(ids.data(), static_cast<int>(ids.size()));
  SetSizes(CSize(width + 7, height + 7), CSize(width, height));
  return TRUE;
}

BOOL CToolBar::LoadBitmap(LPCSTR lpszResourceName)
{
  HBITMAP bitmap = ::LoadBitmap(AfxGetResourceHandle(), lpszResourceName);
  return bitmap != nullptr && SetBitmap(bitmap);
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell)
{
  if (m_hbmImageWell != nullptr && m_hbmImageWell != hbmImageWell) {
    ::DeleteObject(m_hbmImageWell);
  }
  m_hbmImageWell = hbmImageWell;
  if (m_hWnd != nullptr) {
    Invalidate();
  }
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
  if (nIDCount < 0) {
    return FALSE;
  }
  m_buttons.assign(static_cast<std::size_t>(nIDCount), Button{});
  int image = 0;
  for (int i = 0; lpIDArray != nullptr && i < nIDCount; ++i) {
    Button& button = m_buttons[static_cast<std::size_t>(i)];
    button.nID = lpIDArray[i];
    if (button.nID == ID_SEPARATOR) {
      button.nStyle = TBBS_SEPARATOR;
      button.iImage = kSeparatorWidth;
    } else {
      button.nStyle = TBBS_BUTTON;
      button.iImage = image++;
    }
  }
  m_nCount = nIDCount;
  m_iHot = -1;
  m_iTracking = -1;
  if (m_hWnd != nullptr) {
    Invalidate();
  }
  UpdateToolTips();
  return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
  for (std::size_t i = 0; i < m_buttons.size(); ++i) {
    if (m_buttons[i].nID == nIDFind) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
  return nIndex >= 0 && nIndex < static_cast<int>(m_buttons.size()) ? m_buttons[static_cast<std::size_t>(nIndex)].nID
                                                                    : 0;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
  *lpRect = RECT{};
  if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size())) {
    return;
  }
  CRect inside;
  ::GetClientRect(m_hWnd, &inside);
  const BOOL horz = IsHorz() || (m_dwStyle & CBRS_ALIGN_ANY) == 0;
  CalcInsideRect(inside, horz);
  int along = horz ? inside.left : inside.top;
  for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) {
    const Button& button = m_buttons[static_cast<std::size_t>(i)];
    if ((button.nStyle & TBBS_HIDDEN) != 0) {
      continue;
    }
    const bool separator = (button.nStyle & TBBS_SEPARATOR) != 0;
    const int length = separator ? (button.iImage > 0 ? button.iImage : kSeparatorWidth)
                                 : (horz ? m_sizeButton.cx : m_sizeButton.cy);
    if (i == nIndex) {
      *lpRect = horz ? RECT{along, inside.top, along + length, inside.top + m_sizeButton.cy}
                     : RECT{inside.left, along, inside.left + m_sizeButton.cx, along + length};
      return;
    }
    along += length;
  }
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
  return nIndex >= 0 && nIndex < static_cast<int>(m_buttons.size())
             ? m_buttons[static_cast<std::size_t>(nIndex)].nStyle
             : 0;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size())) {
    return;
  }
  Button& button = m_buttons[static_cast<std::size_t>(nIndex)];
  if (button.nStyle == nStyle) {
    return;  // the idle update sets the same state again and again; repainting it would flicker
  }
  // Showing or hiding a button moves the others along.
  const bool relayout = ((button.nStyle ^ nStyle) & (TBBS_HIDDEN | TBBS_SEPARATOR)) != 0;
  button.nStyle = nStyle;
  if (relayout) {
    if (m_hWnd != nullptr) {
      Invalidate();
    }
    UpdateToolTips();
    if (CFrameWnd* pFrame = GetDockingFrame(); pFrame != nullptr) {
      pFrame->DelayRecalcLayout();
    }
  } else {
    InvalidateButton(nIndex);
  }
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size())) {
    nID = 0;
    nStyle = 0;
    iImage = 0;
    return;
  }
  const Button& button = m_buttons[static_cast<std::size_t>(nIndex)];
  nID = button.nID;
  nStyle = button.nStyle;
  iImage = button.iImage;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
  if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size())) {
    return;
  }
  Button& button = m_buttons[static_cast<std::size_t>(nIndex)];
  button.nID = nID;
  button.iImage = iImage;
  button.nStyle = ~nStyle;  // always differs: SetButtonStyle stores it and repaints
  SetButtonStyle(nIndex, nStyle);
  if (m_hWnd != nullptr) {
    Invalidate();
  }
}

int CToolBar::HitTest(CPoint point) const
{
  for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) {
    RECT rect;
    GetItemRect(i, &rect);
    if (rect.Contains(point)) {
      return (m_buttons[static_cast<std::size_t>(i)].nStyle & TBBS_SEPARATOR) != 0 ? -1 : i;
    }
  }
  return -1;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
  int length = 0;
  for (const Button& button : m_buttons) {
    if ((button.nStyle & TBBS_HIDDEN) != 0) {
      continue;
    }
    if ((button.nStyle & TBBS_SEPARATOR) != 0) {
      length += button.iImage > 0 ? button.iImage : kSeparatorWidth;
    } else {
      length += bHorz ? m_sizeButton.cx : m_sizeButton.cy;
    }
  }
  CRect borders(0, 0, 0, 0);
  CalcInsideRect(borders, bHorz);
  CSize size = bHorz ? CSize(length - borders.Width(), m_sizeButton.cy - borders.Height())
                     : CSize(m_sizeButton.cx - borders.Width(), length - borders.Height());
  if (bStretch) {
    (bHorz ? size.cx : size.cy) = 32767;
  }
  return size;
}

CSize CToolBar::CalcDynamicLayout(int, DWORD nMode)
{
  // One row (or column): the bar does not wrap.
  BOOL horz = (nMode & LM_HORZDOCK) != 0 ? TRUE : (nMode & LM_VERTDOCK) != 0 ? FALSE : (nMode & LM_HORZ) != 0;
  return CalcFixedLayout((nMode & LM_STRETCH) != 0, horz);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
  CToolCmdUI state(this);
  state.m_nIndexMax = static_cast<UINT>(m_buttons.size());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    const Button& button = m_buttons[state.m_nIndex];
    if ((button.nStyle & TBBS_SEPARATOR) != 0) {
      continue;
    }
    state.m_nID = button.nID;
    state.DoUpdate(pTarget, bDisableIfNoHndler);
    // A handler may have changed the buttons.
    state.m_nIndexMax = std::min<UINT>(state.m_nIndexMax, static_cast<UINT>(m_buttons.size()));
  }
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CToolBar::InvalidateButton(int nIndex)
{
  if (m_hWnd == nullptr) {
    return;
  }
  RECT rect;
  GetItemRect(nIndex, &rect);
  if (!rect.IsEmpty()) {
    ::InvalidateRect(m_hWnd, &rect, TRUE);
  }
}

void CToolBar::DoPaint(CDC* pDC)
{
  CControlBar::DoPaint(pDC);
  for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) {
    RECT rect;
    GetItemRect(i, &rect);
    if (!rect.IsEmpty()) {
      DrawButton(pDC->m_hDC, i, rect);
    }
  }
}

void CToolBar::DrawButton(HDC hDC, int nIndex, const RECT& rect) const
{
  const Button& button = m_buttons[static_cast<std::size_t>(nIndex)];
  if ((button.nStyle & TBBS_SEPARATOR) != 0) {
    // An etched line across the bar in the middle of the gap.
    RECT line = rect;
    if (IsHorz() || (m_dwStyle & CBRS_ALIGN_ANY) == 0) {
      line.left = (rect.left + rect.right) / 2 - 1;
      line.right = line.left + 2;
      line.top += 2;
      line.bottom -= 2;
      ::DrawEdge(hDC, &line, EDGE_ETCHED, BF_LEFT);
    } else {
      line.top = (rect.top + rect.bottom) / 2 - 1;
      line.bottom = line.top + 2;
      line.left += 2;
      line.right -= 2;
      ::DrawEdge(hDC, &line, EDGE_ETCHED, BF_TOP);
    }
    return;
  }
  const bool disabled = (button.nStyle & TBBS_DISABLED) != 0;
  const bool checked = (button.nStyle & (TBBS_CHECKED | TBBS_INDETERMINATE)) != 0;
  const bool pressed = !disabled && ((button.nStyle & TBBS_PRESSED) != 0 || nIndex == m_iTracking);
  const bool hot = !disabled && nIndex == m_iHot;
  if (checked && !pressed) {
    // A checked button is sunken on a lighter face.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    HBRUSH brush = ::CreateSolidBrush(RGB((GetRValue(face) + GetRValue(light)) / 2,
                                          (GetGValue(face) + GetGValue(light)) / 2,
                                          (GetBValue(face) + GetBValue(light)) / 2));
    ::FillRect(hDC, &rect, brush);
    ::DeleteObject(brush);
  }
  if (pressed || checked) {
    RECT edge = rect;
    ::DrawEdge(hDC, &edge, BDR_SUNKENOUTER, BF_RECT);
  } else if (hot) {
    RECT edge = rect;
    ::DrawEdge(hDC, &edge, BDR_RAISEDINNER, BF_RECT);
  }
  const int shift = pressed || checked ? 1 : 0;
  const int x = rect.left + (rect.Width() - m_sizeImage.cx) / 2 + shift;
  const int y = rect.top + (rect.Height() - m_sizeImage.cy) / 2 + shift;
  DrawImage(hDC, button.iImage, x, y, disabled);
}

void CToolBar::DrawImage(HDC hDC, int iImage, int x, int y, bool disabled) const
{
  if (m_hbmImageWell == nullptr || iImage < 0) {
    return;
  }
  HDC source = ::CreateCompatibleDC(hDC);
  HGDIOBJ old = ::SelectObject(source, m_hbmImageWell);
  const int left = iImage * m_sizeImage.cx;
  if (!disabled) {
    ::TransparentBlt(hDC, x, y, m_sizeImage.cx, m_sizeImage.cy, source, left, 0, m_sizeImage.cx, m_sizeImage.cy,
                     kMaskColour);
  } else {
    // Greyed: the image's dark strokes embossed, a highlight below and right of the shadow.
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    for (int pass = 0; pass < 2; ++pass) {
      for (int row = 0; row < m_sizeImage.cy; ++row) {
        for (int col = 0; col < m_sizeImage.cx; ++col) {
          COLORREF pixel = ::GetPixel(source, left + col, row);
          if (pixel == CLR_INVALID || pixel == kMaskColour) {
            continue;
          }
          const int brightness = (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel)) / 3;
          if (brightness >= 192) {
            continue;  // light fill stays face-coloured
          }
          if (pass == 0) {
            ::SetPixelV(hDC, x + col + 1, y + row + 1, light);
          } else {
            ::SetPixelV(hDC, x + col, y + row, shadow);
          }
        }
      }
    }
  }
  ::SelectObject(source, old);
  ::DeleteDC(source);
}

void CToolBar::ShowPrompt(int nIndex)
{
  if ((m_dwStyle & CBRS_FLYBY) == 0) {
    return;
  }
  CWnd* pOwner = GetOwner();
  CWnd* pFrame = pOwner != nullptr && pOwner->IsFrameWnd() ? pOwner : GetDockingFrame();
  if (pFrame == nullptr || pFrame->m_hWnd == nullptr) {
    return;
  }
  if (nIndex >= 0) {
    pFrame->SendMessage(WM_SETMESSAGESTRING, GetItemID(nIndex));
  } else {
    pFrame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
  }
}

void CToolBar::OnMouseMove(UINT nFlags, CPoint point)
{
  RelayToToolTip(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
  int index = HitTest(point);
  if (m_iTracking >= 0) {
    // While held down, the button shows pressed only with the mouse over it.
    UINT style = GetButtonStyle(m_iTracking);
    SetButtonStyle(m_iTracking, index == m_iTracking ? (style | TBBS_PRESSED) : (style & ~TBBS_PRESSED));
    return;
  }
  if (index == m_iHot) {
    return;
  }
  int old = m_iHot;
  m_iHot = index;
  InvalidateButton(old);
  InvalidateButton(index);
  if (!m_bLeaveTracked) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    m_bLeaveTracked = ::TrackMouseEvent(&track) != FALSE;
  }
  ShowPrompt(index);
}

void CToolBar::OnMouseLeave()
{
  m_bLeaveTracked = false;
  if (m_iHot >= 0) {
    InvalidateButton(m_iHot);
    m_iHot = -1;
    ShowPrompt(-1);
  }
}

void CToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
  RelayToToolTip(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
  int index = HitTest(point);
  if (index < 0 || (GetButtonStyle(index) & TBBS_DISABLED) != 0) {
    return;
  }
  m_iTracking = index;
  ::SetCapture(m_hWnd);
  SetButtonStyle(index, GetButtonStyle(index) | TBBS_PRESSED);
}

void CToolBar::OnLButtonUp(UINT, CPoint point)
{
  int index = m_iTracking;
  if (index < 0) {
    return;
  }
  m_iTracking = -1;
  if (::GetCapture() == m_hWnd) {
    ::ReleaseCapture();
  }
  UINT style = GetButtonStyle(index) & ~TBBS_PRESSED;
  const bool clicked = HitTest(point) == index && (style & TBBS_DISABLED) == 0;
  if (clicked && (style & TBBS_CHECKBOX) != 0) {
    style ^= TBBS_CHECKED;
  }
  SetButtonStyle(index, style);
  if (clicked) {
    // The command may close the frame and this bar with it: nothing of the bar is touched after it.
    const UINT nID = GetItemID(index);
    CWnd* pOwner = GetOwner();
    if (pOwner != nullptr && pOwner->m_hWnd != nullptr) {
      pOwner->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
    }
  }
}

void CToolBar::OnCaptureChanged(CWnd*)
{
  if (m_iTracking >= 0) {
    int index = m_iTracking;
    m_iTracking = -1;
    SetButtonStyle(index, GetButtonStyle(index) & ~TBBS_PRESSED);
  }
}
