// CWnd: the framework's object for one window. A window created through CWnd, or subclassed by it, is bound
// to its object for life: the window procedure finds the object by handle and hands each message to
// WindowProc, which looks it up in the object's message map and falls back to the window's default
// procedure. WM_COMMAND becomes OnCommand and then command routing (OnCmdMsg).
#pragma once

#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/types.h"
#include "platform/user/user.h"

class CFrameWnd;
struct CCreateContext;

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
public:
  CWnd();
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The object bound to a window; FromHandle makes a temporary one for a window bound to none (freed at
  // idle time, so only to be used at once).
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  // Frees the temporary objects of this thread.
  static void DeleteTempMap();

  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Routes the window's messages through this object from now on.
  BOOL SubclassWindow(HWND hWnd);
  HWND UnsubclassWindow();

  virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                        int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // The tool under `point` (client coordinates): a visible child with an id is one, answered by that id, and
  // pTI (when given, of at least the old record's 40 bytes) gets this window, the child as the tool
  // (TTF_IDISHWND) and a text callback; TTF_NOTBUTTON and TTF_CENTERTIP when the child is no button.
  // -1 when no child is there.
  virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;

  // Messages
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // To every descendant (depth first); with bOnlyPerm only to windows bound to an object.
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                BOOL bOnlyPerm = FALSE) const;

  // The window
  void SetWindowText(LPCSTR lpszString);
  void GetWindowText(CString& rString) const;
  CString GetWindowTextString() const;
  BOOL ShowWindow(int nCmdShow);
  void UpdateWindow();
  void Invalidate(BOOL bErase = TRUE);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  void DragAcceptFiles(BOOL bAccept = TRUE);
  void GetClientRect(LPRECT lpRect) const;
  void GetWindowRect(LPRECT lpRect) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  int GetDlgCtrlID() const;
  CWnd* GetParent() const;
  CWnd* GetDlgItem(int nID) const;
  CWnd* SetFocus();
  static CWnd* GetFocus();
  void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
  void ScreenToClient(LPRECT lpRect) const;
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const { return ::GetWindowPlacement(m_hWnd, lpwndpl); }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  BOOL IsChild(const CWnd* pWnd) const { return pWnd != nullptr && ::IsChild(m_hWnd, pWnd->m_hWnd); }
  // FALSE when the style was already so; nFlags, when given, go to SetWindowPos (SWP_FRAMECHANGED).
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN prgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(bRedraw), 0); }
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
  static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
  CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
  CWnd* GetTopLevelParent() const;
  // Over the owner (a child: over its parent), or the main window; inside the screen's work area either way.
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetWindowText(::GetDlgItem(m_hWnd, nID), lpszString); }
  int GetDlgItemText(int nID, CString& rString) const;

  // The nearest frame window above this one (null when none).
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  virtual BOOL IsFrameWnd() const { return FALSE; }

  // The message box of the application, owned by this window.
  int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = 0);

  // Lays out the children with ids nIDFirst..nIDLast (control bars, through WM_SIZEPARENT) and gives the child
  // nIDLeftOver what remains of lpRectClient (default: the client area). reposQuery only measures: lpRectParam
  // gets the remaining rectangle (bStretch) or the bars' total size; reposExtra first takes lpRectParam's
  // left/top/right/bottom off the client area as borders.
  enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
  // Brings the child controls up to date through pTarget's routing, as dialog bars and dialogs show commands.
  void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

  // The window procedure of this object: the message map first, then the default.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default handling of the message being handled now.
  LRESULT Default();
  // The message this thread is handling now (window, message, parameters, time and point of the last message
  // taken from the queue); all zero outside any. Valid until the next call.
  static const MSG* GetCurrentMessage();

  // What a message handler may call on its base.
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnDestroy();
  void OnNcDestroy();
  void OnClose();
  void OnSize(UINT nType, int cx, int cy);
  void OnMove(int x, int y);
  void OnPaint();
  BOOL OnEraseBkgnd(HDC hDC);
  void OnTimer(UINT_PTR nIDEvent);
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  void OnShowWindow(BOOL bShow, UINT nStatus);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnRButtonDown(UINT nFlags, CPoint point);
  void OnRButtonUp(UINT nFlags, CPoint point);
  void OnMButtonDown(UINT nFlags, CPoint point);
  void OnMButtonUp(UINT nFlags, CPoint point);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnContextMenu(CWnd* pWnd, CPoint pos);
  void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  void OnRButtonDblClk(UINT nFlags, CPoint point);
  void OnMButtonDblClk(UINT nFlags, CPoint point);
  void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnMouseLeave();
  int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnCaptureChanged(CWnd* pWnd);
  void OnEnable(BOOL bEnable);
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnWindowPosChanging(WINDOWPOS* lpwndpos);
  void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
  void OnNcPaint();
  BOOL OnNcActivate(BOOL bActive);
  void OnNcMouseMove(UINT nHitTest, CPoint point);
  void OnNcLButtonDown(UINT nHitTest, CPoint point);
  void OnNcLButtonUp(UINT nHitTest, CPoint point);
  void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  void OnNcRButtonDown(UINT nHitTest, CPoint point);
  BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct);

protected:
  // WM_COMMAND: menu and accelerator commands are dropped when their update handler disables them.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // A child's WM_NOTIFY: offered to the child's own object first (reflection), then to the map.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // After the window is gone; frames and views delete themselves here.
  virtual void PostNcDestroy();

  WNDPROC m_pfnSuper = nullptr;  // the procedure a subclassed window had

  friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
};

// Code that handles a window's messages outside the framework's window procedure (a subclassing hook) makes
// each message the thread's current one while it runs, so that Default() and GetCurrentMessage() in what it
// calls see that message; the one before comes back at the end of the scope.
class CCurrentMessageScope {
public:
  CCurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  ~CCurrentMessageScope();
  CCurrentMessageScope(const CCurrentMessageScope&) = delete;
  CCurrentMessageScope& operator=(const CCurrentMessageScope&) = delete;
};

// A tool that is not a button: the tooltip leaves it alone on clicks.
inline constexpr UINT TTF_NOTBUTTON = 0x80000000u;

// The window procedure of every window bound to a CWnd.
LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// A window class with AfxWndProc and these attributes; answers its name (valid for the whole run).
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);
