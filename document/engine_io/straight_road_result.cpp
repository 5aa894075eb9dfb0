// The result file, in order (a condition covers the items under it):
//   nX; header1; header2; xs[nX]
//   sidewalks take part, right sidewalk present: n; y[n]; E[nX*n]; summary x5; utilisation; Esc[nX*n]; Esc min
//   sidewalks take part, left sidewalk present: the same
//   walls take part: nWallX; xsWall[nWallX]
//     right wall present: n; z[n]; Ev[nWallX*n]; Ev max        left wall present: the same
//   carriageway takes part (one observer per main lane): header3; nRoad; yRoad[nRoad]; E[nX*nRoad]; summary x5;
//     utilisation; per observer L[nX*nRoad], followed by its five values (average, minimum, maximum, Lmin/Lav,
//     Lmin/Lmax) unless the opposite direction is calculated separately;
//     opposite direction separately: nOpp; yOpp[nOpp]; E[nX*nOpp]; summary x5; utilisation; whole-carriageway
//       summary x5; whole utilisation; per observer L[nX*nOpp] and its five values;
//     per observer TI and glare index; the luminance summary x5.
// Without the opposite direction on its own, the whole carriageway is the main direction.
#include "document/engine_io/straight_road_result.h"

#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/engine_result_reader.h"
#include "document/engine_io/straight_road_parts.h"
#include "model/results.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace EngineIo {
namespace {

using Five = std::array<float, 5>;

Five Summary(ItemReader& in)
{
  Five v{};
  for (float& f : v)
    f = in.Light();
  return v;
}

struct Sidewalk {
  std::uint32_t n = 0;
  std::vector<float> y, e, esc;
  Five summary{};
  float utilisation = 0.0f;
  float escMin = 0.0f;
};

struct Wall {
  std::uint32_t n = 0;
  std::vector<float> z, ev;
  float evMax = 0.0f;
};

struct Observer {
  std::vector<float> grid, oppositeGrid;
  Five values{};  // average, minimum, maximum, Lmin/Lav, Lmin/Lmax
  float threshold = 0.0f, glare = 0.0f;
};

// Everything the file holds, read in full before the results block is touched.
struct ResultFile {
  std::uint32_t nX = 0;
  std::int32_t header1 = 0, header2 = 0, header3 = 0;
  std::vector<float> xs;
  Sidewalk rightWalk, leftWalk;
  std::uint32_t nWallX = 0;
  std::vector<float> xsWall;
  Wall rightWall, leftWall;
  std::uint32_t nRoad = 0;
  std::vector<float> yRoad, eRoad;
  Five sumRoad{};
  float utilRoad = 0.0f;
  std::uint32_t nOpp = 0;
  std::vector<float> yOpp, eOpp;
  Five sumOpp{}, sumWhole{};
  float utilOpp = 0.0f, utilWhole = 0.0f;
  std::vector<Observer> observers;
  bool oppositeSeparate = false;
  Five lumSummary{};
};

Sidewalk ReadSidewalk(ItemReader& in, std::uint32_t nX)
{
  Sidewalk s;
  s.n = in.Item<std::uint32_t>();
  s.y = in.Items<float>(s.n);
  s.e = in.Lights(Mul(nX, s.n));
  s.summary = Summary(in);
  s.utilisation = in.Light();
  s.esc = in.Lights(Mul(nX, s.n));
  s.escMin = in.Light();
  return s;
}

Wall ReadWall(ItemReader& in, std::uint32_t nWallX)
{
  Wall w;
  w.n = in.Item<std::uint32_t>();
  w.z = in.Items<float>(w.n);
  w.ev = in.Lights(Mul(nWallX, w.n));
  w.evMax = in.Light();
  return w;
}

void ReadFile(ItemReader& in, const CrossSection& section, ResultFile& f)
{
  f.nX = in.Item<std::uint32_t>();
  f.header1 = in.Item<std::int32_t>();
  f.header2 = in.Item<std::int32_t>();
  f.xs = in.Items<float>(f.nX);
  if (section.sidewalksTakePart && section.rightSidewalk)
    f.rightWalk = ReadSidewalk(in, f.nX);
  if (section.sidewalksTakePart && section.leftSidewalk)
    f.leftWalk = ReadSidewalk(in, f.nX);
  if (section.wallsTakePart) {
    f.nWallX = in.Item<std::uint32_t>();
    f.xsWall = in.Items<float>(f.nWallX);
    if (section.rightWall)
      f.rightWall = ReadWall(in, f.nWallX);
    if (section.leftWall)
      f.leftWall = ReadWall(in, f.nWallX);
  }
  if (!section.carriagewayTakesPart)
    return;

  f.oppositeSeparate = section.OppositeSeparate();
  f.header3 = in.Item<std::int32_t>();
  f.nRoad = in.Item<std::uint32_t>();
  f.yRoad = in.Items<float>(f.nRoad);
  const Count roadNodes = Mul(f.nX, f.nRoad);
  f.eRoad = in.Lights(roadNodes);
  f.sumRoad = Summary(in);
  f.utilRoad = in.Light();
  f.sumWhole = f.sumRoad;
  f.utilWhole = f.utilRoad;
  // One observer per main lane of the model; each grid is checked against the file as it comes.
  for (std::uint32_t k = 0; k < section.mainLanes; ++k) {
    Observer& o = f.observers.emplace_back();
    o.grid = in.Lights(roadNodes);
    if (!f.oppositeSeparate)
      o.values = Summary(in);
  }
  if (f.oppositeSeparate) {
    f.nOpp = in.Item<std::uint32_t>();
    f.yOpp = in.Items<float>(f.nOpp);
    const Count oppNodes = Mul(f.nX, f.nOpp);
    f.eOpp = in.Lights(oppNodes);
    f.sumOpp = Summary(in);
    f.utilOpp = in.Light();
    f.sumWhole = Summary(in);
    f.utilWhole = in.Light();
    for (Observer& o : f.observers) {
      o.oppositeGrid = in.Lights(oppNodes);
      o.values = Summary(in);
    }
  }
  for (Observer& o : f.observers) {
    o.threshold = in.Light();
    o.glare = in.Light();
  }
  f.lumSummary = Summary(in);
}

void CopyFive(float (&to)[5], const Five& from) { std::memcpy(to, from.data(), sizeof to); }

void FillResults(ObjectModel::CResultsOfCalc& results, const ResultFile& f)
{
  _CALC_RESULTS& d = *results.GetData();
  d.nX = f.nX;
  d.header1 = f.header1;
  d.header2 = f.header2;
  d.header3 = f.header3;
  d.nRightWalk = f.rightWalk.n;
  d.nLeftWalk = f.leftWalk.n;
  d.nWallX = f.nWallX;
  d.nRightWall = f.rightWall.n;
  d.nLeftWall = f.leftWall.n;
  d.nRoad = f.nRoad;
  d.nObservers = static_cast<std::uint32_t>(f.observers.size());
  d.nObserversOpp = f.oppositeSeparate ? d.nObservers : 0;
  d.nOpp = f.nOpp;
  results.AllocArrays();

  CopyItems(d.xs, f.xs);
  auto walk = [](const Sidewalk& s, float* y, float* e, float (&sum)[5], float& util, float* esc, float& escMin) {
    CopyItems(y, s.y);
    CopyItems(e, s.e);
    CopyFive(sum, s.summary);
    util = s.utilisation;
    CopyItems(esc, s.esc);
    escMin = s.escMin;
  };
  walk(f.rightWalk, d.yRightWalk, d.eRightWalk, d.sumRightWalk, d.utilRightWalk, d.escRightWalk,
       d.escMinRightWalk);
  walk(f.leftWalk, d.yLeftWalk, d.eLeftWalk, d.sumLeftWalk, d.utilLeftWalk, d.escLeftWalk, d.escMinLeftWalk);
  CopyItems(d.xsWall, f.xsWall);
  CopyItems(d.zRightWall, f.rightWall.z);
  CopyItems(d.evRightWall, f.rightWall.ev);
  d.evMaxRightWall = f.rightWall.evMax;
  CopyItems(d.zLeftWall, f.leftWall.z);
  CopyItems(d.evLeftWall, f.leftWall.ev);
  d.evMaxLeftWall = f.leftWall.evMax;

  CopyItems(d.yRoad, f.yRoad);
  CopyItems(d.eRoad, f.eRoad);  // the node states stay 0: a straight road has a value at every node
  CopyFive(d.sumRoad, f.sumRoad);
  d.utilRoad = f.utilRoad;
  CopyItems(d.yOpp, f.yOpp);
  CopyItems(d.eOpp, f.eOpp);
  CopyFive(d.sumOpp, f.sumOpp);
  d.utilOpp = f.utilOpp;
  CopyFive(d.sumWhole, f.sumWhole);
  d.utilWhole = f.utilWhole;
  const std::size_t roadNodes = f.eRoad.size();
  const std::size_t oppNodes = f.eOpp.size();
  for (std::size_t k = 0; k < f.observers.size(); ++k) {
    const Observer& o = f.observers[k];
    if (d.lumObserver)
      CopyItems(d.lumObserver + k * roadNodes, o.grid);
    if (d.lumObserverOpp)
      CopyItems(d.lumObserverOpp + k * oppNodes, o.oppositeGrid);
    // Without points across the road the block keeps no per-observer luminance arrays.
    if (d.obsLumAvg) {
      d.obsLumAvg[k] = o.values[0];
      d.obsLumMin[k] = o.values[1];
      d.obsLumMax[k] = o.values[2];
      d.obsUniformity[k] = o.values[3];
      d.obsLongUniformity[k] = o.values[4];
    }
    if (d.obsThreshold) {
      d.obsThreshold[k] = o.threshold;
      d.obsGlare[k] = o.glare;
    }
  }
  CopyFive(d.lumSummary, f.lumSummary);
  d.valid = 1;
  results.UpdateWorstObserver();
}

}  // namespace

}  // namespace EngineIo

int ReadEngineResult1(IQorRoadDoc* document, const CString& path)
{
  using namespace EngineIo;
  StraightRoadParts parts;
  if (!FindActiveStraightRoad(document, parts))
    return kNoAreaOfThisKind;
  auto* results = dynamic_cast<ObjectModel::CResultsOfCalc*>(parts.results.get());
  if (!results)
    return kNoAreaOfThisKind;
  results->Clear();
  parts.road->UpdateAreaWidth();
  const CrossSection section = ReadCrossSection(parts);

  CFile file;
  if (!file.Open(path.GetString(), CFile::modeRead))
    return kResultMissing;
  ResultFile contents;
  const int code = ReadResultArchive(file, [&](CArchive& ar) {
    ItemReader in(ar);
    ReadFile(in, section, contents);
  });
  if (code != kOk)
    return code;
  FillResults(*results, contents);
  return kOk;
}
