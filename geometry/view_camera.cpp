#include "geometry/view_camera.h"

#include <GL/gl.h>

CViewCamera*& CurrentViewCamera()
{
  static CViewCamera* camera = nullptr;
  return camera;
}

BOOL CViewCamera::IsPointInFrustum(const CViewCamera* camera, double x, double y, double z)
{
  if (camera == nullptr) {
    return FALSE;
  }
  for (const auto& plane : camera->m_planes) {
    if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] <= 0) {
      return FALSE;
    }
  }
  return TRUE;
}

// The planes of the clip matrix P x M (Gribb and Hartmann): rows 4 +- 1, 2, 3.
void CViewCamera::UpdateFrustumFromGl()
{
  double projection[16];
  double modelView[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  double clip[16];  // column-major like GL
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) {
        sum += projection[k * 4 + row] * modelView[column * 4 + k];
      }
      clip[column * 4 + row] = sum;
    }
  }
  auto element = [&clip](int row, int column) { return clip[column * 4 + row]; };
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const double sign = side == 0 ? 1.0 : -1.0;
      double* plane = m_planes[axis * 2 + side];
      for (int column = 0; column < 4; ++column) {
        plane[column] = element(3, column) + sign * element(axis, column);
      }
    }
  }
}
