#include "outside/engines/intensity_table.h"

#include <algorithm>
#include <cmath>

#include "outside/engines/vec3.h"

namespace Engines {
namespace {

constexpr double kAngleTolerance = IntensityTable::kAngleTolerance;

struct Bracket {
  std::size_t lo = 0;
  std::size_t hi = 0;
  double t = 0.0;  // weight of hi
};

void BuildIndex(const std::vector<double>& axis, IntensityTable::AxisIndex& index)
{
  index = {};
  const std::size_t n = axis.size();
  const double span = n >= 2 ? axis.back() - axis.front() : 0.0;
  if (!(span > 0.0))
    return;
  index.origin = axis.front();
  index.size = n;
  index.inverseSpans.resize(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i)
    index.inverseSpans[i] = axis[i + 1] > axis[i] ? 1.0 / (axis[i + 1] - axis[i]) : 0.0;
  const double step = span / static_cast<double>(n - 1);
  index.uniform = true;
  for (std::size_t i = 0; i < n && index.uniform; ++i)
    index.uniform = std::fabs(axis[i] - (axis.front() + step * static_cast<double>(i))) <= 1e-9 * span;
  if (index.uniform) {
    index.inverseWidth = 1.0 / step;
    return;
  }
  const std::size_t count = 4 * n;  // a few buckets per interval: one or two steps from the bucket's start
  index.buckets.resize(count);
  index.inverseWidth = static_cast<double>(count) / span;
  std::size_t i = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const double start = axis.front() + span * static_cast<double>(k) / static_cast<double>(count);
    while (i + 2 < n && axis[i + 1] <= start)
      ++i;
    index.buckets[k] = static_cast<std::uint32_t>(i);
  }
}

// The lower end of v's interval, at most size - 2, for v within the axis: the largest i with axis[i] <= v.
inline std::size_t LowerEnd(const std::vector<double>& axis, const IntensityTable::AxisIndex& index, double v)
{
  const std::size_t n = axis.size();
  if (index.uniform && index.size == n) {
    // The quotient may round across a tabulated angle: one look at each neighbour settles it.
    const double f = (v - index.origin) * index.inverseWidth;
    std::size_t i = f <= 0.0 ? 0 : std::min(n - 2, static_cast<std::size_t>(f));
    if (i > 0 && axis[i] > v)
      --i;
    else if (i + 2 < n && axis[i + 1] <= v)
      ++i;
    return i;
  }
  if (index.size != n || index.buckets.empty()) {
    auto it = std::upper_bound(axis.begin(), axis.end(), v);
    std::size_t hi = it == axis.end() ? n - 1 : static_cast<std::size_t>(it - axis.begin());
    return hi == 0 ? 0 : hi - 1;
  }
  const double f = (v - index.origin) * index.inverseWidth;
  const std::size_t k = f <= 0.0 ? 0 : std::min(index.buckets.size() - 1, static_cast<std::size_t>(f));
  std::size_t i = index.buckets[k];
  while (i > 0 && axis[i] > v)  // v a rounding below its bucket's start
    --i;
  while (i + 2 < n && axis[i + 1] <= v)
    ++i;
  return i;
}

// Where v lies between axis[lo] and axis[lo + 1]: 0 at the one, 1 at the other.
inline double Weight(const std::vector<double>& axis, const IntensityTable::AxisIndex& index, std::size_t lo, double v)
{
  if (index.size == axis.size())
    return (v - axis[lo]) * index.inverseSpans[lo];
  double span = axis[lo + 1] - axis[lo];
  return span > 0.0 ? (v - axis[lo]) / span : 0.0;
}

// Non-periodic axis; false when v lies outside it.
bool FindOnAxis(const std::vector<double>& axis, const IntensityTable::AxisIndex& index, double v, Bracket& b)
{
  if (axis.size() == 1) {
    b = {0, 0, 0.0};
    return true;
  }
  if (v < axis.front() - kAngleTolerance || v > axis.back() + kAngleTolerance)
    return false;
  v = std::clamp(v, axis.front(), axis.back());
  std::size_t lo = LowerEnd(axis, index, v), hi = lo + 1;
  b = {lo, hi, Weight(axis, index, lo, v)};
  return true;
}

// C-planes go round: the interval after the last plane closes on the first plane + 360.
void FindOnCircle(const std::vector<double>& planes, const IntensityTable::AxisIndex& index, double c, Bracket& b)
{
  const std::size_t n = planes.size();
  if (n == 1) {
    b = {0, 0, 0.0};
    return;
  }
  const double first = planes.front();
  double r = c - first;
  if (r < 0.0 || r >= 360.0) {  // directions come within one turn of the first plane; fmod only beyond that
    r = std::fmod(r, 360.0);
    if (r < 0.0)
      r += 360.0;
  }
  r += first;
  if (r < planes[n - 1]) {
    std::size_t lo = LowerEnd(planes, index, r), hi = lo + 1;
    b = {lo, hi, Weight(planes, index, lo, r)};
    return;
  }
  double span = first + 360.0 - planes[n - 1];
  b = {n - 1, 0, span > 0.0 ? (r - planes[n - 1]) / span : 0.0};
}

// Trapezoid weights of a non-periodic axis, in radians.
std::vector<double> TrapezoidWeights(const std::vector<double>& axis)
{
  const std::size_t n = axis.size();
  std::vector<double> w(n, 0.0);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    double half = 0.5 * Radians(axis[i + 1] - axis[i]);
    w[i] += half;
    w[i + 1] += half;
  }
  return w;
}

std::vector<double> CircleWeights(const std::vector<double>& planes)
{
  const std::size_t n = planes.size();
  if (n == 1)
    return {2.0 * std::numbers::pi};
  std::vector<double> w(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    double prev = i == 0 ? planes[n - 1] - 360.0 : planes[i - 1];
    double next = i + 1 == n ? planes[0] + 360.0 : planes[i + 1];
    // A table holding both 0 and 360 (or -180 and 180) closes on itself: the wrap interval is empty.
    if (i == 0 && prev > planes[0])
      prev = planes[0];
    if (i + 1 == n && next < planes[n - 1])
      next = planes[n - 1];
    w[i] = 0.5 * Radians(next - prev);
  }
  return w;
}

}  // namespace

double IntensityTable::At(double plane, double angle) const
{
  if (planes.empty() || angles.empty())
    return 0.0;
  Bracket a;
  if (!FindOnAxis(angles, angleIndex, angle, a))
    return 0.0;
  Bracket p;
  if (cPlanes) {
    FindOnCircle(planes, planeIndex, plane, p);
  } else if (!FindOnAxis(planes, planeIndex, plane, p)) {
    return 0.0;
  }
  double low = Value(p.lo, a.lo) + a.t * (Value(p.lo, a.hi) - Value(p.lo, a.lo));
  double high = Value(p.hi, a.lo) + a.t * (Value(p.hi, a.hi) - Value(p.hi, a.lo));
  return low + p.t * (high - low);
}

void IntensityTable::Index()
{
  lastGammaCosine = -2.0;
  if (cPlanes && !angles.empty() && angles.size() > 1 && angles.back() < 179.0)
    lastGammaCosine = std::cos(Radians(angles.back() + 1e-6));
  BuildIndex(angles, angleIndex);
  BuildIndex(planes, planeIndex);
}

double IntensityTable::Flux() const
{
  if (planes.empty() || angles.empty())
    return 0.0;
  std::vector<double> planeWeights = cPlanes ? CircleWeights(planes) : TrapezoidWeights(planes);
  std::vector<double> angleWeights = TrapezoidWeights(angles);
  double flux = 0.0;
  for (std::size_t j = 0; j < angles.size(); ++j) {
    // Solid angle element: sin(gamma) from the nadir axis, cos(beta) from the B-plane's equator.
    double solid = cPlanes ? std::sin(Radians(angles[j])) : std::cos(Radians(angles[j]));
    double w = angleWeights[j] * std::fabs(solid);
    for (std::size_t i = 0; i < planes.size(); ++i)
      flux += planeWeights[i] * w * Value(i, j);
  }
  return flux;
}

}  // namespace Engines
