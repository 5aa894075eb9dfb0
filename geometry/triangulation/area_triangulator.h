// Splits a closed 3D outline into the triangles of least summed area that use only its vertices: the
// least-area surface the outline spans, planar or not.
#pragma once

#include "geometry/stroke_font.h"
#include "model/ipole.h"
#include "platform/mfc-core/array.h"

#include <memory>
#include <vector>

struct _TRIANGLE3D {
  _TRIANGLE3D(double ax, double ay, double az, double bx, double by, double bz, double cx, double cy, double cz)
      : a{ax, ay, az}, b{bx, by, bz}, c{cx, cy, cz}
  {
  }
  _POINT3D a;
  _POINT3D b;
  _POINT3D c;
};

class CAreaTriangulator {
public:
  explicit CAreaTriangulator(const CArray<_CSPOINT3D>& outline) : m_outline(outline) {}
  ~CAreaTriangulator() { Clear(); }
  CAreaTriangulator(const CAreaTriangulator&) = delete;
  CAreaTriangulator& operator=(const CAreaTriangulator&) = delete;

  // Appends the triangles of the outline; each runs (lower vertex, split vertex, upper vertex) in outline
  // order, whatever its orientation.
  void Triangulate();
  void Clear() { m_triangles.clear(); }

  const std::vector<std::unique_ptr<_TRIANGLE3D>>& Triangles() const { return m_triangles; }

private:
  const CArray<_CSPOINT3D>& m_outline;
  std::vector<std::unique_ptr<_TRIANGLE3D>> m_triangles;
};
