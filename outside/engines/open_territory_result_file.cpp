// Every item 4 bytes, little-endian, no header and no padding, in this order:
//   nX (uint32); nY (uint32); xs[nX] (float); ys[nY] (float);
//   E[nX x nY] (float, X-major: node (i, j) at i x nY + j); state[nX x nY] (int32, negative: no value);
//   nZ (uint32); nZ zone records of 9 items: kind (int32: 0 carriageway, 1 sidewalk), average, minimum,
//   maximum, minimum/average, minimum/maximum, I80, I85 (cd/klm), utilisation factor (float).
#include "outside/engines/open_territory_result_file.h"

#include "outside/engines/result_items.h"

namespace Engines {
std::vector<std::uint8_t> FormatOpenTerritoryResult(const OpenTerritoryResult& r)
{
  ResultItems w(3 + r.xs.size() + r.ys.size() + r.e.size() + r.state.size() + 9 * r.zones.size());
  w.Count(r.xs.size());
  w.Count(r.ys.size());
  for (float x : r.xs)
    w.F32(x);
  for (float y : r.ys)
    w.F32(y);
  for (float e : r.e)
    w.F32(e);
  for (std::int32_t s : r.state)
    w.I32(s);
  w.Count(r.zones.size());
  for (const ZoneRecord& z : r.zones) {
    w.I32(z.kind);
    for (float v : {z.average, z.minimum, z.maximum, z.uniformity, z.minToMax, z.i80, z.i85, z.utilisation})
      w.F32(v);
  }
  return w.Take();
}

}  // namespace Engines
