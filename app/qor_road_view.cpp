#include "app/qor_road_view.h"

#include "app/resource.h"
#include "document/graphic_core.h"
#include "document/trace_log.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/view_services.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/object_selector.h"
#include "graphics/tools/tool_holder.h"
#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "model/shell/shell_services.h"
#include "platform/gl/wgl.h"
#include "report/view/report_view.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>

namespace {

constexpr UINT kViewClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
static_assert(kViewClassStyle == 0x2B);

// The object commands of the selector's context menus; the object tree carries them out.
constexpr std::array<UINT, 17> kObjectCommands = {32782, 32785, 32859, 32866, 32873, 32875, 32877, 32882, 32884,
                                                  33031, 33034, 33042, 33044, 33045, 33059, 33106, 33108};

constexpr int kNavigatorRotate = 1;
constexpr int kNavigatorPan = 2;
constexpr int kNavigatorZoomIn = 4;
constexpr int kNavigatorZoomOut = 8;

int NavigatorModeOf(UINT command)
{
  switch (command) {
  case ids::ID_VIEW_ZOOM_IN:
    return kNavigatorZoomIn;
  case ids::ID_VIEW_ZOOM_OUT:
    return kNavigatorZoomOut;
  case ids::ID_VIEW_PAN:
    return kNavigatorPan;
  default:
    return kNavigatorRotate;
  }
}

void WriteStep(int step) { LoggerObjs::GetLogger().WriteStep(step); }

}  // namespace

IMPLEMENT_DYNCREATE(CQorRoadView, CScrollView)

BEGIN_MESSAGE_MAP(CQorRoadView, CScrollView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(UM_VIEWBACKGROUND, &CQorRoadView::OnViewBackground)
  ON_MESSAGE(UM_VIEWNOTIFY, &CQorRoadView::OnAnswerOne)
  ON_MESSAGE(UM_VIEWFONTCHANGED, &CQorRoadView::OnAnswerOne)
  ON_MESSAGE(UM_DEPTHBITS, &CQorRoadView::OnDepthBits)
  ON_MESSAGE(UM_BEGINCONTOUR, &CQorRoadView::OnBeginContour)
  ON_MESSAGE(UM_ENDCONTOUR, &CQorRoadView::OnEndContour)
  ON_MESSAGE(UM_DROPHOVER, &CQorRoadView::OnDropHover)
  ON_COMMAND(ids::ID_VIEW_2D, &CQorRoadView::OnViewPlan)
  ON_COMMAND(ids::ID_VIEW_TOP, &CQorRoadView::OnViewPlan)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_2D, &CQorRoadView::OnUpdateViewPlan)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_TOP, &CQorRoadView::OnUpdateViewPlan)
  ON_COMMAND(ids::ID_VIEW_3D, &CQorRoadView::OnView3D)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_3D, &CQorRoadView::OnUpdateView3D)
  ON_COMMAND_RANGE(ids::ID_VIEW_ZOOM_IN, ids::ID_VIEW_ZOOM_IN, &CQorRoadView::OnNavigatorMode)
  ON_COMMAND_RANGE(ids::ID_VIEW_ZOOM_OUT, ids::ID_VIEW_ZOOM_OUT, &CQorRoadView::OnNavigatorMode)
  ON_COMMAND_RANGE(ids::ID_VIEW_PAN, ids::ID_VIEW_PAN, &CQorRoadView::OnNavigatorMode)
  ON_COMMAND_RANGE(ids::ID_VIEW_ROTATE, ids::ID_VIEW_ROTATE, &CQorRoadView::OnNavigatorMode)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_ZOOM_IN, &CQorRoadView::OnUpdateNavigatorMode)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_ZOOM_OUT, &CQorRoadView::OnUpdateNavigatorMode)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_PAN, &CQorRoadView::OnUpdateNavigatorMode)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_ROTATE, &CQorRoadView::OnUpdateNavigatorMode)
  ON_COMMAND_RANGE(ids::ID_VIEW_SELECT, ids::ID_VIEW_SELECT, &CQorRoadView::OnSelectTool)
  ON_COMMAND_RANGE(ids::ID_VIEW_CURSOR_READOUT, ids::ID_VIEW_CURSOR_READOUT, &CQorRoadView::OnSelectTool)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_SELECT, &CQorRoadView::OnUpdateSelectTool)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_CURSOR_READOUT, &CQorRoadView::OnUpdateSelectTool)
  ON_COMMAND(ids::ID_VIEW_RESTORE_SIZE, &CQorRoadView::OnRestoreSize)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_RESTORE_SIZE, &CQorRoadView::OnUpdateRestoreSize)
  ON_COMMAND(ids::ID_VIEW_LAYERS, &CQorRoadView::OnLayers)
  // Printing, print preview and the clipboard copy (qor_road_view_print.cpp).
  ON_COMMAND(ID_FILE_PRINT, &CQorRoadView::OnPrintReport)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, &CQorRoadView::OnPrintReport)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CQorRoadView::OnPrintPreviewReport)
  ON_COMMAND(ids::ID_VIEW_COPY_SCREEN, &CQorRoadView::OnCopyViewColour)
  ON_COMMAND(ids::ID_VIEW_COPY_SCREEN_BW, &CQorRoadView::OnCopyViewBlackWhite)
  ON_COMMAND(kCopyScreenBlackWhiteCommand, &CQorRoadView::OnCopyViewBlackWhite)
END_MESSAGE_MAP()

CQorRoadView::CQorRoadView()
{
  m_contourOfPrim = Shell::GetProfileInt("Settings", "IsContourOfPrim", 1) != 0;
  m_movablePrimitives = Shell::GetProfileInt("Settings", "IsReloctblPrimitives", 1) != 0;
}

CQorRoadView::~CQorRoadView() = default;

BOOL CQorRoadView::PreCreateWindow(CREATESTRUCT& cs)
{
  cs.lpszClass = AfxRegisterWndClass(kViewClassStyle, ::LoadCursor(nullptr, IDC_ARROW),
                                     static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  cs.style = (cs.style & ~WS_BORDER) | WS_VISIBLE;
  return CScrollView::PreCreateWindow(cs);
}

int CQorRoadView::OnCreate(LPCREATESTRUCT lpcs)
{
  WriteStep(8);
  if (CScrollView::OnCreate(lpcs) == -1)
    return -1;
  WriteStep(9);
  // The pointer of no navigation mode, now and as the class cursor.
  SetNavigatorCursor(0, m_hWnd);
  SendMessage(UM_VIEWBACKGROUND);
  if (m_toolTip.Create(this, TTS_NOPREFIX))
    m_toolTip.Activate(FALSE);
  m_pDocument = dynamic_cast<IQorRoadDoc*>(GetDocument());
  WriteStep(10);
  m_pReportChild = new VisualCtrl::CReportView(m_pDocument);
  if (!m_pReportChild->Create(nullptr, "", WS_CHILD | WS_VSCROLL, CRect(0, 0, 0, 0), this, kReportChildId)) {
    delete m_pReportChild;
    m_pReportChild = nullptr;
  }
  WriteStep(11);
  m_pCore = m_pDocument ? m_pDocument->GetGraphicCore() : nullptr;
  WriteStep(12);
  if (m_pCore)
    m_pCore->Init(this);
  WriteStep(13);
  WriteStep(14);
  WriteStep(15);
  if (CToolHolder* holder = ToolHolder())
    holder->SetToolTip(m_toolTip.GetSafeHwnd());
  WriteStep(16);
  GLint depthBits = 0;
  if (wglGetCurrentContext())
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  m_depthBits = depthBits;
  WriteStep(17);
  return 0;
}

void CQorRoadView::OnDraw(CDC*)
{
  if (m_pCore)
    m_pCore->Render(FALSE, FALSE);
}

void CQorRoadView::OnInitialUpdate()
{
  CScrollView::OnInitialUpdate();
  SetScrollSizes(MM_TEXT, CSize(0, 0));
}

void CQorRoadView::OnSize(UINT nType, int cx, int cy)
{
  CScrollView::OnSize(nType, cx, cy);
  // Binding the context again gives it a buffer of the new size, so the next frame fills the window.
  if (HGLRC context = wglGetCurrentContext(); context && wglGetCurrentDC())
    wglMakeCurrent(wglGetCurrentDC(), context);
  if (m_pDocument)
    if (CViewCamera* camera = CurrentViewCamera())
      camera->OnSize(nType, cx, cy);
}

void CQorRoadView::OnDestroy()
{
  // The tools hold references into the project; they go before the document releases it.
  if (CToolHolder* holder = ToolHolder())
    holder->SetCurrentTool(ToolMode::kNone);
  // The context itself belongs to the render core, which deletes it.
  if (wglGetCurrentContext())
    wglMakeCurrent(nullptr, nullptr);
  CScrollView::OnDestroy();
}

BOOL CQorRoadView::PreTranslateMessage(MSG* pMsg)
{
  if (m_toolTip.GetSafeHwnd() &&
      (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONUP))
    m_toolTip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
  return CScrollView::PreTranslateMessage(pMsg);
}

LRESULT CQorRoadView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_KEYDOWN:
    if (CToolHolder* holder = ToolHolder(); holder && (m_pDocument || message == WM_LBUTTONUP ||
                                                       message == WM_RBUTTONUP))
      if (holder->RouteInput(message, wParam, lParam))
        return 0;
    break;
  case WM_MOUSEWHEEL:
    if (CToolHolder* holder = ToolHolder(); holder && m_pDocument)
      holder->RouteInput(message, wParam, lParam);
    break;
  default:
    break;
  }
  return CScrollView::WindowProc(message, wParam, lParam);
}

BOOL CQorRoadView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nCode == CN_COMMAND && !pHandlerInfo &&
      std::find(kObjectCommands.begin(), kObjectCommands.end(), nID) != kObjectCommands.end()) {
    if (HWND mainWindow = Shell::GetMainWindow())
      ::PostMessage(mainWindow, UM_TREECOMMAND, nID, 0);
    PostMessage(UM_DROPHOVER);
  }
  return CScrollView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- Messages

LRESULT CQorRoadView::OnViewBackground(WPARAM, LPARAM)
{
  auto* document = dynamic_cast<CQorRoadDoc*>(GetDocument());
  IVisualOpt* options = document ? document->GetCurrentOptions() : nullptr;
  if (!options)
    return 1;
  _PREF_OF_COLOR colour{};
  options->GetColour(0, &colour);
  const COLORREF background = RGB(static_cast<int>(colour.r * 255), static_cast<int>(colour.g * 255),
                                  static_cast<int>(colour.b * 255));
  HBRUSH old = reinterpret_cast<HBRUSH>(::SetClassLongPtr(
      m_hWnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(::CreateSolidBrush(background))));
  if (old && old != ::GetStockObject(NULL_BRUSH))
    ::DeleteObject(old);
  return 1;
}

LRESULT CQorRoadView::OnAnswerOne(WPARAM, LPARAM) { return 1; }

LRESULT CQorRoadView::OnDepthBits(WPARAM, LPARAM lParam)
{
  if (m_depthBits < 0)
    return 0;
  if (m_depthBits > 16 && lParam)
    *reinterpret_cast<int*>(lParam) = 1;
  return 1;
}

LRESULT CQorRoadView::OnBeginContour(WPARAM, LPARAM lParam)
{
  CToolHolder* holder = ToolHolder();
  if (!holder || !lParam)
    return 0;
  holder->BeginPolygonInput(reinterpret_cast<IClassObjModel*>(lParam));
  return 1;
}

LRESULT CQorRoadView::OnEndContour(WPARAM, LPARAM)
{
  if (CToolHolder* holder = ToolHolder())
    holder->EndPolygonInput();
  if (m_pCore)
    m_pCore->Render(FALSE, FALSE);
  return 0;
}

LRESULT CQorRoadView::OnDropHover(WPARAM, LPARAM)
{
  CToolHolder* holder = ToolHolder();
  CObjectSelector* selector = holder ? holder->GetSelector() : nullptr;
  if (!selector)
    return 0;
  selector->ReleaseGrab();
  return 1;
}

// ---- Commands

CGraphicCoreFull* CQorRoadView::FullCore() const { return dynamic_cast<CGraphicCoreFull*>(m_pCore); }

CToolHolder* CQorRoadView::ToolHolder() const
{
  CGraphicCoreFull* core = FullCore();
  return core ? core->GetToolHolder() : nullptr;
}

DWORD CQorRoadView::CurrentViewType() const
{
  CViewCamera* camera = CurrentViewCamera();
  return camera ? camera->m_viewType : 0;
}

void CQorRoadView::EndTool()
{
  CToolHolder* holder = ToolHolder();
  if (holder && holder->GetMode() != ToolMode::kNone) {
    holder->SetCurrentTool(ToolMode::kNone);
    m_toolTip.Activate(FALSE);
  }
}

void CQorRoadView::OnViewPlan()
{
  if (CGraphicCoreFull* core = FullCore())
    core->GetNavigator()->SetMode(kNavigatorPan);
  if (m_pDocument)
    m_pDocument->SetViewType(CViewCamera::kPlan);
}

void CQorRoadView::OnView3D()
{
  if (m_pDocument)
    m_pDocument->SetViewType(CViewCamera::kPerspective);
  if (CGraphicCoreFull* core = FullCore())
    core->GetNavigator()->SetMode(kNavigatorRotate);
  EndTool();
}

void CQorRoadView::OnUpdateViewPlan(CCmdUI* pCmdUI)
{
  const DWORD type = CurrentViewType();
  pCmdUI->SetCheck(pCmdUI->m_nID == ids::ID_VIEW_2D ? type != CViewCamera::kPerspective
                                                    : (type & CViewCamera::kPlan) != 0);
}

void CQorRoadView::OnUpdateView3D(CCmdUI* pCmdUI) { pCmdUI->SetCheck(CurrentViewType() == CViewCamera::kPerspective); }

void CQorRoadView::OnNavigatorMode(UINT nID)
{
  if (CGraphicCoreFull* core = FullCore())
    core->GetNavigator()->SetMode(NavigatorModeOf(nID));
  EndTool();
}

void CQorRoadView::OnUpdateNavigatorMode(CCmdUI* pCmdUI)
{
  CGraphicCoreFull* core = FullCore();
  pCmdUI->SetCheck(core && core->GetNavigator()->GetMode() == NavigatorModeOf(pCmdUI->m_nID));
  if (pCmdUI->m_nID == ids::ID_VIEW_ROTATE)
    pCmdUI->Enable(CurrentViewType() == CViewCamera::kPerspective);
}

void CQorRoadView::OnSelectTool(UINT nID)
{
  CGraphicCoreFull* core = FullCore();
  if (!core)
    return;
  core->GetNavigator()->SetMode(0);
  const int mode = nID == ids::ID_VIEW_SELECT ? ToolMode::kSelector : ToolMode::kCursorReadout;
  if (core->GetToolHolder()->GetMode() != mode)
    core->GetToolHolder()->SetCurrentTool(mode);
}

void CQorRoadView::OnUpdateSelectTool(CCmdUI* pCmdUI)
{
  const DWORD type = CurrentViewType();
  const BOOL select = pCmdUI->m_nID == ids::ID_VIEW_SELECT;
  const BOOL enabled = select ? (type & CViewCamera::kPlan) != 0 : (type & 0xC2) != 0;
  pCmdUI->Enable(enabled);
  CToolHolder* holder = ToolHolder();
  const int mode = select ? ToolMode::kSelector : ToolMode::kCursorReadout;
  pCmdUI->SetCheck(enabled && holder && holder->GetMode() == mode);
}

void CQorRoadView::OnRestoreSize()
{
  if (!m_pDocument)
    return;
  m_pDocument->ResetCurrentViewCamera();
  m_pDocument->ReapplyViewType();
}

void CQorRoadView::OnUpdateRestoreSize(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pDocument != nullptr); }

// The library's layer manager; a library without it (or no library) leaves the command doing nothing.
void CQorRoadView::OnLayers()
{
  if (CGraphicCoreFull* core = FullCore())
    core->OpenLayersManager();
}
