#include "graphics/scene/scene_draw.h"

#include "geometry/view_camera.h"
#include "graphics/core/scene_palette.h"
#include "model/iarea.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scene {

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;
// Handles and markers are this fraction of the eye's distance.
constexpr double kMarkerScale = 0.0035;
}  // namespace

void GetPaletteColor(int colourId, float* red, float* green, float* blue)
{
  *red = *green = *blue = 0;
  CScenePalette::GetInstance()->GetColor(colourId, red, green, blue);
}

void BeginOutline(int colourId)
{
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  float r, g, b;
  GetPaletteColor(colourId, &r, &g, &b);
  glColor3f(r, g, b);
}

void EndOutline()
{
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_LIGHTING);
}

void ApplyMaterial(int colourId, int materialId) { CScenePalette::GetInstance()->ApplyMaterial(colourId, materialId); }

double MarkerSize()
{
  CViewCamera* camera = CurrentViewCamera();
  if (camera == nullptr || camera->GetEye() == nullptr) {
    return 0.0;
  }
  return std::fabs(kMarkerScale * camera->GetEye()->z);
}

void DrawArc(double a0, double a1, double r, double z, double cx, double cy)
{
  const double start = std::min(a0, a1);
  const double end = std::max(a0, a1);
  const double step = (end - start) / 10.0;
  if (step <= 0) {
    return;
  }
  // Counted rather than stepped to the end, so rounding never adds an eleventh segment.
  for (int i = 0; i < 10; ++i) {
    const double a = (start + step * i) * kDegree;
    const double b = (start + step * (i + 1)) * kDegree;
    glBegin(GL_LINES);
    glVertex3d(cx + r * std::sin(a), cy + r * std::cos(a), z);
    glVertex3d(cx + r * std::sin(b), cy + r * std::cos(b), z);
    glEnd();
  }
}

Quadric::Quadric() : m_quadric(gluNewQuadric()) {}
Quadric::~Quadric() { gluDeleteQuadric(m_quadric); }

}  // namespace scene
