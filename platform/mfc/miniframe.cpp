#include "platform/mfc/miniframe.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
  ON_WM_NCACTIVATE()
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
  return CWnd::CreateEx(dwExStyle, lpClassName, lpWindowName, dwStyle, rect.left, rect.top, rect.Width(),
                        rect.Height(), pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, idOrMenu);
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

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
  if ((GetStyle() & MFS_SYNCACTIVE) != 0) {
    // Active with its owner: the owner's activation decides, not this window's own.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr) {
      bActive = ::GetActiveWindow() == owner || ::GetActiveWindow() == m_hWnd;
    }
  }
  m_bActive = bActive;
  return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, static_cast<WPARAM>(bActive), 0));
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM)
{
  // Asked whether it follows its owner's activation.
  if ((wParam & FS_SYNCACTIVE) != 0) {
    return (GetStyle() & MFS_SYNCACTIVE) != 0 ? 1 : 0;
  }
  if ((wParam & (FS_ACTIVATE | FS_DEACTIVATE)) != 0 && (GetStyle() & MFS_SYNCACTIVE) != 0) {
    m_bActive = (wParam & FS_ACTIVATE) != 0;
    DefWindowProc(WM_NCACTIVATE, static_cast<WPARAM>(m_bActive), 0);
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
