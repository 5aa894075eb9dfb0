// Every item an IEEE 32-bit float, little-endian; no header, no counts (the program counts from its model):
//   F1 the flux the utilisation factors are related to (lm); F2 I80, F3 I85 (cd/klm);
//   then per polygon of the input, in its order: a carriageway or sidewalk polygon one value per calculation
//   point, in point order; a shading object one value (0, which the program drops); any other polygon nothing,
//   although the input sends the points of a background polygon.
#include "outside/engines/interchange_result_file.h"

#include "outside/engines/result_items.h"

namespace Engines {

std::vector<std::uint8_t> FormatInterchangeResult(const InterchangeResult& r)
{
  std::vector<float> items{r.flux, r.i80, r.i85};
  for (const AnsweredPolygon& polygon : r.polygons) {
    switch (AnswerFor(polygon.membership)) {
    case PolygonAnswer::PointValues: items.insert(items.end(), polygon.values.begin(), polygon.values.end()); break;
    case PolygonAnswer::OneValue: items.push_back(0.0f); break;
    case PolygonAnswer::Nothing: break;
    }
  }
  ResultItems out(items.size());
  out.Floats(items);
  return out.Take();
}

}  // namespace Engines
