// Layout, in order (a condition covers the items under it):
//   nX; header1; header2; xs[nX]
//   sidewalks take part, right sidewalk present: n; y[n]; E[nX*n]; summary x5; utilisation; Esc[nX*n]; Esc min
//   sidewalks take part, left sidewalk present: the same
//   walls take part: nWallX; xsWall[nWallX]
//     right wall present: n; z[n]; Ev[nWallX*n]; Ev max     left wall present: the same
//   carriageway takes part: header3; nRoad; yRoad[nRoad]; E[nX*nRoad]; summary x5; utilisation;
//     per observer: L[nX*nRoad], then, unless the opposite direction is calculated separately, its five values
//     (average, minimum, maximum, Lmin/Lav, Lmin/Lmax);
//     opposite direction separately: nOpp; yOpp[nOpp]; E[nX*nOpp]; summary x5; utilisation; whole-carriageway
//       summary x5; whole utilisation; per observer: L[nX*nOpp] and its five values;
//     per observer: TI, glare index; then the luminance summary x5.
#include "outside/engines/road_result_file.h"

#include "outside/engines/result_items.h"

namespace Engines {
namespace {

void Walk(ResultItems& w, const SidewalkResult& s)
{
  w.Count(s.y.size());
  w.Floats(s.y);
  w.Floats(s.e);
  w.Floats(s.summary);
  w.F32(s.utilisation);
  w.Floats(s.esc);
  w.F32(s.escMin);
}

void Wall(ResultItems& w, const WallResult& s)
{
  w.Count(s.z.size());
  w.Floats(s.z);
  w.Floats(s.ev);
  w.F32(s.evMax);
}

void ObserverFive(ResultItems& w, const ObserverValues& o)
{
  w.F32(o.average);
  w.F32(o.minimum);
  w.F32(o.maximum);
  w.F32(o.uniformity);
  w.F32(o.longitudinal);
}

}  // namespace

std::vector<std::uint8_t> FormatStraightRoadResult(const StraightRoadInput& in, const StraightRoadResult& res)
{
  ResultItems w;
  w.Count(res.xs.size());
  w.I32(res.header1);
  w.I32(res.header2);
  w.Floats(res.xs);
  if (in.RightSidewalk())
    Walk(w, res.rightWalk);
  if (in.LeftSidewalk())
    Walk(w, res.leftWalk);
  if (in.wallsTakePart) {
    w.Count(res.xsWall.size());
    w.Floats(res.xsWall);
    if (in.RightWall())
      Wall(w, res.rightWall);
    if (in.LeftWall())
      Wall(w, res.leftWall);
  }
  if (!in.carriagewayTakesPart)
    return w.Take();

  // The reader takes the observer count from the road: one per main lane.
  const bool separate = in.OppositeSeparate();
  const std::size_t observers = in.mainLanes;
  const std::vector<float> none;
  const ObserverValues zero{};
  auto observer = [&](std::size_t k) -> const ObserverValues& {
    return k < res.observers.size() ? res.observers[k] : zero;
  };
  w.I32(res.header3);
  w.Count(res.yRoad.size());
  w.Floats(res.yRoad);
  w.Floats(res.eRoad);
  w.Floats(res.sumRoad);
  w.F32(res.utilRoad);
  for (std::size_t k = 0; k < observers; ++k) {
    w.Floats(k < res.lumObserver.size() ? res.lumObserver[k] : none);
    if (!separate)
      ObserverFive(w, observer(k));
  }
  if (separate) {
    w.Count(res.yOpp.size());
    w.Floats(res.yOpp);
    w.Floats(res.eOpp);
    w.Floats(res.sumOpp);
    w.F32(res.utilOpp);
    w.Floats(res.sumWhole);
    w.F32(res.utilWhole);
    for (std::size_t k = 0; k < observers; ++k) {
      w.Floats(k < res.lumObserverOpp.size() ? res.lumObserverOpp[k] : none);
      ObserverFive(w, observer(k));
    }
  }
  for (std::size_t k = 0; k < observers; ++k) {
    w.F32(observer(k).threshold);
    w.F32(observer(k).glare);
  }
  w.Floats(res.lumSummary);
  return w.Take();
}

}  // namespace Engines
