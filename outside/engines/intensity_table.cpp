#include "outside/engines/intensity_table.h"

#include <algorithm>
#include <cmath>

#include "outside/engines/vec3.h"

namespace Engines {
namespace {

// Directions that fall on a table border by rounding must not lose their light.
constexpr double kAngleTolerance = 1e-9;

struct Bracket {
  std::size_t lo = 0;
  std::size_t hi = 0;
  double t = 0.0;  // weight of hi
};

// Non-periodic axis; false when v lies outside it.
bool FindOnAxis(const std::vector<double>& axis, double v, Bracket& b)
{
  if (axis.size() == 1) {
    b = {0, 0, 0.0};
    return true;
  }
  if (v < axis.front() - kAngleTolerance || v > axis.back() + kAngleTolerance)
    return false;
  v = std::clamp(v, axis.front(), axis.back());
  auto it = std::upper_bound(axis.begin(), axis.end(), v);
  std::size_t hi = it == axis.end() ? axis.size() - 1 : static_cast<std::size_t>(it - axis.begin());
  std::size_t lo = hi == 0 ? 0 : hi - 1;
  double span = axis[hi] - axis[lo];
  b = {lo, hi, span > 0.0 ? (v - axis[lo]) / span : 0.0};
  return true;
}

// C-planes go round: the interval after the last plane closes on the first plane + 360.
void FindOnCircle(const std::vector<double>& planes, double c, Bracket& b)
{
  const std::size_t n = planes.size();
  if (n == 1) {
    b = {0, 0, 0.0};
    return;
  }
  const double first = planes.front();
  double r = std::fmod(c - first, 360.0);
  if (r < 0.0)
    r += 360.0;
  r += first;
  auto it = std::upper_bound(planes.begin(), planes.end(), r);
  std::size_t hi = static_cast<std::size_t>(it - planes.begin());
  if (hi < n) {
    std::size_t lo = hi - 1;
    double span = planes[hi] - planes[lo];
    b = {lo, hi, span > 0.0 ? (r - planes[lo]) / span : 0.0};
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
  if (!FindOnAxis(angles, angle, a))
    return 0.0;
  Bracket p;
  if (cPlanes) {
    FindOnCircle(planes, plane, p);
  } else if (!FindOnAxis(planes, plane, p)) {
    return 0.0;
  }
  double low = Value(p.lo, a.lo) + a.t * (Value(p.lo, a.hi) - Value(p.lo, a.lo));
  double high = Value(p.hi, a.lo) + a.t * (Value(p.hi, a.hi) - Value(p.hi, a.lo));
  return low + p.t * (high - low);
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
