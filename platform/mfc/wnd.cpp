#include "platform/mfc/wnd.h"

#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/resources.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/afxres.h"
#include "platform/mfc/winapp.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

// Windows bound to their objects, for every thread.
std::mutex g_mapMutex;
std::unordered_map<HWND, CWnd*>& PermanentMap()
{
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

// Objects made by FromHandle for windows bound to none; freed at idle time.
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> t_tempMap;

// The object whose window CreateEx is making, bound by the creation hook before the first message.
thread_local CWnd* t_creating = nullptr;
thread_local HHOOK t_creationHook = nullptr;

// The messages being handled on this thread, innermost last, for Default() and GetCurrentMessage().
thread_local std::vector<MSG> t_messages;
thread_local MSG t_currentCopy{};

void PushCurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  MSG msg{};
  msg.hwnd = hWnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = ::GetMessageTime();
  const DWORD pos = ::GetMessagePos();
  msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  t_messages.push_back(msg);
}

LRESULT CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
  if (code == HCBT_CREATEWND && t_creating != nullptr) {
    auto hwnd = reinterpret_cast<HWND>(wParam);
    CWnd* pWnd = t_creating;
    t_creating = nullptr;
    pWnd->SubclassWindow(hwnd);
  }
  return CallNextHookEx(t_creationHook, code, wParam, lParam);
}

const char kAfxWndClass[] = "TesmiraAfxWnd";

void RegisterDefaultClass()
{
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = AfxWndProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kAfxWndClass;
    RegisterClass(&wc);
  });
}

}  // namespace

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<std::string>> names;
  char name[128];
  std::snprintf(name, sizeof name, "Afx:%x:%lx:%lx:%lx", nClassStyle,
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hCursor)),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hbrBackground)),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hIcon)));
  std::lock_guard lock(mutex);
  auto& slot = names[name];
  if (!slot) {
    slot = std::make_unique<std::string>(name);
    WNDCLASS wc;
    wc.style = nClassStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = slot->c_str();
    RegisterClass(&wc);
  }
  return slot->c_str();
}

LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (pWnd == nullptr) {
    return ::DefWindowProc(hWnd, message, wParam, lParam);
  }
  PushCurrentMessage(hWnd, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = pWnd->WindowProc(message, wParam, lParam);
  } catch (CException* e) {
    // A handler's failure is the user's to hear about, not the window system's.
    e->ReportError();
    e->Delete();
    result = message == WM_CREATE ? -1 : 0;
  }
  t_messages.pop_back();
  return result;
}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
  // Only the object bound to a window owns it; a temporary one merely names it.
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
    // The object goes first: the window must not call into it any more.
    HWND hwnd = m_hWnd;
    if (m_pfnSuper != nullptr) {
      ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    Detach();
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
  if (hWnd == nullptr) {
    return nullptr;
  }
  std::lock_guard lock(g_mapMutex);
  auto it = PermanentMap().find(hWnd);
  return it != PermanentMap().end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
  if (hWnd == nullptr) {
    return nullptr;
  }
  if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
    return pWnd;
  }
  auto& slot = t_tempMap[hWnd];
  if (!slot) {
    slot = std::make_unique<CWnd>();
    slot->m_hWnd = hWnd;
  }
  return slot.get();
}

void CWnd::DeleteTempMap()
{
  for (auto& [hwnd, pWnd] : t_tempMap) {
    pWnd->m_hWnd = nullptr;  // a temporary object never owns its window
  }
  t_tempMap.clear();
}

BOOL CWnd::Attach(HWND hWndNew)
{
  if (hWndNew == nullptr || m_hWnd != nullptr) {
    return FALSE;
  }
  std::lock_guard lock(g_mapMutex);
  auto [it, inserted] = PermanentMap().emplace(hWndNew, this);
  if (!inserted) {
    return FALSE;
  }
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach()
{
  HWND hwnd = m_hWnd;
  if (hwnd != nullptr) {
    std::lock_guard lock(g_mapMutex);
    auto it = PermanentMap().find(hwnd);
    if (it != PermanentMap().end() && it->second == this) {
      PermanentMap().erase(it);
    }
  }
  m_hWnd = nullptr;
  return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
  if (!Attach(hWnd)) {
    return FALSE;
  }
  auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC));
  if (current != AfxWndProc) {
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  }
  return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
  if (m_pfnSuper != nullptr) {
    ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  return Detach();
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext)
{
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top, rect.Width(),
                  rect.Height(), pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
  if (m_hWnd != nullptr) {
    return FALSE;
  }
  CREATESTRUCT cs{};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = static_cast<LONG>(dwStyle);
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  if (cs.lpszClass == nullptr) {
    RegisterDefaultClass();
    cs.lpszClass = kAfxWndClass;
  }

  // Bind this object to the window before its first message, whatever its class.
  CWnd* outerCreating = t_creating;
  HHOOK outerHook = t_creationHook;
  t_creating = this;
  t_creationHook = SetWindowsHookEx(WH_CBT, CreationHook, nullptr, 0);
  HWND hwnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                               cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  UnhookWindowsHookEx(t_creationHook);
  bool neverBound = t_creating == this;
  t_creating = outerCreating;
  t_creationHook = outerHook;

  if (hwnd == nullptr) {
    // A window refused in WM_CREATE has gone through WM_NCDESTROY (and PostNcDestroy) already; one that was
    // never made cleans up the same way.
    if (neverBound) {
      PostNcDestroy();
    }
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::DestroyWindow()
{
  if (m_hWnd == nullptr) {
    return FALSE;
  }
  return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
  constexpr UINT kOldToolInfoSize = 40;
  if (m_hWnd == nullptr) {
    return -1;
  }
  POINT screen = point;
  ::ClientToScreen(m_hWnd, &screen);
  // Disabled children give tips too, so not WindowFromPoint; static labels (id 0xFFFF) give none.
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const int id = ::GetDlgCtrlID(child);
    if (LOWORD(id) == 0xFFFF || (::GetWindowLong(child, GWL_STYLE) & WS_VISIBLE) == 0) {
      continue;
    }
    RECT rect{};
    ::GetWindowRect(child, &rect);
    if (!::PtInRect(&rect, screen)) {
      continue;
    }
    if (pTI != nullptr && pTI->cbSize >= kOldToolInfoSize) {
      pTI->hwnd = m_hWnd;
      pTI->uId = reinterpret_cast<UINT_PTR>(child);
      pTI->uFlags |= TTF_IDISHWND;
      pTI->lpszText = LPSTR_TEXTCALLBACK;
      if ((::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) == 0) {
        pTI->uFlags |= TTF_NOTBUTTON | TTF_CENTERTIP;
      }
    }
    return id;
  }
  return -1;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) const
{
  // Children may go away while they handle the message; take the list first.
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  for (HWND child : children) {
    if (!::IsWindow(child)) {
      continue;
    }
    if (!bOnlyPerm || FromHandlePermanent(child) != nullptr) {
      ::SendMessage(child, message, wParam, lParam);
    }
    if (bDeep && ::IsWindow(child)) {
      CWnd helper;
      helper.m_hWnd = child;
      helper.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
      helper.m_hWnd = nullptr;
    }
  }
}

void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }

void CWnd::GetWindowText(CString& rString) const
{
  int length = ::GetWindowTextLength(m_hWnd);
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  ::GetWindowText(m_hWnd, buffer.data(), length + 1);
  rString = buffer.data();
}

CString CWnd::GetWindowTextString() const
{
  CString text;
  GetWindowText(text);
  return text;
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
void CWnd::DragAcceptFiles(BOOL bAccept) { ::DragAcceptFiles(m_hWnd, bAccept); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
  ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->Width(), lpRect->Height(), bRepaint);
}
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_EXSTYLE)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

void CWnd::ClientToScreen(LPRECT lpRect) const
{
  POINT corners[2] = {{lpRect->left, lpRect->top}, {lpRect->right, lpRect->bottom}};
  ::MapWindowPoints(m_hWnd, nullptr, corners, 2);
  *lpRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
  POINT corners[2] = {{lpRect->left, lpRect->top}, {lpRect->right, lpRect->bottom}};
  ::MapWindowPoints(nullptr, m_hWnd, corners, 2);
  *lpRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
  return ::SetWindowPos(m_hWnd, pWndInsertAfter != nullptr ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                        nFlags);
}

namespace {
BOOL ModifyLong(HWND hwnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
  auto style = static_cast<DWORD>(::GetWindowLong(hwnd, index));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) {
    return FALSE;
  }
  ::SetWindowLong(hwnd, index, static_cast<LONG>(newStyle));
  if (nFlags != 0) {
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  }
  return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
  return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
  return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN prgnUpdate, UINT flags)
{
  return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate, flags);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

CWnd* CWnd::GetTopLevelParent() const
{
  return FromHandle(::GetAncestor(m_hWnd, GA_ROOT));
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
  const DWORD style = GetStyle();
  HWND center = nullptr;
  RECT area{};
  if ((style & WS_CHILD) != 0) {
    center = ::GetParent(m_hWnd);
    ::GetClientRect(center, &area);
  } else {
    center = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (center == nullptr) {
      CWnd* pMain = AfxGetMainWnd();
      center = pMain != nullptr && pMain->m_hWnd != m_hWnd ? pMain->m_hWnd : nullptr;
    }
    if (center != nullptr) {
      // A child dialog's owner may name the window it stands for.
      if (HWND asked = reinterpret_cast<HWND>(::SendMessage(center, WM_QUERYCENTERWND, 0, 0))) {
        center = asked;
      }
      const DWORD centerStyle = static_cast<DWORD>(::GetWindowLong(center, GWL_STYLE));
      if ((centerStyle & WS_VISIBLE) == 0 || (centerStyle & WS_MINIMIZE) != 0) {
        center = nullptr;  // hidden or iconic: the screen instead
      }
    }
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT over = area;
  if ((style & WS_CHILD) == 0 && center != nullptr) {
    ::GetWindowRect(center, &over);
  }
  RECT self{};
  ::GetWindowRect(m_hWnd, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  int x = (over.left + over.right) / 2 - width / 2;
  int y = (over.top + over.bottom) / 2 - height / 2;
  // Kept on the screen, its caption above all.
  x = std::max(std::min(x, static_cast<int>(area.right) - width), static_cast<int>(area.left));
  y = std::max(std::min(y, static_cast<int>(area.bottom) - height), static_cast<int>(area.top));
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
  CWnd* pItem = GetDlgItem(nID);
  rString.Empty();
  if (pItem != nullptr && pItem->m_hWnd != nullptr) {
    pItem->GetWindowText(rString);
  }
  return rString.GetLength();
}

CFrameWnd* CWnd::GetParentFrame() const
{
  for (HWND hwnd = ::GetParent(m_hWnd); hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
    CWnd* pWnd = FromHandlePermanent(hwnd);
    if (pWnd != nullptr && pWnd->IsFrameWnd()) {
      return static_cast<CFrameWnd*>(pWnd);
    }
  }
  return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
  CFrameWnd* top = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
  while (top != nullptr) {
    CFrameWnd* next = top->GetParentFrame();
    if (next == nullptr) {
      break;
    }
    top = next;
  }
  return top;
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
  if (lpszCaption == nullptr) {
    CWinApp* app = AfxGetApp();
    lpszCaption = app != nullptr && app->m_pszAppName != nullptr ? app->m_pszAppName : "";
  }
  return ::MessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) {
    result = DefWindowProc(message, wParam, lParam);
  }
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *pResult = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    LRESULT result = 0;
    if (OnNotify(wParam, lParam, &result)) {
      *pResult = result;
      return TRUE;
    }
    return FALSE;
  }
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message);
  if (entry != nullptr) {
    AFX_MSGARGS args;
    args.message = message;
    args.wParam = wParam;
    args.lParam = lParam;
    if (entry->pfn(this, args)) {
      *pResult = args.result;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NCDESTROY) {
    // Not in any map: the object lets go of its window and may delete itself.
    OnNcDestroy();
    return TRUE;
  }
  return FALSE;
}

namespace {
// Answers the update-UI state of a command without showing it anywhere.
class CTestCmdUI : public CCmdUI {
public:
  void Enable(BOOL bOn) override
  {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetText(LPCSTR) override {}
  BOOL m_bEnabled = TRUE;
};
}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl != nullptr &&
      AfxReflectToChild(hWndCtrl, nID, AFX_REFLECT_CONTROL_CODE(static_cast<UINT>(nCode)), nullptr)) {
    return TRUE;  // the control's own object kept it
  }
  if (hWndCtrl == nullptr) {
    // A menu or accelerator command: refused while its update handler disables it.
    CTestCmdUI state;
    state.m_nID = nID;
    OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
    if (!state.m_bEnabled) {
      return TRUE;
    }
    nCode = CN_COMMAND;
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) { return AfxRouteNotify(this, lParam, pResult); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (m_pfnSuper != nullptr) {
    return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
  }
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
  if (t_messages.empty()) {
    return 0;
  }
  const MSG current = t_messages.back();
  return DefWindowProc(current.message, current.wParam, current.lParam);
}

const MSG* CWnd::GetCurrentMessage()
{
  t_currentCopy = t_messages.empty() ? MSG{} : t_messages.back();
  return &t_currentCopy;
}

CCurrentMessageScope::CCurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  PushCurrentMessage(hWnd, message, wParam, lParam);
}

CCurrentMessageScope::~CCurrentMessageScope()
{
  t_messages.pop_back();
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy()
{
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) {
    // The main window going ends the application.
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
  Default();
  if (m_pfnSuper != nullptr) {
    m_pfnSuper = nullptr;
  }
  Detach();
  PostNcDestroy();
}

void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return static_cast<BOOL>(Default()); }
