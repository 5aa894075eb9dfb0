#include "graphics/tools/object_selector.h"

#include "geometry/gl_context.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/snap_marker.h"
#include "graphics/tools/tool_holder.h"
#include "graphics/tools/tool_tip.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/iroad.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "model/shell/window_messages.h"
#include "platform/gdi/wingdi.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/input.h"
#include "platform/user/menu.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"
#include "res/program_ids.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

namespace {

// Hit-test flags: find any object (all groups, counted), and find the handle of the selected one.
constexpr int kFindObject = 5;
constexpr int kFindHandle = 11;
// The shapes whose outline is a list of vertices.
bool IsVertexShape(int shape) { return shape == 4 || shape == 5; }
// Insertion points keep clear of the vertices by this share of the camera distance.
constexpr double kInsertionScale = 0.007;
constexpr double kSameVertexTolerance = 0.0001;

constexpr int kCursorPointer = 104;
// The text of the switch item for a group that is on.
constexpr UINT kStringSwitchOff = 821;
constexpr int kCursorTurn = 293;
constexpr int kCursorMove = 294;

bool ClassIs(IClassObjModel* object, const CLSID& id)
{
  if (!object)
    return false;
  CGuid classId;
  object->GetClassId(&classId);
  return classId.IsEqual(&id);
}

const char* HoverText(int code)
{
  switch (code) {
  case 0:
  case 11:
  case 100:
  case 902:
  case 904:
  case 908:
    return "Перемещение";
  case 1:
  case 2:
  case 3:
  case 4:
  case 5:
  case 6:
  case 7:
  case 8:
    return "Размер";
  case 9:
    return "Поворот";
  case 10:
    return "Перемещение вершины";
  case 12:
    return "Вставка вершины";
  case 900:
  case 907:
    return "Разворот";
  case 901:
    return "Вылет";
  case 903:
  case 906:
    return "Шаг";
  case 905:
    return "Перемещение точки нацеливания";
  default:
    return "";
  }
}

int CursorFor(int code)
{
  switch (code) {
  case 0:
  case 1:
  case 2:
  case 3:
  case 4:
  case 5:
  case 6:
  case 7:
  case 8:
  case 100:
  case 902:
  case 903:
  case 904:
  case 906:
  case 908:
    return kCursorMove;
  case 9:
    return kCursorTurn;
  default:
    return kCursorPointer;
  }
}

CString Format(const char* format, double a, double b = 0)
{
  char text[128];
  std::snprintf(text, sizeof text, format, a, b);
  return CString(text);
}

}  // namespace

BOOL PointNearSegment(double t, const double p[2], const _CSPOINT3D& a, const _CSPOINT3D& b, double foot[3])
{
  auto inSquare = [t, p](const _CSPOINT3D& v) { return std::fabs(p[0] - v.x) < t && std::fabs(p[1] - v.y) < t; };
  if (inSquare(a) || inSquare(b))
    return FALSE;
  const double ex = b.x - a.x;
  const double ey = b.y - a.y;
  const double length = std::hypot(ex, ey);
  if (length == 0)
    return FALSE;
  if (std::fabs(ey * (p[0] - b.x) - ex * (p[1] - b.y)) / length > t)
    return FALSE;
  if (std::hypot(p[0] - a.x, p[1] - a.y) + std::hypot(p[0] - b.x, p[1] - b.y) > length + t)
    return FALSE;
  if (ex == 0) {
    foot[0] = a.x;
    foot[1] = p[1];
  } else if (ey == 0) {
    foot[0] = p[0];
    foot[1] = a.y;
  } else {
    foot[0] = (ex * ey * (p[1] - a.y) + ey * ey * a.x + ex * ex * p[0]) / (ex * ex + ey * ey);
    foot[1] = a.y + ey * (foot[0] - a.x) / ex;
  }
  foot[2] = a.z;
  return TRUE;
}

CObjectSelector::CObjectSelector(CGraphicCoreFull* core)
    : CToolBase(core),
      m_document(core ? core->GetContext() : nullptr),
      m_tooltip(core && core->GetToolHolder() ? core->GetToolHolder()->GetToolTip() : nullptr)
{
}

CObjectSelector::~CObjectSelector()
{
  m_nested.reset();
  m_grabbed.Reset();
}

void CObjectSelector::SetNestedTool(std::unique_ptr<CCustomPolygonTool> tool) { m_nested = std::move(tool); }

void CObjectSelector::ReleaseGrab()
{
  m_grabbed.Reset();
  m_handle = kNoHandle;
}

ModelRef<IArea> CObjectSelector::ActiveArea() const
{
  void* area = nullptr;
  if (!m_document || FAILED(m_document->QueryInterface(IID_ActiveArea, &area)) || !area)
    return {};
  return ModelRef<IArea>::Adopt(static_cast<IArea*>(area));
}

ModelRef<IProject> CObjectSelector::Project() const
{
  void* project = nullptr;
  if (!m_document || FAILED(m_document->QueryInterface(IID_IProject, &project)) || !project)
    return {};
  return ModelRef<IProject>::Adopt(static_cast<IProject*>(project));
}

CObjectSelector::AreaKind CObjectSelector::ActiveAreaKind() const
{
  ModelRef<IArea> area = ActiveArea();
  ModelRef<IClassObjModel> object(area.get(), IID_IClassObjModel);
  if (ClassIs(object.get(), CLSID_CStraightRoad))
    return AreaKind::kStraightRoad;
  if (ClassIs(object.get(), CLSID_CCustomizeRoad) || ClassIs(object.get(), CLSID_CCustomizeRoad3D))
    return AreaKind::kOpenSite;
  return AreaKind::kNone;
}

BOOL CObjectSelector::PrimitivesMovable() const { return m_document && m_document->IsReloctblPrimitives(); }

void CObjectSelector::CursorToArea(int x, int y, double out[2]) const
{
  out[0] = out[1] = 0;
  if (!m_document || !m_camera || ActiveAreaKind() != AreaKind::kOpenSite)
    return;
  double world[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  if (m_camera->WindowToWorld(world)) {
    out[0] = world[0];
    out[1] = world[1];
  }
}

void CObjectSelector::SetTip(const CString& text)
{
  m_tipText = text;
  ShowToolTipText(m_tooltip, m_view, text);
}

void CObjectSelector::SetViewCursor(int id)
{
  m_cursorId = id;
  if (HCURSOR cursor = LoadCursorFromModule(AfxGetResourceHandle(), MAKEINTRESOURCE(static_cast<WORD>(id)))) {
    SetCursor(cursor);
    if (m_view)
      SetClassLongPtr(m_view, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  }
}

void CObjectSelector::OnMouseMove(UINT flags, int x, int y)
{
  double world[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  if (m_camera && m_camera->WindowToWorld(world))
    for (int k = 0; k < 3; ++k)
      m_cursor[k] = world[k];
  if (x == m_lastX && y == m_lastY)
    return;
  if (m_nested)
    m_nested->OnMouseMove(flags, x, y);
  else
    HoverOrDrag(flags, x, y);
  m_lastX = x;
  m_lastY = y;
}

void CObjectSelector::OnLButtonDown(UINT flags, int x, int y)
{
  if (m_nested) {
    m_nested->OnLButtonDown(flags, x, y);
    return;
  }
  if (m_insertion)
    return;
  HitTest(x, y);
  if (m_handle != kNoHandle)
    m_dragStarted = TRUE;
}

void CObjectSelector::OnLButtonUp(UINT flags, int x, int y)
{
  if (m_nested) {
    m_nested->OnLButtonUp(flags, x, y);
    return;
  }
  EndDrag();
}

void CObjectSelector::OnRButtonUp(UINT flags, int x, int y)
{
  if (m_nested) {
    m_nested->OnRButtonUp(flags, x, y);
    return;
  }
  EndDrag();
}

void CObjectSelector::EndDrag()
{
  ReleaseGrab();
  m_dragStarted = FALSE;
  // A drag the model refused at every step changed nothing: its snapshot would be an empty undo state.
  if (m_snapshotPending && m_document)
    m_document->DropUndoState();
  m_snapshotPending = FALSE;
}

void CObjectSelector::OnRButtonDown(UINT flags, int x, int y)
{
  if (m_nested) {
    m_nested->OnRButtonDown(flags, x, y);
    return;
  }
  ShowContextMenu(x, y);
}

void CObjectSelector::OnMouseWheel(UINT flags, int delta, int x, int y)
{
  if (m_camera)
    m_camera->ZoomAtPoint(m_cursor, delta);
  if (m_nested)
    m_nested->OnMouseWheel(flags, delta, x, y);
}

void CObjectSelector::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
  if (m_nested)
    m_nested->OnKeyDown(key, repeat, flags);
}

void CObjectSelector::RefreshOverlay()
{
  if (!m_grabbed || m_handle == kNoHandle)
    return;
  double point[2] = {m_cursor[0], m_cursor[1]};
  if (ModelRef<IPrimitive> primitive(m_grabbed.get(), IID_IPrimitive); primitive) {
    primitive->DragHandle(&point[0], &point[1], static_cast<UINT>(m_handle));
  } else if (ModelRef<IGroupOfDev> group(m_grabbed.get(), IID_IGroupOfDev); group) {
    group->DragHandle(&point[0], &point[1], m_handle);
    m_core->Render(FALSE, TRUE);
  }
}

void CObjectSelector::HitTest(int x, int y)
{
  m_hit = FALSE;
  if (!m_camera || m_camera->m_viewType != CViewCamera::kPlan)
    return;
  ModelRef<IArea> area = ActiveArea();
  ModelRef<IProject> project = Project();
  const AreaKind kind = ActiveAreaKind();
  double point[2] = {0, 0};
  ModelRef<IClassObjModel> object;
  if (kind == AreaKind::kStraightRoad) {
    if (ModelRef<IRoad> road(area.get(), IID_IRoad); road)
      road->UpdateAreaWidth();
    if (project)
      project->ClearSelection();
  } else if (kind == AreaKind::kOpenSite) {
    CursorToArea(x, y, point);
    ModelRef<IGroupsOfDev> groups(area.get(), IID_IGroupsOfDev);
    IClassObjModel* found = nullptr;
    int code = groups ? groups->HitTest(point[0], point[1], kFindObject, &found) : kNoHandle;
    if (code == kNoHandle && PrimitivesMovable() && area) {
      if (found)
        found->Release();
      found = nullptr;
      code = area->HitTest(point[0], point[1], kFindObject, &found);
    }
    object = ModelRef<IClassObjModel>::Adopt(found);
    if (code != kNoHandle)
      m_hit = TRUE;
    if (object && !object->IsSelected() && project)
      project->ClearSelection();
  }
  if (!object && !m_hit) {
    if (project)
      project->ClearSelection();
    m_snapMarker->Hide();
    object = ModelRef<IClassObjModel>(area.get(), IID_IClassObjModel);
    m_hit = TRUE;
  }
  if (object && m_hit) {
    object->SetSelected(1);
    if (HTREEITEM* item = object->GetTreeItem(); item && *item)
      Shell::GetShellServices().SendToMainWindow(UM_SELECTTREEITEM, 0, reinterpret_cast<LPARAM>(*item));
    ReleaseGrab();
    if (kind == AreaKind::kOpenSite) {
      IClassObjModel* grabbed = nullptr;
      if (ClassIs(object.get(), CLSID_CGroupOfDev)) {
        ModelRef<IGroupsOfDev> groups(area.get(), IID_IGroupsOfDev);
        m_handle = groups ? groups->HitTest(point[0], point[1], kFindHandle, &grabbed) : kNoHandle;
        if (m_handle == GroupHandle::kSubGroupPole)
          PostMessage(Shell::GetMainWindow(), UM_REFRESHPARAMETERS, 0, 0);
      } else if (ClassIs(object.get(), CLSID_CPrimitive) && PrimitivesMovable() && area) {
        m_handle = area->HitTest(point[0], point[1], kFindHandle, &grabbed);
        if (m_handle == kVertexHandle || m_handle == kVertexMoveHandle)
          PostMessage(Shell::GetMainWindow(), UM_REFRESHPARAMETERS, 0, 0);
      }
      m_grabbed = ModelRef<IClassObjModel>::Adopt(grabbed);
      if (!m_grabbed)
        m_handle = kNoHandle;
    }
    m_core->Render(FALSE, TRUE);
  } else if (m_hit) {
    m_core->Render(TRUE, FALSE);
  }
}

BOOL CObjectSelector::FindInsertionEdge(const double point[2])
{
  m_insertionPrimitive = nullptr;
  if (ActiveAreaKind() != AreaKind::kOpenSite)
    return FALSE;
  const double t = std::fabs(EyeZ()) * kInsertionScale;
  ModelRef<IArea> area = ActiveArea();
  ModelRef<IPrimitive> first(area.get(), IID_IPrimitive);
  BOOL found = FALSE;
  for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext()) {
    ModelRef<IClassObjModel> object(primitive, IID_IClassObjModel);
    VertexList* outline = nullptr;
    primitive->GetOutline(&outline);
    if (!IsVertexShape(*primitive->GetShape()) || !object || !object->IsSelected() || !outline ||
        outline->GetSize() <= 2)
      continue;
    const INT_PTR n = outline->GetSize();
    for (INT_PTR i = 1; i <= n; ++i) {
      const bool closing = i == n;
      const _CSPOINT3D& a = (*outline)[closing ? n - 1 : i - 1];
      const _CSPOINT3D& b = (*outline)[closing ? 0 : i];
      double foot[3];
      if (!PointNearSegment(t, point, a, b, foot))
        continue;
      for (int k = 0; k < 3; ++k)
        m_insertionPoint[k] = foot[k];
      m_insertionPrimitive = primitive;
      m_insertionIndex = closing ? 0 : static_cast<int>(i);
      found = TRUE;
      m_core->m_bSwapBuffers = FALSE;
      m_core->Render(FALSE, FALSE);
      m_core->m_bSwapBuffers = TRUE;
      if (HasCurrentGlContext()) {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glLineWidth(2);
        glColor3f(0, 1, 0);
        glBegin(GL_LINES);
        glVertex3d(foot[0] - t, foot[1] + t, foot[2]);
        glVertex3d(foot[0] + t, foot[1] - t, foot[2]);
        glVertex3d(foot[0] + t, foot[1] + t, foot[2]);
        glVertex3d(foot[0] - t, foot[1] - t, foot[2]);
        glEnd();
        glLineWidth(1);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
      }
      m_core->SwapBuffers();
    }
  }
  if (found != m_insertion) {
    m_core->Render(FALSE, FALSE);
    m_insertion = found;
  }
  return m_insertion;
}

void CObjectSelector::ClearInsertion()
{
  if (!m_insertion)
    return;
  m_core->Render(FALSE, FALSE);
  m_insertion = FALSE;
}

void CObjectSelector::HoverOrDrag(UINT flags, int x, int y)
{
  if (!m_camera || m_camera->m_viewType != CViewCamera::kPlan)
    return;
  double point[2] = {0, 0};
  CursorToArea(x, y, point);
  int code = kNoHandle;
  ModelRef<IClassObjModel> hovered;
  const bool openSite = ActiveAreaKind() == AreaKind::kOpenSite;
  ModelRef<IArea> area = ActiveArea();
  if (openSite) {
    if (m_grabbed && m_handle != kNoHandle) {
      code = m_handle;
    } else if (PrimitivesMovable() && FindInsertionEdge(point)) {
      code = kInsertionHandle;
    } else {
      ModelRef<IGroupsOfDev> groups(area.get(), IID_IGroupsOfDev);
      IClassObjModel* found = nullptr;
      code = groups ? groups->HitTest(point[0], point[1], kFindObject, &found) : kNoHandle;
      if (code == kNoHandle && PrimitivesMovable() && area) {
        if (found)
          found->Release();
        found = nullptr;
        code = area->HitTest(point[0], point[1], kFindObject, &found);
      }
      hovered = ModelRef<IClassObjModel>::Adopt(found);
    }
  }
  if (flags == ToolFlags::kLeftButton && m_grabbed && m_handle != kNoHandle)
    DragStep(flags, x, y, point);
  if (openSite) {
    IClassObjModel* identified = m_grabbed && code == m_handle ? m_grabbed.get() : hovered.get();
    const bool poleOrPrimitive = ClassIs(identified, CLSID_CGroupOfDev) || ClassIs(identified, CLSID_CPrimitive);
    int cursor = CursorFor(code);
    if (poleOrPrimitive && area)
      area->GetCursorFor(code, identified, &cursor);
    SetViewCursor(cursor);
  }
  if (code == kNoHandle) {
    IVisualOpt* options = nullptr;
    void* part = nullptr;
    if (m_document && SUCCEEDED(m_document->QueryInterface(IID_IVisualOpt, &part)) && part) {
      options = static_cast<IVisualOpt*>(part);
      const int tip = options->GetScreenOption();
      options->Release();
      if (tip == 0) {
        m_tipText = CString();
        HideToolTip(m_tooltip);
        m_dragStarted = FALSE;
        return;
      }
    }
  }
  CString text;
  if (flags == 0) {
    text = HoverText(code);
    if (code != kNoHandle && code != kVertexMoveHandle && code != kInsertionHandle)
      ClearInsertion();
  } else if (flags == ToolFlags::kLeftButton) {
    switch (code) {
    case 1:
    case 2:
    case 3:
    case 4:
      text = Format("%.1lf м; %.1lf м", m_size2, m_size1);
      break;
    case 5:
    case 7:
      text = Format("%.1lf м", m_size1);
      break;
    case 6:
    case 8:
      text = Format("%.1lf м", m_size2);
      break;
    case 9:
      text = Format("%.1lf°", m_rotation);
      break;
    case 10:
    case 100:
    case 908:
      text = Format("[%.1lf;%.1lf]", point[0], point[1]);
      break;
    case 900:
    case 903:
    case 907:
      text = Format("%.1lf°", m_poleValue);
      break;
    case 901:
    case 906:
      text = Format("%.1lf м", m_poleValue);
      break;
    default:
      break;
    }
  }
  SetTip(text);
  m_dragStarted = FALSE;
}

void CObjectSelector::DragStep(UINT, int x, int y, const double point[2])
{
  if (m_dragStarted && m_document) {
    m_document->PushUndoState();
    m_snapshotPending = TRUE;
  }
  double at[2] = {point[0], point[1]};
  // The snapshot is kept once a step changed the project.
  const auto settle = [this](bool changed) {
    if (changed)
      m_snapshotPending = FALSE;
  };
  if (ModelRef<IGroupOfDev> group(m_grabbed.get(), IID_IGroupOfDev); group) {
    const bool changed = group->DragHandle(&at[0], &at[1], m_handle) != 0;
    if (changed && m_document)
      m_document->ResetActiveAreaResults();
    ModelRef<IPole> pole(m_grabbed.get(), IID_IPole);
    m_poleValue = 0;
    if (m_handle == GroupHandle::kTurn && pole)
      m_poleValue = *pole->GetRotation();
    else if (m_handle == GroupHandle::kOutreach && pole)
      m_poleValue = pole->GetOutreach(*group->GetMountingKind());
    else if (m_handle == GroupHandle::kCirclePole)
      m_poleValue = *group->GetAngularStep();
    else if ((m_handle == GroupHandle::kLineSpacing || m_handle == GroupHandle::kLineDirection) && pole &&
             *group->GetPlacementScheme() == 1 && pole->GetNext())
      m_poleValue = m_handle == GroupHandle::kLineSpacing ? pole->GetNext()->GetDistanceToPrev()
                                                          : pole->GetNext()->GetAngleToPrev();
    if (!AutoPan(x, y))
      m_core->Render(FALSE, TRUE);
    settle(changed);
    if (!changed)
      EndDrag();
    PostMessage(Shell::GetMainWindow(), UM_REFRESHPARAMETERS, 0, 0);
  } else if (ModelRef<IPrimitive> primitive(m_grabbed.get(), IID_IPrimitive); primitive) {
    const bool changed = primitive->DragHandle(&at[0], &at[1], static_cast<UINT>(m_handle)) != 0;
    m_size1 = *primitive->GetSize1();
    m_size2 = *primitive->GetSize2();
    m_rotation = primitive->GetRotation();
    if (changed) {
      primitive->RebuildContour();
      SnapDraggedVertex(primitive.get(), x, y);
      if (m_document) {
        m_document->SetModifiedFlag(TRUE);
        m_document->ResetActiveAreaResults();
      }
      primitive->ClearMesh();
      if (!AutoPan(x, y))
        m_core->Render(FALSE, FALSE);
      PostMessage(Shell::GetMainWindow(), UM_REFRESHPARAMETERS, 0, 0);
    }
    settle(changed);
    if (!changed && IsVertexShape(*primitive->GetShape()))
      EndDrag();
  }
}

void CObjectSelector::SnapDraggedVertex(IPrimitive* primitive, int x, int y)
{
  VertexList* outline = nullptr;
  primitive->GetOutline(&outline);
  if (!outline || !m_core)
    return;
  const INT_PTR n = outline->GetSize();
  for (INT_PTR i = 0; i < n; ++i) {
    if (((*outline)[i].flags & VertexFlag::kDragged) == 0)
      continue;
    double snapped[3] = {0, 0, 0};
    if (!m_core->ObjectSnap(1, x, y, &snapped[0], &snapped[1], &snapped[2]))
      continue;
    bool taken = false;
    for (INT_PTR j = 0; j < n && !taken; ++j)
      taken = j != i && std::fabs((*outline)[j].x - snapped[0]) <= kSameVertexTolerance &&
              std::fabs((*outline)[j].y - snapped[1]) <= kSameVertexTolerance;
    if (taken)
      continue;
    (*outline)[i].x = snapped[0];
    (*outline)[i].y = snapped[1];
    (*outline)[i].z = snapped[2];
    m_snapMarker->Show(snapped, 1);
    return;
  }
  m_snapMarker->Hide();
}

void CObjectSelector::OnLButtonDblClk(UINT, int, int)
{
  if (ActiveAreaKind() != AreaKind::kOpenSite || !m_insertion || m_insertionIndex < 0 || !m_insertionPrimitive)
    return;
  IPrimitive* primitive = m_insertionPrimitive;
  VertexList* outline = nullptr;
  primitive->GetOutline(&outline);
  // The edge was found on an earlier move; an outline changed since then may no longer have it.
  if (!outline || m_insertionIndex > outline->GetSize())
    return;
  if (m_document) {
    m_document->PushUndoState();
    m_document->ResetActiveAreaResults();
  }
  ModelRef<IClassObjModel> object(primitive, IID_IClassObjModel);
  IClassObjModel* root = object.get();
  while (root && root->GetParent())
    root = root->GetParent();
  bool inserted = false;
  if (ClassIs(root, CLSID_CProject)) {
    if (ModelRef<IProject> project = Project(); project)
      project->ClearSelection();
    if (object)
      object->SetSelected(1);
    const _CSPOINT3D vertex{m_insertionPoint[0], m_insertionPoint[1], m_insertionPoint[2], VertexFlag::kSelected, 0};
    outline->InsertAt(m_insertionIndex, vertex);
    inserted = true;
    if (HTREEITEM* item = object ? object->GetTreeItem() : nullptr; item && *item) {
      Shell::GetShellServices().SendToMainWindow(UM_SELECTTREEITEM, 0, reinterpret_cast<LPARAM>(*item));
      PostMessage(Shell::GetMainWindow(), UM_REFRESHPARAMETERS, 0, 0);
    }
  }
  primitive->Rebuild();
  primitive->RebuildContour();
  if (inserted)
    m_core->Render(FALSE, FALSE);
}

SelectorMenuChoice CObjectSelector::ChooseContextMenu() const
{
  SelectorMenuChoice choice;
  if (!m_hit || !m_grabbed)
    return choice;
  IClassObjModel* object = m_grabbed.get();
  if (ClassIs(object, CLSID_CGroupOfDev)) {
    ModelRef<IGroupOfDev> group(object, IID_IGroupOfDev);
    if (!group)
      return choice;
    const bool sub = group->IsSubGroup() != 0;
    IGroupOfDev* reference = group.get();
    if (sub) {
      ModelRef<IGroupOfDev> parent(object->GetParent(), IID_IGroupOfDev);
      if (parent)
        reference = parent.get();
    }
    const bool only = !reference->GetPrev() && !reference->GetNext();
    if (sub) {
      choice.menuId = res::program::IDR_MENU_SUBGROUP;
      if (only)
        choice.greyed.push_back(res::program::ID_SUBGROUP_DELETE);
      if (!group->GetPrev())
        choice.greyed.push_back(res::program::ID_SUBGROUP_DELETE_POLE);
    } else {
      choice.menuId = res::program::IDR_MENU_GROUP;
      const bool straight = ActiveAreaKind() == AreaKind::kStraightRoad;
      if (straight ? !reference->GetPrev() : only)
        choice.greyed.push_back(res::program::ID_GROUP_DELETE);
    }
    choice.switchedOn = (*reference->GetState() & 1) != 0;
  } else if (ClassIs(object, CLSID_CPrimitive)) {
    ModelRef<IPrimitive> primitive(object, IID_IPrimitive);
    if (!primitive)
      return choice;
    const bool others = primitive->GetPrev() || primitive->GetNext();
    VertexList* outline = nullptr;
    primitive->GetOutline(&outline);
    bool vertexSelected = false;
    for (INT_PTR i = 0; outline && i < outline->GetSize() && !vertexSelected; ++i)
      vertexSelected = ((*outline)[i].flags & VertexFlag::kSelected) != 0;
    const bool few = outline && outline->GetSize() <= 3;
    if (!IsVertexShape(*primitive->GetShape()))
      choice.menuId = others ? res::program::IDR_MENU_PRIMITIVE : res::program::IDR_MENU_ONLY_PRIMITIVE;
    else if (!vertexSelected)
      choice.menuId = others ? res::program::IDR_MENU_POLYGON : res::program::IDR_MENU_ONLY_POLYGON;
    else if (!primitive->GetFirstChild())
      choice.menuId = few ? 0 : res::program::IDR_MENU_VERTEX_BARE;
    else if (others)
      choice.menuId = few ? res::program::IDR_MENU_FEW_VERTICES : res::program::IDR_MENU_VERTEX;
    else
      choice.menuId = few ? res::program::IDR_MENU_ONLY_PRIMITIVE_FEW_VERTICES
                          : res::program::IDR_MENU_ONLY_PRIMITIVE_VERTEX;
    if (!primitive->GetPrev())
      choice.greyed.push_back(res::program::ID_PRIMITIVE_TO_BACK);
    if (!primitive->GetNext())
      choice.greyed.push_back(res::program::ID_PRIMITIVE_TO_FRONT);
  }
  return choice;
}

void CObjectSelector::ShowContextMenu(int x, int y)
{
  HitTest(x, y);
  const SelectorMenuChoice choice = ChooseContextMenu();
  if (choice.menuId == 0)
    return;
  HINSTANCE module = AfxGetResourceHandle();
  HMENU menu = LoadMenu(module, MAKEINTRESOURCE(static_cast<WORD>(choice.menuId)));
  HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
  if (!popup) {
    if (menu)
      DestroyMenu(menu);
    return;
  }
  for (UINT command : choice.greyed)
    EnableMenuItem(popup, command, MF_BYCOMMAND | MF_GRAYED);
  if (choice.switchedOn) {
    CString off;
    off.LoadString(kStringSwitchOff);
    for (UINT command : {res::program::ID_GROUP_SWITCH, res::program::ID_SUBGROUP_SWITCH})
      ModifyMenu(popup, command, MF_BYCOMMAND | MF_STRING, command, off);
  }
  struct ItemBitmap {
    UINT command;
    UINT bitmap;
  };
  const ItemBitmap bitmaps[] = {
      {res::program::ID_GROUP_COPY, res::program::IDB_MENU_COPY},
      {res::program::ID_SUBGROUP_COPY, res::program::IDB_MENU_COPY},
      {res::program::ID_PRIMITIVE_COPY, res::program::IDB_MENU_COPY},
      {res::program::ID_GROUP_DELETE, res::program::IDB_MENU_DELETE},
      {res::program::ID_SUBGROUP_DELETE, res::program::IDB_MENU_DELETE},
      {res::program::ID_PRIMITIVE_DELETE, res::program::IDB_MENU_DELETE},
      {res::program::ID_PRIMITIVE_TO_FRONT, res::program::IDB_MENU_TO_FRONT},
      {res::program::ID_PRIMITIVE_TO_BACK, res::program::IDB_MENU_TO_BACK},
      {res::program::ID_OBJECT_PARAMETERS, res::program::IDB_MENU_PARAMETERS},
      {res::program::ID_GROUP_SWITCH, res::program::IDB_MENU_SWITCH},
      {res::program::ID_SUBGROUP_SWITCH, res::program::IDB_MENU_SWITCH},
  };
  std::vector<HBITMAP> loaded;
  for (const ItemBitmap& item : bitmaps) {
    HBITMAP bitmap = LoadBitmap(module, MAKEINTRESOURCE(static_cast<WORD>(item.bitmap)));
    if (!bitmap)
      continue;
    loaded.push_back(bitmap);
    MENUITEMINFO info;
    info.fMask = MIIM_CHECKMARKS;
    info.hbmpChecked = bitmap;
    info.hbmpUnchecked = bitmap;
    SetMenuItemInfo(popup, item.command, FALSE, &info);
  }
  POINT screen{x, y};
  if (m_view)
    ClientToScreen(m_view, &screen);
  SetCursorPos(screen.x, screen.y);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_view, nullptr);
  DestroyMenu(menu);
  for (HBITMAP bitmap : loaded)
    DeleteObject(bitmap);
}
