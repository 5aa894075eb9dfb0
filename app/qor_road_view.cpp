#include "app/qor_road_view.h"

#include "app/resource.h"
#include "document/graphic_core.h"
#include "document/trace_log.h"
#include "geometry/calc_area_manager.h"
#include "geometry/mesh/calc_surface.h"
#include "geometry/object3d.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/customize_road_drawer.h"
#include "graphics/drawers/road_drawers.h"
#include "graphics/drawers/straight_road_drawer.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/object_selector.h"
#include "graphics/tools/tool_holder.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iresults.h"
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

// Calculation-area kinds the view types show and hide.
constexpr DWORD kAllLayerKinds = 0xDFF;
constexpr DWORD kLeftWallLayer = 0x80;
constexpr DWORD kRightWallLayer = 0x100;
constexpr DWORD kLayerShown = 2;
constexpr DWORD kLayerHidden = 4;

constexpr double kPlanTransparency = 0.3;
constexpr double kOpaque = 1.0;

// Placement schemes of a group of poles whose polygon input gives its points.
constexpr int kSchemeIndividual = 0;
constexpr int kSchemeAlongContour = 3;
constexpr int kSchemeByPoints = 4;
constexpr INT_PTR kLeastContourPoints = 3;

// Underlay ids with this bit are drawings of the graphics library.
constexpr int kLibraryDrawingBit = 0x1000;

constexpr int kIlluminance = 1;

// What the graphics ask of the view while one is made: its "Номера групп" flag.
class CViewAnswers : public CViewServices {
public:
  BOOL ShowsGroupNumbers() override { return view && view->ShowsGroupNumbers(); }
  CQorRoadView* view = nullptr;
};
CViewAnswers g_viewAnswers;

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
  ON_MESSAGE(UM_PRIMTRANSPARENCY, &CQorRoadView::OnPrimTransparency)
  ON_COMMAND_RANGE(ids::ID_VIEW_LEFT, ids::ID_VIEW_FRONT, &CQorRoadView::OnViewSide)
  ON_UPDATE_COMMAND_UI_RANGE(ids::ID_VIEW_LEFT, ids::ID_VIEW_FRONT, &CQorRoadView::OnUpdateViewSide)
  ON_COMMAND_RANGE(ids::ID_VIEW_LEFT_WALL, ids::ID_VIEW_LEFT_WALL, &CQorRoadView::OnViewWall)
  ON_COMMAND_RANGE(ids::ID_VIEW_RIGHT_WALL, ids::ID_VIEW_RIGHT_WALL, &CQorRoadView::OnViewWall)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_LEFT_WALL, &CQorRoadView::OnUpdateViewWall)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_RIGHT_WALL, &CQorRoadView::OnUpdateViewWall)
  ON_COMMAND_RANGE(ids::ID_VIEW_CONTOURS, ids::ID_VIEW_CONTOURS, &CQorRoadView::OnDisplayToggle)
  ON_COMMAND_RANGE(ids::ID_VIEW_MOVABLE_PRIMITIVES, ids::ID_VIEW_MOVABLE_PRIMITIVES, &CQorRoadView::OnDisplayToggle)
  ON_COMMAND_RANGE(ids::ID_VIEW_SHOW_MOVE_FILLING, ids::ID_VIEW_SHOW_MOVE_FILLING, &CQorRoadView::OnDisplayToggle)
  ON_COMMAND_RANGE(ids::ID_VIEW_TRANSPARENCY, ids::ID_VIEW_RASTER, &CQorRoadView::OnDisplayToggle)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_CONTOURS, &CQorRoadView::OnUpdateDisplayToggle)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_MOVABLE_PRIMITIVES, &CQorRoadView::OnUpdateDisplayToggle)
  ON_UPDATE_COMMAND_UI(ids::ID_VIEW_SHOW_MOVE_FILLING, &CQorRoadView::OnUpdateDisplayToggle)
  ON_UPDATE_COMMAND_UI_RANGE(ids::ID_VIEW_TRANSPARENCY, ids::ID_VIEW_LAYERS, &CQorRoadView::OnUpdateDisplayToggle)
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
  g_viewAnswers.view = this;
  SetViewServices(&g_viewAnswers);
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
  if (g_viewAnswers.view == this) {
    g_viewAnswers.view = nullptr;
    SetViewServices(nullptr);
  }
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
  case WM_KEYDOWN:
    // Moves happen only while no calculation runs; Esc during one is the tool holder's (it cancels the run).
    if (MoveSelectionByKey(wParam, lParam))
      return 0;
    [[fallthrough]];
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
    if (CToolHolder* holder = ToolHolder(); holder && (m_pDocument || message == WM_LBUTTONUP ||
                                                       message == WM_RBUTTONUP))
      if (holder->RouteInput(message, wParam, lParam))
        return 0;
    break;
  case WM_MOUSEWHEEL:
    if (CToolHolder* holder = ToolHolder(); holder && m_pDocument)
      holder->RouteInput(message, wParam, lParam);
    break;
  case WM_KILLFOCUS:
    EndSelectorInputOnFocusLoss();
    break;
  default:
    break;
  }
  return CScrollView::WindowProc(message, wParam, lParam);
}

BOOL CQorRoadView::MoveSelectionByKey(WPARAM key, LPARAM lParam)
{
  if (!m_pDocument || !m_movablePrimitives || (CurrentViewType() & CViewCamera::kPlan) == 0)
    return FALSE;
  // Results of a run still going would come back for the old positions and be taken as valid.
  if (AskCalculationState() != Shell::kCalcIdle)
    return FALSE;
  void* found = nullptr;
  if (FAILED(m_pDocument->QueryInterface(IID_ActiveArea, &found)) || !found)
    return FALSE;
  ModelRef<IArea> area = ModelRef<IArea>::Adopt(static_cast<IArea*>(found));
  const UINT code = static_cast<UINT>(key);
  if (area->TestKeyDown(code) != 0)
    return FALSE;
  m_pDocument->PushUndoState();
  m_pDocument->ResetActiveAreaResults();
  if (area->OnKeyDown(code, LOWORD(lParam), HIWORD(lParam)) != 0)
    return FALSE;
  if (m_pCore)
    m_pCore->Render(FALSE, TRUE);
  if (HWND mainWindow = Shell::GetMainWindow())
    ::PostMessage(mainWindow, UM_REFRESHPARAMETERS, 0, 0);
  return TRUE;
}

void CQorRoadView::EndSelectorInputOnFocusLoss()
{
  CToolHolder* holder = ToolHolder();
  if (!holder || !holder->GetSelector())
    return;
  if (CCustomPolygonTool* input = holder->GetSelector()->GetNestedTool()) {
    if (IGroupOfDev* group = input->GetGroup()) {
      const int scheme = *group->GetPlacementScheme();
      const VertexList* points = input->GetVertices();
      if ((scheme == kSchemeAlongContour || scheme == kSchemeByPoints) &&
          (!points || points->GetSize() < kLeastContourPoints)) {
        const int individual = kSchemeIndividual;
        group->SetPlacementScheme(&individual);
      }
    }
    // Ended here, not by the main frame: its finishing of an outline would open the group's dialog.
    OnEndContour(0, 0);
  }
  if (CObjectSelector* selector = holder->GetSelector())
    selector->ReleaseGrab();
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

CPrimitiveDrawContext* CQorRoadView::PrimitiveHolder() const
{
  CGraphicCoreFull* core = FullCore();
  CRoadDrawers* drawers = core ? core->GetRoadDrawers() : nullptr;
  CCustomizeRoadDrawer3D* drawer = drawers ? drawers->GetCustomizeDrawer() : nullptr;
  return drawer ? &drawer->GetContext() : nullptr;
}

void CQorRoadView::SetWallSwitches(bool left, bool right)
{
  CGraphicCoreFull* core = FullCore();
  CRoadDrawers* drawers = core ? core->GetRoadDrawers() : nullptr;
  if (drawers && drawers->GetStraightDrawer() && drawers->GetStraightDrawer()->GetWalls())
    drawers->GetStraightDrawer()->GetWalls()->SetSwitches(left, right);
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

void CQorRoadView::ShowLayers(DWORD shownKinds, DWORD hiddenKinds, DWORD viewType)
{
  if (CGraphicCoreFull* core = FullCore())
    if (CCalcAreaManager* manager = core->GetCalcAreaManager()) {
      manager->SetStateByKind(shownKinds, kLayerShown);
      if (hiddenKinds)
        manager->SetStateByKind(hiddenKinds, kLayerHidden);
    }
  SetViewType(viewType);
}

void CQorRoadView::SetViewType(DWORD viewType)
{
  // The document keeps the type for its camera records and hands it to the camera.
  if (m_pDocument)
    m_pDocument->SetViewType(viewType);
  else if (CViewCamera* camera = CurrentViewCamera())
    camera->SetViewType(viewType);
}

void CQorRoadView::OnViewPlan()
{
  CGraphicCoreFull* core = FullCore();
  if (core)
    core->GetNavigator()->SetMode(kNavigatorPan);
  SetWallSwitches(true, true);
  if (CPrimitiveDrawContext* primitives = PrimitiveHolder()) {
    primitives->m_alpha = kPlanTransparency;
    primitives->m_transparent = m_primTransparency != 0;
  }
  ApplyPrimitiveTransparency(CViewCamera::kPlan);
  ShowLayers(kAllLayerKinds, 0, CViewCamera::kPlan);
}

void CQorRoadView::OnView3D()
{
  SetWallSwitches(true, true);
  if (CPrimitiveDrawContext* primitives = PrimitiveHolder()) {
    primitives->m_alpha = kOpaque;
    primitives->m_transparent = false;
  }
  if (CGraphicCoreFull* core = FullCore(); core && core->GetScene())
    core->GetScene()->SetStateAll(CSelectableObject::kVisible);
  ApplyPrimitiveTransparency(CViewCamera::kPerspective);
  ShowLayers(kAllLayerKinds, 0, CViewCamera::kPerspective);
  if (CGraphicCoreFull* core = FullCore())
    core->GetNavigator()->SetMode(kNavigatorRotate);
  EndTool();
}

void CQorRoadView::OnViewSide(UINT nID)
{
  if (CGraphicCoreFull* core = FullCore())
    core->GetNavigator()->SetMode(kNavigatorPan);
  SetWallSwitches(true, true);
  const DWORD type = nID == ids::ID_VIEW_FRONT ? CViewCamera::kFront
                     : nID == ids::ID_VIEW_LEFT ? CViewCamera::kLeft
                                                : CViewCamera::kRight;
  ShowLayers(kAllLayerKinds, 0, type);
}

void CQorRoadView::OnUpdateViewSide(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }

void CQorRoadView::OnViewWall(UINT nID)
{
  if (CGraphicCoreFull* core = FullCore())
    core->GetNavigator()->SetMode(kNavigatorPan);
  SetWallSwitches(nID == ids::ID_VIEW_LEFT_WALL, nID == ids::ID_VIEW_RIGHT_WALL);
  if (nID == ids::ID_VIEW_LEFT_WALL)
    ShowLayers(kLeftWallLayer, kAllLayerKinds & ~kLeftWallLayer, CViewCamera::kLeftWall);
  else
    ShowLayers(kRightWallLayer, kAllLayerKinds & ~kRightWallLayer, CViewCamera::kRightWall);
}

void CQorRoadView::OnUpdateViewWall(CCmdUI* pCmdUI)
{
  CGraphicCoreFull* core = FullCore();
  BOOL enabled = FALSE;
  if (core && core->IsStraightRoad()) {
    const _CALC_RESULTS* results = core->GetActiveResults();
    IVisualOpt* options = core->GetVisualOptions();
    const CSceneBuilder* walls = core->GetSceneBuilder();
    const int wallState =
        !walls ? 0 : pCmdUI->m_nID == ids::ID_VIEW_LEFT_WALL ? walls->m_leftWallState : walls->m_rightWallState;
    enabled = wallState != 0 && results && results->valid == 1 && options && *options->GetQuantity() == kIlluminance;
  }
  pCmdUI->Enable(enabled);
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

// ---- Display

void CQorRoadView::OnDisplayToggle(UINT nID)
{
  CGraphicCoreFull* core = FullCore();
  switch (nID) {
  case ids::ID_VIEW_CONTOURS:
    // Through the document, which keeps the flag in the profile.
    if (m_pDocument)
      m_pDocument->SetContourOfPrim(!m_contourOfPrim);
    else
      m_contourOfPrim = !m_contourOfPrim;
    if (m_pCore)
      m_pCore->Render(FALSE, FALSE);
    break;
  case ids::ID_VIEW_MOVABLE_PRIMITIVES:
    if (m_pDocument) {
      m_pDocument->SetReloctblPrimitives(!m_movablePrimitives);
      m_pDocument->ResetActiveAreaResults();
    } else {
      m_movablePrimitives = !m_movablePrimitives;
    }
    if (m_pCore)
      m_pCore->Render(FALSE, FALSE);
    break;
  case ids::ID_VIEW_TRANSPARENCY:
    m_primTransparency = !m_primTransparency;
    ApplyPrimitiveTransparency(0);
    break;
  case ids::ID_VIEW_GROUP_NUMBERS:
    m_groupNumbers = !m_groupNumbers;
    if (core && core->GetScene())
      core->GetScene()->SetStateAll(m_groupNumbers ? CSelectableObject::kRequestShowLabel
                                                   : CSelectableObject::kRequestHideLabel);
    if (m_pCore)
      m_pCore->Render(FALSE, FALSE);
    break;
  case ids::ID_VIEW_RASTER:
    if (core) {
      core->m_underlayFlag = !core->m_underlayFlag;
      if (CRoadDrawers* drawers = core->GetRoadDrawers(); drawers && drawers->GetCustomizeDrawer())
        drawers->GetCustomizeDrawer()->m_rasterSwitch = core->m_underlayFlag ? 1 : 0;
      core->Render(FALSE, FALSE);
    }
    break;
  case ids::ID_VIEW_SHOW_MOVE_FILLING:
    if (auto* document = dynamic_cast<CQorRoadDoc*>(GetDocument()))
      if (IVisualOpt* options = document->GetCurrentOptions()) {
        const int on = options->GetShowMoveFilling() ? 0 : 1;
        options->SetShowMoveFilling(&on);
      }
    break;
  default:
    break;
  }
}

void CQorRoadView::OnUpdateDisplayToggle(CCmdUI* pCmdUI)
{
  CGraphicCoreFull* core = FullCore();
  if (pCmdUI->m_nID == ids::ID_VIEW_SHOW_MOVE_FILLING) {
    auto* document = dynamic_cast<CQorRoadDoc*>(GetDocument());
    IVisualOpt* options = document ? document->GetCurrentOptions() : nullptr;
    pCmdUI->SetCheck(options && options->GetShowMoveFilling() != 0);
    return;
  }
  const BOOL openArea = core && !core->IsStraightRoad();
  const BOOL plan = openArea && (CurrentViewType() & CViewCamera::kPlan) != 0;
  BOOL enabled = FALSE;
  BOOL on = FALSE;
  switch (pCmdUI->m_nID) {
  case ids::ID_VIEW_CONTOURS:
    enabled = plan;
    on = m_contourOfPrim;
    break;
  case ids::ID_VIEW_MOVABLE_PRIMITIVES:
    enabled = plan;
    on = m_movablePrimitives;
    break;
  case ids::ID_VIEW_TRANSPARENCY: {
    const _CALC_RESULTS* results = plan ? core->GetActiveResults() : nullptr;
    enabled = plan && !(results && results->valid == 1);
    on = m_primTransparency;
    break;
  }
  case ids::ID_VIEW_GROUP_NUMBERS:
    enabled = plan;
    on = m_groupNumbers;
    break;
  case ids::ID_VIEW_RASTER:
    enabled = openArea && core->GetUnderlayId() != 0;
    on = core && core->m_underlayFlag;
    break;
  case ids::ID_VIEW_LAYERS:
    pCmdUI->Enable(openArea && (core->GetUnderlayId() & kLibraryDrawingBit) != 0);
    return;
  default:
    return;
  }
  pCmdUI->Enable(enabled);
  pCmdUI->SetCheck(enabled && on);
}

LRESULT CQorRoadView::OnPrimTransparency(WPARAM wParam, LPARAM)
{
  ApplyPrimitiveTransparency(static_cast<DWORD>(wParam));
  return 1;
}

void CQorRoadView::ApplyPrimitiveTransparency(DWORD viewType)
{
  CGraphicCoreFull* core = FullCore();
  if (viewType == 0)
    viewType = CurrentViewType();
  const _CALC_RESULTS* results = core ? core->GetActiveResults() : nullptr;
  const bool resultsValid = results && results->valid != 0;
  m_transparencyFactor =
      m_primTransparency && (viewType & CViewCamera::kPlan) != 0 && !resultsValid ? kPlanTransparency : kOpaque;
  if (!core)
    return;
  if (CPrimitiveDrawContext* primitives = PrimitiveHolder()) {
    primitives->m_alpha = m_transparencyFactor;
    primitives->m_transparent = m_primTransparency != 0;
  }
  if (!core->IsStraightRoad() && m_pDocument) {
    void* found = nullptr;
    if (SUCCEEDED(m_pDocument->QueryInterface(IID_ActiveArea, &found)) && found) {
      ModelRef<IArea> area = ModelRef<IArea>::Adopt(static_cast<IArea*>(found));
      ModelRef<IPrimitive> first(area.get(), IID_IPrimitive);
      for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext())
        if (auto* mesh = dynamic_cast<CPrimitiveCalcSurface*>(primitive->GetMeshHelper()))
          mesh->SetAlpha(m_transparencyFactor);
    }
  }
  core->Render(FALSE, FALSE);
}
