#include "outside/engines/road_calc.h"
#include "outside/engines/maintenance.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Engines {
namespace {

constexpr double kEyeHeight = 1.5;           // observer's eye above the road
constexpr double kObserverDistance = 60.0;   // observer before the field
constexpr double kSightDepression = 1.0;     // line of sight, degrees below the horizontal
constexpr double kGlareRange = 500.0;        // luminaires ahead of the observer counted for glare
constexpr double kGlareMinAngle = 1.5;       // degrees off the line of sight
constexpr double kGlareMaxAngle = 60.0;
constexpr double kRoofCutOff = 20.0;         // degrees above the horizontal, screened by the car roof
constexpr double kSemiCylinderHeight = 1.5;  // pedestrian's face
constexpr double kMaxSpacingAcross = 1.5;    // sidewalk and wall points
constexpr unsigned kPointsPerLane = 3;
constexpr double kMaxFieldLength = 3000.0;
// The r-tables end at tan gamma 12: beyond 12 mounting heights a luminaire adds nothing to the luminance, and
// next to nothing to the illuminance.
constexpr double kReach = 12.0;
// Far beyond any real road (a few thousand points, a hundred luminaires), still a few minutes at most.
constexpr double kMaxPoints = 4e6;
constexpr std::size_t kGlareSteps = 40;
constexpr double kMaxEvaluations = 2e9;

std::int32_t NodeStep(std::size_t points) { return static_cast<std::int32_t>(std::max<std::size_t>(1, points / 10)); }

float Ratio(double a, double b) { return b > 0.0 ? static_cast<float>(a / b) : 0.0f; }

double Mean(const std::vector<float>& v)
{
  return v.empty() ? 0.0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

struct Observer {
  Vec3 eye;
  Vec3 sight;
  std::size_t centreColumn = 0;  // the observer's lane centre line in its grid
};

// Horizontal illuminance and, for each observer, luminance at a road point.
void RoadPoint(const std::vector<Luminaire>& lums, Vec3 p, const std::vector<Observer>& observers,
               const ReflectionTable* rtable, double& e, std::vector<double>& lum)
{
  std::fill(lum.begin(), lum.end(), 0.0);
  e = 0.0;
  const double tanLimit = rtable ? rtable->tans.back() : 0.0;
  for (const Luminaire& l : lums) {
    Vec3 d = p - l.position;
    double h = -d.z;
    if (h <= 0.0)
      continue;
    double dist = Length(d);
    double intensity = l.IntensityTowards((1.0 / dist) * d);
    if (intensity <= 0.0)
      continue;
    e += intensity * h / (dist * dist * dist);  // I cos^3(eps) / h^2
    if (!rtable)
      continue;
    double horizontal = std::hypot(d.x, d.y);
    double tanGamma = horizontal / h;
    if (tanGamma > tanLimit)
      continue;
    double base = intensity * 1e-4 / (h * h);
    for (std::size_t k = 0; k < observers.size(); ++k) {
      // beta: between the observer's view of the point and the way on from the point to the luminaire.
      double ox = p.x - observers[k].eye.x, oy = p.y - observers[k].eye.y;
      double on = std::hypot(ox, oy);
      double beta = 0.0;
      if (horizontal > 0.0 && on > 0.0)
        beta = Degrees(std::acos(std::clamp((ox * -d.x + oy * -d.y) / (on * horizontal), -1.0, 1.0)));
      lum[k] += base * rtable->At(beta, tanGamma);
    }
  }
}

// Horizontal illuminance at the sidewalk surface and semi-cylindrical illuminance at 1.5 m, the smaller of the
// two faces along the road (pedestrians walk both ways).
void SidewalkPoint(const std::vector<Luminaire>& lums, double x, double y, double& e, double& esc)
{
  e = 0.0;
  double forward = 0.0, backward = 0.0;
  const Vec3 ground{x, y, 0.0}, face{x, y, kSemiCylinderHeight};
  for (const Luminaire& l : lums) {
    Vec3 d = ground - l.position;
    double h = -d.z;
    if (h > 0.0) {
      double dist = Length(d);
      e += l.IntensityTowards((1.0 / dist) * d) * h / (dist * dist * dist);
    }
    Vec3 f = face - l.position;
    double dist = Length(f);
    double horizontal = std::hypot(f.x, f.y);
    if (dist <= 0.0 || horizontal <= 0.0)
      continue;
    double intensity = l.IntensityTowards((1.0 / dist) * f);
    // I (1 + cos alpha) sin(eps) / (pi d^2), with the horizontal way to the light -f.
    double k = intensity / (std::numbers::pi * dist * dist * dist);
    forward += k * (horizontal - f.x);
    backward += k * (horizontal + f.x);
  }
  esc = std::min(forward, backward);
}

double WallPoint(const std::vector<Luminaire>& lums, Vec3 p, Vec3 normal)
{
  double e = 0.0;
  for (const Luminaire& l : lums) {
    Vec3 d = p - l.position;
    double dist = Length(d);
    if (dist <= 0.0)
      continue;
    double cosIncidence = -Dot(d, normal) / dist;
    if (cosIncidence <= 0.0)
      continue;
    e += l.IntensityTowards((1.0 / dist) * d) * cosIncidence / (dist * dist);
  }
  return e;
}

std::vector<double> LanePoints(double from, unsigned lanes, double width)
{
  std::vector<double> ys;
  if (width <= 0.0)
    return ys;
  for (unsigned k = 0; k < lanes; ++k)
    for (unsigned m = 0; m < kPointsPerLane; ++m)
      ys.push_back(from + k * width + (m + 0.5) * width / kPointsPerLane);
  return ys;
}

std::vector<float> ToFloats(const std::vector<double>& v)
{
  return std::vector<float>(v.begin(), v.end());
}

// Average, minimum, maximum, Lmin/Lav and Lmin/Lmax along one column of a grid.
struct LuminanceStats {
  double average = 0, minimum = 0, maximum = 0, longitudinal = 0;
};

double Longitudinal(const std::vector<float>& grid, std::size_t columns, std::size_t column)
{
  if (columns == 0 || column >= columns || grid.empty())
    return 0.0;
  double lo = grid[column], hi = grid[column];
  for (std::size_t i = column; i < grid.size(); i += columns) {
    lo = std::min<double>(lo, grid[i]);
    hi = std::max<double>(hi, grid[i]);
  }
  return hi > 0.0 ? lo / hi : 0.0;
}

double FieldFlux(const StraightRoadInput& in)
{
  std::vector<double> typeFlux;
  for (const IntensityTable& t : in.types)
    typeFlux.push_back(t.Flux());
  double flux = 0.0;
  for (const LuminaireRecord& r : in.luminaires) {
    double sides = r.arrangement == Arrangement::TwoSided || r.arrangement == Arrangement::Staggered ? 2.0 : 1.0;
    flux += typeFlux[r.type - 1] * sides * in.fieldLength / r.spacing;
  }
  return flux;
}

// CIE 140: the observer drives on through one field in the steps of the points along (at most kGlareSteps); the
// glare counted is the worst he meets (it peaks as the nearest luminaire leaves the roof's shadow).
double WorstVeilingLuminance(const std::vector<Luminaire>& luminaires, const Observer& observer, double field,
                             std::size_t steps)
{
  double worst = 0.0;
  const double direction = observer.sight.x >= 0.0 ? 1.0 : -1.0;
  for (std::size_t i = 0; i < steps; ++i) {
    Vec3 eye = observer.eye;
    eye.x += direction * field * static_cast<double>(i) / static_cast<double>(steps);
    worst = std::max(worst, VeilingLuminance(luminaires, eye, observer.sight));
  }
  return worst;
}

}  // namespace

std::vector<double> PointsAlong(double fieldLength)
{
  // EN 13201-3: ten points up to 30 m, else as many as keep them at most 3 m apart; each in the middle of its
  // stretch.
  std::size_t n = fieldLength <= 30.0 ? 10 : static_cast<std::size_t>(std::ceil(fieldLength / 3.0));
  std::vector<double> xs(n);
  for (std::size_t i = 0; i < n; ++i)
    xs[i] = (static_cast<double>(i) + 0.5) * fieldLength / static_cast<double>(n);
  return xs;
}

std::vector<double> PointsAcross(double from, double width, double maxSpacing, unsigned minCount)
{
  std::vector<double> ys;
  if (!(width > 0.0))
    return ys;
  std::size_t n = std::max<std::size_t>(minCount, static_cast<std::size_t>(std::ceil(width / maxSpacing)));
  for (std::size_t j = 0; j < n; ++j)
    ys.push_back(from + (static_cast<double>(j) + 0.5) * width / static_cast<double>(n));
  return ys;
}

IlluminanceSummary SummariseIlluminance(const std::vector<float>& values)
{
  if (values.empty())
    return {};
  double average = Mean(values);
  auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  return {static_cast<float>(average), *lo, *hi, Ratio(*lo, average), Ratio(*lo, *hi)};
}

double VeilingLuminance(const std::vector<Luminaire>& luminaires, Vec3 eye, Vec3 lineOfSight)
{
  double lv = 0.0;
  for (const Luminaire& l : luminaires) {
    Vec3 d = l.position - eye;
    double dist = Length(d);
    if (dist <= 0.0)
      continue;
    double elevation = Degrees(std::atan2(d.z, std::hypot(d.x, d.y)));
    if (elevation > kRoofCutOff)
      continue;
    double cosTheta = std::clamp(Dot(d, lineOfSight) / dist, -1.0, 1.0);
    double theta = Degrees(std::acos(cosTheta));
    if (theta < kGlareMinAngle || theta > kGlareMaxAngle)
      continue;
    // Illuminance on the eye, on a plane square to the line of sight.
    double eyeIlluminance = l.IntensityTowards((-1.0 / dist) * d) * cosTheta / (dist * dist);
    lv += 10.0 * eyeIlluminance / (theta * theta);
  }
  return lv;
}

double ThresholdIncrement(double veilingLuminance, double averageLuminance)
{
  if (averageLuminance <= 0.0)
    return 0.0;
  // EN 13201-3: the second form holds above 5 cd/m2.
  if (averageLuminance > 5.0)
    return 95.0 * veilingLuminance / std::pow(averageLuminance, 1.05);
  return 65.0 * veilingLuminance / std::pow(averageLuminance, 0.8);
}

double GlareIndex(double veilingLuminance, double averageLuminance)
{
  return averageLuminance > 0.0 ? 100.0 * veilingLuminance / averageLuminance : 0.0;
}

int CalculateStraightRoad(const StraightRoadInput& in, const ReflectionTable* rtable, EngineHost& host,
                          StraightRoadResult& res, std::string* error)
{
  res = StraightRoadResult{};
  const double q = in.fieldLength;
  if (!(q > 0.0) || q > kMaxFieldLength) {
    if (error)
      *error = "the field length (the first group's spacing) must lie within 0.." +
               std::to_string(static_cast<int>(kMaxFieldLength)) + " m";
    return kInputMalformed;
  }
  const CrossSection road = CrossSectionOf(in);
  const double mf = MaintainedScale(in.maintenanceFactor);

  // Points.
  const std::vector<double> xs = PointsAlong(q);
  const std::size_t nX = xs.size();
  res.xs = ToFloats(xs);
  std::vector<double> yRight, yLeft, zRight, zLeft, yRoad, yOpp;
  if (in.RightSidewalk())
    yRight = PointsAcross(road.rightSidewalkOuter, in.rightSidewalk.width, kMaxSpacingAcross, 3);
  if (in.LeftSidewalk())
    yLeft = PointsAcross(road.leftSidewalkInner, in.leftSidewalk.width, kMaxSpacingAcross, 3);
  if (in.RightWall())
    zRight = PointsAcross(0.0, in.rightWall.width, kMaxSpacingAcross, 3);
  if (in.LeftWall())
    zLeft = PointsAcross(0.0, in.leftWall.width, kMaxSpacingAcross, 3);
  const bool roadOn = in.carriagewayTakesPart;
  const bool separate = roadOn && in.OppositeSeparate();
  if (roadOn)
    yRoad = LanePoints(0.0, in.mainLanes, in.mainLaneWidth);
  if (separate)
    yOpp = LanePoints(road.mainWidth + road.dividerWidth, in.oppositeLanes, in.oppositeLaneWidth);

  // Observers: one per main lane, counted from the right edge; the opposite direction's observer k stands in
  // its lane k counted from its own right edge (the last lane when it has fewer lanes).
  std::vector<Observer> mainObservers, oppObservers;
  const double depression = Radians(kSightDepression);
  if (roadOn) {
    for (unsigned k = 0; k < in.mainLanes; ++k)
      mainObservers.push_back({{-kObserverDistance, (k + 0.5) * in.mainLaneWidth, kEyeHeight},
                               {std::cos(depression), 0.0, -std::sin(depression)},
                               k * kPointsPerLane + 1});
    if (separate && in.oppositeLanes > 0)
      for (unsigned k = 0; k < in.mainLanes; ++k) {
        unsigned lane = std::min(k, in.oppositeLanes - 1);
        unsigned fromDivider = in.oppositeLanes - 1 - lane;
        oppObservers.push_back({{q + kObserverDistance, road.totalWidth - (lane + 0.5) * in.oppositeLaneWidth,
                                 kEyeHeight},
                                {-std::cos(depression), 0.0, -std::sin(depression)},
                                fromDivider * kPointsPerLane + 1});
      }
  }

  // Luminaires at their initial intensities; the maintenance factor scales the values at the end.
  double tallest = 1.0;
  for (const LuminaireRecord& r : in.luminaires)
    tallest = std::max(tallest, std::fabs(r.height));
  const double reach = kReach * tallest;
  auto lums = PlaceLuminaires(in, road, -reach, q + reach, 1.0, error);
  if (!lums)
    return kInputMalformed;

  const std::size_t nRoad = yRoad.size(), nOpp = yOpp.size();
  // A damaged file can describe a kilometre-wide sidewalk under a forest of poles: refuse work that would not end
  // in reasonable time rather than hang the calculation.
  const std::size_t across = nRoad + nOpp + 2 * (yRight.size() + yLeft.size()) + zRight.size() + zLeft.size();
  const double points = static_cast<double>(nX) * static_cast<double>(across);
  if (points > kMaxPoints || points * static_cast<double>(lums->size()) > kMaxEvaluations) {
    if (error)
      *error = "the road is too large to calculate: " + std::to_string(static_cast<long long>(points)) +
               " points and " + std::to_string(lums->size()) + " luminaires";
    return kInputMalformed;
  }
  std::vector<double> eRoad(nX * nRoad), eOpp(nX * nOpp);
  std::vector<std::vector<double>> lumMain(mainObservers.size(), std::vector<double>(nX * nRoad));
  std::vector<std::vector<double>> lumOpp(oppObservers.size(), std::vector<double>(nX * nOpp));
  std::vector<double> eRight(nX * yRight.size()), escRight(eRight.size());
  std::vector<double> eLeft(nX * yLeft.size()), escLeft(eLeft.size());
  std::vector<double> evRight(nX * zRight.size()), evLeft(nX * zLeft.size());
  const ReflectionTable* luminanceTable = roadOn ? rtable : nullptr;
  std::vector<double> pointLum(std::max(mainObservers.size(), oppObservers.size()));

  int reported = -1;
  for (std::size_t i = 0; i < nX; ++i) {
    if (host.IsCancelled())
      return kCancelled;
    const double x = xs[i];
    for (std::size_t j = 0; j < nRoad; ++j) {
      pointLum.resize(mainObservers.size());
      RoadPoint(*lums, {x, yRoad[j], 0.0}, mainObservers, luminanceTable, eRoad[i * nRoad + j], pointLum);
      for (std::size_t k = 0; k < mainObservers.size(); ++k)
        lumMain[k][i * nRoad + j] = pointLum[k];
    }
    for (std::size_t j = 0; j < nOpp; ++j) {
      pointLum.resize(oppObservers.size());
      RoadPoint(*lums, {x, yOpp[j], 0.0}, oppObservers, luminanceTable, eOpp[i * nOpp + j], pointLum);
      for (std::size_t k = 0; k < oppObservers.size(); ++k)
        lumOpp[k][i * nOpp + j] = pointLum[k];
    }
    for (std::size_t j = 0; j < yRight.size(); ++j)
      SidewalkPoint(*lums, x, yRight[j], eRight[i * yRight.size() + j], escRight[i * yRight.size() + j]);
    for (std::size_t j = 0; j < yLeft.size(); ++j)
      SidewalkPoint(*lums, x, yLeft[j], eLeft[i * yLeft.size() + j], escLeft[i * yLeft.size() + j]);
    for (std::size_t j = 0; j < zRight.size(); ++j)
      evRight[i * zRight.size() + j] = WallPoint(*lums, {x, road.rightWallY, zRight[j]}, {0.0, 1.0, 0.0});
    for (std::size_t j = 0; j < zLeft.size(); ++j)
      evLeft[i * zLeft.size() + j] = WallPoint(*lums, {x, road.leftWallY, zLeft[j]}, {0.0, -1.0, 0.0});
    int percent = static_cast<int>(90 * (i + 1) / nX);
    if (percent != reported) {
      host.Progress(percent);
      reported = percent;
    }
  }
  res.evaluations = static_cast<std::uint64_t>(lums->size()) *
                    (nX * (nRoad + nOpp + 2 * (yRight.size() + yLeft.size()) + zRight.size() + zLeft.size()));

  // Maintained values.
  auto maintained = [mf](const std::vector<double>& v) {
    std::vector<float> out(v.size());
    std::transform(v.begin(), v.end(), out.begin(), [mf](double e) { return static_cast<float>(e * mf); });
    return out;
  };
  const double fieldFlux = FieldFlux(in);
  // Utilisation: the share of the luminaires' flux that lands on the strip, for the new installation.
  auto utilisation = [&](const std::vector<double>& e, double width) {
    double average = e.empty() ? 0.0 : std::accumulate(e.begin(), e.end(), 0.0) / static_cast<double>(e.size());
    return fieldFlux > 0.0 ? static_cast<float>(average * width * q / fieldFlux) : 0.0f;
  };

  int step2 = NodeStep(std::max({yRight.size(), yLeft.size(), zRight.size(), zLeft.size()}));
  res.header1 = NodeStep(nX);
  res.header2 = step2;
  res.header3 = NodeStep(nRoad);

  auto fillWalk = [&](SidewalkResult& w, const std::vector<double>& ys, const std::vector<double>& e,
                      const std::vector<double>& esc, double width) {
    w.y = ToFloats(ys);
    w.e = maintained(e);
    w.summary = SummariseIlluminance(w.e);
    w.utilisation = utilisation(e, width);
    w.esc = maintained(esc);
    w.escMin = w.esc.empty() ? 0.0f : *std::min_element(w.esc.begin(), w.esc.end());
  };
  if (in.RightSidewalk())
    fillWalk(res.rightWalk, yRight, eRight, escRight, in.rightSidewalk.width);
  if (in.LeftSidewalk())
    fillWalk(res.leftWalk, yLeft, eLeft, escLeft, in.leftSidewalk.width);
  if (in.wallsTakePart)
    res.xsWall = res.xs;
  auto fillWall = [&](WallResult& w, const std::vector<double>& zs, const std::vector<double>& ev) {
    w.z = ToFloats(zs);
    w.ev = maintained(ev);
    w.evMax = w.ev.empty() ? 0.0f : *std::max_element(w.ev.begin(), w.ev.end());
  };
  if (in.RightWall())
    fillWall(res.rightWall, zRight, evRight);
  if (in.LeftWall())
    fillWall(res.leftWall, zLeft, evLeft);

  if (roadOn) {
    res.yRoad = ToFloats(yRoad);
    res.eRoad = maintained(eRoad);
    res.sumRoad = SummariseIlluminance(res.eRoad);
    res.utilRoad = utilisation(eRoad, road.mainWidth);
    res.sumWhole = res.sumRoad;
    res.utilWhole = res.utilRoad;
    if (separate) {
      res.yOpp = ToFloats(yOpp);
      res.eOpp = maintained(eOpp);
      res.sumOpp = SummariseIlluminance(res.eOpp);
      res.utilOpp = utilisation(eOpp, road.oppositeWidth);
      std::vector<float> whole = res.eRoad;
      whole.insert(whole.end(), res.eOpp.begin(), res.eOpp.end());
      res.sumWhole = SummariseIlluminance(whole);
      res.utilWhole = res.utilRoad + res.utilOpp;
    }

    // Glare from the new installation, the luminaires ahead of each observer.
    auto mainGlare = PlaceLuminaires(in, road, -kObserverDistance - reach, q - kObserverDistance + kGlareRange, 1.0,
                                     error);
    auto oppGlare = PlaceLuminaires(in, road, q + kObserverDistance - q - kGlareRange, q + kObserverDistance + reach,
                                    1.0, error);
    if (!mainGlare || !oppGlare)
      return kInputMalformed;
    if (host.IsCancelled())
      return kCancelled;

    const std::size_t glareSteps = std::min(nX, kGlareSteps);
    LuminanceSummary& s = res.lumSummary;
    for (std::size_t k = 0; k < mainObservers.size(); ++k) {
      std::vector<float> grid = maintained(lumMain[k]);
      std::vector<float> all = grid;
      double initialAverage = Mean(ToFloats(lumMain[k]));
      double lv = WorstVeilingLuminance(*mainGlare, mainObservers[k], q, glareSteps);
      double ti = ThresholdIncrement(lv, initialAverage), glare = GlareIndex(lv, initialAverage);
      double longitudinal = Longitudinal(grid, nRoad, mainObservers[k].centreColumn);
      if (k < oppObservers.size()) {
        std::vector<float> opp = maintained(lumOpp[k]);
        all.insert(all.end(), opp.begin(), opp.end());
        double oppAverage = Mean(ToFloats(lumOpp[k]));
        double oppLv = WorstVeilingLuminance(*oppGlare, oppObservers[k], q, glareSteps);
        ti = std::max(ti, ThresholdIncrement(oppLv, oppAverage));
        glare = std::max(glare, GlareIndex(oppLv, oppAverage));
        longitudinal = std::min(longitudinal, Longitudinal(opp, nOpp, oppObservers[k].centreColumn));
        res.lumObserverOpp.push_back(std::move(opp));
      }
      ObserverValues o;
      if (!all.empty()) {
        double average = Mean(all);
        auto [lo, hi] = std::minmax_element(all.begin(), all.end());
        o = {static_cast<float>(average), *lo, *hi, Ratio(*lo, average), static_cast<float>(longitudinal),
             static_cast<float>(ti), static_cast<float>(glare)};
      } else {
        o.threshold = static_cast<float>(ti);
        o.glare = static_cast<float>(glare);
      }
      // The road's figures are those of its worst observer (EN 13201-3).
      if (k == 0) {
        s = {o.average, o.uniformity, o.longitudinal, o.threshold, o.glare};
      } else {
        s[0] = std::min(s[0], o.average);
        s[1] = std::min(s[1], o.uniformity);
        s[2] = std::min(s[2], o.longitudinal);
        s[3] = std::max(s[3], o.threshold);
        s[4] = std::max(s[4], o.glare);
      }
      res.lumObserver.push_back(std::move(grid));
      res.observers.push_back(o);
    }
  }
  host.Progress(100);
  return kEngineOk;
}

}  // namespace Engines
