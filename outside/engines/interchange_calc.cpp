#include "outside/engines/interchange_calc.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "outside/engines/deck_shadows.h"
#include "outside/engines/maintenance.h"
#include "outside/engines/open_territory_site.h"
#include "outside/engines/parallel_pieces.h"
#include "outside/engines/point_lights.h"

namespace Engines {
namespace {

// A piece of the points costs at most this many point-luminaire evaluations (a few milliseconds), so the calling
// thread, which asks the host before each piece it takes, asks often enough to stop within a tenth of a second.
constexpr double kPieceEvaluations = 1 << 18;
// A light almost on a point, or a safety factor of almost nothing, would give a value beyond the file's floats:
// it is held at the largest one.
constexpr double kLargestValue = std::numeric_limits<float>::max();
// A normal shorter than this says nothing about the surface.
constexpr double kShortestNormal = 1e-6;

struct CalcPoint {
  Vec3 position;
  Vec3 normal;                              // unit, facing up
  const SitePrimitive* meshOnly = nullptr;  // the polygon whose mesh gives the normal, when the file's says nothing
};

bool Upward(Vec3& n)
{
  const double length = Length(n);
  if (!(length > kShortestNormal))
    return false;
  n = (n.z < 0.0 ? -1.0 : 1.0) / length * n;
  return true;
}

// The face of a point whose normal is missing: the mesh triangle under it (the nearest in height of those whose
// plan holds it), else the vertical.
Vec3 MeshNormal(Vec3 point, const SitePrimitive& polygon)
{
  Vec3 n{0.0, 0.0, 1.0};
  double nearest = 0.0;
  bool found = false;
  for (const auto& t : polygon.pieces) {
    Vec3 e1 = t[1] - t[0], e2 = t[2] - t[0];
    Vec3 c{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    // A triangle seen edge-on in plan holds no point of it.
    if (!Upward(c) || c.z <= kShortestNormal)
      continue;
    if (!Footprint::Triangle({t[0].x, t[0].y}, {t[1].x, t[1].y}, {t[2].x, t[2].y}).Contains({point.x, point.y}))
      continue;
    // Height of the triangle's plane under the point.
    const double z = t[0].z - (c.x * (point.x - t[0].x) + c.y * (point.y - t[0].y)) / c.z;
    const double gap = std::fabs(point.z - z);
    if (!found || gap < nearest) {
      nearest = gap;
      n = c;
      found = true;
    }
  }
  return n;
}

// What holds light back from a point: a shading object or a deck.
struct Obstacles {
  const Site& site;
  const DeckShadows& decks;
};

bool Obstructed(const void* context, Vec3 point, Vec3 light)
{
  const Obstacles& o = *static_cast<const Obstacles*>(context);
  return (!o.site.prisms.empty() && o.site.Shadowed(point, light)) || (!o.decks.Empty() && o.decks.Blocks(point, light));
}

// Points go to the luminaires in groups of this many.
constexpr std::size_t kPointGroup = 64;

DeckShadows DecksOf(const OpenTerritoryInput& in)
{
  std::vector<DeckShadows::Sheet> sheets;
  std::vector<DeckPlate> plates;
  for (const SitePrimitive& p : in.primitives) {
    if (p.membership == SiteMembership::Shading || p.membership == SiteMembership::Marking)
      continue;
    if (p.shape == PrimitiveShape::Polygon)
      sheets.push_back(p.pieces);
    else
      plates.push_back({PlanOf(p), (p.points[0].z + p.points[1].z + p.points[2].z) / 3.0});
  }
  return DeckShadows(sheets, std::move(plates));
}

}  // namespace

PolygonAnswer AnswerFor(SiteMembership membership)
{
  switch (membership) {
  case SiteMembership::Carriageway:
  case SiteMembership::Sidewalk: return PolygonAnswer::PointValues;
  case SiteMembership::Shading: return PolygonAnswer::OneValue;
  default: return PolygonAnswer::Nothing;
  }
}

int CalculateInterchange(const OpenTerritoryInput& in, EngineHost& host, InterchangeResult& result,
                         std::string* message, const InterchangeOptions& options)
{
  std::optional<Site> built = BuildSite(in, message);
  if (!built)
    return kInputMalformed;
  const Site& site = *built;
  const DeckShadows decks = DecksOf(in);

  // The calculation points, polygon after polygon. A point without a normal looks for its face in the mesh while
  // the pieces run, which costs it a look at each of the polygon's triangles.
  std::vector<CalcPoint> points;
  double meshLooks = 0.0;
  for (const SitePrimitive& p : in.primitives) {
    if (p.shape != PrimitiveShape::Polygon)
      continue;
    AnsweredPolygon answer;
    answer.membership = p.membership;
    if (AnswerFor(p.membership) == PolygonAnswer::PointValues) {
      answer.values.resize(p.meshPoints.size());
      for (const MeshPoint& m : p.meshPoints) {
        CalcPoint c{m.position, m.normal};
        if (!Upward(c.normal)) {
          c.meshOnly = &p;
          meshLooks += static_cast<double>(p.pieces.size());
        }
        points.push_back(c);
      }
    }
    result.polygons.push_back(std::move(answer));
  }

  double prismWork = 0.0;
  for (const ShadingPrism& prism : site.prisms)
    prismWork += static_cast<double>(prism.plan.Complexity()) / 4.0;
  const double perPoint =
      std::max(1.0, static_cast<double>(site.luminaires.size()) * (1.0 + prismWork + decks.Cost() / 4.0) +
                        meshLooks / static_cast<double>(std::max<std::size_t>(1, points.size())));
  const std::size_t piecePoints = static_cast<std::size_t>(std::max(1.0, std::floor(kPieceEvaluations / perPoint)));
  const std::size_t pieces = (points.size() + piecePoints - 1) / piecePoints;
  result.pieces = pieces;

  // Illuminance of the new installation on the face at a point: sum of I cos(incidence) / d^2 over the luminaires
  // in front of the face whose light neither a shading object nor a deck holds back.
  std::vector<const Luminaire*> lamps;
  for (const SiteLuminaire& l : site.luminaires)
    lamps.push_back(&l.light);
  const LuminaireSet lights(std::move(lamps));
  const Obstacles obstacles{site, decks};
  const LightBlocker blocker{site.prisms.empty() && decks.Empty() ? nullptr : &Obstructed, &obstacles};
  std::vector<double> fresh(points.size(), 0.0);
  const PieceRun run = RunPieces(pieces, options.threads, host, [&](std::size_t piece) {
    double x[kPointGroup], y[kPointGroup], z[kPointGroup], nx[kPointGroup], ny[kPointGroup], nz[kPointGroup];
    const std::size_t begin = piece * piecePoints, end = std::min(points.size(), (piece + 1) * piecePoints);
    for (std::size_t first = begin; first < end; first += kPointGroup) {
      const std::size_t count = std::min(kPointGroup, end - first);
      for (std::size_t k = 0; k < count; ++k) {
        const CalcPoint& p = points[first + k];
        const Vec3 n = p.meshOnly ? MeshNormal(p.position, *p.meshOnly) : p.normal;
        x[k] = p.position.x;
        y[k] = p.position.y;
        z[k] = p.position.z;
        nx[k] = n.x;
        ny[k] = n.y;
        nz[k] = n.z;
      }
      lights.Illuminance({x, y, z, nx, ny, nz, count}, blocker, &fresh[first]);
    }
    return static_cast<std::uint64_t>(end - begin) * lights.Size();
  });
  result.evaluations = run.evaluations;
  result.piecesComputed = run.computed;
  if (run.cancelled)
    return kCancelled;

  const double scale = MaintainedScale(in.maintenanceFactor);
  std::size_t n = 0;
  for (AnsweredPolygon& polygon : result.polygons)
    for (float& value : polygon.values)
      value = static_cast<float>(std::min(fresh[n++] * scale, kLargestValue));
  double lampFlux = 0.0;
  for (const SiteLuminaire& l : site.luminaires)
    lampFlux += l.lampFlux;
  result.flux = static_cast<float>(std::min(lampFlux * scale, kLargestValue));
  result.i80 = LargestIntensityAtElevation(site, 80.0);
  result.i85 = LargestIntensityAtElevation(site, 85.0);
  host.Progress(100);
  return kEngineOk;
}

}  // namespace Engines
