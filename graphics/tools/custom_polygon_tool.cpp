#include "graphics/tools/custom_polygon_tool.h"

#include "geometry/gl_context.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/scene_palette.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/snap_marker.h"
#include "model/identifiers.h"
#include "model/shell/shell_services.h"
#include "model/shell/window_messages.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/input.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace {

// Placement schemes of open-site groups whose contour may cross itself.
constexpr int kAlongContour = 3;
constexpr int kByPoints = 4;
// The cursor shown while drawing.
constexpr WORD kCursorPointer = 104;
// The overlay's dashes and sizes.
constexpr int kStippleFactor = 3;
constexpr GLushort kStipplePattern = 0xAAAA;
constexpr int kOverlayColour = 10;
constexpr double kMarkerScale = 0.0035;

// The side of c relative to the line through a and b: positive left, negative right, 0 on it.
double Orientation(const _CSPOINT3D& a, const _CSPOINT3D& b, const _CSPOINT3D& c)
{
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool Near(const _CSPOINT3D& a, double x, double y, double tolerance)
{
  return std::fabs(a.x - x) <= tolerance && std::fabs(a.y - y) <= tolerance;
}

void ChainOf(const VertexList& list, const std::vector<INT_PTR>& order, VertexList* chain)
{
  for (INT_PTR index : order)
    chain->Add(list[index]);
}

}  // namespace

CCustomPolygonTool::CCustomPolygonTool(IClassObjModel* object, CGraphicCoreFull* core) : CToolBase(core)
{
  CGuid classId;
  if (object)
    object->GetClassId(&classId);
  if (classId.IsEqual(&CLSID_CPrimitive)) {
    m_primitive = ModelRef<IPrimitive>(object, IID_IPrimitive);
    if (m_primitive) {
      m_stateWord = *m_primitive->GetState();
      m_primitive->GetOutline(&m_vertices);
    }
  } else {
    m_group = ModelRef<IGroupOfDev>(object, IID_IGroupOfDev);
    if (m_group) {
      m_stateWord = *m_group->GetState();
      m_group->GetContourPoints(&m_vertices);
      const int scheme = *m_group->GetPlacementScheme();
      if (scheme == kAlongContour || scheme == kByPoints)
        m_crossingTest = FALSE;
    }
  }
  if (m_vertices) {
    for (INT_PTR i = 0; i < m_vertices->GetSize(); ++i) {
      if (((*m_vertices)[i].flags & VertexFlag::kSelected) != 0) {
        m_selected = static_cast<int>(i);
        break;
      }
    }
  }
  if (m_selected >= 0) {
    m_state = kInsert;
    m_stateWord |= PolygonState::kVertexEditing | PolygonState::kClosed;
    if (m_selected == m_vertices->GetSize() - 1)
      m_stateWord &= ~PolygonState::kClosed;
  }
  if (m_view)
    if (HCURSOR cursor = LoadCursorFromModule(AfxGetResourceHandle(), MAKEINTRESOURCE(kCursorPointer)))
      SetClassLongPtr(m_view, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  if (m_primitive) {
    const int word = m_stateWord | PolygonState::kUnderInput;
    m_primitive->SetState(&word);
  }
}

CCustomPolygonTool::~CCustomPolygonTool()
{
  if (m_vertices && m_vertices->GetSize() > 2)
    Commit(0);
  if (m_primitive) {
    const int word = *m_primitive->GetState() & ~PolygonState::kUnderInput;
    m_primitive->SetState(&word);
  }
}

void CCustomPolygonTool::WriteStateWord()
{
  if (m_primitive)
    m_primitive->SetState(&m_stateWord);
}

BOOL CCustomPolygonTool::EdgeAllowed(const VertexList& list, const _CSPOINT3D& q)
{
  const INT_PTR n = list.GetSize();
  if (n < 3)
    return TRUE;
  const _CSPOINT3D& last = list[n - 1];
  for (INT_PTR i = 1; i < n; ++i) {
    const _CSPOINT3D& a = list[i - 1];
    const _CSPOINT3D& b = list[i];
    const bool endsApart = Orientation(a, b, q) * Orientation(a, b, last) < 0;
    const bool edgeApart = Orientation(last, q, a) * Orientation(last, q, b) < 0;
    if (endsApart && edgeApart)
      return FALSE;
  }
  return TRUE;
}

BOOL CCustomPolygonTool::CanFinish(const VertexList& list, const _CSPOINT3D& q)
{
  const INT_PTR n = list.GetSize();
  if (n < 3)
    return TRUE;
  INT_PTR k = n - 1;
  for (INT_PTR i = 0; i < n; ++i) {
    if ((list[i].flags & VertexFlag::kDragged) != 0) {
      k = i;
      break;
    }
  }
  std::vector<INT_PTR> forward;
  for (INT_PTR i = k + 1; i < n; ++i)
    forward.push_back(i);
  for (INT_PTR i = 0; i < k; ++i)
    forward.push_back(i);
  std::vector<INT_PTR> backward;
  for (INT_PTR i = k - 1; i >= 0; --i)
    backward.push_back(i);
  for (INT_PTR i = n - 1; i > k; --i)
    backward.push_back(i);
  VertexList chainA;
  VertexList chainB;
  ChainOf(list, forward, &chainA);
  ChainOf(list, backward, &chainB);
  return EdgeAllowed(chainA, q) && EdgeAllowed(chainB, q);
}

int CCustomPolygonTool::IsClockwise(const VertexList& list)
{
  const INT_PTR n = list.GetSize();
  double sum = 0;
  for (INT_PTR i = 0; i < n; ++i) {
    const _CSPOINT3D& prev = list[i == 0 ? n - 1 : i - 1];
    const _CSPOINT3D& cur = list[i];
    sum += prev.x * cur.y - prev.y * cur.x;
  }
  return sum < 0 ? 1 : 0;
}

void CCustomPolygonTool::Commit(int close)
{
  if (!m_vertices)
    return;
  if (m_primitive) {
    m_stateWord = (m_stateWord & ~PolygonState::kCommitPending) | PolygonState::kClosed;
    WriteStateWord();
    m_primitive->Rebuild();
    m_primitive->SetContourSide(IsClockwise(*m_vertices));
  } else if (m_group) {
    if (close && m_vertices->GetSize() > 0) {
      const _CSPOINT3D first = (*m_vertices)[0];
      m_vertices->Add(first);
    }
    m_group->SetContourMode(IsClockwise(*m_vertices));
  }
}

void CCustomPolygonTool::Finish(int close)
{
  if (!m_vertices)
    return;
  if (m_crossingTest && m_vertices->GetSize() > 0 &&
      !CanFinish(*m_vertices, (*m_vertices)[m_vertices->GetSize() - 1]))
    return;
  Commit(close);
  // The main window ends input, which deletes this tool: nothing may touch it after the message.
  if (m_group)
    Shell::GetShellServices().SendToMainWindow(UM_ENDCONTOUR, 1, reinterpret_cast<LPARAM>(m_group.get()));
  else
    Shell::GetShellServices().SendToMainWindow(UM_ENDCONTOUR, 0, reinterpret_cast<LPARAM>(m_primitive.get()));
}

void CCustomPolygonTool::OnMouseMove(UINT flags, int x, int y)
{
  m_lastX = x;
  m_lastY = y;
  double snapped[3] = {0, 0, 0};
  m_snapped = m_core ? m_core->ObjectSnap(static_cast<int>(flags), x, y, &snapped[0], &snapped[1], &snapped[2]) : 0;
  if (m_snapped)
    m_snapMarker->Show(snapped, 1);
  else
    m_snapMarker->Hide();
  if (m_vertices && m_vertices->GetSize() > 0 && !AutoPan(x, y))
    DrawOverlay(x, y);
}

void CCustomPolygonTool::OnLButtonDown(UINT, int x, int y)
{
  if (!m_vertices || !m_camera)
    return;
  double point[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  if (m_snapped) {
    for (int k = 0; k < 3; ++k)
      point[k] = m_snapMarker->m_point[k];
  } else if (!m_camera->WindowToWorld(point)) {
    return;
  }
  const INT_PTR n = m_vertices->GetSize();
  if (n > 2 && Near((*m_vertices)[0], point[0], point[1], kCloseTolerance)) {
    Finish(m_group ? 1 : 0);
    return;
  }
  _CSPOINT3D vertex{point[0], point[1], m_primitive ? m_primitive->GetHeight() : 0.0, 0, 0};
  if (m_crossingTest && !EdgeAllowed(*m_vertices, vertex))
    return;
  if (m_state == kAppend) {
    if (n == 0 || !Near((*m_vertices)[n - 1], vertex.x, vertex.y, kSamePointTolerance))
      m_vertices->Add(vertex);
    m_core->Render(FALSE, FALSE);
  } else {
    for (INT_PTR i = 0; i < n; ++i)
      (*m_vertices)[i].flags &= ~VertexFlag::kSelected;
    vertex.flags = VertexFlag::kSelected;
    // The outline may have changed since the selected vertex was found; past its end the vertex goes last.
    const INT_PTR at = m_selected >= 0 && m_selected < n ? m_selected + 1 : n;
    m_vertices->InsertAt(at, vertex);
    m_stateWord &= ~PolygonState::kVertexEditing;
    WriteStateWord();
    Finish(0);
    return;
  }
  if (m_group)
    DrawOverlay(x, y);
}

void CCustomPolygonTool::OnRButtonUp(UINT, int, int)
{
  if (m_vertices && m_vertices->GetSize() > 2)
    Finish(0);
}

void CCustomPolygonTool::OnMouseWheel(UINT, int, int, int) { DrawOverlay(m_lastX, m_lastY); }

void CCustomPolygonTool::RefreshOverlay() { DrawOverlay(m_cursorPixel.x, m_cursorPixel.y); }

void CCustomPolygonTool::OnKeyDown(UINT key, UINT, UINT)
{
  StepCameraByKey(key);
  DrawOverlay(m_lastX, m_lastY);
}

void CCustomPolygonTool::DrawOverlay(int x, int y)
{
  if (!m_vertices || m_vertices->GetSize() == 0 || !m_camera || !m_core)
    return;
  m_core->m_bSwapBuffers = FALSE;
  m_core->Render(FALSE, FALSE);
  m_core->m_bSwapBuffers = TRUE;
  if (!HasCurrentGlContext())
    return;
  const VertexList& list = *m_vertices;
  const INT_PTR n = list.GetSize();
  const double eyeZ = EyeZ();
  const double marker = std::fabs(kMarkerScale * eyeZ);
  glPushMatrix();
  glTranslated(0, 0, -eyeZ);
  glDisable(GL_LIGHTING);
  const INT_PTR anchorIndex = m_state == kInsert && m_selected >= 0 && m_selected < n ? m_selected : n - 1;
  const _CSPOINT3D& anchor = list[anchorIndex];
  double cursor[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  m_camera->WindowToWorld(cursor);
  auto square = [](double cx, double cy, double half) {
    glBegin(GL_LINE_LOOP);
    glVertex3d(cx - half, cy - half, 0);
    glVertex3d(cx + half, cy - half, 0);
    glVertex3d(cx + half, cy + half, 0);
    glVertex3d(cx - half, cy + half, 0);
    glEnd();
  };
  glLineStipple(kStippleFactor, kStipplePattern);
  if (m_group) {
    CScenePalette::GetInstance()->SetGLColor(kOverlayColour);
    glEnable(GL_LINE_STIPPLE);
    glBegin(GL_LINE_STRIP);
    for (INT_PTR i = 0; i < n; ++i)
      glVertex3d(list[i].x, list[i].y, 0);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    glColor3f(1, 1, 0);
    for (INT_PTR i = 0; i < n; ++i)
      square(list[i].x, list[i].y, marker);
  }
  const int closed = m_group ? 0 : (m_stateWord & PolygonState::kClosed);
  if (closed == 0 && n > 2 && Near(list[0], cursor[0], cursor[1], kCloseTolerance)) {
    glColor3f(1, 1, 0);
    square(list[0].x, list[0].y, 2 * marker);
  }
  CScenePalette::GetInstance()->SetGLColor(kOverlayColour);
  glEnable(GL_LINE_STIPPLE);
  glBegin(GL_LINES);
  glVertex3d(anchor.x, anchor.y, 0);
  glVertex3d(cursor[0], cursor[1], 0);
  if (m_state == kInsert) {
    const _CSPOINT3D& next = list[anchorIndex + 1 < n ? anchorIndex + 1 : 0];
    glVertex3d(cursor[0], cursor[1], 0);
    glVertex3d(next.x, next.y, 0);
  }
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  square(cursor[0], cursor[1], marker);
  glEnable(GL_LIGHTING);
  glPopMatrix();
  m_core->SwapBuffers();
}
