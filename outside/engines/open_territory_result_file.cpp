// Every item 4 bytes, little-endian, no header and no padding, in this order:
//   nX (uint32); nY (uint32); xs[nX] (float); ys[nY] (float);
//   E[nX x nY] (float, X-major: node (i, j) at i x nY + j); state[nX x nY] (int32, negative: no value);
//   nZ (uint32); nZ zone records of 9 items: kind (int32: 0 carriageway, 1 sidewalk), average, minimum,
//   maximum, minimum/average, minimum/maximum, I80, I85 (cd/klm), utilisation factor (float).
#include "outside/engines/open_territory_result_file.h"

#include <cstring>

namespace Engines {
namespace {

class Items {
public:
  explicit Items(std::size_t count) { out_.reserve(count * 4); }
  void U32(std::size_t v) { Put(static_cast<std::uint32_t>(v)); }
  void I32(std::int32_t v) { Put(static_cast<std::uint32_t>(v)); }
  void F32(float f)
  {
    std::uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    Put(v);
  }
  std::vector<std::uint8_t> Take() { return std::move(out_); }

private:
  void Put(std::uint32_t v)
  {
    for (int shift = 0; shift < 32; shift += 8)
      out_.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  std::vector<std::uint8_t> out_;
};

}  // namespace

std::vector<std::uint8_t> FormatOpenTerritoryResult(const OpenTerritoryResult& r)
{
  Items w(3 + r.xs.size() + r.ys.size() + r.e.size() + r.state.size() + 9 * r.zones.size());
  w.U32(r.xs.size());
  w.U32(r.ys.size());
  for (float x : r.xs)
    w.F32(x);
  for (float y : r.ys)
    w.F32(y);
  for (float e : r.e)
    w.F32(e);
  for (std::int32_t s : r.state)
    w.I32(s);
  w.U32(r.zones.size());
  for (const ZoneRecord& z : r.zones) {
    w.I32(z.kind);
    for (float v : {z.average, z.minimum, z.maximum, z.uniformity, z.minToMax, z.i80, z.i85, z.utilisation})
      w.F32(v);
  }
  return w.Take();
}

}  // namespace Engines
