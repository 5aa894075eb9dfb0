// The open-site and interchange engines' innermost loop: the illuminance that a set of luminaires gives many
// points. Sixteen points at a time with AVX2 and FMA where the processor has them (chosen when the program runs),
// one at a time elsewhere; the two agree to rounding.
#pragma once

#include <cstddef>
#include <vector>

#include "outside/engines/installation.h"
#include "outside/engines/vec3.h"

namespace Engines {

enum class LightingPath { Automatic, Baseline, Vector };
// Process-wide, for tests and benchmarks. Vector where the processor lacks AVX2 or FMA falls back to Baseline.
void SetLightingPath(LightingPath path);
bool VectorLightingAvailable();
// The path the calculations take now: "avx2" or "baseline".
const char* LightingPathInUse();

// Points as columns. A null normal column means every normal is straight up.
struct PointColumns {
  const double* x = nullptr;
  const double* y = nullptr;
  const double* z = nullptr;
  const double* nx = nullptr;
  const double* ny = nullptr;
  const double* nz = nullptr;
  std::size_t count = 0;
};

// Asked for each pair that would be lit, when anything can hold light back: true when it does.
struct LightBlocker {
  bool (*blocked)(const void* context, Vec3 point, Vec3 light) = nullptr;
  const void* context = nullptr;
};

class LuminaireSet {
public:
  explicit LuminaireSet(std::vector<const Luminaire*> lights);

  // e[k]: sum of I cos(incidence) / d^2 over the luminaires in front of point k's face that no blocker stops.
  void Illuminance(const PointColumns& points, const LightBlocker& blocker, double* e) const;
  std::size_t Size() const { return lights_.size(); }

  // A luminaire laid out for the vector path: its frame, and its table when the table has equal steps on both
  // axes (C-planes), as cells: for each interval of planes (the last closing on the first plane + 360) and of
  // angles, the four coefficients of the bilinear interpolation, side by side for one load. Others are looked up
  // one point at a time.
  struct Packed {
    double x, y, z;
    double ax, ay, az, ux, uy, uz, vx, vy, vz;  // axis, C0 and C90 turned round: seen from the points
    double factor;
    bool vector = false;
    const double* cells = nullptr;
    double angleFront = 0, angleBack = 0, angleStep = 0, angleTop = 0;  // the step as its inverse; top: the last
    double planeOrigin = 0, planeStep = 0, planeLast = 0, planeTop = 0;  // interval's lower end
    double cellsPerPlane = 0;
    bool unevenWrap = false;  // the closing interval is not one step wide
    double wrapSpan = 0;      // its width's inverse
    double gammaBound = -2.0;  // the table's last-gamma cosine, or -2
  };

  LuminaireSet(const LuminaireSet&) = delete;
  LuminaireSet& operator=(const LuminaireSet&) = delete;

private:
  std::vector<const Luminaire*> lights_;
  std::vector<Packed> packed_;
  std::vector<std::vector<double>> cells_;  // one per table, shared by its luminaires
};

}  // namespace Engines
