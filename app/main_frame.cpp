#include "app/main_frame.h"

#include "app/calc_modes.h"
#include "app/calc_state.h"
#include "app/command_bars.h"
#include "app/folders.h"
#include "app/grid_inplace_edit.h"
#include "app/panes/objecttree/tree_objects.h"
#include "app/panes/parameters/prop_objects.h"
#include "app/placement.h"
#include "app/qor_road_view.h"
#include "app/resource.h"
#include "app/shell/analytics.h"
#include "app/shell/group_dialog.h"
#include "app/shell/frame_workers.h"
#include "app/shell/net_fetch.h"
#include "app/shell/news_page.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/start_page.h"
#include "app/tree_text.h"
#include "catalogues/economics/economic_view.h"
#include "document/calculation_run.h"
#include "document/qor_road_doc.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/afxres.h"
#include "platform/shell/htmlhelp.h"
#include "platform/shell/shell_execute.h"
#include "platform/user/dropfiles.h"
#include "report/view/report_view.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/docking/layout.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/propertygrid/item.h"

#include <memory>
#include <set>
#include <string>

namespace {

// Whether the toolkit's resource module was looked for; once per process.
bool g_resourceModuleTried = false;

constexpr UINT kStatusIndicators[] = {ID_SEPARATOR, ID_INDICATOR_NUM};
constexpr char kCommandBarsKey[] = "CommandBars";
constexpr char kPaneLayoutKey[] = "LayoutPanes";
constexpr int kMinTrackWidth = 800;
constexpr int kMinTrackHeight = 640;
constexpr DWORD kPlanViewBit = 0x2;
constexpr DWORD kNormalisedPlanMode = 0x202;
// What the start page's first four items run.
constexpr UINT kStartPageCommands[] = {ids::ID_NEW_STRAIGHT_ROAD, ids::ID_NEW_OPEN_TERRITORY, ID_FILE_OPEN,
                                       ID_FILE_MRU_FILE1};

// The maker's pages; the addresses are ours to choose.
constexpr char kSite[] = "https://tesmira-road.example";
constexpr char kSupportMail[] = "support@tesmira-road.example";

struct PaneRow {
  int id;
  UINT title;
  int direction;
  int neighbour;  // 0: docked at the frame's edge
  int width;
  UINT toggle;
};
const PaneRow kPanes[] = {
    {kPaneObjects, ids::IDS_PANE_OBJECTS, TK_DOCK_LEFT, 0, 230, ids::ID_PANE_OBJECTS},
    {kPaneParameters, ids::IDS_PANE_PARAMETERS, TK_DOCK_BOTTOM, kPaneObjects, 230, ids::ID_PANE_PARAMETERS},
    {kPaneLighting, ids::IDS_PANE_LIGHTING, TK_DOCK_RIGHT, 0, 222, ids::ID_PANE_LIGHTING},
    {kPaneEconomics, ids::IDS_PANE_ECONOMICS, TK_DOCK_BOTTOM, kPaneLighting, 222, ids::ID_PANE_ECONOMICS},
};

int PaneOfToggle(UINT command)
{
  for (const PaneRow& row : kPanes)
    if (row.toggle == command)
      return row.id;
  return 0;
}

IQorRoadDoc* FindDocumentInterface()
{
  CWinApp* app = AfxGetApp();
  if (!app)
    return nullptr;
  POSITION pos = app->GetFirstDocTemplatePosition();
  CDocTemplate* docTemplate = pos ? app->GetNextDocTemplate(pos) : nullptr;
  if (!docTemplate)
    return nullptr;
  POSITION docPos = docTemplate->GetFirstDocPosition();
  CDocument* document = docPos ? docTemplate->GetNextDoc(docPos) : nullptr;
  return dynamic_cast<IQorRoadDoc*>(document);
}

// The workers reach the application through this; it lives as long as the process, so a worker that outlives
// the frame's bound still finds it.
class CAppShellHost : public shell::ShellHost {
public:
  HWND MainWindow() override { return Shell::GetMainWindow(); }
  int GetProfileInt(const char* section, const char* entry, int defaultValue) override
  {
    return static_cast<int>(Shell::GetProfileInt(section, entry, defaultValue));
  }
  void WriteProfileInt(const char* section, const char* entry, int value) override
  {
    Shell::WriteProfileInt(section, entry, value);
  }
};

shell::ShellHost* AppShellHost()
{
  static CAppShellHost host;
  return &host;
}

shell::UpdateAddresses UpdateCheckAddresses()
{
  const std::string site(static_cast<LPCSTR>(Shell::GetNetworkAddress(Shell::kSiteAddressString)));
  return {site, site + "/version.txt", site + "/version_info.txt"};
}

// The commands of the main menu and of the plane views behind its "2D вид" arrow (a menu of that command's id):
// the only ones another program may send through the mailslot.
std::set<UINT> MainMenuCommands()
{
  CMenu menu;
  if (!menu.LoadMenu(ids::IDR_MAINFRAME))
    return {};
  std::set<UINT> commands = shell::CollectMenuCommands(menu.GetSafeHmenu());
  CMenu planeViews;
  if (planeViews.LoadMenu(ids::ID_VIEW_2D))
    commands.merge(shell::CollectMenuCommands(planeViews.GetSafeHmenu()));
  return commands;
}

// The grid's items carry their id in the data word, so the document knows which edits keep the results.
UINT GridItemId(CTKPropertyGridItem* item) { return item ? static_cast<UINT>(item->GetItemData()) : 0; }

void OpenWithShell(const CString& target)
{
  ShellExecute(nullptr, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
}

// The grid's owner is the frame, though the docking pane becomes its parent: its notifications must reach the
// frame's relay, not the pane's container window.
class CParametersGrid : public VisualCtrl::CPropObjects {
public:
  CParametersGrid(IQorRoadDoc* document, CWnd* owner) : CPropObjects(document), m_owner(owner) {}
  LRESULT SendNotifyMessage(WPARAM wParam, LPARAM lParam) override
  {
    return m_owner->GetSafeHwnd() ? m_owner->SendMessage(TKWM_PROPERTYGRID_NOTIFY, wParam, lParam) : 0;
  }

private:
  CWnd* m_owner;
};

}  // namespace

// The toolkit frame carries no run-time class of its own.
IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CTKFrameWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_SHOWWINDOW()
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_SYSCOMMAND()
  ON_MESSAGE(TK_WM_DOCKINGPANENOTIFY, &CMainFrame::OnDockingPaneNotify)
  ON_MESSAGE(TKWM_PROPERTYGRID_NOTIFY, &CMainFrame::OnGridNotify)
  ON_NOTIFY(TKN_EXECUTE, kCalcModeControl, &CMainFrame::OnCalcModeExecute)
  ON_UPDATE_COMMAND_UI(kCalcModeControl, &CMainFrame::OnUpdateCalcMode)
  ON_MESSAGE(UM_SHOWOBJECT, &CMainFrame::OnShowObject)
  ON_MESSAGE(UM_CLEARPANES, &CMainFrame::OnClearPanes)
  ON_MESSAGE(UM_UPDATETREETEXT, &CMainFrame::OnUpdateTreeText)
  ON_MESSAGE(UM_GETDOCUMENT, &CMainFrame::OnGetDocument)
  ON_MESSAGE(UM_RESULTSCHANGED, &CMainFrame::OnResultsChanged)
  ON_MESSAGE(UM_SELECTTREEITEM, &CMainFrame::OnSelectTreeItem)
  ON_MESSAGE(UM_SETVIEWMODE, &CMainFrame::OnSetViewMode)
  ON_MESSAGE(UM_GETACTIVEVIEW, &CMainFrame::OnGetActiveView)
  ON_MESSAGE(UM_PROGRESS, &CMainFrame::OnProgress)
  ON_MESSAGE(UM_SHOWPARAMETERS, &CMainFrame::OnShowParameters)
  ON_MESSAGE(UM_REFRESHPARAMETERS, &CMainFrame::OnRefreshParameters)
  ON_MESSAGE(UM_TREECOMMAND, &CMainFrame::OnTreeCommand)
  ON_MESSAGE(UM_CALCMODES, &CMainFrame::OnCalcModes)
  ON_MESSAGE(UM_SHOWECONOMICS, &CMainFrame::OnShowEconomics)
  ON_MESSAGE(UM_SHOWLIGHTING, &CMainFrame::OnShowLighting)
  ON_MESSAGE(UM_DEPTHBITS, &CMainFrame::OnToView)
  ON_MESSAGE(UM_BEGINCONTOUR, &CMainFrame::OnToView)
  ON_MESSAGE(UM_ENDCONTOUR, &CMainFrame::OnEndContour)
  ON_MESSAGE(UM_DROPHOVER, &CMainFrame::OnToView)
  ON_MESSAGE(UM_ENGINEPROGRESS, &CMainFrame::OnEngineProgress)
  ON_MESSAGE(UM_CALCFINISHED, &CMainFrame::OnCalcFinished)
  ON_MESSAGE(UM_SHOWNEWS, &CMainFrame::OnShowNews)
  ON_MESSAGE(UM_SETCALCSTATE, &CMainFrame::OnSetCalcState)
  ON_MESSAGE(UM_GETCALCSTATE, &CMainFrame::OnGetCalcState)
  ON_MESSAGE(UM_CALCSTATETEXT, &CMainFrame::OnCalcStateText)
  ON_MESSAGE(UM_SETEXITPENDING, &CMainFrame::OnSetExitPending)
  ON_MESSAGE(UM_GETEXITPENDING, &CMainFrame::OnGetExitPending)
  ON_COMMAND_RANGE(ids::ID_PANE_OBJECTS, ids::ID_PANE_LIGHTING, &CMainFrame::OnPaneCommand)
  ON_COMMAND_RANGE(ids::ID_PANE_ECONOMICS, ids::ID_PANE_ECONOMICS, &CMainFrame::OnPaneCommand)
  ON_UPDATE_COMMAND_UI_RANGE(ids::ID_PANE_OBJECTS, ids::ID_PANE_LIGHTING, &CMainFrame::OnUpdatePaneCommand)
  ON_UPDATE_COMMAND_UI(ids::ID_PANE_ECONOMICS, &CMainFrame::OnUpdatePaneCommand)
  ON_COMMAND(ids::ID_EDIT_UNDO, &CMainFrame::OnEditUndo)
  ON_UPDATE_COMMAND_UI(ids::ID_EDIT_UNDO, &CMainFrame::OnUpdateEditUndo)
  ON_COMMAND(ids::ID_EDIT_REDO, &CMainFrame::OnEditRedo)
  ON_UPDATE_COMMAND_UI(ids::ID_EDIT_REDO, &CMainFrame::OnUpdateEditRedo)
  ON_COMMAND(ids::ID_ECONOMIC_PARAMETERS, &CMainFrame::OnEconomicParameters)
  ON_COMMAND(ids::ID_START_PAGE, &CMainFrame::OnStartPage)
  ON_COMMAND(kCustomizeCommand, &CMainFrame::OnCustomize)
  ON_MESSAGE(WM_DROPFILES, &CMainFrame::OnDropFiles)
  ON_COMMAND(ids::ID_CHECK_UPDATES, &CMainFrame::OnCheckUpdates)
  ON_UPDATE_COMMAND_UI(ids::ID_START_PAGE, &CMainFrame::OnUpdateStartPage)
  ON_COMMAND_RANGE(ids::ID_HELP_SUPPORT, ids::ID_HELP_SUPPORT, &CMainFrame::OnHelpKeyword)
  ON_COMMAND_RANGE(ids::ID_CHANGE_HISTORY, ids::ID_CHANGE_HISTORY, &CMainFrame::OnHelpKeyword)
  ON_COMMAND_RANGE(ids::ID_USER_MANUAL, ids::ID_USER_MANUAL, &CMainFrame::OnOpenDocsFile)
  ON_COMMAND_RANGE(ids::ID_LICENCE, ids::ID_LICENCE, &CMainFrame::OnOpenDocsFile)
  ON_COMMAND(ids::ID_CONTACT_US, &CMainFrame::OnContactUs)
  ON_COMMAND_RANGE(ids::ID_WEB_SITE, ids::ID_WEB_SITE, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_WEB_FORUM, ids::ID_WEB_FORUM, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_WEB_ONLINE, ids::ID_WEB_ONLINE, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_WEB_ROOMS, ids::ID_WEB_GREENHOUSES, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_STORE_GOOGLE, ids::ID_STORE_GOOGLE, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_STORE_APPLE, ids::ID_STORE_APPLE, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_VIDEO_PART3, ids::ID_VIDEO_PART1, &CMainFrame::OnWebPage)
  ON_COMMAND_RANGE(ids::ID_HELP_FINDER, ids::ID_HELP_FINDER, &CMainFrame::OnHelpCommand)
  ON_COMMAND_RANGE(kContextHelpCommand, kDefaultHelpCommand, &CMainFrame::OnHelpCommand)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
{
  m_pDocument = FindDocumentInterface();
  m_pTree = new VisualCtrl::CTreeObjects(m_pDocument);
  m_pProps = new CParametersGrid(m_pDocument, this);
  m_pReport = new VisualCtrl::CReportView(m_pDocument);
  m_pEconomics = new VisualCtrl::CEcnmContainerWnd(m_pDocument);
  m_helpBitmap.LoadBitmap(ids::IDB_HELP_MENU);
}

CMainFrame::~CMainFrame()
{
  ReleaseImageBar(m_pImageBar);
  delete m_pProgressBar;
  for (CWnd* pane : std::initializer_list<CWnd*>{m_pTree, m_pProps}) {
    if (pane->GetSafeHwnd())
      pane->DestroyWindow();
    delete pane;
  }
  // The report view deletes itself with its window; one that never had a window is ours.
  if (!m_reportMade)
    delete m_pReport;
  if (m_pEconomics->GetSafeHwnd())
    m_pEconomics->DestroyWindow();
  delete m_pEconomics;
  if (m_hResourceModule) {
    TKResourceManager()->SetResourceHandle(nullptr);
    FreeLibrary(m_hResourceModule);
  }
  delete m_pResourceManager;
  m_pWorkers.reset();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
  if (!g_resourceModuleTried) {
    g_resourceModuleTried = true;
    const CString path = Shell::GetBinFolder() + "QorRoad.ru";
    m_hResourceModule = LoadLibrary(path);
    if (!m_hResourceModule)
      m_hResourceModule = LoadLibrary("QorRoad.ru");
    if (m_hResourceModule) {
      m_pResourceManager = new CTKResourceManager;
      m_pResourceManager->SetResourceHandle(m_hResourceModule);
    }
  }
  return CTKFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CFrameWnd::OnCreate(lpcs) == -1)
    return -1;
  if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
    ::AppendMenu(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenu(systemMenu, MF_STRING, kHelpCommand, "&Справка: Tesmira Road\tF1");
    ::AppendMenu(systemMenu, MF_STRING, ID_APP_ABOUT, "&О программе");
    MENUITEMINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = static_cast<HBITMAP>(m_helpBitmap.GetSafeHandle());
    ::SetMenuItemInfo(systemMenu, kHelpCommand, FALSE, &info);
  }
  if (!CreateStatusBar())
    return -1;
  SetPropertyItemIdReader(&GridItemId);
  m_pProgressBar = new CProgressBar(this);
  if (!m_pProgressBar->IsCreated()) {
    delete m_pProgressBar;
    m_pProgressBar = nullptr;
  } else {
    m_pProgressBar->SetPos(0);
  }
  if (!CreateCommandBars())
    return -1;
  CreatePanes();
  m_pFetch = std::make_shared<shell::NetUpdateFetch>();
  m_pWorkers = std::make_unique<shell::FrameWorkers>(
      shell::FrameWorkers::Parts{AppShellHost(), m_pFetch, std::make_shared<shell::DialogUpdateUi>(),
                                 UpdateCheckAddresses(), &shell::ShowDepthWarning, MainMenuCommands()});
  SendMessage(UM_CALCMODES);
  return 0;
}

BOOL CMainFrame::CreateStatusBar()
{
  if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM | CBRS_BORDER_TOP, AFX_IDW_STATUS_BAR))
    return FALSE;
  return m_wndStatusBar.SetIndicators(kStatusIndicators, 2);
}

BOOL CMainFrame::CreateCommandBars()
{
  if (!InitCommandBars() || !CreateProgramBars(GetCommandBars(), &m_pImageBar))
    return FALSE;
  LoadCommandBars(kCommandBarsKey);
  m_wndStatusBar.SetCommandBars(GetCommandBars());
  return TRUE;
}

BOOL CMainFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == TKWM_CREATECONTROL && lParam && OnCreateControl(reinterpret_cast<TK_CREATECONTROLSTRUCT*>(lParam))) {
    if (pResult)
      *pResult = 1;
    return TRUE;
  }
  return CTKFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CMainFrame::OnCreateControl(TK_CREATECONTROLSTRUCT* create)
{
  BOOL madeCombo = FALSE;
  if (!CreateProgramControl(create, &madeCombo))
    return FALSE;
  // The bar takes the combo only after this answer; the refill finds it on the next turn of the loop.
  if (madeCombo)
    PostMessage(UM_CALCMODES);
  return TRUE;
}

void CMainFrame::CreatePanes()
{
  m_paneManager.InstallDockingPanes(this);
  m_paneManager.m_nDefaultPaneOptions = TK_PANE_NOHIDEABLE;
  CTKPaintManager::SetTheme(4);
  m_paneManager.SetTheme(9);
  for (const PaneRow& row : kPanes) {
    CTKDockingPane* neighbour = row.neighbour ? m_paneManager.FindPane(row.neighbour) : nullptr;
    CTKDockingPane* pane = m_paneManager.CreatePane(row.id, CRect(0, 0, row.width, 120), row.direction, neighbour);
    CString title;
    title.LoadString(row.title);
    pane->SetTitle(title);
  }
  const int iconPanes[] = {kPaneObjects, kPaneParameters, kPaneLighting};
  m_paneManager.SetIcons(ids::IDB_PANE_ICONS, iconPanes, 3, RGB(0, 0xFF, 0));
}

CWnd* CMainFrame::MakePaneContent(int paneId)
{
  const CRect none(0, 0, 0, 0);
  switch (paneId) {
  case kPaneObjects:
    if (!m_pTree->GetSafeHwnd())
      m_pTree->Create(VisualCtrl::CTreeObjects::kStyle, none, this, VisualCtrl::CTreeObjects::kControlId);
    return m_pTree;
  case kPaneParameters:
    if (!m_pProps->GetSafeHwnd() && m_pProps->Create(none, this, kGridWindowId)) {
      m_pProps->SetInplaceEdit(new VisualCtrl::CTKPropertyGridInplaceEditUser);
    }
    return m_pProps;
  case kPaneLighting:
    if (!m_reportMade)
      m_reportMade = m_pReport->Create(nullptr, "", WS_CHILD | WS_HSCROLL | WS_VSCROLL, none, this, kPaneLighting);
    return m_pReport;
  case kPaneEconomics:
    if (!m_pEconomics->GetSafeHwnd())
      m_pEconomics->Create(nullptr, "", WS_CHILD, none, this, kPaneEconomics);
    return m_pEconomics;
  default:
    return nullptr;
  }
}

CWnd* CMainFrame::PaneWindow(int paneId) const
{
  CWnd* window = nullptr;
  switch (paneId) {
  case kPaneObjects:
    window = m_pTree;
    break;
  case kPaneParameters:
    window = m_pProps;
    break;
  case kPaneLighting:
    window = m_reportMade ? m_pReport : nullptr;
    break;
  case kPaneEconomics:
    window = m_pEconomics;
    break;
  default:
    break;
  }
  return window && window->GetSafeHwnd() ? window : nullptr;
}

LRESULT CMainFrame::SendToPane(int paneId, UINT message, WPARAM wParam, LPARAM lParam) const
{
  CWnd* window = PaneWindow(paneId);
  return window ? window->SendMessage(message, wParam, lParam) : 0;
}

LRESULT CMainFrame::OnDockingPaneNotify(WPARAM wParam, LPARAM lParam)
{
  if (wParam != TK_DPN_SHOWWINDOW || !GetActiveView())
    return 0;
  auto* pane = reinterpret_cast<CTKDockingPane*>(lParam);
  if (!pane || pane->IsValid())
    return 0;
  CWnd* content = MakePaneContent(pane->GetID());
  if (!content || !content->GetSafeHwnd())
    return 1;
  pane->Attach(content->GetSafeHwnd());
  if (pane->GetID() != kPaneParameters)
    content->SendMessage(UM_SHOWOBJECT, 0, 0);
  return 1;
}

BOOL CMainFrame::IsPaneOpen(int paneId) const
{
  CTKDockingPane* pane = m_paneManager.FindPane(paneId);
  return pane && !m_paneManager.IsPaneClosed(pane);
}

void CMainFrame::TogglePane(int paneId)
{
  CTKDockingPane* pane = m_paneManager.FindPane(paneId);
  if (!pane)
    return;
  if (m_paneManager.IsPaneClosed(pane))
    m_paneManager.ShowPane(pane);
  else
    m_paneManager.ClosePane(pane);
}

void CMainFrame::OnPaneCommand(UINT nID) { TogglePane(PaneOfToggle(nID)); }

void CMainFrame::OnUpdatePaneCommand(CCmdUI* pCmdUI) { pCmdUI->SetCheck(IsPaneOpen(PaneOfToggle(pCmdUI->m_nID))); }

CQorRoadView* CMainFrame::GetFirstView() const
{
  auto* document = dynamic_cast<CDocument*>(m_pDocument);
  if (!document)
    return nullptr;
  POSITION pos = document->GetFirstViewPosition();
  return pos ? dynamic_cast<CQorRoadView*>(document->GetNextView(pos)) : nullptr;
}

// ---- Closing and showing

void CMainFrame::OnClose()
{
  // The customise sheet works on the command bars that closing would free.
  if (m_customizing)
    return;
  int state = 0;
  SendMessage(UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
  int exitPending = 0;
  SendMessage(UM_GETEXITPENDING, 0, reinterpret_cast<LPARAM>(&exitPending));
  if (state == Shell::kCalcRunning || exitPending) {
    SendMessage(UM_SETEXITPENDING, 1);
    SendMessage(UM_SETCALCSTATE, Shell::kCalcStopping);
    return;
  }
  CQorRoadView* view = GetFirstView();
  if (!view || !view->IsInPrintPreview()) {
    SavePaneLayout();
    SaveCommandBars(kCommandBarsKey);
  }
  WINDOWPLACEMENT placement;
  if (GetWindowPlacement(&placement))
    SaveWindowPlacement(PlacementToStore(placement, IsZoomed()));
  shell::CloseAnalytics(shell::GetAnalyticsModule());
  CFrameWnd::OnClose();
}

void CMainFrame::OnShowWindow(BOOL bShow, UINT nStatus)
{
  if (m_firstShow && bShow) {
    m_firstShow = false;
    if (IsPaneOpen(kPaneEconomics))
      TogglePane(kPaneEconomics);
    LoadPaneLayout();
  }
  CFrameWnd::OnShowWindow(bShow, nStatus);
  if (bShow && m_pWorkers)
    m_pWorkers->StartOnFirstShow();
}

// The layout objects make no windows of their own: the manager's panes are laid out as the copy says.
void CMainFrame::LoadPaneLayout()
{
  CTKDockingPaneLayout layout(&m_paneManager);
  layout.m_bUserLayout = FALSE;
  // A layout that does not load whole is dropped; the one built at creation stays.
  if (layout.LoadFromRegistry(kPaneLayoutKey))
    m_paneManager.SetLayout(&layout);
}

void CMainFrame::SavePaneLayout()
{
  CTKDockingPaneLayout layout(&m_paneManager);
  layout.m_bUserLayout = FALSE;
  m_paneManager.GetLayout(&layout);
  layout.SaveToRegistry(kPaneLayoutKey);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
  NormaliseViewMode();
  CFrameWnd::OnSize(nType, cx, cy);
  if (m_pProgressBar && m_wndStatusBar.GetSafeHwnd())
    m_pProgressBar->Layout();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
  lpMMI->ptMinTrackSize.x = kMinTrackWidth;
  lpMMI->ptMinTrackSize.y = kMinTrackHeight;
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
  if (nID == ID_APP_ABOUT || nID == kHelpCommand) {
    PostMessage(WM_COMMAND, nID);
    return;
  }
  CFrameWnd::OnSysCommand(nID, lParam);
}

// ---- The command filter

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nCode == CN_UPDATE_COMMAND_UI && calc_state::State() > Shell::kCalcIdle && !calc_state::IsAllowedWhileBusy(nID)) {
    static_cast<CCmdUI*>(pExtra)->Enable(FALSE);
    return TRUE;
  }
  return CTKFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- The hub

void CMainFrame::NormaliseViewMode()
{
  DWORD mode = kNormalisedPlanMode;
  if (m_pDocument) {
    mode = m_pDocument->GetViewMode();
    if (mode & kPlanViewBit)
      mode = kNormalisedPlanMode;
  }
  SendMessage(UM_SETVIEWMODE, mode);
}

LRESULT CMainFrame::OnGridNotify(WPARAM wParam, LPARAM lParam)
{
  CWnd* grid = PaneWindow(kPaneParameters);
  if (!grid)
    return 0;
  if (wParam == TK_PGN_SELECTION_CHANGED || wParam == TK_PGN_ITEMVALUE_CHANGED || wParam == TK_PGN_INPLACEBUTTONDOWN)
    NormaliseViewMode();
  if (wParam == TK_PGN_ITEMVALUE_CHANGED && m_pDocument)
    m_pDocument->PushUndoState();
  const LRESULT answer = grid->SendMessage(TKWM_PROPERTYGRID_NOTIFY, wParam, lParam);
  if (answer == 1 && m_pDocument) {
    auto* item = reinterpret_cast<CTKPropertyGridItem*>(lParam);
    if (m_pDocument->InvalidateResultsAfterEdit(m_pProps->GetShownObject(), item)) {
      SendToPane(kPaneLighting, UM_SHOWOBJECT, 0, 0);
      SendToPane(kPaneEconomics, UM_SHOWOBJECT, 0, 0);
    }
    m_pDocument->Redraw(TRUE, FALSE, TRUE);
    PostMessage(UM_CALCMODES);
  } else if (answer == 0 && wParam == TK_PGN_ITEMVALUE_CHANGED && m_pDocument) {
    m_pDocument->DropUndoState();
  }
  return answer;
}

LRESULT CMainFrame::OnShowObject(WPARAM wParam, LPARAM lParam)
{
  LRESULT answer = 0;
  if (wParam == 0)
    answer |= SendToPane(kPaneObjects, UM_SHOWOBJECT, 0, 0);
  answer |= SendToPane(kPaneParameters, UM_SHOWOBJECT, wParam, lParam);
  answer |= SendToPane(kPaneLighting, UM_SHOWOBJECT, 0, 0);
  answer |= SendToPane(kPaneEconomics, UM_SHOWOBJECT, 0, 0);
  PostMessage(UM_CALCMODES);
  return answer;
}

LRESULT CMainFrame::OnClearPanes(WPARAM wParam, LPARAM lParam)
{
  LRESULT answer = 0;
  if (wParam == 0)
    answer |= SendToPane(kPaneObjects, UM_CLEARPANES, 0, 0);
  answer |= SendToPane(kPaneParameters, UM_CLEARPANES, wParam, lParam);
  return answer;
}

LRESULT CMainFrame::OnUpdateTreeText(WPARAM, LPARAM lParam)
{
  auto* item = reinterpret_cast<HTREEITEM>(lParam);
  if (!item || !PaneWindow(kPaneObjects))
    return 0;
  m_pTree->SetItemText(item, TreeItemText(m_pTree->GetItemObject(item)));
  return 0;
}

LRESULT CMainFrame::OnGetDocument(WPARAM, LPARAM lParam)
{
  if (!lParam)
    return 0;
  *reinterpret_cast<IQorRoadDoc**>(lParam) = m_pDocument;
  return 1;
}

LRESULT CMainFrame::OnResultsChanged(WPARAM, LPARAM)
{
  LRESULT answer = 0;
  for (int paneId : {kPaneLighting, kPaneEconomics}) {
    if (CWnd* window = PaneWindow(paneId)) {
      answer |= window->SendMessage(UM_SHOWOBJECT, 0, 0);
      window->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
  }
  return answer;
}

LRESULT CMainFrame::OnSelectTreeItem(WPARAM, LPARAM lParam)
{
  if (!lParam || !PaneWindow(kPaneObjects))
    return 0;
  m_pTree->SelectItem(reinterpret_cast<HTREEITEM>(lParam));
  return 1;
}

LRESULT CMainFrame::OnSetViewMode(WPARAM wParam, LPARAM)
{
  if (!m_pDocument)
    return 0;
  m_pDocument->SetViewMode(static_cast<DWORD>(wParam));
  return 1;
}

LRESULT CMainFrame::OnGetActiveView(WPARAM, LPARAM lParam)
{
  CQorRoadView* view = GetFirstView();
  if (!view || !lParam)
    return 0;
  *reinterpret_cast<CQorRoadView**>(lParam) = view;
  return 1;
}

LRESULT CMainFrame::OnProgress(WPARAM wParam, LPARAM)
{
  if (!m_pProgressBar)
    return 1;
  const int percent = static_cast<int>(wParam);
  if (percent <= 0 || percent >= 100) {
    m_pProgressBar->ShowWindow(SW_HIDE);
  } else {
    if (!m_pProgressBar->IsWindowVisible()) {
      m_pProgressBar->ShowWindow(SW_SHOW);
      m_pProgressBar->Layout();
    }
    m_pProgressBar->SetPos(percent);
  }
  m_wndStatusBar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return 1;
}

LRESULT CMainFrame::OnShowParameters(WPARAM, LPARAM)
{
  if (!IsPaneOpen(kPaneParameters))
    TogglePane(kPaneParameters);
  return 1;
}

LRESULT CMainFrame::OnRefreshParameters(WPARAM wParam, LPARAM lParam)
{
  return SendToPane(kPaneParameters, UM_SHOWOBJECT, wParam, lParam);
}

LRESULT CMainFrame::OnTreeCommand(WPARAM wParam, LPARAM)
{
  return SendToPane(kPaneObjects, WM_COMMAND, wParam, 0);
}

CTKControlComboBox* CMainFrame::GetCalcModeCombo() const
{
  CTKCommandBars* bars = GetCommandBars();
  CTKCommandBar* bar = bars ? bars->GetToolBar(kProjectBarId) : nullptr;
  CTKControl* control = bar ? bar->GetControls()->FindControl(static_cast<int>(kCalcModeControl)) : nullptr;
  return dynamic_cast<CTKControlComboBox*>(control);
}

LRESULT CMainFrame::OnCalcModes(WPARAM, LPARAM)
{
  CTKControlComboBox* combo = GetCalcModeCombo();
  if (!combo || !combo->HasListWindow())
    return 0;
  CWnd* list = combo->GetListBar();
  list->SendMessage(LB_RESETCONTENT, 0, 0);
  auto* document = dynamic_cast<CQorRoadDoc*>(m_pDocument);
  if (!document)
    return 1;
  IVisualOpt* options = document->GetCurrentOptions();
  void* area = nullptr;
  if (IProject* project = document->GetCurrentProject(); !project || FAILED(project->QueryInterface(&IID_ActiveArea, &area)))
    area = nullptr;
  const std::vector<int> offered = OfferedQuantities(static_cast<IArea*>(area), options);
  if (area)
    static_cast<IArea*>(area)->Release();
  const int shown = options ? *options->GetQuantity() : -1;
  int selection = -1;
  for (int quantity : offered) {
    CString text;
    text.LoadString(ids::IDS_QUANTITY_LUMINANCE + static_cast<UINT>(quantity));
    const auto index = list->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(text)));
    list->SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), quantity);
    if (quantity == shown)
      selection = static_cast<int>(index);
  }
  combo->SetCurSel(selection);
  combo->RedrawParent();
  return 1;
}

void CMainFrame::OnCalcModeExecute(NMHDR*, LRESULT* pResult)
{
  *pResult = 1;
  CTKControlComboBox* combo = GetCalcModeCombo();
  auto* document = dynamic_cast<CQorRoadDoc*>(m_pDocument);
  if (!combo || !combo->HasListWindow() || !document)
    return;
  const int selection = combo->GetCurSel();
  if (selection < 0)
    return;
  const int quantity = static_cast<int>(combo->GetListBar()->SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(selection), 0));
  if (IVisualOpt* options = document->GetCurrentOptions())
    options->SetQuantity(&quantity);
  m_pDocument->Redraw(TRUE, FALSE, TRUE);
}

void CMainFrame::OnUpdateCalcMode(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }

LRESULT CMainFrame::OnShowEconomics(WPARAM, LPARAM)
{
  if (!IsPaneOpen(kPaneEconomics))
    TogglePane(kPaneEconomics);
  return 1;
}

LRESULT CMainFrame::OnShowLighting(WPARAM, LPARAM)
{
  if (!IsPaneOpen(kPaneLighting))
    TogglePane(kPaneLighting);
  return 1;
}

LRESULT CMainFrame::OnToView(WPARAM wParam, LPARAM lParam)
{
  const MSG* current = GetCurrentMessage();
  CQorRoadView* view = GetFirstView();
  if (!view || !current)
    return 0;
  return view->SendMessage(current->message, current->message == UM_DROPHOVER ? wParam : 0, lParam);
}

// The tool that sent the message holds the object; ending the input deletes the tool, so the frame keeps its own
// reference until it is done.
LRESULT CMainFrame::OnEndContour(WPARAM wParam, LPARAM lParam)
{
  auto* object = reinterpret_cast<IModelUnknown*>(lParam);
  if (object)
    object->AddRef();
  if (CQorRoadView* view = GetFirstView())
    view->SendMessage(UM_ENDCONTOUR, 0, 0);
  if (!object)
    return 0;
  if (wParam == 1)
    FinishGroupOutline(reinterpret_cast<IGroupOfDev*>(lParam));
  else
    FinishPrimitiveOutline(reinterpret_cast<IPrimitive*>(lParam));
  void* model = nullptr;
  if (SUCCEEDED(object->QueryInterface(&IID_IClassObjModel, &model)) && model) {
    auto* item = static_cast<IClassObjModel*>(model);
    const HTREEITEM* handle = item->GetTreeItem();
    if (handle && *handle)
      SendMessage(UM_SHOWOBJECT, 0, reinterpret_cast<LPARAM>(item));
    item->Release();
  }
  object->Release();
  return 0;
}

void CMainFrame::FinishGroupOutline(IGroupOfDev* group)
{
  CArray<_CSPOINT3D>* points = nullptr;
  group->GetContourPoints(&points);
  const int individual = 0;
  if (!points || points->GetSize() < 3) {
    group->SetPlacementScheme(&individual);
  } else if (*group->GetPlacementScheme() == 3) {
    shell::CDlgChildGroupDev dialog(this, group);
    dialog.m_onHelp = [this] { ShowHelpIndex(); };
    if (dialog.DoModal() == IDOK) {
      group->SetContourOffset(&dialog.m_dOffset);
      group->SetContourOutreach(&dialog.m_dOutreach);
      group->SetContourStep(&dialog.m_dStep);
      group->SetContourAngle(&dialog.m_dRotation);
    } else {
      group->SetPlacementScheme(&individual);
    }
  }
  group->UpdatePolePositions(0);
  if (m_pDocument)
    m_pDocument->Redraw(FALSE, TRUE, TRUE);
}

void CMainFrame::FinishPrimitiveOutline(IPrimitive* primitive)
{
  void* model = nullptr;
  IArea* area = nullptr;
  if (SUCCEEDED(primitive->QueryInterface(&IID_IClassObjModel, &model)) && model) {
    auto* item = static_cast<IClassObjModel*>(model);
    area = dynamic_cast<IArea*>(item->GetParent());
    item->Release();
  }
  const double baseHeight = area ? *area->GetBaseHeight() : 0;
  if (baseHeight != 0) {
    CArray<_CSPOINT3D>* outline = nullptr;
    primitive->GetOutline(&outline);
    if (outline) {
      for (INT_PTR i = 0; i < outline->GetSize(); ++i)
        (*outline)[i].z = baseHeight;
    }
    primitive->Rebuild();
  }
  if (m_pDocument)
    m_pDocument->Redraw(FALSE, FALSE, TRUE);
}

void CMainFrame::ShowHelpIndex()
{
  // A lookup needs a keyword: with none the help opens at its start.
  const CString helpFile = GetDocsFolder() + "QorRoad.chm";
  HtmlHelp(GetSafeHwnd(), helpFile, HH_DISPLAY_TOPIC, 0);
}

LRESULT CMainFrame::OnEngineProgress(WPARAM wParam, LPARAM) { return SendMessage(UM_PROGRESS, wParam, 0); }

LRESULT CMainFrame::OnCalcFinished(WPARAM wParam, LPARAM)
{
  return m_pDocument ? m_pDocument->OnCalculationFinished(static_cast<int>(wParam)) : 0;
}

// The buffer is the update check's gift, made with new[]; it is ours whatever the dialog does.
LRESULT CMainFrame::OnShowNews(WPARAM, LPARAM lParam)
{
  std::unique_ptr<char[]> address(reinterpret_cast<char*>(lParam));
  if (address && m_pFetch) {
    shell::CDlgNews news(this, CString(address.get()), m_pFetch);
    news.DoModal();
  }
  return 1;
}

LRESULT CMainFrame::OnSetCalcState(WPARAM wParam, LPARAM)
{
  const int state = static_cast<int>(wParam);
  SendMessage(UM_CALCSTATETEXT, wParam);
  if (CWnd* grid = PaneWindow(kPaneParameters))
    grid->EnableWindow(state == Shell::kCalcIdle);
  return calc_state::ExchangeState(state);
}

LRESULT CMainFrame::OnGetCalcState(WPARAM, LPARAM lParam)
{
  if (!lParam)
    return 0;
  *reinterpret_cast<int*>(lParam) = calc_state::State();
  return 1;
}

LRESULT CMainFrame::OnCalcStateText(WPARAM wParam, LPARAM)
{
  CString text;
  if (const UINT id = calc_state::StatusTextId(static_cast<int>(wParam)))
    text.LoadString(id);
  if (m_wndStatusBar.GetSafeHwnd()) {
    m_wndStatusBar.SetPaneText(0, text, TRUE);
    m_wndStatusBar.UpdateWindow();
  }
  return 1;
}

LRESULT CMainFrame::OnSetExitPending(WPARAM wParam, LPARAM)
{
  return calc_state::ExchangeExitPending(wParam ? 1 : 0);
}

LRESULT CMainFrame::OnGetExitPending(WPARAM, LPARAM lParam)
{
  if (!lParam)
    return 0;
  *reinterpret_cast<int*>(lParam) = calc_state::ExitPending();
  return 1;
}

// ---- Commands

void CMainFrame::OnEditUndo()
{
  if (m_pDocument)
    m_pDocument->Undo();
}

void CMainFrame::OnUpdateEditUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pDocument && m_pDocument->CanUndo()); }

void CMainFrame::OnEditRedo()
{
  if (m_pDocument)
    m_pDocument->Redo();
}

void CMainFrame::OnUpdateEditRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pDocument && m_pDocument->CanRedo()); }

void CMainFrame::OnEconomicParameters()
{
  if (!IsPaneOpen(kPaneEconomics))
    TogglePane(kPaneEconomics);
  if (CWnd* economics = PaneWindow(kPaneEconomics))
    economics->SendMessage(WM_COMMAND, ids::ID_ECONOMIC_PARAMETERS);
}

void CMainFrame::OnCustomize()
{
  if (m_customizing)
    return;
  m_customizing = TRUE;
  RunCustomizeSheet(GetCommandBars());
  m_customizing = FALSE;
}

LRESULT CMainFrame::OnDropFiles(WPARAM wParam, LPARAM)
{
  auto drop = reinterpret_cast<HDROP>(wParam);
  char path[MAX_PATH] = {};
  const bool got = DragQueryFile(drop, 0, path, MAX_PATH) > 0;
  DragFinish(drop);
  if (got) {
    SetActiveWindow();
    AfxGetApp()->OpenDocumentFile(path);
  }
  return 0;
}

void CMainFrame::OnStartPage()
{
  shell::CDlgStartPage page;
  page.m_onHelp = [this] { OnHelpCommand(kHelpCommand); };
  page.DoModal();
  if (page.m_nCurrent >= 1 && page.m_nCurrent <= 4)
    PostMessage(WM_COMMAND, kStartPageCommands[page.m_nCurrent - 1]);
}

void CMainFrame::OnCheckUpdates()
{
  if (m_pWorkers)
    m_pWorkers->StartManualUpdateCheck();
}

void CMainFrame::OnUpdateStartPage(CCmdUI* pCmdUI)
{
  pCmdUI->SetCheck(AfxGetApp()->GetProfileInt("Settings", "StartPage", 1) != 0);
}

void CMainFrame::OnHelpKeyword(UINT nID)
{
  CString keyword;
  keyword.LoadString(nID == ids::ID_HELP_SUPPORT ? ids::IDS_HELP_SUPPORT : ids::IDS_CHANGE_HISTORY);
  HH_AKLINK link;
  link.cbStruct = sizeof(link);
  link.pszKeywords = keyword;
  link.fIndexOnFail = TRUE;
  const CString helpFile = GetDocsFolder() + "QorRoad.chm";
  HtmlHelp(GetSafeHwnd(), helpFile, HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link));
}

void CMainFrame::OnOpenDocsFile(UINT nID)
{
  OpenWithShell(GetDocsFolder() + (nID == ids::ID_USER_MANUAL ? "Manual.pdf" : "licenceEx.rtf"));
}

void CMainFrame::OnContactUs()
{
  CString subject;
  subject.Format("Вопрос по программе Tesmira Road (код продукта: %s)", static_cast<LPCSTR>(GetInstallationId()));
  OpenWithShell(CString("mailto:") + kSupportMail + "?subject=" + subject);
}

void CMainFrame::OnWebPage(UINT nID)
{
  const char* path = "/";
  switch (nID) {
  case ids::ID_WEB_FORUM:
    path = "/index.php/forum";
    break;
  case ids::ID_WEB_ONLINE:
    path = "/road/";
    break;
  case ids::ID_WEB_ROOMS:
    path = "/rooms/";
    break;
  case ids::ID_WEB_GREENHOUSES:
    path = "/greenhouses/";
    break;
  case ids::ID_STORE_GOOGLE:
    path = "/store/google-play";
    break;
  case ids::ID_STORE_APPLE:
    path = "/store/app-store";
    break;
  case ids::ID_VIDEO_PART1:
    path = "/video/part-1";
    break;
  case ids::ID_VIDEO_PART2:
    path = "/video/part-2";
    break;
  case ids::ID_VIDEO_PART3:
    path = "/video/part-3";
    break;
  default:
    break;
  }
  OpenWithShell(CString(kSite) + path);
}

void CMainFrame::OnHelpCommand(UINT)
{
  const CString helpFile = GetDocsFolder() + "QorRoad.chm";
  HtmlHelp(GetSafeHwnd(), helpFile, HH_DISPLAY_TOPIC, 0);
}
