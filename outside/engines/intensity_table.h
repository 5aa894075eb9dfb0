// Luminous intensity distribution of one luminaire type as the engine receives it: absolute candela over planes
// (C or B) and angles in them (gamma or beta), with linear interpolation in both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Engines {

struct IntensityTable {
  bool cPlanes = true;          // C-planes with gamma angles; false: B-planes with beta angles
  std::vector<double> angles;   // gamma or beta, degrees, ascending
  std::vector<double> planes;   // C or B, degrees, ascending
  std::vector<double> candela;  // planes.size() x angles.size(), plane by plane

  double Value(std::size_t plane, std::size_t angle) const { return candela[plane * angles.size() + angle]; }

  // Intensity in candela at plane `plane` and angle `angle` (degrees). C-planes repeat every 360 degrees; angles
  // outside the tabulated range give 0 (a table of gamma 0..90 emits nothing upwards).
  double At(double plane, double angle) const;

  // False when At() gives 0 for the angle whatever the plane: outside the tabulated angles, or no table at all.
  bool HasAngle(double angle) const
  {
    if (angles.size() == 1)
      return !planes.empty();
    return !angles.empty() && !planes.empty() && angle >= angles.front() - kAngleTolerance &&
           angle <= angles.back() + kAngleTolerance;
  }
  // For C tables with an index: true when a direction whose component along the axis is `along` and whose
  // squared length is `length2` lies beyond the last gamma (by more than rounding), without any angle.
  bool BeyondLastGamma(double along, double length2) const
  {
    const double k = lastGammaCosine;
    if (angleIndex.size != angles.size() || k < -1.0)  // no index, or one built for other angles
      return false;
    if (k >= 0.0)
      return along < 0.0 || along * along < k * k * length2;
    return along < 0.0 && along * along > k * k * length2;
  }
  double lastGammaCosine = -2.0;  // cos of the last gamma and a little more; -2: no bound (built by Index)

  // Directions that fall on a table border by rounding must not lose their light.
  static constexpr double kAngleTolerance = 1e-9;

  // Luminous flux in lumen: the table integrated over the sphere (trapezoidal rule on the tabulated grid).
  double Flux() const;

  // Buckets over each axis that find the interval of an angle or plane at once, for the calculations' inner loops.
  // Build them after the axes are filled; At() searches the axes itself when they are missing or stale.
  void Index();

  struct AxisIndex {
    std::vector<std::uint32_t> buckets;
    double origin = 0.0;
    double inverseWidth = 0.0;
    bool uniform = false;  // equal steps: the interval is (v - origin) / step, no buckets needed
    std::vector<double> inverseSpans;  // 1 / (axis[i + 1] - axis[i]), 0 for a repeated angle
    std::size_t size = 0;  // of the axis it was built for
  };
  AxisIndex angleIndex, planeIndex;
};

}  // namespace Engines
