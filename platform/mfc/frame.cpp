#include "platform/mfc/frame.h"

#include "platform/mfc-core/resources.h"
#include "platform/mfc/ctrlbar.h"
#include "platform/mfc/document.h"
#include "platform/mfc/miniframe.h"
#include "platform/mfc/view.h"
#include "platform/mfc/winapp.h"

#include <algorithm>
#include <mutex>
#include <string>

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
  ON_WM_NCACTIVATE()
  ON_WM_ACTIVATE()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
  ON_MESSAGE(WM_POPMESSAGESTRING, &CFrameWnd::OnPopMessageString)
  ON_MESSAGE(WM_MENUSELECT, &CFrameWnd::OnMenuSelect)
  ON_COMMAND_EX(ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
  ON_COMMAND_EX(ID_VIEW_TOOLBAR, &CFrameWnd::OnBarCheck)
  ON_COMMAND_EX(ID_VIEW_REBAR, &CFrameWnd::OnBarCheck)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateControlBarMenu)
  ON_UPDATE_COMMAND_UI(ID_VIEW_REBAR, &CFrameWnd::OnUpdateControlBarMenu)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, &CFrameWnd::OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, &CFrameWnd::OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, &CFrameWnd::OnUpdateKeyIndicator)
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
  // Bars that outlive the frame object must not reach back into it.
  for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
    static_cast<CControlBar*>(m_listControlBars.GetNext(pos))->m_pDockSite = nullptr;
  }
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
  if (!Create(nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, nullptr, 0, pContext)) {
    return FALSE;
  }
  // The icon of the same id, if there is one: as drawn, and the small one of captions and task lists.
  const LPCSTR icon = MAKEINTRESOURCE(static_cast<WORD>(nIDResource));
  if (HANDLE big = ::LoadImage(AfxGetResourceHandle(), icon, IMAGE_ICON, 0, 0, LR_SHARED)) {
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessage(WM_SETICON, ICON_SMALL,
                reinterpret_cast<LPARAM>(::LoadImage(AfxGetResourceHandle(), icon, IMAGE_ICON, 16, 16, LR_SHARED)));
  }
  return TRUE;
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
  // The status line starts with the idle message, once the frame's bars exist.
  PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
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
  // A bar that changes size while it is laid out asks for a layout again; the one running will do.
  if (m_bInRecalcLayout) {
    return;
  }
  m_bInRecalcLayout = TRUE;
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
  m_bInRecalcLayout = FALSE;
}

// Control bars

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
  if (pBar != nullptr && m_listControlBars.Find(pBar) == nullptr) {
    m_listControlBars.AddTail(pBar);
  }
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
  if (POSITION pos = m_listControlBars.Find(pBar); pos != nullptr) {
    m_listControlBars.RemoveAt(pos);
  }
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
  if (nID == 0) {
    return nullptr;
  }
  for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
    auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
    if (pBar->m_hWnd != nullptr && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID) {
      return pBar;
    }
  }
  return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
  if (pBar == nullptr || pBar->m_hWnd == nullptr) {
    return;
  }
  CFrameWnd* pFrame = pBar->GetDockingFrame();
  if (pFrame == nullptr) {
    pFrame = this;
  }
  if (bDelay) {
    pBar->DelayShow(bShow);
    pFrame->DelayRecalcLayout();
    return;
  }
  const UINT showOrHide = bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | showOrHide);
  pBar->DelayShow(bShow);  // nothing is waiting any more
  pFrame->RecalcLayout(FALSE);
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

namespace {
// The dock-bar ids and the sides they stand for, in the order a bar without a choice is docked.
struct DockSide {
  UINT nDockBarID;
  DWORD dwAlign;
};
constexpr DockSide kDockSides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                                   {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
                                   {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                                   {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};

// The borders that suit a bar on that side: a line between the bar and the view.
DWORD BordersFor(DWORD dwAlign)
{
  switch (dwAlign) {
    case CBRS_ALIGN_TOP: return CBRS_BORDER_BOTTOM;
    case CBRS_ALIGN_BOTTOM: return CBRS_BORDER_TOP;
    case CBRS_ALIGN_LEFT: return CBRS_BORDER_RIGHT;
    default: return CBRS_BORDER_LEFT;
  }
}

bool IsOneSide(DWORD dwAlign)
{
  return dwAlign == CBRS_ALIGN_TOP || dwAlign == CBRS_ALIGN_BOTTOM || dwAlign == CBRS_ALIGN_LEFT ||
         dwAlign == CBRS_ALIGN_RIGHT;
}

void MoveBarToSide(CControlBar* pBar, DWORD dwAlign)
{
  DWORD style = pBar->GetBarStyle();
  if ((style & CBRS_ALIGN_ANY) == dwAlign) {
    return;
  }
  // A bar that had borders keeps having them, on the side facing the view.
  DWORD borders = (style & CBRS_BORDER_ANY) != 0 ? BordersFor(dwAlign) | (style & CBRS_BORDER_3D) : 0;
  pBar->SetBarStyle((style & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING)) | dwAlign | borders);
}
}  // namespace

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT)
{
  if (pBar == nullptr) {
    return;
  }
  DWORD align = 0;
  for (const DockSide& side : kDockSides) {
    if (nDockBarID == side.nDockBarID ||
        (nDockBarID == 0 && (pBar->m_dwDockStyle & m_dwDockStyle & side.dwAlign) != 0)) {
      align = side.dwAlign;
      break;
    }
  }
  if (align == 0) {
    return;  // no side both allow, or an id that names none
  }
  pBar->m_pDockSite = this;
  MoveBarToSide(pBar, align);
  DelayRecalcLayout();
}

namespace {
CString BarSection(LPCSTR lpszProfileName, int index)
{
  return CString(lpszProfileName) + "-Bar" + CString(std::to_string(index).c_str());
}
CString SummarySection(LPCSTR lpszProfileName) { return CString(lpszProfileName) + "-Summary"; }
// More bars than any frame has: a count beyond it is not ours.
constexpr int kMostBars = 256;
}  // namespace

void CFrameWnd::SaveBarState(LPCSTR lpszProfileName) const
{
  CWinApp* app = AfxGetApp();
  if (app == nullptr || lpszProfileName == nullptr) {
    return;
  }
  int count = 0;
  for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
    auto* pBar = static_cast<CControlBar*>(const_cast<CPtrList&>(m_listControlBars).GetNext(pos));
    UINT id = pBar->m_hWnd != nullptr ? static_cast<UINT>(pBar->GetDlgCtrlID()) : 0;
    if (id == 0 || count >= kMostBars) {
      continue;  // a bar nobody can find again by id
    }
    CString section = BarSection(lpszProfileName, count++);
    app->WriteProfileInt(section, "BarID", static_cast<int>(id));
    app->WriteProfileInt(section, "Visible", pBar->IsVisible() ? 1 : 0);
    app->WriteProfileInt(section, "Docking", static_cast<int>(pBar->GetBarStyle() & CBRS_ALIGN_ANY));
  }
  app->WriteProfileInt(SummarySection(lpszProfileName), "Bars", count);
}

void CFrameWnd::LoadBarState(LPCSTR lpszProfileName)
{
  CWinApp* app = AfxGetApp();
  if (app == nullptr || lpszProfileName == nullptr) {
    return;
  }
  auto count = static_cast<int>(app->GetProfileInt(SummarySection(lpszProfileName), "Bars", 0));
  count = std::clamp(count, 0, kMostBars);
  bool changed = false;
  for (int i = 0; i < count; ++i) {
    CString section = BarSection(lpszProfileName, i);
    auto id = app->GetProfileInt(section, "BarID", 0);
    CControlBar* pBar = id != 0 && id <= 0xFFFF ? GetControlBar(id) : nullptr;
    if (pBar == nullptr) {
      continue;  // the bar of an older version, or a damaged entry
    }
    auto visible = app->GetProfileInt(section, "Visible", pBar->IsVisible() ? 1 : 0);
    auto docking = static_cast<DWORD>(app->GetProfileInt(section, "Docking", 0));
    // Only a single side the bar may be on counts; anything else keeps the bar where it is.
    DWORD current = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
    if (IsOneSide(docking) && docking != current && IsOneSide(current) && (pBar->m_dwDockStyle & docking) != 0) {
      MoveBarToSide(pBar, docking);
      changed = true;
    }
    if (visible == 0 || visible == 1) {
      pBar->DelayShow(visible == 1);
      changed = true;
    }
  }
  if (changed && m_hWnd != nullptr) {
    RecalcLayout();
  }
}

// The status line

CWnd* CFrameWnd::GetMessageBar()
{
  HWND bar = ::GetDlgItem(m_hWnd, static_cast<int>(AFX_IDW_STATUS_BAR));
  return bar != nullptr ? CWnd::FromHandle(bar) : nullptr;
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
  // A command's string is "prompt\ntooltip"; the status line shows the prompt.
  CString full;
  rMessage.Empty();
  if (full.LoadString(nID)) {
    AfxExtractSubString(rMessage, full, 0);
  }
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
  SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID, 0); }

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
  UINT last = m_nIDLastMessage;
  auto nID = static_cast<UINT>(wParam);
  if (CWnd* pBar = GetMessageBar(); pBar != nullptr) {
    CString message;
    LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
    if (text == nullptr && nID != 0) {
      GetMessageString(nID, message);
      text = message;
    }
    pBar->SetWindowText(text != nullptr ? text : "");
  }
  m_nIDLastMessage = nID;
  m_nIDTracking = nID;
  return static_cast<LRESULT>(last);
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
  return OnSetMessageString(wParam, lParam);
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
  UINT nItemID = LOWORD(wParam);
  UINT nFlags = HIWORD(wParam);
  if (nFlags == 0xFFFF && lParam == 0) {
    // The menu closed: back to the idle message.
    SetMessageText(AFX_IDS_IDLEMESSAGE);
  } else if (nItemID != 0 && (nFlags & (MF_SEPARATOR | MF_POPUP)) == 0) {
    SetMessageText(nItemID >= 0xF000 && nItemID < 0xF1F0 ? AFX_IDS_SCFIRST + ((nItemID - 0xF000) >> 4) : nItemID);
  }
  return Default();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
  CControlBar* pBar = GetControlBar(nID);
  if (pBar == nullptr) {
    return FALSE;  // someone else's command of that number
  }
  ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
  return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
  CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
  if (pBar == nullptr) {
    pCmdUI->ContinueRouting();
    return;
  }
  pCmdUI->SetCheck(pBar->IsVisible() ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
  const UINT nID = pCmdUI->m_nID;
  const int key = nID == ID_INDICATOR_CAPS ? VK_CAPITAL : nID == ID_INDICATOR_NUM ? VK_NUMLOCK : VK_SCROLL;
  pCmdUI->Enable((::GetKeyState(key) & 1) != 0);
}

// CMDIFrameWnd

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

CFrameWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
  if (pbMaximized != nullptr) {
    *pbMaximized = FALSE;
  }
  if (m_hWndMDIClient == nullptr) {
    return nullptr;
  }
  auto child = reinterpret_cast<HWND>(
      ::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(pbMaximized)));
  CWnd* pWnd = CWnd::FromHandlePermanent(child);
  return pWnd != nullptr && pWnd->IsFrameWnd() ? static_cast<CFrameWnd*>(pWnd) : nullptr;
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

namespace {
// A floating frame owned by `owner` that shows active while its owner is.
bool IsSyncedFloat(HWND hwnd, HWND owner)
{
  return hwnd != nullptr && owner != nullptr && ::GetWindow(hwnd, GW_OWNER) == owner &&
         (static_cast<DWORD>(::GetWindowLong(hwnd, GWL_STYLE)) & MFS_SYNCACTIVE) != 0;
}
}  // namespace

void CFrameWnd::NotifyFloatingWindows(DWORD dwFlags)
{
  for (CFrameWnd* pFrame : LiveFrames()) {
    if (pFrame != this && pFrame->m_hWnd != nullptr && ::GetWindow(pFrame->m_hWnd, GW_OWNER) == m_hWnd) {
      pFrame->SendMessage(WM_FLOATSTATUS, dwFlags);
    }
  }
}

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
  NotifyFloatingWindows(bActive ? FS_ACTIVATE : FS_DEACTIVATE);
  return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, static_cast<WPARAM>(bActive), 0));
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL)
{
  Default();
  // Activation went to one of this frame's floating frames: both stay active, as if they were one window.
  if (nState == WA_INACTIVE && pWndOther != nullptr && IsSyncedFloat(pWndOther->m_hWnd, m_hWnd)) {
    DefWindowProc(WM_NCACTIVATE, TRUE, 0);
    NotifyFloatingWindows(FS_ACTIVATE);
  }
}

// The frame passes the keyboard on to its active view: keys and the wheel go where the user works.
void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
  if (m_pViewActive != nullptr && ::IsWindow(m_pViewActive->m_hWnd)) {
    m_pViewActive->SetFocus();
  } else {
    CWnd::OnSetFocus(pOldWnd);
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
