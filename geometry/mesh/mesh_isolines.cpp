#include "geometry/mesh/mesh_isolines.h"

#include "model/version.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const DWORD kMeshFormatVersion = ObjectModel::MakeFormatVersion(4, 3, 5, 0);

// Closed loops shorter than this many steps are noise of the refinement pattern, not features of the field.
constexpr double kMinLoopSteps = 4.0;

double Distance(const CMeshIsoPoint& p, const CMeshIsoPoint& q)
{
  return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + (q.z - p.z) * (q.z - p.z));
}

void Normalise(double v[3])
{
  const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length > 0) {
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
  }
}

std::pair<const void*, const void*> Unordered(const void* a, const void* b)
{
  return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

}  // namespace

bool IsoPointOnEdge(const CMeshCrossEdge& e, double level, CMeshIsoPoint& out)
{
  const double va = e.a->value;
  const double vb = e.b->value;
  if (va == vb) {
    return false;
  }
  const double tau = (level - va) / (vb - va);
  out = CMeshIsoPoint{};
  out.x = e.a->x + tau * (e.b->x - e.a->x);
  out.y = e.a->y + tau * (e.b->y - e.a->y);
  out.z = e.a->z + tau * (e.b->z - e.a->z);
  if (va == 0 || vb == 0) {
    out.flags |= MeshIso::kPointNearZero;
  }
  if (e.second == nullptr || e.first == nullptr) {
    out.flags |= MeshIso::kPointFixed;
    return true;
  }
  const _VECTOR3D na = e.first->ComputeNormal();
  const _VECTOR3D nb = e.second->ComputeNormal();
  if (std::fabs(na.x - nb.x) > na.tolerance || std::fabs(na.y - nb.y) > na.tolerance ||
      std::fabs(na.z - nb.z) > na.tolerance) {
    out.flags |= MeshIso::kPointFixed;
    double sum[3] = {na.x + nb.x, na.y + nb.y, na.z + nb.z};
    Normalise(sum);
    out.normal.x = sum[0];
    out.normal.y = sum[1];
    out.normal.z = sum[2];
  } else {
    out.normal = na;
  }
  return true;
}

size_t CMeshLevelEdges::PairHash::operator()(const std::pair<const void*, const void*>& key) const
{
  return std::hash<const void*>()(key.first) * 31u ^ std::hash<const void*>()(key.second);
}

void CMeshLevelEdges::AddEdge(CMeshPoint* a, CMeshPoint* b, CTriTriangle* t)
{
  const auto key = Unordered(a, b);
  const auto found = m_byPoints.find(key);
  if (found != m_byPoints.end()) {
    CMeshCrossEdge& e = edges[found->second];
    e.second = t;
    e.flags = MeshIso::kEdgeInner;
    m_byTriangle[t].push_back(found->second);
    return;
  }
  CMeshCrossEdge e;
  e.a = a;
  e.b = b;
  e.first = t;
  e.flags = MeshIso::kEdgeOutline;
  m_byPoints.emplace(key, edges.size());
  m_byTriangle[t].push_back(edges.size());
  edges.push_back(e);
}

bool CMeshLevelEdges::StartIsoCurve(std::int32_t kind, CMeshIsoCurve& target)
{
  for (size_t i = 0; i < edges.size(); ++i) {
    CMeshCrossEdge& e = edges[i];
    if ((e.flags & kind) == 0 || (e.flags & MeshIso::kEdgeVisited) != 0) {
      continue;
    }
    const double va = e.a->value;
    const double vb = e.b->value;
    const bool encloses = (va <= level && level <= vb) || (vb <= level && level <= va);
    CMeshIsoPoint point;
    if (!encloses || !IsoPointOnEdge(e, level, point)) {
      e.flags |= MeshIso::kEdgeVisited;
      continue;
    }
    curve = &target;
    startEdge = i;
    currentTriangle = startTriangle = e.first != nullptr ? e.first : e.second;
    target.points.push_back(point);
    return true;
  }
  return false;
}

void CMeshLevelEdges::TraceIsoCurve()
{
  size_t current = startEdge;
  // Every crossing leaves a triangle through an unvisited edge, so the walk ends within the edge count.
  for (size_t guard = 0; guard <= edges.size(); ++guard) {
    std::vector<size_t> others = m_byTriangle[currentTriangle];
    std::sort(others.begin(), others.end());
    size_t crossed = edges.size();
    for (size_t k : others) {
      if (k == current || (edges[k].flags & MeshIso::kEdgeVisited) != 0) {
        continue;
      }
      CMeshIsoPoint point;
      if (IsoPointOnEdge(edges[k], level, point)) {
        curve->points.push_back(point);
        crossed = k;
        break;
      }
    }
    if (crossed == edges.size()) {
      break;
    }
    CMeshCrossEdge& e = edges[crossed];
    e.flags |= MeshIso::kEdgeVisited;
    CTriTriangle* next = e.first == currentTriangle ? e.second : e.first;
    if (next == nullptr) {
      break;
    }
    if (next == startTriangle) {
      curve->closed = 1;
      break;
    }
    currentTriangle = next;
    current = crossed;
  }
  // A line is followed once: left unvisited, its start edge would start it again as a one-point curve.
  edges[startEdge].flags |= MeshIso::kEdgeVisited;
}

void CMeshEdgeTable::Build(CQorTriPolygon& polygon, const CLevelArray& list)
{
  levels.clear();
  const INT_PTR n = list.GetSize();
  if (n < 2) {
    return;
  }
  for (INT_PTR k = 1; k < n; ++k) {
    levels.try_emplace(static_cast<double>(list[k]), static_cast<double>(list[k]));
  }
  const double lowest = list[1];
  const double highest = list[n - 1];
  for (const auto& owned : polygon.triangles) {
    CTriTriangle* t = owned.get();
    for (int i = 0; i < 3; ++i) {
      auto* a = static_cast<CMeshPoint*>(t->points[i]);
      auto* b = static_cast<CMeshPoint*>(t->points[(i + 1) % 3]);
      const double low = std::min(a->value, b->value);
      const double high = std::max(a->value, b->value);
      if (high < lowest || low > highest) {
        continue;
      }
      // One entry per distinct level: a repeated level would otherwise see each edge twice and take an
      // outline edge for an inner one.
      for (auto& [value, entry] : levels) {
        if (low <= value && value <= high) {
          entry.AddEdge(a, b, t);
        }
      }
    }
  }
}

void BuildAllIsolines(const CLevelArray& list, CMeshIsolineSet& set, CMeshEdgeTable& table, CQorTriPolygon& polygon)
{
  set.Clear();
  if (list.GetSize() == 0) {
    return;
  }
  table.Build(polygon, list);
  for (INT_PTR k = 1; k < list.GetSize(); ++k) {
    auto level = std::make_unique<CMeshIsoLevel>();
    level->set = &set;
    level->value = list[k];
    const auto entry = table.levels.find(static_cast<double>(list[k]));
    if (entry != table.levels.end()) {
      level->BuildCurves(entry->second, polygon.step);
    }
    set.levels.push_back(std::move(level));
  }
}

void CMeshIsoLevel::BuildCurves(CMeshLevelEdges& edges, double step)
{
  for (;;) {
    auto curve = std::make_unique<CMeshIsoCurve>();
    curve->level = this;
    if (!edges.StartIsoCurve(MeshIso::kEdgeOutline, *curve)) {
      break;
    }
    edges.TraceIsoCurve();
    curves.push_back(std::move(curve));
  }
  for (;;) {
    auto curve = std::make_unique<CMeshIsoCurve>();
    curve->level = this;
    if (!edges.StartIsoCurve(MeshIso::kEdgeInner, *curve)) {
      break;
    }
    edges.TraceIsoCurve();
    if (curve->LoopLength() >= kMinLoopSteps * step) {
      curves.push_back(std::move(curve));
    }
  }
  for (auto& curve : curves) {
    Smooth(*curve);
  }
  for (auto& curve : curves) {
    curve->BuildSegments();
  }
}

double CMeshIsoCurve::LoopLength() const
{
  double length = 0;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    length += Distance(points[i], points[i + 1]);
  }
  if (!points.empty()) {
    length += Distance(points.back(), points.front());
  }
  return length;
}

void CMeshIsoLevel::Smooth(CMeshIsoCurve& curve)
{
  std::vector<CMeshIsoPoint>& p = curve.points;
  if (p.size() < 4) {
    return;
  }
  size_t from = 0;
  while (from < p.size() && (p[from].flags & MeshIso::kPointFixed) != 0) {
    ++from;
  }
  size_t to = from;
  while (to < p.size() - 1 && (to == from || (p[to].flags & MeshIso::kPointFixed) == 0)) {
    ++to;
  }
  const size_t r = to - from;
  if (r <= 3) {
    return;
  }
  // The frame (d x m, d, m) of the run's first step d and its normal m; d is made square to m so that the
  // rows stay orthonormal and the transposed rows undo them.
  double m[3] = {p[from].normal.x, p[from].normal.y, p[from].normal.z};
  Normalise(m);
  double d[3] = {p[from + 1].x - p[from].x, p[from + 1].y - p[from].y, p[from + 1].z - p[from].z};
  const double along = d[0] * m[0] + d[1] * m[1] + d[2] * m[2];
  for (int i = 0; i < 3; ++i) {
    d[i] -= along * m[i];
  }
  Normalise(d);
  const double c[3] = {d[1] * m[2] - d[2] * m[1], d[2] * m[0] - d[0] * m[2], d[0] * m[1] - d[1] * m[0]};
  if (c[0] * c[0] + c[1] * c[1] + c[2] * c[2] < 0.5) {
    return;  // no normal or no step to build a frame on
  }
  const double* rows[3] = {c, d, m};
  std::vector<std::array<double, 3>> local(r);
  for (size_t k = 0; k < r; ++k) {
    const CMeshIsoPoint& q = p[from + k];
    for (int i = 0; i < 3; ++i) {
      local[k][i] = rows[i][0] * q.x + rows[i][1] * q.y + rows[i][2] * q.z;
    }
  }
  for (size_t j = 3; j + 2 <= r; ++j) {
    for (int i = 0; i < 2; ++i) {
      local[j][i] = (local[j - 2][i] + local[j - 1][i] + local[j][i]) / 3.0;
    }
  }
  for (size_t k = 0; k < r; ++k) {
    CMeshIsoPoint& q = p[from + k];
    q.x = rows[0][0] * local[k][0] + rows[1][0] * local[k][1] + rows[2][0] * local[k][2];
    q.y = rows[0][1] * local[k][0] + rows[1][1] * local[k][1] + rows[2][1] * local[k][2];
    q.z = rows[0][2] * local[k][0] + rows[1][2] * local[k][1] + rows[2][2] * local[k][2];
  }
}

void CMeshIsoCurve::BuildSegments()
{
  segments.clear();
  const size_t c = points.size();
  auto add = [this](size_t i, size_t j, size_t index) {
    const CMeshIsoPoint& p = points[i];
    const CMeshIsoPoint& q = points[j];
    CMeshIsoSegment s;
    s.a.x = p.x;
    s.a.y = p.y;
    s.a.z = p.z;
    s.b.x = q.x;
    s.b.y = q.y;
    s.b.z = q.z;
    s.index = static_cast<std::int32_t>(index);
    s.flags = MeshIso::kSegmentVisible;
    const std::int32_t both = p.flags | q.flags;
    if ((both & (MeshIso::kPointFixed | MeshIso::kPointNearZero)) != 0) {
      s.flags |= MeshIso::kSegmentSpecial;
    }
    if ((both & MeshIso::kPointNearZero) != 0) {
      s.flags = MeshIso::kSegmentSpecial;
    }
    if ((s.flags & MeshIso::kSegmentSpecial) == 0) {
      s.a.normal = p.normal;
      s.b.normal = q.normal;
    }
    s.length = Distance(s.a, s.b);
    segments.push_back(s);
  };
  if (c >= 2) {
    for (size_t i = 0; i + 1 < c; ++i) {
      add(i, i + 1, i);
    }
    if (closed != 0) {
      add(c - 1, 0, c - 1);
    }
  }
  points.clear();
  points.shrink_to_fit();
}

void CMeshIsolineSet::ReleaseLabels()
{
  for (auto& level : levels) {
    for (auto& curve : level->curves) {
      curve->labels.clear();
    }
  }
}

void CMeshIsolineSet::SetLabelColour(float r, float g, float b)
{
  for (auto& level : levels) {
    for (auto& curve : level->curves) {
      for (auto& label : curve->labels) {
        label->m_r = r;
        label->m_g = g;
        label->m_b = b;
      }
    }
  }
}

void CMeshIsolineSet::Draw(const float colour[3]) const
{
  glPushMatrix();
  glTranslated(0, 0, 0.02);
  glLineWidth(1.0f);
  for (const auto& level : levels) {
    for (const auto& curve : level->curves) {
      glDisable(GL_LIGHTING);
      glColor3f(colour[0], colour[1], colour[2]);
      glBegin(GL_LINES);
      for (const CMeshIsoSegment& s : curve->segments) {
        if ((s.flags & MeshIso::kSegmentVisible) != 0) {
          glVertex3d(s.a.x, s.a.y, s.a.z);
          glVertex3d(s.b.x, s.b.y, s.b.z);
        }
      }
      glEnd();
      for (const auto& label : curve->labels) {
        label->Draw();
      }
      glEnable(GL_LIGHTING);
    }
  }
  glLineWidth(1.0f);
  glPopMatrix();
}

// The set, in file order:
//   level count; per level its value (double) and curve count; per curve its segment count; per segment
//   point a, point b, index (int32), length (double), flags (int32); a point is x, y, z, normal x, y, z
//   (doubles) and flags (int32).
// The curves' points, closed flags and labels are not stored.
void CMeshIsolineSet::Serialize(CArchive& ar, DWORD formatVersion)
{
  if (formatVersion < kMeshFormatVersion) {
    return;
  }
  constexpr ULONGLONG kPointBytes = 6 * 8 + 4;
  constexpr ULONGLONG kSegmentBytes = 2 * kPointBytes + 4 + 8 + 4;
  constexpr ULONGLONG kLevelBytes = 8 + 4;
  constexpr ULONGLONG kCurveBytes = 4;
  auto storePoint = [&ar](const CMeshIsoPoint& p) {
    ar << p.x << p.y << p.z << p.normal.x << p.normal.y << p.normal.z << p.flags;
  };
  auto loadPoint = [&ar](CMeshIsoPoint& p) {
    ar >> p.x >> p.y >> p.z >> p.normal.x >> p.normal.y >> p.normal.z >> p.flags;
  };
  // A count the rest of the file cannot hold is refused before anything is made for it.
  auto loadCount = [&ar](ULONGLONG itemBytes) {
    std::int32_t n = 0;
    ar >> n;
    if (n < 0) {
      AfxThrowArchiveException(CArchiveException::badIndex);
    }
    ar.EnsureAvailable(static_cast<ULONGLONG>(n) * itemBytes);
    return static_cast<size_t>(n);
  };

  if (ar.IsStoring()) {
    ar << static_cast<std::int32_t>(levels.size());
    for (const auto& level : levels) {
      ar << level->value << static_cast<std::int32_t>(level->curves.size());
      for (const auto& curve : level->curves) {
        ar << static_cast<std::int32_t>(curve->segments.size());
        for (const CMeshIsoSegment& s : curve->segments) {
          storePoint(s.a);
          storePoint(s.b);
          ar << s.index << s.length << s.flags;
        }
      }
    }
    return;
  }

  Clear();
  const size_t levelCount = loadCount(kLevelBytes);
  for (size_t l = 0; l < levelCount; ++l) {
    auto level = std::make_unique<CMeshIsoLevel>();
    level->set = this;
    ar >> level->value;
    const size_t curveCount = loadCount(kCurveBytes);
    for (size_t c = 0; c < curveCount; ++c) {
      auto curve = std::make_unique<CMeshIsoCurve>();
      curve->level = level.get();
      const size_t segmentCount = loadCount(kSegmentBytes);
      curve->segments.resize(segmentCount);
      for (CMeshIsoSegment& s : curve->segments) {
        loadPoint(s.a);
        loadPoint(s.b);
        ar >> s.index >> s.length >> s.flags;
      }
      level->curves.push_back(std::move(curve));
    }
    levels.push_back(std::move(level));
  }
}
