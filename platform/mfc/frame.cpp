#include "platform/mfc/frame.h"

#include "platform/mfc-core/resources.h"
#include "platform/mfc/document.h"
#include "platform/mfc/view.h"
#include "platform/mfc/winapp.h"

#include <mutex>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

namespace {
// A view fills the frame's client area; it draws its own border.
constexpr DWORD kDefaultViewStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
}  // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {
std::mutex g_framesMutex;
std::vector<CFrameWnd*>& Frames()
{
  static std::vector<CFrameWnd*> frames;
  return frames;
}
}  // namespace

CFrameWnd::CFrameWnd()
{
  std::lock_guard lock(g_framesMutex);
  Frames().push_back(this);
}

CFrameWnd::~CFrameWnd()
{
  std::lock_guard lock(g_framesMutex);
  std::erase(Frames(), this);
}

std::vector<CFrameWnd*> CFrameWnd::LiveFrames()
{
  std::lock_guard lock(g_framesMutex);
  return Frames();
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
  CString strFullString;
  if (strFullString.LoadString(nIDResource)) {
    AfxExtractSubString(m_strTitle, strFullString, 0);
  }
  m_nIDHelp = nIDResource;
  if (m_hAccelTable == nullptr) {
    LoadAccelTable(MAKEINTRESOURCE(static_cast<WORD>(nIDResource)));  // a frame may have none
  }
  return Create(nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, nullptr, 0, pContext);
}

BOOL CFrameWnd::LoadAccelTable(LPCSTR lpszResourceName)
{
  m_hAccelTable = ::LoadAccelerators(AfxGetResourceHandle(), lpszResourceName);
  return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable != nullptr &&
      ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg)) {
    return TRUE;
  }
  return CWnd::PreTranslateMessage(pMsg);
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR, DWORD dwExStyle, CCreateContext* pContext)
{
  if (m_strTitle.IsEmpty() && lpszWindowName != nullptr) {
    m_strTitle = lpszWindowName;
  }
  bool byDefault = rect == rectDefault;
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, byDefault ? CW_USEDEFAULT : rect.left,
                  byDefault ? CW_USEDEFAULT : rect.top, byDefault ? CW_USEDEFAULT : rect.Width(),
                  byDefault ? CW_USEDEFAULT : rect.Height(),
                  pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, nullptr, pContext);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
  // Frames show the document's name before the application's.
  if ((cs.style & FWS_ADDTOTITLE) != 0) {
    cs.style |= static_cast<LONG>(FWS_PREFIXTITLE);
  }
  return CWnd::PreCreateWindow(cs);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CWnd::OnCreate(lpcs) == -1) {
    return -1;
  }
  auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (!OnCreateClient(lpcs, pContext)) {
    return -1;
  }
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
  if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) {
    return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
  }
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
  CObject* object = pContext->m_pNewViewClass->CreateObject();
  auto* pView = dynamic_cast<CWnd*>(object);
  if (pView == nullptr) {
    delete object;
    return nullptr;
  }
  // A view whose window could not be made has deleted itself on the way out, unless it never got one.
  if (!pView->Create(nullptr, nullptr, kDefaultViewStyle, CRect(0, 0, 0, 0), this, nID, pContext)) {
    return nullptr;
  }
  return pView;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
  CView* pViewOld = m_pViewActive;
  if (pViewNew == pViewOld) {
    return;
  }
  m_pViewActive = pViewNew;
  if (bNotify) {
    if (pViewOld != nullptr) {
      pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    }
    if (pViewNew != nullptr) {
      pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
    }
  }
}

CDocument* CFrameWnd::GetActiveDocument()
{
  CView* pView = GetActiveView();
  return pView != nullptr ? pView->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
  CView* pView = nullptr;
  if (GetActiveView() == nullptr) {
    CWnd* pWnd = CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(AFX_IDW_PANE_FIRST)));
    pView = dynamic_cast<CView*>(pWnd);
    if (pView != nullptr) {
      SetActiveView(pView, FALSE);
    }
  }
  if (bMakeVisible) {
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    int nCmdShow = -1;
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
      // The command line's show state applies to the first showing only.
      nCmdShow = app->m_nCmdShow;
      app->m_nCmdShow = -1;
    }
    ActivateFrame(nCmdShow);
    if (pView != nullptr) {
      pView->OnActivateView(TRUE, pView, pView);
    }
  }
  (void)pDoc;
  OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
  if (nCmdShow == -1) {
    if (!IsWindowVisible()) {
      nCmdShow = SW_SHOWNORMAL;
    } else if (::IsIconic(m_hWnd)) {
      nCmdShow = SW_RESTORE;
    }
  }
  if (nCmdShow != -1) {
    ShowWindow(nCmdShow);
  }
  ::BringWindowToTop(m_hWnd);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
  if ((GetStyle() & FWS_ADDTOTITLE) == 0) {
    return;
  }
  CDocument* pDocument = GetActiveDocument();
  UpdateFrameTitleForDocument(bAddToTitle && pDocument != nullptr ? pDocument->GetTitle().GetString() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName)
{
  CString title;
  if (lpszDocName == nullptr || *lpszDocName == '\0') {
    title = m_strTitle;
  } else if (m_strTitle.IsEmpty()) {
    title = lpszDocName;
  } else if ((GetStyle() & FWS_PREFIXTITLE) != 0) {
    title = CString(lpszDocName) + " - " + m_strTitle;
  } else {
    title = m_strTitle + " - " + lpszDocName;
  }
  // Setting the same text again would only make the caption flicker.
  if (GetWindowTextString() != title) {
    SetWindowText(title);
  }
}

void CFrameWnd::RecalcLayout(BOOL)
{
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  HWND pane = ::GetDlgItem(m_hWnd, static_cast<int>(AFX_IDW_PANE_FIRST));
  if (pane != nullptr) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::MoveWindow(pane, 0, 0, client.Width(), client.Height(), TRUE);
  }
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  // The active view first (it hands on to its document and the document's template), then the frame, then
  // the application.
  if (CView* pView = GetActiveView(); pView != nullptr && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::OnClose()
{
  CDocument* pDocument = GetActiveDocument();
  if (pDocument != nullptr && !pDocument->CanCloseFrame(this)) {
    return;  // the user kept the document
  }
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) {
    if (pDocument == nullptr && !app->SaveAllModified()) {
      return;
    }
    app->HideApplication();
    // Closing the documents may have destroyed this window already.
    app->CloseAllDocuments(FALSE);
    if (app->m_pMainWnd == nullptr) {
      ::PostQuitMessage(0);
      return;
    }
  }
  DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
  m_pViewActive = nullptr;
  CWnd::OnDestroy();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) {
    RecalcLayout();
  }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
  if ((m_nIdleFlags & idleTitle) != 0) {
    OnUpdateFrameTitle(TRUE);
  }
  if ((m_nIdleFlags & idleLayout) != 0) {
    RecalcLayout((m_nIdleFlags & idleNotify) != 0);
  }
  m_nIdleFlags = 0;
  return 0;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
  if (bSysMenu || pPopupMenu == nullptr) {
    return;
  }
  CCmdUI state;
  state.m_pMenu = pPopupMenu;
  state.m_nIndexMax = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == 0) {
      continue;  // a separator
    }
    if (state.m_nID == static_cast<UINT>(-1)) {
      // A popup: asked for by its first item, and never greyed for want of a handler.
      state.m_pSubMenu = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
      if (state.m_pSubMenu == nullptr || (state.m_nID = state.m_pSubMenu->GetMenuItemID(0)) == 0 ||
          state.m_nID == static_cast<UINT>(-1)) {
        continue;
      }
      state.DoUpdate(this, FALSE);
    } else {
      // System commands are the window system's to enable.
      state.m_pSubMenu = nullptr;
      state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    }
    // An update handler may have added or removed items.
    auto count = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
    if (count < state.m_nIndexMax) {
      state.m_nIndex -= state.m_nIndexMax - count;
      while (state.m_nIndex < count &&
             pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID) {
        ++state.m_nIndex;
      }
    }
    state.m_nIndexMax = count;
  }
}

void CFrameWnd::PostNcDestroy() { delete this; }
