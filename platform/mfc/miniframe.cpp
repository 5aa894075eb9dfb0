#include "platform/mfc/miniframe.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
  ON_WM_NCACTIVATE()
  ON_WM_ACTIVATE()
  ON_WM_SYSCOMMAND()
  ON_MESSAGE(WM_FLOATSTATUS, &CMiniFrameWnd::OnFloatStatus)
END_MESSAGE_MAP()

CMiniFrameWnd::CMiniFrameWnd() = default;
CMiniFrameWnd::~CMiniFrameWnd() = default;

BOOL CMiniFrameWnd::Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID)
{
  return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  if (m_strTitle.IsEmpty() && lpWindowName != nullptr) {
    m_strTitle = lpWindowName;
  }
  if (lpClassName == nullptr) {
    lpClassName = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  }
  // A popup's menu handle is a menu, not an id: a popup mini frame takes none.
  HMENU idOrMenu = (dwStyle & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
  if (!CWnd::CreateEx(dwExStyle, lpClassName, lpWindowName, dwStyle, rect.left, rect.top, rect.Width(),
                      rect.Height(), pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, idOrMenu)) {
    return FALSE;
  }
  // Made while its owner is active, a frame that follows it starts active.
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if ((GetStyle() & MFS_SYNCACTIVE) != 0 && owner != nullptr && ::GetActiveWindow() == owner) {
    ShowActive(TRUE);
  }
  return TRUE;
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
  // The small caption is the window system's tool-window caption.
  if ((cs.style & WS_CAPTION) == WS_CAPTION) {
    cs.dwExStyle |= WS_EX_TOOLWINDOW;
  }
  // The thick-frame styles of a mini frame ask for a border that can be dragged.
  if ((cs.style & (MFS_THICKFRAME | MFS_4THICKFRAME)) != 0) {
    cs.style |= static_cast<LONG>(WS_THICKFRAME);
  }
  cs.style &= ~static_cast<LONG>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  return CFrameWnd::PreCreateWindow(cs);
}

void CMiniFrameWnd::ShowActive(BOOL bActive)
{
  m_bActive = bActive;
  DefWindowProc(WM_NCACTIVATE, static_cast<WPARAM>(bActive), 0);
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
  // Following the owner, losing the activation is decided in WM_ACTIVATE, where the window taking it is known.
  if ((GetStyle() & MFS_SYNCACTIVE) != 0 && !bActive) {
    return TRUE;
  }
  ShowActive(bActive);
  return TRUE;
}

void CMiniFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL)
{
  Default();
  if (nState != WA_INACTIVE || (GetStyle() & MFS_SYNCACTIVE) == 0) {
    return;
  }
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  HWND other = pWndOther != nullptr ? pWndOther->m_hWnd : nullptr;
  if (other != nullptr && (other == owner || ::GetWindow(other, GW_OWNER) == owner)) {
    return;  // the activation stays within the owner and its floating frames
  }
  ShowActive(FALSE);
  // The owner kept its caption active for this frame's sake; now it loses it too.
  if (owner != nullptr) {
    ::SendMessage(owner, WM_NCACTIVATE, FALSE, 0);
  }
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM)
{
  // Asked whether it follows its owner's activation.
  if ((wParam & FS_SYNCACTIVE) != 0) {
    return (GetStyle() & MFS_SYNCACTIVE) != 0 ? 1 : 0;
  }
  if ((wParam & (FS_ACTIVATE | FS_DEACTIVATE)) != 0 && (GetStyle() & MFS_SYNCACTIVE) != 0) {
    ShowActive((wParam & FS_ACTIVATE) != 0);
  }
  if ((wParam & FS_SHOW) != 0) {
    ShowWindow(SW_SHOWNA);
  } else if ((wParam & FS_HIDE) != 0) {
    ShowWindow(SW_HIDE);
  }
  return 0;
}

void CMiniFrameWnd::OnSysCommand(UINT nID, LPARAM lParam)
{
  // MFS_BLOCKSYSMENU: the system menu does not open from the caption or the keyboard.
  if ((GetStyle() & MFS_BLOCKSYSMENU) != 0 && ((nID & 0xFFF0) == SC_MOUSEMENU || (nID & 0xFFF0) == SC_KEYMENU)) {
    return;
  }
  DefWindowProc(WM_SYSCOMMAND, nID, lParam);
}
