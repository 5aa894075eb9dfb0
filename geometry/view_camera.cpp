#include "geometry/view_camera.h"

#include "geometry/gl_context.h"
#include "model/iarea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Column-major 4 x 4 matrices, as OpenGL keeps them: element (row, column) at [column * 4 + row].
using Matrix = double[16];

void Identity(Matrix m)
{
  std::fill(m, m + 16, 0.0);
  m[0] = m[5] = m[10] = m[15] = 1.0;
}

// out = a x b; out may be a or b.
void Multiply(const Matrix a, const Matrix b, Matrix out)
{
  double product[16];
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += a[k * 4 + row] * b[column * 4 + k];
      product[column * 4 + row] = sum;
    }
  }
  std::copy(product, product + 16, out);
}

void Translate(Matrix m, double x, double y, double z)
{
  Matrix t;
  Identity(t);
  t[12] = x;
  t[13] = y;
  t[14] = z;
  Multiply(m, t, m);
}

// A rotation by degrees about one of the axes 0 (x), 1 (y), 2 (z), as glRotated does.
void Rotate(Matrix m, double degrees, int axis)
{
  const double radians = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const int a = (axis + 1) % 3;
  const int b = (axis + 2) % 3;
  Matrix r;
  Identity(r);
  r[a * 4 + a] = c;
  r[a * 4 + b] = s;
  r[b * 4 + a] = -s;
  r[b * 4 + b] = c;
  Multiply(m, r, m);
}

// The inverse by cofactors; FALSE for a singular matrix.
bool Invert(const Matrix m, Matrix out)
{
  double inv[16];
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  if (det == 0.0 || !std::isfinite(det))
    return false;
  for (int k = 0; k < 16; ++k)
    out[k] = inv[k] / det;
  return true;
}

// Zooming in stops this close to the drawing plane.
constexpr double kClosestToPlane = -0.05;

}  // namespace

CViewCamera*& CurrentViewCamera()
{
  static CViewCamera* camera = nullptr;
  return camera;
}

CViewCamera::CViewCamera(ICameraHost* host, HWND window) : m_host(host), m_window(window) {}

CViewCamera::~CViewCamera()
{
  if (CurrentViewCamera() == this)
    CurrentViewCamera() = nullptr;
}

void CViewCamera::SetGLContext(std::unique_ptr<IViewGLContext> context) { m_context = std::move(context); }

void CViewCamera::OnSize(UINT type, int cx, int cy)
{
  m_width = cx;
  m_height = cy;
  if (m_context)
    m_context->MakeCurrent();
  LoadProjection();
  if (m_host)
    m_host->OnWindowSize(type, cx, cy);
}

void CViewCamera::SetViewType(DWORD type)
{
  m_viewType = type;
  m_eye = m_host ? m_host->GetEyeRecord(type) : m_eye;
  // A record made for a larger scene would put the eye beyond the far plane, where nothing shows.
  if (m_eye && m_far > 0 && m_far < std::fabs(m_eye->z))
    m_eye->z = -(m_far - 10);
  m_near = IsPerspective() ? 0.1 : -100.0;
  LoadProjection();
  if (m_host) {
    m_host->OnNavigatorMode(IsPerspective());
    m_host->OnViewTypeChanged(type);
  }
}

void CViewCamera::ResetCurrentView()
{
  if (m_host)
    m_host->ResetEyeRecord(m_viewType);
  SetViewType(m_viewType);
}

void CViewCamera::SetFarPlane(double extentX, double extentY)
{
  m_far = std::sqrt((extentX + 2) * (extentX + 2) + (extentY + 2) * (extentY + 2) + 24.0 * 24.0) /
          std::tan(std::numbers::pi / 8);
  m_closestEyeZ = -m_far / 2;
  if (m_eye && m_far < std::fabs(m_eye->z))
    m_eye->z = -(m_far - 10);
  LoadProjection();
}

void CViewCamera::LoadPerspectiveMatrix()
{
  // A window of height 0 takes its width alone as the aspect.
  const double aspect = m_height != 0 ? static_cast<double>(m_width) / m_height : static_cast<double>(m_width);
  const double f = 1.0 / std::tan(45.0 / 2 * std::numbers::pi / 180.0);
  const double depth = m_near - m_far;
  Identity(m_projection);
  m_projection[0] = aspect != 0 ? f / aspect : f;
  m_projection[5] = f;
  m_projection[10] = depth != 0 ? (m_far + m_near) / depth : -1.0;
  m_projection[11] = -1.0;
  m_projection[14] = depth != 0 ? 2 * m_far * m_near / depth : 0.0;
  m_projection[15] = 0.0;
}

void CViewCamera::LoadOrthoMatrix()
{
  // A window with no extent in one direction would make the box infinite; one pixel stands for it.
  const int smaller = std::max(std::min(m_width, m_height), 1);
  const double eyeZ = m_eye ? std::fabs(m_eye->z) : 0.0;
  const double f = eyeZ / smaller * 0.5;
  const double left = -f * m_width, right = f * m_width;
  const double bottom = -f * m_height, top = f * m_height;
  Identity(m_projection);
  if (right != left)
    m_projection[0] = 2 / (right - left);
  if (top != bottom)
    m_projection[5] = 2 / (top - bottom);
  if (m_far != m_near) {
    m_projection[10] = -2 / (m_far - m_near);
    m_projection[14] = -(m_far + m_near) / (m_far - m_near);
  }
}

void CViewCamera::UploadProjection() const
{
  if (!HasCurrentGlContext())
    return;
  glViewport(m_viewport[0], m_viewport[1], m_viewport[2], m_viewport[3]);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(m_projection);
  glMatrixMode(GL_MODELVIEW);
}

void CViewCamera::LoadProjection()
{
  m_viewport[0] = m_viewport[1] = 0;
  m_viewport[2] = m_width;
  m_viewport[3] = m_height;
  if (IsPerspective())
    LoadPerspectiveMatrix();
  else
    LoadOrthoMatrix();
  UploadProjection();
}

void CViewCamera::LoadOrthoProjection()
{
  LoadOrthoMatrix();
  UploadProjection();
  if (HasCurrentGlContext())
    glLoadIdentity();
}

void CViewCamera::Apply()
{
  Identity(m_modelview);
  if (m_eye)
    Translate(m_modelview, m_eye->x, m_eye->y, m_eye->z);
  ApplyRotation();
  UpdateFrustum();
  if (m_host && m_eye)
    m_host->ApplyLibraryView(&m_eye->x, &m_eye->y, &m_eye->z, &m_far);
  if (!HasCurrentGlContext())
    return;
  double drawn[16];
  std::copy(m_modelview, m_modelview + 16, drawn);
  Translate(drawn, 0, 0, m_host ? -m_host->GetBaseHeight() : 0.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(drawn);
}

void CViewCamera::ApplyRotation()
{
  if (m_eye) {
    Rotate(m_modelview, m_eye->angle1, 0);
    Rotate(m_modelview, m_eye->angle2, 1);
    Rotate(m_modelview, m_eye->angle3, 2);
    // The node-value labels ask how far the line of sight leans from the vertical.
    m_tilt = 90.0 - m_eye->angle1;
  }
  Rotate(m_modelview, -90.0, 0);  // z up
}

namespace {

// The planes of the clip matrix P x M (Gribb and Hartmann): rows 4 +- 1, 2, 3, each normalised.
void FrustumPlanes(const Matrix projection, const Matrix modelview, double planes[6][4])
{
  double clip[16];
  Multiply(projection, modelview, clip);
  auto element = [&clip](int row, int column) { return clip[column * 4 + row]; };
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const double sign = side == 0 ? 1.0 : -1.0;
      double* plane = planes[axis * 2 + side];
      for (int column = 0; column < 4; ++column)
        plane[column] = element(3, column) + sign * element(axis, column);
      const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
      if (length > 0)
        for (int k = 0; k < 4; ++k)
          plane[k] /= length;
    }
  }
}

}  // namespace

void CViewCamera::UpdateFrustum() { FrustumPlanes(m_projection, m_modelview, m_planes); }

// What is drawn at the moment, in the coordinates of the object being drawn; the stored matrices stay those
// of the last apply.
void CViewCamera::UpdateFrustumFromGl()
{
  if (!HasCurrentGlContext())
    return;
  double projection[16];
  double modelview[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  FrustumPlanes(projection, modelview, m_planes);
}

BOOL CViewCamera::IsPointInFrustum(double x, double y, double z) const
{
  for (const auto& plane : m_planes)
    if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] <= 0)
      return FALSE;
  return TRUE;
}

BOOL CViewCamera::IsPointInFrustum(const CViewCamera* camera, double x, double y, double z)
{
  return camera != nullptr ? camera->IsPointInFrustum(x, y, z) : FALSE;
}

BOOL CViewCamera::WindowToWorld(double point[3]) const
{
  if (m_viewport[2] <= 0 || m_viewport[3] <= 0)
    return FALSE;
  double clip[16];
  Multiply(m_projection, m_modelview, clip);
  double inverse[16];
  if (!Invert(clip, inverse))
    return FALSE;
  const double windowY = m_viewport[3] - point[1] - 1;
  const double in[4] = {(point[0] - m_viewport[0]) / m_viewport[2] * 2 - 1,
                        (windowY - m_viewport[1]) / m_viewport[3] * 2 - 1, 2 * 0.0 - 1, 1};
  double out[4];
  for (int row = 0; row < 4; ++row) {
    out[row] = 0;
    for (int k = 0; k < 4; ++k)
      out[row] += inverse[k * 4 + row] * in[k];
  }
  if (out[3] == 0.0)
    return FALSE;
  for (int k = 0; k < 3; ++k)
    point[k] = out[k] / out[3];
  return TRUE;
}

void CViewCamera::PanZoomStep(double dx, double dy, int zoom)
{
  if (!m_eye)
    return;
  const double factor = std::fabs(m_panFactor * m_eye->z);
  if (zoom < 0)
    m_eye->z *= 1.0 - m_zoomStep;
  else if (zoom > 0)
    m_eye->z = std::max(m_eye->z * (1.0 + m_zoomStep), m_closestEyeZ);
  m_eye->x += factor * dx;
  m_eye->y -= factor * dy;
  if (!IsPerspective())
    LoadOrthoProjection();
  if (m_host)
    m_host->RenderFrame();
}

void CViewCamera::ViewPlaneCoords(const double point[3], double* u, double* v) const
{
  switch (m_viewType) {
  case kPlan:
    *u = point[0];
    *v = point[1];
    break;
  case kFront:
    *u = -point[1];
    *v = point[2];
    break;
  case kLeft:
    *u = -point[0];
    *v = point[2];
    break;
  default:  // right and both wall views
    *u = point[0];
    *v = point[2];
    break;
  }
}

void CViewCamera::ZoomAtPoint(const double point[3], int delta)
{
  if (IsPerspective()) {
    PanZoomStep(0, 0, delta);
    return;
  }
  if (!m_eye || m_viewType == kOwnRecord)
    return;
  double u = 0, v = 0;
  ViewPlaneCoords(point, &u, &v);
  // The world point under the cursor stays where it is on the screen.
  if (delta < 1) {
    if ((1.0 - m_zoomStep) * m_eye->z < kClosestToPlane) {
      m_eye->x = (1.0 - m_zoomStep) * m_eye->x - m_zoomStep * u;
      m_eye->y = (1.0 - m_zoomStep) * m_eye->y - m_zoomStep * v;
      m_eye->z = (1.0 - m_zoomStep) * m_eye->z;
    }
  } else if ((1.0 + m_zoomStep) * m_eye->z > m_closestEyeZ) {
    m_eye->x = (1.0 + m_zoomStep) * m_eye->x + m_zoomStep * u;
    m_eye->y = (1.0 + m_zoomStep) * m_eye->y + m_zoomStep * v;
    m_eye->z = (1.0 + m_zoomStep) * m_eye->z;
  }
  LoadOrthoProjection();
  if (m_host)
    m_host->RenderFrame();
}
