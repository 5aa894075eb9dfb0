#include "outside/engines/open_territory_calc.h"
#include "outside/engines/maintenance.h"
#include "outside/engines/parallel_pieces.h"
#include "outside/engines/point_lights.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace Engines {
namespace {

// The automatic step: about 200 intervals along the longer side, never finer than half a metre.
constexpr double kAutoIntervals = 200.0;
constexpr double kAutoFinestStep = 0.5;
// A piece of the grid costs at most this many point-luminaire evaluations (a few milliseconds), so the calling
// thread, which asks the host before each piece it takes, asks often enough to stop within a tenth of a second.
constexpr double kPieceEvaluations = 1 << 18;

std::size_t Intervals(double extent, double step)
{
  return static_cast<std::size_t>(std::max(1.0, std::round(extent / step)));
}

std::vector<double> Axis(double extent, std::size_t intervals)
{
  std::vector<double> axis(intervals + 1);
  for (std::size_t i = 0; i <= intervals; ++i)
    axis[i] = -extent / 2.0 + extent * static_cast<double>(i) / static_cast<double>(intervals);
  return axis;
}

bool ShadowedBySite(const void* site, Vec3 point, Vec3 light)
{
  return static_cast<const Site*>(site)->Shadowed(point, light);
}

std::vector<const Luminaire*> LightsOf(const Site& site)
{
  std::vector<const Luminaire*> lights;
  for (const SiteLuminaire& l : site.luminaires)
    lights.push_back(&l.light);
  return lights;
}

// Nodes go to the luminaires in groups of this many.
constexpr std::size_t kNodeGroup = 64;

}  // namespace

int MakeSiteGrid(const OpenTerritoryInput& in, SiteGrid& grid, std::string* message)
{
  if (!(in.length > 0.0) || !(in.width > 0.0)) {
    if (message)
      *message = "the calculation window has no area";
    return kInputMalformed;
  }
  double step = std::max(kAutoFinestStep, std::max(in.length, in.width) / kAutoIntervals);
  if (in.userGrid) {
    if (!(in.gridStep > 0.0)) {
      if (message)
        *message = "the grid step is not above 0";
      return kInputMalformed;
    }
    // The program's own rule: the shorter side must hold two steps.
    if (std::min(in.length, in.width) / in.gridStep < 2.0) {
      if (message)
        *message = "the grid step is too coarse for the window";
      return kGridStepTooCoarse;
    }
    step = in.gridStep;
  }
  const double nodes = (std::round(in.length / step) + 1.0) * (std::round(in.width / step) + 1.0);
  if (nodes > static_cast<double>(kMaxGridNodes)) {
    if (message)
      *message = "the grid step is too fine for the window";
    return kInputMalformed;
  }
  grid.xs = Axis(in.length, Intervals(in.length, step));
  grid.ys = Axis(in.width, Intervals(in.width, step));
  return kEngineOk;
}

int CalculateOpenTerritory(const OpenTerritoryInput& in, EngineHost& host, OpenTerritoryResult& result,
                           std::string* message, const OpenTerritoryOptions& options)
{
  SiteGrid grid;
  if (int code = MakeSiteGrid(in, grid, message); code != kEngineOk)
    return code;
  std::optional<Site> built = BuildSite(in, message);
  if (!built)
    return kInputMalformed;
  const Site& site = *built;

  const std::size_t nX = grid.xs.size(), nY = grid.ys.size(), nodes = nX * nY;
  // Illuminance of the new installation. Every node is written by the piece that holds it: the threads touch the
  // fresh pages side by side, which on some machines costs more than the calculation's own serial part.
  const std::unique_ptr<double[]> fresh(new double[nodes]);
  result.state.assign(nodes, kNodeWithoutValue);

  // The work of a node: finding its surface, then each luminaire with a look at each prism on the way.
  double surfaceWork = 1.0, prismWork = 0.0;
  for (const SiteSurface& s : site.surfaces)
    surfaceWork += static_cast<double>(s.plan.Complexity()) / 4.0;
  for (const ShadingPrism& p : site.prisms)
    prismWork += static_cast<double>(p.plan.Complexity()) / 4.0;
  const double perNode = static_cast<double>(site.luminaires.size()) * (1.0 + prismWork) + surfaceWork;
  const std::size_t pieceNodes = static_cast<std::size_t>(std::max(1.0, std::floor(kPieceEvaluations / perNode)));
  const std::size_t pieces = (nodes + pieceNodes - 1) / pieceNodes;
  result.pieces = pieces;

  // Horizontal illuminance of the new installation at a node on a surface: sum of I cos^3(eps) / h^2 over the
  // luminaires above it whose light no prism holds back.
  const LuminaireSet lights(LightsOf(site));
  const LightBlocker blocker{site.prisms.empty() ? nullptr : &ShadowedBySite, &site};
  const PieceRun run = RunPieces(pieces, options.threads, host, [&](std::size_t piece) {
    std::size_t lit = 0;
    double x[kNodeGroup], y[kNodeGroup], z[kNodeGroup], e[kNodeGroup];
    std::size_t node[kNodeGroup];
    std::size_t waiting = 0;
    auto flush = [&] {
      lights.Illuminance({x, y, z, nullptr, nullptr, nullptr, waiting}, blocker, e);
      for (std::size_t k = 0; k < waiting; ++k)
        fresh[node[k]] = e[k];
      lit += waiting;
      waiting = 0;
    };
    const std::size_t end = std::min(nodes, (piece + 1) * pieceNodes);
    for (std::size_t n = piece * pieceNodes; n < end; ++n) {
      const Point2 p{grid.xs[n / nY], grid.ys[n % nY]};
      const SiteSurface* surface = site.SurfaceAt(p);
      if (!surface || site.Covered(p, surface->z)) {
        fresh[n] = 0.0;
        continue;
      }
      result.state[n] = surface->zone;
      x[waiting] = p.x;
      y[waiting] = p.y;
      z[waiting] = surface->z;
      node[waiting++] = n;
      if (waiting == kNodeGroup)
        flush();
    }
    if (waiting)
      flush();
    return static_cast<std::uint64_t>(lit) * lights.Size();
  });
  result.evaluations = run.evaluations;
  result.piecesComputed = run.computed;
  if (run.cancelled)
    return kCancelled;

  result.xs.assign(grid.xs.begin(), grid.xs.end());
  result.ys.assign(grid.ys.begin(), grid.ys.end());
  result.e.resize(nodes);
  for (std::size_t n = 0; n < nodes; ++n)
    result.e[n] = static_cast<float>(fresh[n] * MaintainedScale(in.maintenanceFactor));

  // Zones. Each node stands for its cell of the grid (half and quarter cells along the border), so a uniform
  // illuminance over the whole window lands as E x length x width.
  double lampFlux = 0.0;
  for (const SiteLuminaire& l : site.luminaires)
    lampFlux += l.lampFlux;
  const double dx = in.length / static_cast<double>(nX - 1), dy = in.width / static_cast<double>(nY - 1);
  auto weight = [&](std::size_t n) {
    const std::size_t i = n / nY, j = n % nY;
    return dx * dy * (i == 0 || i + 1 == nX ? 0.5 : 1.0) * (j == 0 || j + 1 == nY ? 0.5 : 1.0);
  };
  const float i80 = LargestIntensityAtElevation(site, 80.0), i85 = LargestIntensityAtElevation(site, 85.0);
  for (SiteZone zone : {kZoneCarriageway, kZoneSidewalk}) {
    if ((zone == kZoneCarriageway && !in.carriagewayTakesPart) || (zone == kZoneSidewalk && !in.sidewalkTakesPart))
      continue;
    ZoneRecord z;
    z.kind = zone;
    double sum = 0.0, minimum = 0.0, maximum = 0.0, landed = 0.0;
    std::size_t count = 0;
    for (std::size_t n = 0; n < nodes; ++n) {
      if (result.state[n] != zone)
        continue;
      const double e = static_cast<double>(result.e[n]);
      minimum = count == 0 ? e : std::min(minimum, e);
      maximum = count == 0 ? e : std::max(maximum, e);
      sum += e;
      landed += fresh[n] * weight(n);
      ++count;
    }
    if (count > 0) {
      const double average = sum / static_cast<double>(count);
      z.average = static_cast<float>(average);
      z.minimum = static_cast<float>(minimum);
      z.maximum = static_cast<float>(maximum);
      z.uniformity = average > 0.0 ? static_cast<float>(minimum / average) : 0.0f;
      z.minToMax = maximum > 0.0 ? static_cast<float>(minimum / maximum) : 0.0f;
      z.utilisation = lampFlux > 0.0 ? static_cast<float>(landed / lampFlux) : 0.0f;
    }
    z.i80 = i80;
    z.i85 = i85;
    result.zones.push_back(z);
  }
  host.Progress(100);
  return kEngineOk;
}

}  // namespace Engines
