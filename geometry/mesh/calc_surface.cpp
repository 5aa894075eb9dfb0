#include "geometry/mesh/calc_surface.h"

#include "geometry/colour_mapping.h"
#include "geometry/levels.h"
#include "geometry/mesh/mesh_labels.h"
#include "geometry/triangulation/area_triangulator.h"
#include "geometry/triangulation/outline_check.h"
#include "model/ivisualopt.h"
#include "model/primitive.h"
#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/memfile.h"

#include <GL/gl.h>

#include <cmath>
#include <map>
#include <tuple>

namespace {

const DWORD kMeshFormatVersion = ObjectModel::MakeFormatVersion(4, 3, 5, 0);

// Elements of the visual options the surface reads.
constexpr int kIsolineColourElement = 7;
constexpr int kLabelFontElement = 1;

// Font heights are hundredths of a metre, negative as character heights.
constexpr double kFontUnitsPerMetre = 100.0;

double HeronArea(const CTriTriangle& t)
{
  const double a = PointDistance(*t.points[0], *t.points[1]);
  const double b = PointDistance(*t.points[1], *t.points[2]);
  const double c = PointDistance(*t.points[2], *t.points[0]);
  const double s = (a + b + c) / 2;
  const double squared = s * (s - a) * (s - b) * (s - c);
  return squared > 0 ? std::sqrt(squared) : 0.0;  // rounding makes a flat triangle slightly negative
}

double MeanOfCorners(const CTriTriangle& t)
{
  double sum = 0;
  for (const CTriPoint* p : t.points) {
    sum += static_cast<const CMeshPoint*>(p)->value;
  }
  return sum / 3;
}

}  // namespace

void CCalcMesh::Clear()
{
  triangles.clear();
  vertices.clear();
  wallQuads.clear();
}

void CCalcMesh::BuildFromPolygon(IPrimitive* primitive, const CQorTriPolygon& polygon)
{
  std::map<std::tuple<double, double, double>, CMeshPoint*> byPosition;
  auto findOrAddVertex = [this, &byPosition](const CTriPoint* p) {
    auto [at, added] = byPosition.try_emplace(std::make_tuple(p->x, p->y, p->z), nullptr);
    if (added) {
      at->second = AddMeshPoint(p->x, p->y, p->z, vertices);
    }
    return at->second;
  };
  for (const auto& source : polygon.meshTriangles) {
    CMeshPoint* a = findOrAddVertex(source->points[0]);
    CMeshPoint* b = findOrAddVertex(source->points[1]);
    CMeshPoint* c = findOrAddVertex(source->points[2]);
    auto t = std::make_unique<CTriTriangle>(a, b, c);
    t->normal = source->normal;
    t->normal.z = -t->normal.z;
    triangles.push_back(std::move(t));
  }
  for (auto& v : vertices) {
    v->z -= zOffset;
  }
  CArray<_CSPOINT3D>* outline = nullptr;
  if (primitive == nullptr || primitive->GetOutline(&outline) != 0 || outline == nullptr) {
    return;
  }
  const INT_PTR n = outline->GetSize();
  auto quad = [this](const _CSPOINT3D& a, const _CSPOINT3D& b) {
    CMeshWallQuad q;
    const _CSPOINT3D* ends[4] = {&a, &a, &b, &b};
    for (int k = 0; k < 4; ++k) {
      q.corners[k][0] = ends[k]->x;
      q.corners[k][1] = ends[k]->y;
      q.corners[k][2] = ends[k]->z + (k == 1 || k == 2 ? zOffset : 0.0);
    }
    wallQuads.push_back(q);
  };
  for (INT_PTR c = 0; c + 1 < n; ++c) {
    quad((*outline)[c], (*outline)[c + 1]);
  }
  if (n > 0) {
    quad((*outline)[0], (*outline)[n - 1]);
  }
}

void CMeshArrays::Clear()
{
  positions.clear();
  normals.clear();
  colours.clear();
  indices.clear();
  indexCount = 0;
}

CPrimitiveCalcSurface::~CPrimitiveCalcSurface() { CPrimitiveCalcSurface::Reset(); }

void CPrimitiveCalcSurface::ReleaseMeshes()
{
  m_isolines.Clear();
  m_edgeTable.Clear();
  m_polygon.Clear();
  m_mesh.Clear();
  m_flags = 0;
}

void CPrimitiveCalcSurface::Reset() { ReleaseMeshes(); }

void CPrimitiveCalcSurface::LoadPolygon()
{
  ReleaseMeshes();
  m_outlineFault = nullptr;
  CArray<_CSPOINT3D>* outline = nullptr;
  if (m_primitive == nullptr || m_primitive->GetOutline(&outline) != 0 || outline == nullptr) {
    return;
  }
  // The same check the user's outline passes when it is drawn: a file or a copy may still bring a crossing one,
  // and the sweep would make a part of a mesh from it.
  std::vector<OutlinePoint> plan;
  for (INT_PTR i = 0; i < outline->GetSize(); ++i) {
    plan.push_back({(*outline)[i].x, (*outline)[i].y});
  }
  const OutlineCheck check = CheckPolygonOutline(plan);
  m_outlineFault = check.Message();
  if (m_outlineFault != nullptr) {
    return;
  }
  MeshPointList points;
  for (size_t i : check.kept) {
    const _CSPOINT3D& v = (*outline)[static_cast<INT_PTR>(i)];
    AddMeshPoint(v.x, v.y, v.z + kMeshPointRaise, points);
  }
  LinkOutlineEdges(points);
  AppendPoints(m_polygon, points);
}

bool CPrimitiveCalcSurface::RebuildMesh()
{
  LoadPolygon();
  if (m_outlineFault != nullptr) {
    m_mesh.Clear();
    return false;
  }
  const bool triangulated = TriangulatePolygon(m_sweepHolder, m_polygon);
  m_polygon.CollectTriangles();
  m_mesh.BuildFromPolygon(m_primitive, m_polygon);
  return triangulated;
}

void CPrimitiveCalcSurface::RefineMesh(double step)
{
  if ((m_flags & SurfaceFlags::kRefined) != 0) {
    if (step == m_polygon.step) {
      return;
    }
    RebuildMesh();
  }
  // Refinement builds on a triangulation of the outline; an outline the sweep refused has none, and its
  // divided edges would only be refused again (or worse).
  if (m_polygon.meshTriangles.empty()) {
    return;
  }
  m_polygon.Refine(step);
  TriangulatePolygon(m_sweepHolder, m_polygon);
  m_flags |= SurfaceFlags::kRefined;
}

double CPrimitiveCalcSurface::ComputeArea()
{
  double area = 0;
  for (const auto& t : m_polygon.meshTriangles) {
    area += HeronArea(*t);
  }
  m_totalArea = area;
  return area;
}

void CPrimitiveCalcSurface::ComputeAverage()
{
  m_totalArea = 0;
  m_weightedSum = 0;
  for (const auto& t : m_polygon.triangles) {
    const double area = HeronArea(*t);
    m_totalArea += area;
    m_weightedSum += area * MeanOfCorners(*t);
  }
  // A surface without area (no triangles) has no mean rather than a division by zero.
  m_meanValue = m_totalArea > 0 ? m_weightedSum / m_totalArea : 0.0;
  m_flags |= SurfaceFlags::kValuesShown;
}

void CPrimitiveCalcSurface::BuildLabels()
{
  CMeshLabelBuilder builder(m_labelHeight, m_isolineColour[0], m_isolineColour[1], m_isolineColour[2]);
  builder.BuildLabels(m_isolines);
}

void CPrimitiveCalcSurface::BuildIsolines(IVisualOpt* options)
{
  CLevelArray levels;
  BuildLevels(options, m_maxValue, m_maxValue, levels);
  BuildAllIsolines(levels, m_isolines, m_edgeTable, m_polygon);
  BuildLabels();
  BuildVertexArrays();
}

void CPrimitiveCalcSurface::BuildVertexArrays()
{
  m_arrays.Clear();
  const size_t n = m_polygon.points.size();
  m_arrays.positions.reserve(3 * n);
  m_arrays.normals.reserve(3 * n);
  m_arrays.colours.reserve(3 * n);
  for (size_t j = 0; j < n; ++j) {
    CMeshPoint* p = m_polygon.Point(j);
    p->index = static_cast<std::int32_t>(j);
    m_arrays.positions.insert(m_arrays.positions.end(), {p->x, p->y, p->z});
    m_arrays.colours.insert(m_arrays.colours.end(), {p->r, p->g, p->b});
    m_arrays.normals.insert(m_arrays.normals.end(), {p->normal.x, p->normal.y, p->normal.z});
  }
  for (const auto& t : m_polygon.triangles) {
    for (const CTriPoint* corner : t->points) {
      m_arrays.indices.push_back(static_cast<std::uint32_t>(static_cast<const CMeshPoint*>(corner)->index));
    }
  }
  m_arrays.indexCount = static_cast<std::uint32_t>(m_arrays.indices.size());
}

void CPrimitiveCalcSurface::ApplyColorLevels(IVisualOpt* options)
{
  CColorLevelArray levels;
  int display = 0;
  if (options != nullptr) {
    options->GetColourLevels(options->GetQuantity(), nullptr, nullptr, &levels);
    display = *options->GetResultDisplay();
  }
  const INT_PTR n = levels.GetSize();
  // Without colour levels the values are still worth seeing: grey, as the calculation areas do.
  DWORD fill = display == 3 && n > 0 ? FillFlags::kPalette : FillFlags::kGrey;
  if ((fill & FillFlags::kPalette) != 0) {
    if (m_maxValue <= levels[0].value) {
      fill |= FillFlags::kAllFirstLevel;
    }
    if (m_minValue >= levels[n - 1].value) {
      fill |= FillFlags::kAllLastLevel;
    }
  }
  auto channels = [](COLORREF c, double out[3]) {
    out[0] = GetRValue(c) / 255.0;
    out[1] = GetGValue(c) / 255.0;
    out[2] = GetBValue(c) / 255.0;
  };
  for (size_t j = 0; j < m_polygon.points.size(); ++j) {
    const CMeshPoint* p = m_polygon.Point(j);
    const size_t at = static_cast<size_t>(p->index) * 3;
    if (p->index < 0 || at + 3 > m_arrays.colours.size()) {
      continue;  // arrays not built for this point yet
    }
    double* rgb = &m_arrays.colours[at];
    const double v = p->value;
    if ((fill & (FillFlags::kAllFirstLevel | FillFlags::kAllLastLevel)) != 0) {
      channels((fill & FillFlags::kAllFirstLevel) != 0 ? levels[0].colour : levels[n - 1].colour, rgb);
    } else if ((fill & FillFlags::kPalette) != 0) {
      if (v <= levels[0].value) {
        channels(levels[0].colour, rgb);
      } else if (v >= levels[n - 1].value) {
        channels(levels[n - 1].colour, rgb);
      } else {
        for (INT_PTR i = 0; i + 1 < n; ++i) {
          const _PREF_OF_COLOR_LEVELS& lo = levels[i];
          const _PREF_OF_COLOR_LEVELS& hi = levels[i + 1];
          if (lo.value <= v && v < hi.value) {
            const double t = (v - lo.value) / (hi.value - lo.value);
            double a[3], b[3];
            channels(lo.colour, a);
            channels(hi.colour, b);
            for (int k = 0; k < 3; ++k) {
              rgb[k] = a[k] + t * (b[k] - a[k]);
            }
            break;
          }
        }
      }
    } else {
      // With no positive value anywhere the mesh is black, not a division by zero.
      const double grey = m_maxValue != 0 ? v / m_maxValue : 0.0;
      rgb[0] = rgb[1] = rgb[2] = grey;
    }
  }
}

void CPrimitiveCalcSurface::ApplyVisualOptions(IVisualOpt* options, int refresh)
{
  if (refresh != 0) {
    const int* membership = m_primitive != nullptr ? m_primitive->GetMembership() : nullptr;
    if (membership == nullptr || *membership != ObjectModel::kMemberShading) {
      ApplyColorLevels(options);
    }
  } else {
    if ((m_flags & SurfaceFlags::kValuesShown) != 0) {
      m_isolines.Clear();
    }
    m_flags &= ~SurfaceFlags::kValuesShown;
  }
  if (options == nullptr) {
    return;
  }
  _PREF_OF_COLOR colour{};
  options->GetColour(kIsolineColourElement, &colour);
  LOGFONTA font{};
  options->GetFont(kLabelFontElement, &font);
  const double height = -static_cast<double>(font.lfHeight) / kFontUnitsPerMetre;
  if (height == m_labelHeight) {
    if (colour.r != m_isolineColour[0] || colour.g != m_isolineColour[1] || colour.b != m_isolineColour[2]) {
      m_isolineColour[0] = colour.r;
      m_isolineColour[1] = colour.g;
      m_isolineColour[2] = colour.b;
      m_isolines.SetLabelColour(colour.r, colour.g, colour.b);
    }
  } else {
    m_labelHeight = height;
    m_isolineColour[0] = colour.r;
    m_isolineColour[1] = colour.g;
    m_isolineColour[2] = colour.b;
    m_isolines.ReleaseLabels();
    BuildLabels();
  }
  if (*options->GetResultDisplay() == 0) {
    m_flags |= SurfaceFlags::kIsolinesShown;
  } else {
    m_flags &= ~SurfaceFlags::kIsolinesShown;
  }
}

void CPrimitiveCalcSurface::Draw(bool calculationIdle)
{
  glDisable(GL_LIGHTING);
  DrawMesh(calculationIdle);
  if ((m_flags & SurfaceFlags::kIsolinesShown) != 0) {
    m_isolines.Draw(m_isolineColour);
  }
}

void CPrimitiveCalcSurface::DrawMesh(bool calculationIdle)
{
  _PREF_OF_COLOR colour{};
  if (m_primitive != nullptr) {
    m_primitive->GetDrawColour(&colour);
  }
  if ((m_flags & SurfaceFlags::kValuesShown) != 0) {
    glEnable(GL_DEPTH_TEST);
    if (m_arrays.indexCount == 0) {
      return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_DOUBLE, 0, m_arrays.positions.data());
    glColorPointer(3, GL_DOUBLE, 0, m_arrays.colours.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_arrays.indexCount), GL_UNSIGNED_INT, m_arrays.indices.data());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    return;
  }
  glDisable(GL_LIGHTING);
  glEnable(GL_ALPHA_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4d(colour.r, colour.g, colour.b, m_alpha);
  if (calculationIdle) {
    glBegin(GL_TRIANGLES);
    for (const auto& t : m_mesh.triangles) {
      glNormal3d(t->normal.x, t->normal.y, t->normal.z);
      for (const CTriPoint* p : t->points) {
        glVertex3d(p->x, p->y, p->z);
      }
    }
    glEnd();
  }
  glDisable(GL_ALPHA_TEST);
}

// The surface's block, in file order:
//   mean value, weighted sum, label height, minimum value, maximum value (doubles); flags (int32);
//   the polygon; the isoline set.
void CPrimitiveCalcSurface::Serialize(CArchive& ar, DWORD formatVersion)
{
  if (formatVersion < kMeshFormatVersion) {
    return;
  }
  if (ar.IsStoring()) {
    ar << m_meanValue << m_weightedSum << m_labelHeight << m_minValue << m_maxValue
       << static_cast<std::int32_t>(m_flags);
    m_polygon.Serialize(ar, formatVersion);
    m_isolines.Serialize(ar, formatVersion);
    return;
  }
  ReleaseMeshes();
  std::int32_t flags = 0;
  ar >> m_meanValue >> m_weightedSum >> m_labelHeight >> m_minValue >> m_maxValue >> flags;
  m_polygon.Serialize(ar, formatVersion);
  m_isolines.Serialize(ar, formatVersion);
  for (auto& level : m_isolines.levels) {
    level->set = &m_isolines;
  }
  m_flags = static_cast<DWORD>(flags);
  if ((m_flags & SurfaceFlags::kRefined) != 0) {
    m_mesh.Clear();
    m_mesh.BuildFromPolygon(m_primitive, m_polygon);
  }
  BuildVertexArrays();
  BuildLabels();
}

void CPrimitiveCalcSurface::CopyFrom(const ObjectModel::CPrimitiveCalcSurface& source)
{
  const auto* from = dynamic_cast<const CPrimitiveCalcSurface*>(&source);
  if (from == this) {
    return;
  }
  if (from == nullptr) {
    Reset();
    return;
  }
  CMemFile bytes;
  {
    CArchive out(&bytes, CArchive::store);
    const_cast<CPrimitiveCalcSurface*>(from)->Serialize(out, ObjectModel::kCurrentFormatVersion);
    out.Close();
  }
  bytes.SeekToBegin();
  std::copy(std::begin(from->m_isolineColour), std::end(from->m_isolineColour), m_isolineColour);
  {
    CArchive in(&bytes, CArchive::load);
    Serialize(in, ObjectModel::kCurrentFormatVersion);
    in.Close();
  }
  m_polygon.step = from->m_polygon.step;
  m_totalArea = from->m_totalArea;
  m_alpha = from->m_alpha;
  // The sheet is drawn from the unrefined mesh, which the stored form rebuilds only for a refined surface.
  m_mesh.Clear();
  m_mesh.BuildFromPolygon(m_primitive, m_polygon);
  m_arrays = from->m_arrays;
}

void CPrimitiveCalcSurface::GetMeshTriangle(std::size_t i, double corners[3][3]) const
{
  const CTriTriangle& t = *m_polygon.meshTriangles.at(i);
  for (int k = 0; k < 3; ++k) {
    corners[k][0] = t.points[k]->x;
    corners[k][1] = t.points[k]->y;
    corners[k][2] = t.points[k]->z;
  }
}

void CPrimitiveCalcSurface::GetMeshPoint(std::size_t i, double position[3], double normal[3]) const
{
  const auto& p = static_cast<const CMeshPoint&>(*m_polygon.points.at(i));
  position[0] = p.x;
  position[1] = p.y;
  position[2] = p.z;
  normal[0] = p.normal.x;
  normal[1] = p.normal.y;
  normal[2] = p.normal.z;
}

void CPrimitiveCalcSurface::SetPointValue(std::size_t i, double value)
{
  static_cast<CMeshPoint&>(*m_polygon.points.at(i)).value = value;
}

CPrimitiveCalcSurface* CalcSurfaceOf(IPrimitive* primitive)
{
  return primitive != nullptr ? dynamic_cast<CPrimitiveCalcSurface*>(primitive->GetMeshHelper()) : nullptr;
}

const char* CGeometryPrimitiveServices::TriangulateOutline(CArray<_CSPOINT3D>& outline,
                                                          std::vector<ObjectModel::PrimitiveTriangle>& out)
{
  out.clear();
  if (const char* fault = PreparePolygonOutline(outline)) {
    return fault;
  }
  CAreaTriangulator triangulator(outline);
  triangulator.Triangulate();
  auto corner = [](const _POINT3D& p) { return _CSPOINT3D{p.x, p.y, p.z, 0, 0}; };
  for (const auto& t : triangulator.Triangles()) {
    out.push_back({corner(t->a), corner(t->b), corner(t->c)});
  }
  return nullptr;
}

ObjectModel::CPrimitiveCalcSurface* CGeometryPrimitiveServices::CreateCalcSurface(IPrimitive* primitive)
{
  return new CPrimitiveCalcSurface(primitive);
}
