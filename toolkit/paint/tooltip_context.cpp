#include "toolkit/paint/tooltip_context.h"

#include "platform/base/clock.h"
#include "platform/base/thread.h"
#include "platform/mfc/richedit.h"
#include "platform/richedit/richedit.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "platform/user/system.h"
#include "platform/user/window.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/visual_styles.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kClassDropShadow = 0x20000;
constexpr DWORD kNoDropShadowBit = 0x2000;
constexpr DWORD kButtonFaceFrameBit = 0x1000;
constexpr int kComCtlTitles = 0x50050;  // 5.80: the first version whose tips have titles

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL; }
bool IsNonClientMouseMessage(UINT message) { return message >= 0xA0 && message <= 0xA9; }
bool AnyButtonDown()
{
  return GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0;
}

LPSTR HeapCopy(const CString& text)
{
  auto* copy = static_cast<LPSTR>(std::calloc(static_cast<size_t>(text.GetLength()) + 1, 1));
  if (copy != nullptr) {
    std::memcpy(copy, text.GetString(), static_cast<size_t>(text.GetLength()));
  }
  return copy;
}

// The first ancestor (or the window itself) that is no child window: the tip's owner.
CWnd* ParentOwner(CWnd* pWnd)
{
  HWND hWnd = pWnd->GetSafeHwnd();
  while (hWnd != nullptr && (GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) != 0) {
    hWnd = GetParent(hWnd);
  }
  return hWnd != nullptr ? CWnd::FromHandle(hWnd) : pWnd;
}

// A TOOLINFO of all zeros, its size included: no tool.
TOOLINFO EmptyToolInfo()
{
  TOOLINFO info;
  info.cbSize = 0;
  return info;
}

CTKToolTipContextToolTip* g_hookedTip = nullptr;
HHOOK g_mouseHook = nullptr;

}  // namespace

// ---- The own tip window

CTKToolTipContextToolTip::CTKToolTipContextToolTip(CTKToolTipContext* pContext) : m_pContext(pContext)
{
  NONCLIENTMETRICS metrics;
  metrics.cbSize = sizeof(NONCLIENTMETRICS);
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(NONCLIENTMETRICS), &metrics, 0);
  m_font.CreateFontIndirect(&metrics.lfStatusFont);
}

CTKToolTipContextToolTip::~CTKToolTipContextToolTip()
{
  SetMouseHook(FALSE);
  for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
    delete m_arrTools[i];
  }
  m_arrTools.RemoveAll();
  if (GetSafeHwnd() != nullptr) {
    DestroyWindow();
  }
}

BOOL CTKToolTipContextToolTip::Create(CWnd* pOwner, DWORD dwStyle)
{
  UINT classStyle = CS_SAVEBITS | CS_OWNDC;
  if (m_pContext != nullptr && m_pContext->m_nComCtlVersion >= 0x60000 && (dwStyle & kNoDropShadowBit) == 0) {
    classStyle |= kClassDropShadow;
  }
  LPCSTR className = AfxRegisterWndClass(classStyle, LoadCursor(nullptr, IDC_ARROW));
  m_hWndOwner = pOwner->GetSafeHwnd();
  return CreateEx(WS_EX_TOOLWINDOW, className, nullptr, dwStyle | WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, m_hWndOwner, nullptr);
}

CTKToolTipContextToolTip::TOOLITEM* CTKToolTipContextToolTip::FindTool(HWND hWnd, UINT_PTR uId)
{
  for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
    if (m_arrTools[i]->hWnd == hWnd && m_arrTools[i]->uId == uId) {
      return m_arrTools[i];
    }
  }
  return nullptr;
}

LRESULT CTKToolTipContextToolTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
  case TTM_ACTIVATE:
    m_bActive = static_cast<BOOL>(wParam);
    if (!m_bActive) {
      if (m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
      }
      m_toolPending = TOOLITEM();
      if (IsWindowVisible()) {
        ShowTool(nullptr);
      }
    }
    return 0;
  case TTM_ADDTOOL: {
    const auto* info = reinterpret_cast<const TOOLINFO*>(lParam);
    if (info == nullptr) {
      return FALSE;
    }
    auto* item = new TOOLITEM;
    item->bTextCallback = info->lpszText == LPSTR_TEXTCALLBACK;
    if (!item->bTextCallback && info->lpszText != nullptr) {
      item->strText = info->lpszText;
    }
    item->uFlags = info->uFlags;
    item->rect = info->rect;
    item->hInst = info->hinst;
    item->hWnd = info->hwnd;
    item->uId = info->uId;
    m_arrTools.Add(item);
    return TRUE;
  }
  case TTM_DELTOOL: {
    const auto* info = reinterpret_cast<const TOOLINFO*>(lParam);
    if (info == nullptr) {
      return 0;
    }
    for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
      TOOLITEM* item = m_arrTools[i];
      if (item->hWnd != info->hwnd || item->uId != info->uId) {
        continue;
      }
      if (item->IsSame(m_toolCurrent)) {
        ShowTool(nullptr);
      }
      if (item->IsSame(m_toolPressed)) {
        m_toolPressed = TOOLITEM();
      }
      if (item->IsSame(m_toolPending)) {
        m_toolPending = TOOLITEM();
      }
      m_arrTools.RemoveAt(i);
      delete item;
      break;
    }
    return 0;
  }
  case TTM_UPDATETIPTEXT: {
    const auto* info = reinterpret_cast<const TOOLINFO*>(lParam);
    if (info == nullptr) {
      return 0;
    }
    if (TOOLITEM* item = FindTool(info->hwnd, info->uId)) {
      item->bTextCallback = info->lpszText == LPSTR_TEXTCALLBACK;
      item->strText = (item->bTextCallback || info->lpszText == nullptr) ? CString() : CString(info->lpszText);
    }
    return 0;
  }
  case TTM_SETTITLE:
    m_strTitle = lParam != 0 ? CString(reinterpret_cast<LPCSTR>(lParam)) : CString();
    if ((GetStyle() & TTS_NOPREFIX) == 0) {
      CTKDrawHelpers::StripMnemonics(m_strTitle);
    }
    return TRUE;
  case TTM_RELAYEVENT:
    if (lParam != 0) {
      RelayEvent(reinterpret_cast<const MSG*>(lParam));
    }
    return 0;
  case TTM_WINDOWFROMPOINT:
    return reinterpret_cast<LRESULT>(CTKToolTipContext::WindowFromPoint(*reinterpret_cast<const POINT*>(lParam)));
  case WM_TIMER:
    OnTimer(wParam);
    return 0;
  case WM_MOUSEMOVE:
    ShowTool(nullptr);
    return 0;
  case WM_PAINT:
    OnPaint();
    return 0;
  case WM_ERASEBKGND:
    return TRUE;
  default:
    if (message >= WM_USER && message < WM_USER + 0x100) {
      return 0;  // width, margins, colours and delays come from the context itself
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
}

CTKToolTipContextToolTip::TOOLITEM CTKToolTipContextToolTip::ToolFromCursor()
{
  if (AnyButtonDown()) {
    return TOOLITEM();
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  for (INT_PTR i = 0; i < m_arrTools.GetSize(); ++i) {
    const TOOLITEM& item = *m_arrTools[i];
    if (!IsWindow(item.hWnd)) {
      continue;
    }
    if ((item.uFlags & TTF_IDISHWND) != 0) {
      RECT rc{};
      ::GetWindowRect(reinterpret_cast<HWND>(item.uId), &rc);
      if (PtInRect(&rc, cursor)) {
        return item;
      }
      continue;
    }
    RECT rc = item.rect;
    ::ClientToScreen(item.hWnd, reinterpret_cast<POINT*>(&rc.left));
    ::ClientToScreen(item.hWnd, reinterpret_cast<POINT*>(&rc.right));
    if (PtInRect(&rc, cursor) && CTKToolTipContext::WindowFromPoint(cursor) == item.hWnd) {
      return item;
    }
  }
  return TOOLITEM();
}

void CTKToolTipContextToolTip::RelayEvent(const MSG* pMsg)
{
  if (!m_bActive || (!IsMouseMessage(pMsg->message) && !IsNonClientMouseMessage(pMsg->message))) {
    return;
  }
  TOOLITEM tool = ToolFromCursor();
  if (pMsg->message == WM_LBUTTONDOWN) {
    m_toolPressed = tool;
    tool = TOOLITEM();
  } else if (!tool.IsEmpty() && tool.IsSame(m_toolPressed)) {
    tool = TOOLITEM();
  }
  if (m_nTimer != 0 && !tool.IsSame(m_toolPending)) {
    KillTimer(m_nTimer);
    m_nTimer = 0;
    m_toolPending = TOOLITEM();
  }
  if (tool.IsSame(m_toolCurrent)) {
    return;
  }
  if (!tool.IsEmpty() && GetTickCount() - m_dwLastChange >= static_cast<DWORD>(m_nQuickSwitch)) {
    if (!tool.IsSame(m_toolPending) || m_nTimer == 0) {
      m_toolPending = tool;
      m_nTimer = SetTimer(kDelayTimer, static_cast<UINT>(m_nDelay));
    }
    return;
  }
  ShowTool(tool.IsEmpty() ? nullptr : &tool);
}

void CTKToolTipContextToolTip::OnTimer(UINT_PTR nIDEvent)
{
  if (nIDEvent != kDelayTimer) {
    return;
  }
  KillTimer(kDelayTimer);
  m_nTimer = 0;
  const TOOLITEM pending = m_toolPending;
  m_toolPending = TOOLITEM();
  const TOOLITEM under = ToolFromCursor();
  if (!pending.IsEmpty() && under.IsSame(pending) && !under.IsSame(m_toolPressed)) {
    ShowTool(&under);
  }
}

CString CTKToolTipContextToolTip::GetToolText(TOOLITEM& tool)
{
  if (tool.bTextCallback) {
    NMTTDISPINFO info{};
    info.hdr.hwndFrom = GetSafeHwnd();
    info.hdr.idFrom = tool.uId;
    info.hdr.code = TTN_GETDISPINFO;
    info.hinst = tool.hInst;
    info.uFlags = tool.uFlags;
    info.lpszText = info.szText;
    HWND target = m_hWndOwner != nullptr ? m_hWndOwner : ::GetParent(GetSafeHwnd());
    if (target != nullptr) {
      ::SendMessage(target, WM_NOTIFY, tool.uId, reinterpret_cast<LPARAM>(&info));
    }
    tool.strText = info.lpszText != nullptr ? CString(info.lpszText) : CString();
  }
  CString text = tool.strText;
  if ((GetStyle() & TTS_NOPREFIX) == 0) {
    CTKDrawHelpers::StripMnemonics(text);
  }
  return text;
}

CSize CTKToolTipContextToolTip::CalcTipSize(TOOLITEM& tool)
{
  const CString text = GetToolText(tool);
  if (text.IsEmpty()) {
    return CSize(0, 0);
  }
  CClientDC dc(this);
  CFont* old = dc.SelectObject(&m_font);
  CRect rcText(0, 0, m_pContext->GetMaxTipWidth(), 0);
  dc.DrawText(text, &rcText, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  CSize size = rcText.Size();
  if (!m_strTitle.IsEmpty()) {
    CRect rcTitle(0, 0, 0, 0);
    dc.DrawText(m_strTitle, &rcTitle, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    size.cy += rcTitle.Height() + 8;
    size.cx = std::max<LONG>(size.cx, rcTitle.Width());
  }
  dc.SelectObject(old);
  const CRect& margin = m_pContext->m_rcMargin;
  return CSize(size.cx + margin.left + margin.right + 6, size.cy + margin.top + margin.bottom + 6);
}

void CTKToolTipContextToolTip::DrawBackground(CDC* pDC, TOOLITEM& /*tool*/, CRect rc)
{
  pDC->FillSolidRect(&rc, m_pContext->GetTipBkColor());
  const COLORREF topLeft = (GetStyle() & kButtonFaceFrameBit) != 0 ? GetSysColor(COLOR_BTNFACE) : RGB(0, 0, 0);
  pDC->Draw3dRect(&rc, topLeft, RGB(0, 0, 0));
}

void CTKToolTipContextToolTip::DrawContent(CDC* pDC, TOOLITEM& tool, CRect rc)
{
  const CRect& margin = m_pContext->m_rcMargin;
  rc.left += margin.left + 3;
  rc.top += margin.top + 3;
  rc.right -= margin.right + 3;
  rc.bottom -= margin.bottom + 3;
  if (!m_strTitle.IsEmpty()) {
    CRect rcTitle = rc;
    const int height = pDC->DrawText(m_strTitle, &rcTitle, DT_NOPREFIX | DT_SINGLELINE);
    rc.top += height + 8;
    pDC->FillSolidRect(rc.left, rc.top - 4, rc.Width(), 1, RGB(0, 0, 0));
  }
  pDC->DrawText(GetToolText(tool), &rc, DT_WORDBREAK | DT_NOPREFIX);
}

void CTKToolTipContextToolTip::OnPaint()
{
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  DrawBackground(&dc, m_toolCurrent, rc);
  dc.SetTextColor(m_pContext->GetTipTextColor());
  dc.SetBkMode(TRANSPARENT);
  CFont* old = dc.SelectObject(&m_font);
  DrawContent(&dc, m_toolCurrent, rc);
  dc.SelectObject(old);
}

void CTKToolTipContextToolTip::ShowTool(const TOOLITEM* pTool)
{
  TOOLITEM tool = pTool != nullptr ? *pTool : TOOLITEM();
  if (tool.IsSame(m_toolCurrent) && (tool.IsEmpty() || IsWindowVisible())) {
    return;
  }
  const CSize size = tool.IsEmpty() ? CSize(0, 0) : CalcTipSize(tool);
  if (size.cx == 0 && size.cy == 0) {
    tool = TOOLITEM();
  }
  if (IsWindowVisible()) {
    ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!tool.IsEmpty()) {
    POINT cursor{};
    GetCursorPos(&cursor);
    m_toolCurrent = tool;
    ::SetWindowPos(GetSafeHwnd(), HWND_TOP, cursor.x, cursor.y + 21, size.cx, size.cy,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    Invalidate();
    SetMouseHook(TRUE);
    m_toolPressed = TOOLITEM();
  } else {
    SetMouseHook(FALSE);
    m_toolPending = TOOLITEM();
    m_toolCurrent = TOOLITEM();
  }
  m_dwLastChange = GetTickCount();
}

void CTKToolTipContextToolTip::SetMouseHook(BOOL bSet)
{
  if (bSet) {
    if (g_mouseHook == nullptr && g_hookedTip == nullptr) {
      g_mouseHook = SetWindowsHookEx(WH_MOUSE, &MouseProc, nullptr, GetCurrentThreadId());
      g_hookedTip = this;
    }
  } else if (g_hookedTip == this) {
    if (g_mouseHook != nullptr) {
      UnhookWindowsHookEx(g_mouseHook);
    }
    g_mouseHook = nullptr;
    g_hookedTip = nullptr;
  }
}

LRESULT CTKToolTipContextToolTip::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  const HHOOK hook = g_mouseHook;
  CTKToolTipContextToolTip* tip = g_hookedTip;
  if (nCode == HC_ACTION && tip != nullptr && !tip->m_toolCurrent.IsEmpty()) {
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (CTKToolTipContext::WindowFromPoint(info->pt) != tip->m_toolCurrent.hWnd) {
      MSG msg{};
      msg.hwnd = info->hwnd;
      msg.message = WM_MOUSEMOVE;
      msg.pt = info->pt;
      tip->RelayEvent(&msg);
    }
  }
  return CallNextHookEx(hook, nCode, wParam, lParam);
}

// ---- Standard and Luna tips

LRESULT CTKToolTipContext::CStandardToolTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == TTM_WINDOWFROMPOINT) {
    CToolTipCtrl::WindowProc(message, wParam, lParam);
    return reinterpret_cast<LRESULT>(CTKToolTipContext::WindowFromPoint(*reinterpret_cast<const POINT*>(lParam)));
  }
  return CToolTipCtrl::WindowProc(message, wParam, lParam);
}

// ---- Rich text tip

namespace {

struct StreamSource {
  const char* text;
  LONG left;
};

DWORD StreamText(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb)
{
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  const LONG n = std::min(cb, source->left);
  std::memcpy(buffer, source->text, static_cast<size_t>(n));
  source->text += n;
  source->left -= n;
  *pcb = n;
  return 0;
}

// The first paragraph alignment mark ("\qr", "\qc") puts the text against the right edge or the centre, where
// the rich edit wants a little more room.
bool AlignedParagraph(const CString& text)
{
  const int at = text.Find("\\q");
  return at >= 0 && at + 2 < text.GetLength() && (text[at + 2] == 'r' || text[at + 2] == 'c');
}

}  // namespace

LRESULT CTKToolTipContext::CRichEditToolTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_CREATE) {
    const LRESULT result = CTKToolTipContextToolTip::WindowProc(message, wParam, lParam);
    AfxInitRichEdit();
    m_wndRichEdit.CreateEx(0, RICHEDIT_CLASS10A, nullptr, WS_CHILD | ES_READONLY | ES_MULTILINE, 0, 0, 0, 0,
                           GetSafeHwnd(), reinterpret_cast<HMENU>(1));
    return result;
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header != nullptr && header->code == EN_REQUESTRESIZE) {
      const auto* request = reinterpret_cast<const REQRESIZE*>(lParam);
      m_nRequestedWidth = request->rc.right - request->rc.left;
      m_nRequestedHeight = request->rc.bottom - request->rc.top;
      return 0;
    }
  }
  return CTKToolTipContextToolTip::WindowProc(message, wParam, lParam);
}

CSize CTKToolTipContext::CRichEditToolTip::NeededSize(int cx)
{
  HWND edit = m_wndRichEdit.GetSafeHwnd();
  const int lineHeight = 1;
  ::SetWindowPos(edit, nullptr, 0, 0, cx, lineHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  // Our rich edit formats to its client area, which the resize has just set.
  m_nRequestedWidth = 0;
  m_nRequestedHeight = 0;
  ::SendMessage(edit, EM_REQUESTRESIZE, 0, 0);
  return CSize(m_nRequestedWidth, m_nRequestedHeight);
}

CSize CTKToolTipContext::CRichEditToolTip::CalcTipSize(TOOLITEM& tool)
{
  const CString text = GetToolText(tool);
  HWND edit = m_wndRichEdit.GetSafeHwnd();
  if (text.IsEmpty() || edit == nullptr) {
    return CSize(0, 0);
  }
  ::SendMessage(edit, EM_SETBKGNDCOLOR, 0, Context()->GetTipBkColor());
  ::SetWindowText(edit, "");
  CHARFORMAT format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = Context()->GetTipTextColor();
  ::SendMessage(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  ::SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(Font().GetSafeHandle()), FALSE);
  for (const UINT form : {SF_RTF, SF_TEXT}) {
    StreamSource source{text.GetString(), text.GetLength()};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &StreamText};
    ::SendMessage(edit, EM_STREAMIN, form, reinterpret_cast<LPARAM>(&stream));
    if (::GetWindowTextLength(edit) > 0) {
      break;
    }
  }
  ::SendMessage(edit, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);

  const int maxWidth = Context()->GetMaxTipWidth();
  int high = maxWidth < 0 ? 2 * GetSystemMetrics(SM_CXSCREEN) : 2 * maxWidth;
  int low = 0;
  const int reference = NeededSize(high / 2).cy;
  CSize needed(m_nRequestedWidth, m_nRequestedHeight);
  // The narrowest width that needs no more height than the first probe.
  bool lastTooHigh = false;
  while (low < high) {
    const int probe = (low + high) / 2;
    needed = NeededSize(probe);
    lastTooHigh = needed.cy > reference;
    if (lastTooHigh) {
      low = probe + 1;
    } else {
      high = probe;
    }
  }
  if (lastTooHigh) {
    needed = NeededSize(low);
  }
  needed.cx += 2;
  needed.cy += 2;
  const CRect& margin = Context()->m_rcMargin;
  return CSize(needed.cx + margin.left + margin.right + 4 + (AlignedParagraph(text) ? 5 : 0),
               needed.cy + margin.top + margin.bottom + 2);
}

void CTKToolTipContext::CRichEditToolTip::DrawContent(CDC* pDC, TOOLITEM& /*tool*/, CRect rc)
{
  HWND edit = m_wndRichEdit.GetSafeHwnd();
  if (edit == nullptr) {
    return;
  }
  const CRect& margin = Context()->m_rcMargin;
  const CRect area(rc.left + margin.left + 3, rc.top + margin.top + 2, rc.right - 1, rc.bottom - 1);
  const int dpiX = pDC->GetDeviceCaps(LOGPIXELSX);
  const int dpiY = pDC->GetDeviceCaps(LOGPIXELSY);
  FORMATRANGE range{};
  range.hdc = pDC->GetSafeHdc();
  range.hdcTarget = pDC->GetSafeHdc();
  range.rc = RECT{MulDiv(area.left, 1440, dpiX), MulDiv(area.top, 1440, dpiY), MulDiv(area.right, 1440, dpiX),
                  MulDiv(area.bottom, 1440, dpiY)};
  range.rcPage = range.rc;
  range.chrg.cpMin = 0;
  range.chrg.cpMax = -1;
  ::SendMessage(edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  ::SendMessage(edit, EM_FORMATRANGE, FALSE, 0);
}

void CTKToolTipContext::CLunaToolTip::DrawBackground(CDC* pDC, TOOLITEM& /*tool*/, CRect rc)
{
  static const COLORREF frames[] = {RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)};
  const int scheme = TKColorManager().GetCurrentSystemTheme();
  COLORREF frame = RGB(0, 0, 0);
  if (scheme >= 1 && scheme <= 3) {
    TKDrawHelpers().GradientFill(pDC, &rc, RGB(255, 212, 151), RGB(255, 242, 200), FALSE);
    frame = frames[scheme - 1];
  } else {
    TKDrawHelpers().GradientFill(pDC, &rc, m_pContext->GetTipBkColor(), RGB(255, 255, 255), FALSE);
  }
  pDC->Draw3dRect(&rc, frame, frame);
}

// ---- The context

CTKToolTipContext::CTKToolTipContext()
{
  if (HMODULE comctl = LoadLibrary("COMCTL32.DLL")) {
    const DWORD version = TKGetDllVersion(comctl);
    m_nComCtlVersion = static_cast<int>(version);
    FreeLibrary(comctl);
  }
  m_nMaxTipWidth = GetSystemMetrics(SM_CXSCREEN) / 2;
  m_lastInfo = EmptyToolInfo();
}

CTKToolTipContext::~CTKToolTipContext() { DestroyTipWindow(); }

void CTKToolTipContext::DestroyTipWindow()
{
  if (m_pToolTip == nullptr) {
    return;
  }
  if (m_pToolTip->GetSafeHwnd() != nullptr) {
    m_pToolTip->DestroyWindow();
  }
  delete m_pToolTip;
  m_pToolTip = nullptr;
  m_lastInfo = EmptyToolInfo();
}

void CTKToolTipContext::SetStyle(int nStyle)
{
  if (nStyle != m_nStyle) {
    m_nStyle = nStyle;
    DestroyTipWindow();
  }
}

COLORREF CTKToolTipContext::GetTipBkColor() const
{
  return m_clrBack != static_cast<COLORREF>(-1) ? m_clrBack : TKColorManager().GetColor(24);
}

COLORREF CTKToolTipContext::GetTipTextColor() const
{
  return m_clrText != static_cast<COLORREF>(-1) ? m_clrText : TKColorManager().GetColor(23);
}

HWND CTKToolTipContext::WindowFromPoint(POINT ptScreen)
{
  HWND hWnd = ::WindowFromPoint(ptScreen);
  if (hWnd != nullptr && (GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) != 0 &&
      ::SendMessage(hWnd, TK_WM_TOOLTIPPARENT, 0, 0) == 1) {
    return ::GetParent(hWnd);
  }
  return hWnd;
}

void CTKToolTipContext::ModifyToolTipStyle(DWORD dwRemove, DWORD dwAdd)
{
  const DWORD style = (m_dwStyle | dwAdd) & ~dwRemove;
  if (style != m_dwStyle) {
    m_dwStyle = style;
    DestroyTipWindow();
  }
}

void CTKToolTipContext::CancelToolTips()
{
  if (m_pToolTip != nullptr && m_pToolTip->GetSafeHwnd() != nullptr) {
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
  }
}

void CTKToolTipContext::FillInToolInfo(TOOLINFO* pTI, HWND hWnd, CRect rect, INT_PTR nHit, const CString& strTip,
                                       const CString& strTitle, const CString& strDescription)
{
  if (pTI == nullptr || pTI->cbSize < TK_TOOLINFO_SIZE_NO_EXTENSION) {
    return;
  }
  pTI->hwnd = hWnd;
  pTI->uId = static_cast<UINT_PTR>(nHit);
  pTI->rect = rect;
  pTI->lpszText = HeapCopy(strTip);
  if (pTI->cbSize == TK_TOOLINFO_SIZE && !strDescription.IsEmpty() && !strTitle.IsEmpty() &&
      pTI->lpReserved != nullptr) {
    auto* extension = static_cast<TK_TOOLINFO_EXTENSION*>(pTI->lpReserved);
    extension->lpszText = HeapCopy(strDescription);
    extension->lpszTitle = HeapCopy(strTitle);
  }
}

CWnd* CTKToolTipContext::MakeTipWindow(CWnd* pOwner)
{
  const DWORD style = m_dwStyle | TTS_ALWAYSTIP;
  if (m_nStyle == tkStyleOwnerDrawn || m_nStyle == tkStyleRichText || m_nStyle == tkStyleLuna) {
    CTKToolTipContextToolTip* tip = m_nStyle == tkStyleLuna       ? new CLunaToolTip(this)
                                    : m_nStyle == tkStyleRichText ? new CRichEditToolTip(this)
                                                                  : new CTKToolTipContextToolTip(this);
    tip->Create(pOwner, style);
    return tip;
  }
  auto* tip = new CStandardToolTip();
  tip->Create(pOwner, style | (m_nStyle == tkStyleBalloon ? TTS_BALLOON : 0));
  return tip;
}

void CTKToolTipContext::FilterToolTipMessage(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  MSG msg{};
  msg.hwnd = pWnd->GetSafeHwnd();
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  GetCursorPos(&msg.pt);
  RelayToolTipMessage(pWnd, &msg);
}

void CTKToolTipContext::FilterToolTipMessage(CWnd* pWnd, MSG* pMsg) { RelayToolTipMessage(pWnd, pMsg); }

void CTKToolTipContext::RelayEvent(MSG* pMsg)
{
  MSG relayed = *pMsg;
  POINT pt = pMsg->pt;
  HWND under =
      reinterpret_cast<HWND>(m_pToolTip->SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&pt)));
  if (IsMouseMessage(pMsg->message) && under != nullptr) {
    POINT client = pMsg->pt;
    ::ScreenToClient(under, &client);
    relayed.lParam = MAKELPARAM(client.x, client.y);
  }
  relayed.hwnd = under != nullptr ? under : pMsg->hwnd;
  m_pToolTip->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void CTKToolTipContext::RelayToolTipMessage(CWnd* pWnd, MSG* pMsg, BOOL bForced)
{
  const UINT message = pMsg->message;
  // Only messages whose window is W or one of its descendants are W's to relay.
  const auto belongs = [&] {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
      if (hWnd == pWnd->GetSafeHwnd()) {
        return true;
      }
      if ((GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) == 0) {
        break;
      }
    }
    return false;
  };

  const bool moveOrRelease = message == WM_NCMOUSEMOVE || message == WM_MOUSEMOVE || message == WM_LBUTTONUP ||
                             message == WM_RBUTTONUP || message == WM_MBUTTONUP;
  if (!moveOrRelease || AnyButtonDown()) {
    if (!bForced && !belongs()) {
      return;
    }
    const bool cancels = (message >= WM_KEYFIRST && message <= 0x108) || message == 0xA1 || message == 0xA3 ||
                         message == 0xA4 || message == 0xA6 || message == 0xA7 || message == 0xA9 ||
                         message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
                         message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK;
    if (cancels) {
      CancelToolTips();
    }
    return;
  }

  if (!bForced && !belongs()) {
    return;
  }
  const BOOL active = CTKDrawHelpers::IsTopParentActive(pWnd->GetSafeHwnd());
  if (m_pToolTip != nullptr && m_pToolTip->GetSafeHwnd() != nullptr && m_pToolTip->IsWindowVisible() && !active) {
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
    return;
  }

  CWnd* owner = ParentOwner(pWnd);
  if (m_pToolTip != nullptr && m_pToolTip->GetSafeHwnd() != nullptr &&
      ::GetWindow(m_pToolTip->GetSafeHwnd(), GW_OWNER) != owner->GetSafeHwnd()) {
    DestroyTipWindow();
  }
  if (m_pToolTip == nullptr) {
    m_pToolTip = MakeTipWindow(owner);
    if (m_pToolTip == nullptr || m_pToolTip->GetSafeHwnd() == nullptr) {
      delete m_pToolTip;
      m_pToolTip = nullptr;
      return;
    }
    m_lastInfo = EmptyToolInfo();
    m_pToolTip->SendMessage(TTM_SETMAXTIPWIDTH, 0, m_nMaxTipWidth);
    m_pToolTip->SendMessage(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(static_cast<RECT*>(&m_rcMargin)));
    if (m_clrBack != static_cast<COLORREF>(-1)) {
      m_pToolTip->SendMessage(TTM_SETTIPBKCOLOR, m_clrBack);
    }
    if (m_clrText != static_cast<COLORREF>(-1)) {
      m_pToolTip->SendMessage(TTM_SETTIPTEXTCOLOR, m_clrText);
    }
    if (m_nReshowDelay != -1) {
      m_pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_RESHOW, m_nReshowDelay);
    }
    if (m_nInitialDelay != -1) {
      m_pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_INITIAL, m_nInitialDelay);
    }
    if (m_nAutoPopDelay != -1) {
      m_pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_AUTOPOP, m_nAutoPopDelay);
    }
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
  }

  POINT point = pMsg->pt;
  pWnd->ScreenToClient(&point);
  TK_TOOLINFO_EXTENSION extension;
  TOOLINFO info = EmptyToolInfo();
  info.cbSize = m_bShowTitle ? TK_TOOLINFO_SIZE : TK_TOOLINFO_SIZE_NO_EXTENSION;
  info.lpReserved = &extension;
  const INT_PTR hit = pWnd->OnToolHitTest(CPoint(point), &info);

  const auto freeTexts = [&] {
    if (info.lpszText != LPSTR_TEXTCALLBACK && info.hinst == nullptr) {
      std::free(info.lpszText);
    }
    std::free(extension.lpszText);
    std::free(extension.lpszTitle);
    info.lpszText = nullptr;
  };

  const bool lastValid = m_lastInfo.cbSize >= TK_TOOLINFO_SIZE_NO_EXTENSION;
  const bool sameTool = lastValid && info.hwnd == m_lastInfo.hwnd && info.uId == m_lastInfo.uId;
  if (sameTool && CRect(info.rect) == CRect(m_lastInfo.rect)) {
    if (hit != -1) {
      RelayEvent(pMsg);
    }
    freeTexts();
    return;
  }
  if (sameTool) {
    m_pToolTip->SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&m_lastInfo));
  }

  if (hit == -1) {
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
  } else {
    TOOLINFO registered = info;
    registered.uFlags &= ~TK_TTF_PRIVATE_BITS;
    registered.lpReserved = nullptr;
    m_pToolTip->SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&registered));
    if (m_nStyle != tkStyleRichText && (m_nComCtlVersion >= kComCtlTitles || m_nStyle != tkStyleStandard)) {
      if (m_bShowTitle && extension.lpszText != nullptr && extension.lpszTitle != nullptr) {
        m_pToolTip->SendMessage(TTM_SETTITLE, static_cast<WPARAM>(m_nTitleIcon),
                                reinterpret_cast<LPARAM>(extension.lpszTitle));
        TOOLINFO update = registered;
        update.lpszText = extension.lpszText;
        m_pToolTip->SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&update));
      } else {
        m_pToolTip->SendMessage(TTM_SETTITLE, 0, 0);
      }
    }
    if ((info.uFlags & TK_TTF_ALWAYSTIP) != 0 || active) {
      m_pToolTip->SendMessage(TTM_ACTIVATE, TRUE);
      ::SetWindowPos(m_pToolTip->GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    }
    RelayEvent(pMsg);
  }

  if (lastValid && !sameTool) {
    m_pToolTip->SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&m_lastInfo));
  }
  m_lastInfo = info;
  m_lastInfo.lpszText = nullptr;
  m_lastInfo.lpReserved = nullptr;
  if (hit == -1) {
    m_lastInfo = EmptyToolInfo();
  }
  freeTexts();
}
