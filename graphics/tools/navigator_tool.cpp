#include "graphics/tools/navigator_tool.h"

#include "geometry/gl_context.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/view_services.h"
#include "model/iarea.h"
#include "platform/user/input.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

namespace {

bool IsWallView(DWORD type) { return type == CViewCamera::kLeftWall || type == CViewCamera::kRightWall; }

}  // namespace

CNavigatorTool::CNavigatorTool(CGraphicCoreFull* core) : CToolBase(core) {}

void CNavigatorTool::SetMode(int mode)
{
  m_mode = mode;
  if (m_camera && mode == NavigatorMode::kZoomIn)
    m_camera->PanZoomStep(0, 0, -1);
  else if (m_camera && mode == NavigatorMode::kZoomOut)
    m_camera->PanZoomStep(0, 0, 1);
  SetNavigatorCursor(mode, m_view);
}

void CNavigatorTool::CursorToPlane(int x, int y, double* u, double* v) const
{
  double world[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  if (m_camera)
    m_camera->WindowToWorld(world);
  const bool wall = m_camera && IsWallView(m_camera->m_viewType);
  *u = world[0];
  *v = wall ? world[2] : world[1];
}

void CNavigatorTool::OnLButtonDown(UINT flags, int x, int y)
{
  m_savedMode = m_mode;
  m_dragging = TRUE;
  m_lastX = x;
  m_lastY = y;
  if (!m_camera || m_camera->IsPerspective())
    return;
  const DWORD type = m_camera->m_viewType;
  const bool flat = type == CViewCamera::kPlan || IsWallView(type);
  const bool zooming = m_mode == NavigatorMode::kZoomIn || m_mode == NavigatorMode::kZoomOut;
  if ((flags & ToolFlags::kShift) != 0 && flat && zooming) {
    SetMode(NavigatorMode::kZoomWindow);
    CursorToPlane(x, y, &m_x0, &m_y0);
    m_x1 = m_x0;
    m_y1 = m_y0;
  }
}

void CNavigatorTool::OnMouseMove(UINT, int x, int y)
{
  double world[3] = {static_cast<double>(x), static_cast<double>(y), 0};
  if (m_camera && m_camera->WindowToWorld(world)) {
    if (IsWallView(m_camera->m_viewType)) {
      if (m_camera->m_viewType == CViewCamera::kRightWall)
        world[0] = -world[0];
      world[1] = world[2];
    }
    for (int k = 0; k < 3; ++k)
      m_cursor[k] = world[k];
  }
  if (!m_dragging || !m_camera) {
    m_lastX = x;
    m_lastY = y;
    return;
  }
  // Rotating a flat view would tilt it out of its plane; the drag keeps its starting point.
  if (m_mode == NavigatorMode::kRotate && !m_camera->IsPerspective())
    return;
  const int dx = x - m_lastX;
  const int dy = y - m_lastY;
  switch (m_mode) {
  case NavigatorMode::kRotate:
    if (_DEVCPOSITION* eye = m_camera->GetEye()) {
      eye->angle1 += m_camera->m_rotationFactor * dy;
      eye->angle2 += m_camera->m_rotationFactor * dx;
      m_core->Render(FALSE, FALSE);
    }
    break;
  case NavigatorMode::kPan:
    m_camera->PanZoomStep(dx, dy, 0);
    break;
  case NavigatorMode::kZoomIn:
  case NavigatorMode::kZoomOut:
    // One step a move event, whatever the distance: up (dy < 0) brings the eye closer, down takes it away.
    m_camera->PanZoomStep(0, 0, dy);
    break;
  case NavigatorMode::kZoomWindow:
    CursorToPlane(x, y, &m_x1, &m_y1);
    m_core->m_bSwapBuffers = FALSE;
    m_core->Render(FALSE, FALSE);
    m_core->m_bSwapBuffers = TRUE;
    DrawZoomRect();
    m_core->SwapBuffers();
    break;
  default:
    break;
  }
  m_lastX = x;
  m_lastY = y;
}

void CNavigatorTool::OnLButtonUp(UINT, int, int)
{
  m_dragging = FALSE;
  if (m_mode == NavigatorMode::kZoomWindow)
    ApplyZoomWindow();
  m_mode = m_savedMode;
}

void CNavigatorTool::OnMouseWheel(UINT, int delta, int, int)
{
  if (m_camera)
    m_camera->ZoomAtPoint(m_cursor, delta);
}

void CNavigatorTool::OnKeyDown(UINT key, UINT, UINT)
{
  if (key == VK_ESCAPE && m_camera)
    m_camera->ResetCurrentView();
  else
    StepCameraByKey(key);
}

void CNavigatorTool::ApplyZoomWindow()
{
  if (!m_camera || !m_camera->GetEye())
    return;
  _DEVCPOSITION* eye = m_camera->GetEye();
  const double dx = m_x1 - m_x0;
  const double dy = m_y0 - m_y1;
  const double larger = dx > dy ? dx : dy;
  eye->x = -(m_x0 + dx / 2);
  if (m_camera->m_viewType == CViewCamera::kRightWall)
    eye->x = -eye->x;
  eye->y = -(m_y0 - dy / 2);
  // A window dragged towards the upper left gives a negative side; the eye stays on the viewer's side of the
  // plane, as every other camera move keeps it.
  eye->z = -std::fabs((larger / 2) / std::tan(std::numbers::pi / 8));
  if (!m_camera->IsPerspective())
    m_camera->LoadOrthoProjection();
  m_core->Render(FALSE, FALSE);
}

void CNavigatorTool::DrawZoomRect() const
{
  if (!HasCurrentGlContext() || !m_camera)
    return;
  const bool wall = IsWallView(m_camera->m_viewType);
  auto corner = [wall](double u, double v) {
    if (wall)
      glVertex3d(u, 0, v);
    else
      glVertex3d(u, v, 0);
  };
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_ALPHA_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.08f, 0.9f, 1.0f, 0.3f);
  glBegin(GL_QUADS);
  corner(m_x0, m_y0);
  corner(m_x0, m_y1);
  corner(m_x1, m_y1);
  corner(m_x1, m_y0);
  glEnd();
  glColor3f(0.08f, 0.9f, 1.0f);
  glBegin(GL_LINE_LOOP);
  corner(m_x0, m_y0);
  corner(m_x0, m_y1);
  corner(m_x1, m_y1);
  corner(m_x1, m_y0);
  glEnd();
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}
