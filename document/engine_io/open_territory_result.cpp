// The result file, in order, every item 4 bytes:
//   nX (uint32); nY (uint32); xs[nX] (float); ys[nY] (float);
//   values[nX x nY] (float, X-major: node (i, j) at i x nY + j); states[nX x nY] (int32, negative: no value);
//   nZ (uint32); nZ zone records of 9 items: kind (int32: 0 carriageway, 1 sidewalk), average, minimum, maximum,
//   minimum/average, a fifth value carried as it comes, I80, I85, utilisation factor (float).
#include "document/engine_io/open_territory_result.h"

#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/engine_result_reader.h"
#include "document/engine_io/open_territory_parts.h"
#include "model/results.h"

#include <cstdint>
#include <vector>

namespace EngineIo {
namespace {

constexpr Count kZoneItems = 9;

// Everything the file holds, read in full before the results block is touched.
struct ResultFile {
  std::uint32_t nX = 0;
  std::uint32_t nY = 0;
  std::vector<float> xs, ys, values;
  std::vector<std::int32_t> states;
  std::vector<_ZONE_RESULT> zones;
};

void ReadFile(ItemReader& in, ResultFile& f)
{
  f.nX = in.Item<std::uint32_t>();
  f.nY = in.Item<std::uint32_t>();
  f.xs = in.Items<float>(f.nX);
  f.ys = in.Items<float>(f.nY);
  const Count nodes = Mul(f.nX, f.nY);
  f.values = in.Lights(nodes);
  f.states = in.Items<std::int32_t>(nodes);
  const std::uint32_t nZones = in.Item<std::uint32_t>();
  in.archive().EnsureAvailable(Mul(nZones, kZoneItems * 4));
  f.zones.resize(nZones);
  for (_ZONE_RESULT& z : f.zones) {
    z = _ZONE_RESULT{};
    z.kind = in.Item<std::int32_t>();
    z.average = in.Light();
    z.minimum = in.Light();
    z.maximum = in.Light();
    z.uniformity = in.Light();
    z.fifth = in.Light();
    z.i80 = in.Light();
    z.i85 = in.Light();
    z.utilisation = in.Light();  // the item before it in the block stays 0
  }
}

void FillResults(ObjectModel::CResultsOfCalc& results, const ResultFile& f)
{
  _CALC_RESULTS& d = *results.GetData();
  d.nX = f.nX;
  d.nRoad = f.nY;
  d.nZones = static_cast<std::uint32_t>(f.zones.size());
  results.AllocArrays();
  CopyItems(d.xs, f.xs);
  CopyItems(d.yRoad, f.ys);
  CopyItems(d.eRoad, f.values);
  CopyItems(d.nodeState, f.states);
  CopyItems(d.zones, f.zones);
  d.header1 = 1;
  d.header2 = 1;
  d.header3 = 1;
  d.valid = 1;
}

}  // namespace
}  // namespace EngineIo

int ReadEngineResult3(IQorRoadDoc* document, const CString& path)
{
  using namespace EngineIo;
  OpenTerritoryParts parts;
  if (!FindActiveOpenTerritory(document, parts))
    return kNoAreaOfThisKind;
  auto* results = dynamic_cast<ObjectModel::CResultsOfCalc*>(parts.results.get());
  if (!results)
    return kNoAreaOfThisKind;

  CFile file;
  if (!file.Open(path.GetString(), CFile::modeRead))
    return kResultMissing;
  results->Clear();
  ResultFile contents;
  const int code = ReadResultArchive(file, [&](CArchive& ar) {
    ItemReader in(ar);
    ReadFile(in, contents);
  });
  if (code != kOk)
    return code;
  FillResults(*results, contents);
  return kOk;
}
