#include "graphics/tools/snap_marker.h"

#include "geometry/gl_context.h"
#include "geometry/view_camera.h"
#include "model/iarea.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// A hundredth of the camera distance: the marker keeps its size on the screen whatever the zoom.
constexpr double kMarkerScale = 0.01;

}  // namespace

CSnapMarker& CSnapMarker::Instance()
{
  static CSnapMarker marker;
  return marker;
}

void CSnapMarker::Show(const double point[3], int lift)
{
  for (int k = 0; k < 3; ++k)
    m_point[k] = point[k];
  m_lift = lift;
  m_state = 1;
}

void CSnapMarker::SetColour(float r, float g, float b)
{
  m_colour[0] = r;
  m_colour[1] = g;
  m_colour[2] = b;
}

void CSnapMarker::Draw(const CViewCamera* camera)
{
  if (m_state == 0 || !camera || !camera->GetEye() || !HasCurrentGlContext())
    return;
  const double eyeDistance = std::fabs(camera->GetEye()->z);
  m_size = kMarkerScale * eyeDistance;
  const double s = m_size;
  const double x = m_point[0];
  const double y = m_point[1];
  double z = m_point[2];
  glPushMatrix();
  if (m_lift) {
    z = 0;
    glTranslated(0, 0, eyeDistance);
  }
  glDisable(GL_LIGHTING);
  glColor3f(m_colour[0], m_colour[1], m_colour[2]);
  glBegin(GL_LINE_LOOP);
  glVertex3d(x - s, y - s, z);
  glVertex3d(x + s, y - s, z);
  glVertex3d(x + s, y + s, z);
  glVertex3d(x - s, y + s, z);
  glVertex3d(x - s, y - s, z);
  glEnd();
  glBegin(GL_LINES);
  glVertex3d(x - s, y + s, z);
  glVertex3d(x + s, y - s, z);
  glVertex3d(x + s, y + s, z);
  glVertex3d(x - s, y - s, z);
  glEnd();
  glEnable(GL_LIGHTING);
  glPopMatrix();
}
