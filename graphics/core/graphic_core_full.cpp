#include "graphics/core/graphic_core_full.h"

#include "document/trace_log.h"
#include "geometry/gl_context.h"
#include "geometry/mesh/calc_surface.h"
#include "graphics/core/font_cache.h"
#include "graphics/core/gl_context.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/export/export_builders.h"
#include "graphics/export/export_command.h"
#include "graphics/core/texture_registry.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/customize_road_drawer.h"
#include "graphics/drawers/road_drawers.h"
#include "graphics/drawers/straight_road_drawer.h"
#include "graphics/raster/raster_store.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/snap_marker.h"
#include "graphics/tools/tool_holder.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc/afxwin.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr UINT kStatusTextMessage = 0x8215;
constexpr WPARAM kStatusPleaseWait = 2;
constexpr WPARAM kStatusHelpHint = 0;

// Export flags that need calculated values.
constexpr int kExportNodeValues = 0x10;
constexpr int kExportIsolines = 0x20;
// The export's calculation: undo snapshot, redraw, progress, results notice, error box; no worker thread.
constexpr DWORD kExportCalculationFlags = 0x1F;

// Result display mode 3 shows false colours, which the legend explains.
constexpr int kFalseColours = 3;
constexpr int kLegendKindShown = 4;
constexpr int kLegendKindHidden = 8;

// Primitive shapes 4 and 5 are vertex lists with a calculation surface of their own.
bool IsVertexShape(int shape) { return shape == 4 || shape == 5; }

// The overlay legend keeps clear of the axes in the lower left corner.
constexpr int kLegendMinX = 130;
constexpr int kLegendY = 30;

void Step(int step) { LoggerObjs::GetLogger().WriteStep(step); }

}  // namespace

int& CurrentGridMode()
{
  static int mode = 0;
  return mode;
}

CGraphicCoreFull::CGraphicCoreFull(IQorRoadDoc* document)
    : CGraphicCore(document), m_palette(CScenePalette::GetInstance()), m_textures(CTextureRegistry::GetInstance()),
      m_fonts(CFontCache::GetInstance()), m_managers(this), m_presets(m_sectionOrigin)
{
  m_scene = std::make_unique<CSceneObjects>();
  m_builder = std::make_unique<CSceneBuilder>(document, m_scene.get());
  m_toolHolder = std::make_unique<CToolHolder>(this);
  m_drawers = std::make_unique<CRoadDrawers>(this, m_builder.get());
  m_legend.SetKind(5);
  m_quadric = gluNewQuadric();
  if (m_quadric)
    gluQuadricNormals(m_quadric, GLU_SMOOTH);
  Graphics::SetModelGraphics(&m_presets);
  CRasterStore::GetInstance()->SetCore(this);
  CRasterStore::GetInstance()->SetDocument(document);
}

CGraphicCoreFull::~CGraphicCoreFull()
{
  Graphics::SetModelGraphics(nullptr);
  // The palette outlives the document it reads.
  if (m_palette->GetDocument() == m_context)
    m_palette->SetDocument(nullptr);
  // GL objects go while the view's context is still current.
  if (m_glContext)
    m_glContext->MakeCurrent();
  m_managers.DeleteAll();
  m_currentManager = nullptr;
  m_scene.reset();
  m_drawers.reset();
  m_builder.reset();
  // The store is the program's; only the core that set it up empties it.
  if (CRasterStore::GetInstance()->GetCore() == this)
    CRasterStore::GetInstance()->Destroy();
  if (scene::RecordedGroupView().core == this)
    scene::RecordedGroupView() = {};
  m_textures->Clear();
  CFontCache::DestroyInstance();
  if (m_quadric)
    gluDeleteQuadric(m_quadric);
  m_glContext = nullptr;
  // The tools keep the camera.
  m_toolHolder.reset();
  m_navigator.reset();
  m_camera.reset();
}

IArea* CGraphicCoreFull::QueryActiveArea() const
{
  void* area = nullptr;
  if (!m_context || FAILED(m_context->QueryInterface(IID_ActiveArea, &area)))
    return nullptr;
  return static_cast<IArea*>(area);
}

IVisualOpt* CGraphicCoreFull::GetVisualOptions()
{
  // The document keeps its options alive; the reference taken here is given back at once.
  void* options = nullptr;
  if (!m_context || FAILED(m_context->QueryInterface(IID_IVisualOpt, &options)) || !options)
    return nullptr;
  auto* visual = static_cast<IVisualOpt*>(options);
  visual->Release();
  return visual;
}

int CGraphicCoreFull::Init(CWnd* view)
{
  Step(110);
  m_camera = std::make_unique<CViewCamera>(this, view ? view->GetSafeHwnd() : nullptr);
  CurrentViewCamera() = m_camera.get();
  auto context = std::make_unique<CGLContext>();
  CGLContext* made = context.get();
  m_camera->SetGLContext(std::move(context));
  // The view's class keeps one DC for its life, so the handle stays valid.
  const BOOL ready = view && made->Create(::GetDC(view->GetSafeHwnd()));
  Step(111);
  if (ready)
    m_textures->LoadAll();
  Step(112);
  m_palette->SetDocument(m_context);
  m_palette->Reset();
  m_palette->Reset();
  Step(113);
  if (ready) {
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    made->SetupLight0();
    glClearStencil(0);
  }
  m_navigator = std::make_unique<CNavigatorTool>(this);
  Step(114);
  GetCalcAreaManager();
  Step(115);
  m_glContext = made;
  m_view = view;
  Step(116);
  if (view)
    SetWindowHandle(view->GetSafeHwnd());
  Step(117);
  m_legendFontReady = ready && CreateLegendFont() == 1;
  return m_legendFontReady ? 1 : 0;
}

void CGraphicCoreFull::RefreshProjectState()
{
  IArea* area = QueryActiveArea();
  if (!area) {
    m_underlayId = 0;
    m_results = nullptr;
    m_areaClass = CGuid();
    if (m_camera)
      m_camera->SetEye(nullptr);
    return;
  }
  m_underlayId = *area->GetUnderlayId();
  {
    ModelRef<IResultsOfCalc> results(area, IID_IResultsOfCalc);
    m_results = results ? results->GetData() : nullptr;
  }
  if (IVisualOpt* options = GetVisualOptions()) {
    LOGFONTA font{};
    options->GetFont(0, &font);
    m_labelHeight = -font.lfHeight / 40.0;
    m_quantity = *options->GetQuantity();
    m_resultDisplay = *options->GetResultDisplay();
  }
  CurrentGridMode() = *area->GetGridMode();
  // The camera follows the active area: after a new area, undo or redo the record it held may be gone.
  if (m_camera)
    m_camera->SetEye(GetEyeRecord(m_camera->m_viewType));
  {
    ModelRef<IClassObjModel> object(area, IID_IClassObjModel);
    if (object)
      object->GetClassId(&m_areaClass);
  }
  area->Release();
}

BOOL CGraphicCoreFull::IsStraightRoad()
{
  RefreshProjectState();
  return m_areaClass.IsEqual(&CLSID_CStraightRoad) ? TRUE : FALSE;
}

BOOL CGraphicCoreFull::IsInterchange() const { return m_areaClass.IsEqual(&CLSID_CCustomizeRoad3D) ? TRUE : FALSE; }

CCalcAreaManager* CGraphicCoreFull::GetCalcAreaManager()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return nullptr;
  int newId = 0;
  IVisualOpt* options = GetVisualOptions();
  CCalcAreaManager* manager = m_managers.ProvideManager(*area->GetCalcAreaId(), &newId, CurrentViewCamera(),
                                                        options ? *options->GetResultDisplay() : 0);
  if (newId != 0)
    area->SetCalcAreaId(&newId);
  area->Release();
  return manager;
}

const CColorLevelArray& CGraphicCoreFull::GetColorLevels()
{
  if (IVisualOpt* options = GetVisualOptions())
    options->GetColourLevels(options->GetQuantity(), nullptr, nullptr, &m_colorLevels);
  return m_colorLevels;
}

void CGraphicCoreFull::Render(BOOL recalc, BOOL rebuild)
{
  if (!m_bDrawing)
    return;
  IVisualOpt* options = GetVisualOptions();
  const BOOL straightRoad = IsStraightRoad();
  const bool passing = recalc || rebuild;
  const bool waiting = passing && options && *options->GetShowPhotometricSolid() != 0;
  std::unique_ptr<CWaitCursor> wait;
  if (waiting) {
    wait = std::make_unique<CWaitCursor>();
    Shell::GetShellServices().SendToMainWindow(kStatusTextMessage, kStatusPleaseWait, 0);
  }
  // Without a context the scene is still kept up to date; only drawing needs one.
  const bool drawable = m_glContext && m_glContext->MakeCurrent() && HasCurrentGlContext();
  if (passing)
    RebuildPass(recalc, options, straightRoad);
  if (drawable)
    DrawFrame(straightRoad);
  if (waiting)
    Shell::GetShellServices().SendToMainWindow(kStatusTextMessage, kStatusHelpHint, 0);
}

void CGraphicCoreFull::RebuildPass(BOOL recalc, IVisualOpt* options, BOOL straightRoad)
{
  if (m_results && m_results->valid) {
    m_legend.SetKind(m_resultDisplay == kFalseColours ? kLegendKindShown : kLegendKindHidden);
    m_legend.SetLevels(GetColorLevels(), m_quantity);
  }
  m_currentManager = GetCalcAreaManager();
  IArea* area = QueryActiveArea();
  if (IsInterchange() && area && options) {
    const int resultsFlag = m_results && m_results->valid ? 1 : 0;
    ModelRef<IPrimitive> first(area, IID_IPrimitive);
    for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext()) {
      if (!IsVertexShape(*primitive->GetShape()))
        continue;
      if (auto* surface = dynamic_cast<CPrimitiveCalcSurface*>(primitive->GetMeshHelper()))
        surface->ApplyVisualOptions(options, resultsFlag);
    }
  } else if (!straightRoad && area) {
    SetCurrentProject(m_underlayId);
  }
  m_scene->GetOwned()->DeleteAll();
  BuildScene(area, options, straightRoad);
  m_palette->Reset();
  double extent[3];
  MeasureScene(extent);
  // Kept only once a camera took it: a pass before the view existed must not leave the view without a far plane.
  if (m_camera && !std::equal(extent, extent + 3, m_sceneExtent)) {
    std::copy(extent, extent + 3, m_sceneExtent);
    m_camera->SetFarPlane(extent[0], extent[1]);
  }
  m_palette->GetColor(kColorBackground, &m_background[0], &m_background[1], &m_background[2]);
  if (!IsInterchange() && m_currentManager) {
    if (recalc)
      m_currentManager->Rebuild();
    m_currentManager->ApplyLabelHeights();
    m_currentManager->ApplyLabelColors();
  }
  float label[3] = {0, 0, 0};
  m_palette->GetColor(kColorLabels, &label[0], &label[1], &label[2]);
  m_scene->SetLabelHeightAll(m_labelHeight);
  m_scene->SetLabelColorAll(label[0], label[1], label[2]);
  if (!straightRoad && m_camera && m_camera->m_viewType == CViewCamera::kPlan)
    m_scene->SetStateAll(GetViewServices().ShowsGroupNumbers() ? CSelectableObject::kRequestShowLabel
                                                               : CSelectableObject::kRequestHideLabel);
  if (area)
    area->Release();
}

void CGraphicCoreFull::BuildScene(IArea* area, IVisualOpt* options, BOOL straightRoad)
{
  // Groups read the view they are drawn for when they decide on their plan markers.
  scene::RecordedGroupView() = {m_camera ? m_camera->m_viewType : 0, this};
  m_builder->m_straight = straightRoad ? 1 : 0;
  m_builder->Build(area, options, m_results);
  if (straightRoad) {
    m_sectionOrigin[0] = m_builder->m_sectionOrigin[0];
    m_drawers->GetStraightDrawer()->Refresh();
  }
}

void CGraphicCoreFull::MeasureScene(double extent[3])
{
  extent[0] = extent[1] = extent[2] = 0;
  IArea* area = QueryActiveArea();
  if (!area)
    return;
  area->Release();
  std::copy(m_builder->m_extent, m_builder->m_extent + 3, extent);
}

void CGraphicCoreFull::DrawFrame(BOOL straightRoad)
{
  ClearFrame();
  if (m_camera)
    m_camera->Apply();
  if (!straightRoad && m_underlayFlag && m_underlayId != 0) {
    Draw();
    glLineWidth(1);
    glDisable(GL_TEXTURE_2D);
  }
  glDisable(GL_LIGHTING);
  if (straightRoad) {
    m_drawers->GetStraightDrawer()->Draw();
    glDisable(GL_LIGHTING);
    glDisable(GL_STENCIL_TEST);
    if (m_currentManager)
      m_currentManager->Draw();
  } else if (IsInterchange()) {
    IArea* area = QueryActiveArea();
    ModelRef<IPrimitive> first(area, IID_IPrimitive);
    for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext()) {
      if (!IsVertexShape(*primitive->GetShape()))
        continue;
      if (auto* surface = dynamic_cast<CPrimitiveCalcSurface*>(primitive->GetMeshHelper()))
        surface->Draw(true);
    }
    if (area)
      area->Release();
  } else if (CCustomizeRoadDrawer3D* drawer = m_drawers->GetCustomizeDrawer()) {
    drawer->GetContext().m_manager = m_currentManager;
    drawer->Draw();
    glDisable(GL_LIGHTING);
  }
  glEnable(GL_LIGHTING);
  m_scene->GetOwned()->DrawNamed();
  CSnapMarker::Instance().Draw(m_camera.get());
  DrawAxesAndLegend();
  if (m_bSwapBuffers)
    SwapBuffers();
}

void CGraphicCoreFull::DrawAxesAndLegend()
{
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();

  // Axes in the lower left corner, turned as the camera is.
  glViewport(0, 0, 100, 100);
  glDisable(GL_LIGHTING);
  glLineWidth(1);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (m_camera && m_camera->GetEye()) {
    const _DEVCPOSITION& eye = *m_camera->GetEye();
    glRotated(eye.angle1, 1, 0, 0);
    glRotated(eye.angle2, 0, 1, 0);
    glRotated(eye.angle3, 0, 0, 1);
  }
  glRotated(-90, 1, 0, 0);
  glDisable(GL_DEPTH_TEST);
  struct Axis {
    float red, green, blue, alpha;
    double x, y, z;
    double turn, turnX, turnY;  // turns the quadric's z axis onto this axis
  };
  const Axis axes[3] = {{1, 0, 0, 0.75f, 1, 0, 0, 90, 0, 1},
                        {0, 1, 0, 1, 0, 1, 0, -90, 1, 0},
                        {0, 0, 1, 1, 0, 0, 1, 0, 0, 0}};
  for (const Axis& axis : axes) {
    glColor4f(axis.red, axis.green, axis.blue, axis.alpha);
    glBegin(GL_LINES);
    glVertex3d(0, 0, 0);
    glVertex3d(axis.x * 0.95, axis.y * 0.95, axis.z * 0.95);
    glEnd();
    if (m_quadric) {
      glPushMatrix();
      glTranslated(axis.x * 0.7, axis.y * 0.7, axis.z * 0.7);
      if (axis.turn != 0)
        glRotated(axis.turn, axis.turnX, axis.turnY, 0);
      gluCylinder(m_quadric, 0.0633333, 0, 0.25, 8, 8);
      glPopMatrix();
    }
  }

  // The legend under the scene; it needs its font, and a font that could not be made is never drawn with.
  if (m_legendFontReady) {
    const int windowWidth = m_camera ? m_camera->m_width : viewport[2];
    const int x = std::max(windowWidth / 2 - m_legend.GetWidth() / 2, kLegendMinX);
    glViewport(x, kLegendY, 1000, 100);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1000, 0, 100, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    m_legend.DrawGL();
  }

  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void CGraphicCoreFull::ClearFrame()
{
  if (!m_glContext || !m_glContext->MakeCurrent())
    return;
  glClearColor(m_background[0], m_background[1], m_background[2], 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void CGraphicCoreFull::SwapBuffers()
{
  if (m_glContext)
    m_glContext->SwapBuffers();
}

void CGraphicCoreFull::SetViewMode(int viewType)
{
  const BOOL straightRoad = IsStraightRoad();
  if (!straightRoad && m_camera) {
    // An open site has no walls: the wall views become the side views.
    if (viewType & CViewCamera::kLeftWall) {
      m_camera->SetViewType(CViewCamera::kLeft);
      return;
    }
    if (viewType & CViewCamera::kRightWall) {
      m_camera->SetViewType(CViewCamera::kRight);
      return;
    }
    // Labels of an open site clutter its 3D view.
    if (viewType & CViewCamera::kPerspective)
      m_scene->SetStateAll(CSelectableObject::kRequestHideLabel);
    m_camera->SetFarPlane(m_sceneExtent[0], m_sceneExtent[1]);
  }
  CGraphicsDllMediator::SetViewMode(viewType);
  Render(FALSE, TRUE);
}

void CGraphicCoreFull::OnWindowSize(UINT type, int cx, int cy)
{
  CGraphicsDllMediator::OnWindowSize(type, cx, cy);
  m_toolHolder->OnViewSize();
}

void CGraphicCoreFull::OnNavigatorMode(BOOL rotate)
{
  if (m_navigator)
    m_navigator->SetMode(rotate ? NavigatorMode::kRotate : NavigatorMode::kPan);
}

int CGraphicCoreFull::BuildExportData(IArea* area, nsExp::CExportList* list, int flags)
{
  if (!area)
    return 0;
  if (flags & (kExportNodeValues | kExportIsolines)) {
    ModelRef<IResultsOfCalc> results(area, IID_IResultsOfCalc);
    const _CALC_RESULTS* block = results ? results->GetData() : nullptr;
    if (!block || !block->valid) {
      // The run shows its own message (flag 0x10); an export without the values asked for is not made.
      if (!m_context || m_context->StartCalculation(kExportCalculationFlags) != 0)
        return 0;
      block = results ? results->GetData() : nullptr;
      if (!block || !block->valid)
        return 0;
    }
  }
  Render(FALSE, FALSE);
  if (list)
    BuildExportRecords(area, list, flags, {m_scene->GetOwned(), GetCalcAreaManager()});
  return 1;
}

int CGraphicCoreFull::ExportDxf(IQorRoadDoc* document) { return RunDxfExport(*this, document); }

CString CGraphicCoreFull::GetUnderlayPath(int id)
{
  if (id & kLibraryProjectBit)
    return GetProjectFilePath(id);
  return CRasterStore::GetInstance()->GetPath(id);
}

void CGraphicCoreFull::CloneUnderlay(int* id)
{
  if (!id || *id == 0)
    return;
  CWaitCursor wait;
  if (*id & kLibraryProjectBit) {
    CloneProject(id);
    return;
  }
  CRasterStore* store = CRasterStore::GetInstance();
  const CDibFromFile* raster = store->Find(*id);
  if (!raster) {
    CGraphicCore::CloneUnderlay(id);
    return;
  }
  std::unique_ptr<CDibFromFile> copy = raster->Clone();
  copy->MakeTiles();
  *id = store->Add(std::move(copy));
}

void CGraphicCoreFull::ClearRasters() { CRasterStore::GetInstance()->Clear(); }

void CGraphicCoreFull::RemoveRaster(int id) { CRasterStore::GetInstance()->Remove(id); }

void CGraphicCoreFull::SerializeRasterIds(CArchive& ar) { CRasterStore::GetInstance()->SerializeIdsOnly(ar); }

void CGraphicCoreFull::SerializeRasters(CArchive& ar) { CRasterStore::GetInstance()->Serialize(ar); }

void CGraphicCoreFull::GetViewCentre(double out[3])
{
  out[0] = out[1] = out[2] = 0;
  if (!m_camera || m_camera->m_viewType != CViewCamera::kPlan || !m_view)
    return;
  RECT client{};
  ::GetClientRect(m_view->GetSafeHwnd(), &client);
  double point[3] = {(client.left + client.right) / 2.0, (client.top + client.bottom) / 2.0, 0};
  if (m_camera->WindowToWorld(point)) {
    out[0] = point[0];
    out[1] = point[1];
  }
}

void CGraphicCoreFull::SerializeCalcAreaManagers(CArchive& ar, DWORD version)
{
  m_managers.InvalidateAll();
  m_managers.Serialize(ar, version);
  m_currentManager = nullptr;
}

int CGraphicCoreFull::SerializeLibraryBlock(CArchive& ar, DWORD version)
{
  if (!HasExport("Serialize"))
    return CGraphicCore::SerializeLibraryBlock(ar, version);
  if (!ar.IsStoring())
    DeleteObjects();
  return SerializeLibraryPart(&ar, static_cast<int>(version));
}

BOOL CGraphicCoreFull::GetActiveAreaSize(double* length, double* width)
{
  IArea* area = QueryActiveArea();
  if (!area)
    return FALSE;
  *length = *area->GetLength();
  *width = *area->GetWidth();
  area->Release();
  return TRUE;
}

_CALC_RESULTS* CGraphicCoreFull::GetActiveResults()
{
  IArea* area = QueryActiveArea();
  ModelRef<IResultsOfCalc> results(area, IID_IResultsOfCalc);
  if (area)
    area->Release();
  return results ? results->GetData() : nullptr;
}

BOOL CGraphicCoreFull::IsCalcAreaIdFree(int id, BOOL currentOnly)
{
  return m_context ? m_context->IsCalcAreaIdFree(id, currentOnly) : TRUE;
}

BOOL CGraphicCoreFull::GetUserGridFlag()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return FALSE;
  const BOOL user = *area->GetGridMode() != 0 ? TRUE : FALSE;
  area->Release();
  return user;
}

// The strips of the straight road the builder built last; before any build, from the results' own axes, where
// every strip that has values is on and shown.
const CRoadLayout& CGraphicCoreFull::GetRoadLayout()
{
  m_layout = CRoadLayout{};
  if (m_builder->m_straight && m_builder->m_firstStep > 0) {
    const CSceneBuilder& b = *m_builder;
    auto rect = [&b](int strip) {
      const double* f = b.m_field[strip];
      return CRoadLayout::Rect{f[0], f[1], std::max(f[2], f[3]), std::min(f[2], f[3])};
    };
    m_layout.oneWay = b.m_oneWay;
    m_layout.carriagewayOn = b.m_roadOn;
    m_layout.oppositeShown = b.m_mainOn;
    m_layout.leftSidewalkOn = b.m_leftSidewalkState != 0;
    m_layout.rightSidewalkOn = b.m_rightSidewalkState != 0;
    m_layout.leftWallOn = b.m_leftWallState != 0;
    m_layout.rightWallOn = b.m_rightWallState != 0;
    m_layout.leftWallShown = b.m_leftWallShown;
    m_layout.rightWallShown = b.m_rightWallShown;
    m_layout.leftWall = rect(CSceneBuilder::kLeftWall);
    m_layout.leftSidewalk = rect(CSceneBuilder::kLeftSidewalk);
    m_layout.oppositeCarriageway = rect(CSceneBuilder::kOppositeCarriageway);
    m_layout.mainCarriageway = rect(CSceneBuilder::kMainCarriageway);
    m_layout.rightSidewalk = rect(CSceneBuilder::kRightSidewalk);
    m_layout.rightWall = rect(CSceneBuilder::kRightWall);
    m_layout.leftWallOffset = b.m_leftWallLine;
    m_layout.rightWallOffset = b.m_rightWallLine;
    m_layout.sidewalkHeight = b.m_sidewalkCalcHeight;
    m_layout.carriagewayHeight = b.m_carriagewayCalcHeight;
    return m_layout;
  }
  const _CALC_RESULTS* r = GetActiveResults();
  if (!r || !r->valid || r->nX == 0 || !r->xs)
    return m_layout;
  const double xFrom = r->xs[0];
  const double xTo = r->xs[r->nX - 1];
  auto strip = [&](CRoadLayout::Rect& rect, std::uint32_t count, const float* axis) {
    if (count == 0 || !axis)
      return FALSE;
    const auto [low, high] = std::minmax_element(axis, axis + count);
    rect = {xFrom, xTo, *high, *low};
    return TRUE;
  };
  m_layout.carriagewayOn = strip(m_layout.mainCarriageway, r->nRoad, r->yRoad);
  m_layout.oppositeShown = strip(m_layout.oppositeCarriageway, r->nOpp, r->yOpp);
  m_layout.oneWay = m_layout.oppositeShown ? FALSE : TRUE;
  m_layout.leftSidewalkOn = strip(m_layout.leftSidewalk, r->nLeftWalk, r->yLeftWalk);
  m_layout.rightSidewalkOn = strip(m_layout.rightSidewalk, r->nRightWalk, r->yRightWalk);
  m_layout.leftWallOn = m_layout.leftWallShown = strip(m_layout.leftWall, r->nLeftWall, r->zLeftWall);
  m_layout.rightWallOn = m_layout.rightWallShown = strip(m_layout.rightWall, r->nRightWall, r->zRightWall);
  m_layout.leftWallOffset = m_layout.leftSidewalk.yUpper;
  m_layout.rightWallOffset = m_layout.rightSidewalk.yLower;
  m_layout.sidewalkHeight = 0.17;
  return m_layout;
}

// Isolines are kept whole over the site until the free-form drawer clips them to its primitives.
int CGraphicCoreFull::SegmentTouchesActivePrimitive(const double*, const double*) { return 2; }

_DEVCPOSITION* CGraphicCoreFull::GetEyeRecord(DWORD viewBit)
{
  _DEVCPOSITION* record = nullptr;
  if (!m_context || m_context->GetViewCamera(viewBit, &record) != 0)
    return nullptr;
  return record;
}

void CGraphicCoreFull::ResetEyeRecord(DWORD viewBit)
{
  if (!m_context)
    return;
  m_context->SetViewType(viewBit);
  m_context->ResetCurrentViewCamera();
}

void CGraphicCoreFull::ApplyLibraryView(double* eyeX, double* eyeY, double* eyeZ, double* farPlane)
{
  ApplyView(eyeX, eyeY, eyeZ, farPlane);
}

double CGraphicCoreFull::GetBaseHeight()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return 0.0;
  const double height = IsInterchange() ? *area->GetBaseHeight() : 0.0;
  area->Release();
  return height;
}

namespace {

CGraphicCore* MakeFullCore(IQorRoadDoc* document) { return new CGraphicCoreFull(document); }

}  // namespace

void InstallGraphicCore() { SetGraphicCoreFactory(&MakeFullCore); }
