#include "graphics/scene/photometric_solid.h"

#include "model/intensity_table.h"
#include "graphics/scene/scene_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr std::uint32_t kOnePlane = 1u << 20;

double Cell(const _LINKED_TABLE* table, int row, int column)
{
  const _LINKED_TABLE_NODE* node = LinkedTableFind(table, column, row);
  return node ? node->value : 0.0;
}

void SetRed(_INTENSITY_PLANE_CURVE* curve)
{
  curve->colour[0] = 1.0f;
  curve->colour[1] = 0.0f;
  curve->colour[2] = 0.0f;
}

}  // namespace

void FinalizePlaneCurve(_INTENSITY_PLANE_CURVE* curve)
{
  const size_t n = curve->points.size();
  delete[] curve->vertices;
  delete[] curve->indices;
  curve->vertices = new double[3 * n];
  curve->indices = new unsigned int[n];
  for (size_t i = 0; i < n; ++i) {
    curve->vertices[3 * i] = curve->points[i]->x;
    curve->vertices[3 * i + 1] = curve->points[i]->y;
    curve->vertices[3 * i + 2] = curve->points[i]->z;
    curve->indices[i] = static_cast<unsigned int>(i);
  }
  curve->count = static_cast<int>(n);
}

void DrawPlaneCurve(const _INTENSITY_PLANE_CURVE* curve)
{
  if (curve->count == 0) return;
  glLineWidth(1);
  glDisable(GL_LIGHTING);
  glColor3f(curve->colour[0], curve->colour[1], curve->colour[2]);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_DOUBLE, 0, curve->vertices);
  glDrawElements(GL_LINE_STRIP, curve->count, GL_UNSIGNED_INT, curve->indices);
  glDisableClientState(GL_VERTEX_ARRAY);
  glColor3f(0, 1, 0);
  glBegin(GL_LINES);
  glVertex3d(0, 0, 0);
  glVertex3d(0, 0, -curve->axisLength);
  glEnd();
  glEnable(GL_LIGHTING);
}

void ClearPlaneCurve(_INTENSITY_PLANE_CURVE* curve)
{
  for (_INTENSITY_PLANE_POINT* point : curve->points) delete point;
  curve->points.clear();
  delete[] curve->vertices;
  delete[] curve->indices;
  curve->vertices = nullptr;
  curve->indices = nullptr;
  curve->count = 0;
}

double GetMaxIntensity(const _LINKED_TABLE* table)
{
  double largest = 0.0;
  if (table == nullptr || table->rows < 2 || table->columns < 2) return largest;
  for (int i = 2; i <= table->rows; ++i)
    for (int j = 2; j <= table->columns; ++j) largest = std::max(largest, Cell(table, i, j));
  return largest;
}

CLuminousIntensityCurve::~CLuminousIntensityCurve() { Clear(); }

void CLuminousIntensityCurve::Draw()
{
  for (const _INTENSITY_PLANE_CURVE* curve : m_curves) DrawPlaneCurve(curve);
}

void CLuminousIntensityCurve::Clear()
{
  for (_INTENSITY_PLANE_CURVE* curve : m_curves) {
    ClearPlaneCurve(curve);
    delete curve;
  }
  m_curves.clear();
}

void CLuminousIntensityCurve::BuildCGammaPlanes(const _LINKED_TABLE* table, int flags)
{
  const double largest = GetMaxIntensity(table);
  if (largest <= 0.0) return;
  const double unit = m_scale / largest;
  auto build = [&](double c, int row) {
    auto* curve = new _INTENSITY_PLANE_CURVE;
    if (c == 0.0 || c == -180.0 || c == 90.0 || c == -90.0) SetRed(curve);
    const double cr = c * kDegree;
    for (int j = 2; j <= table->columns; ++j) {
      const double gamma = Cell(table, 1, j) * kDegree;
      const double rho = Cell(table, row, j) * unit;
      curve->points.push_back(new _INTENSITY_PLANE_POINT{rho * std::sin(gamma) * std::cos(cr),
                                                         rho * std::sin(gamma) * std::sin(cr),
                                                         -rho * std::cos(gamma)});
    }
    FinalizePlaneCurve(curve);
    m_curves.push_back(curve);
  };
  if ((static_cast<std::uint32_t>(flags) & kOnePlane) != 0) {
    for (int c = -180; c < 180; c += 5) build(c, 2);
  } else {
    for (int i = 2; i <= table->rows; ++i) build(Cell(table, i, 1), i);
  }
}

void CLuminousIntensityCurve::BuildBPlanes(const _LINKED_TABLE* table)
{
  const double largest = GetMaxIntensity(table);
  if (largest <= 0.0) return;
  const double unit = m_scale / largest;
  for (int i = 2; i <= table->rows; ++i) {
    auto* curve = new _INTENSITY_PLANE_CURVE;
    const double b = Cell(table, i, 1);
    if (b == 0.0) SetRed(curve);
    const double br = b * kDegree;
    for (int j = 2; j <= table->columns; ++j) {
      const double beta = Cell(table, 1, j) * kDegree;
      const double rho = Cell(table, i, j) * unit;
      curve->points.push_back(new _INTENSITY_PLANE_POINT{rho * std::sin(beta),
                                                         rho * std::cos(beta) * std::sin(br),
                                                         -rho * std::cos(beta) * std::cos(br)});
    }
    FinalizePlaneCurve(curve);
    m_curves.push_back(curve);
  }
}

void DrawMarkerDisc(double x, double y, double z, double r)
{
  glPushMatrix();
  glTranslated(x, y, z);
  scene::Quadric quadric;
  gluQuadricDrawStyle(quadric.get(), GLU_FILL);
  gluDisk(quadric.get(), 0, r, 15, 1);
  glPopMatrix();
}

void DrawDashedCircle(double x, double y, double z, double r)
{
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(3, 0xAAAA);
  scene::Quadric quadric;
  glPushMatrix();
  glTranslated(x, y, z);
  gluQuadricDrawStyle(quadric.get(), GLU_SILHOUETTE);
  gluDisk(quadric.get(), 0, r, 100, 1);
  glPopMatrix();
  glDisable(GL_LINE_STIPPLE);
}
