// libFuzzer target: the DXF reader on arbitrary bytes. Whatever the bytes, reading ends with a drawing or a
// refusal; it never crashes, hangs or allocates what the input merely claims. A drawing read holds only figures
// on its own layers, within the bounds, and a refusal leaves it empty.
#include "outside/grafocore/dxf/dxf_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using namespace grafocore::dxf;
  // Smaller bounds than a real import, so a run spends its time on variety rather than on one huge drawing.
  ReadLimits limits;
  limits.figures = 20000;
  limits.points = 200000;
  limits.expandedEntities = 100000;
  Drawing drawing;
  const ReadResult result = ReadDxf(std::string_view(reinterpret_cast<const char*>(data), size), drawing, limits);
  if (!result.Ok()) {
    if (!drawing.figures.empty() || !drawing.layers.empty() || result.Message().empty())
      std::abort();
    return 0;
  }
  if (drawing.figures.size() > limits.figures)
    std::abort();
  size_t points = 0;
  for (const Figure& f : drawing.figures) {
    if (f.layer < 0 || static_cast<size_t>(f.layer) >= drawing.layers.size())
      std::abort();
    points += f.points.size();
    for (const Point& p : f.points)
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        std::abort();
  }
  if (points > limits.points)
    std::abort();
  (void)StripMTextFormat(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
