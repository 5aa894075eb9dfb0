// The straight-road calculation in the practice of EN 13201-3 and CIE 140: grids of horizontal, semi-cylindrical
// and vertical illuminance, luminance per observer, and their summaries, exactly the quantities the result file
// carries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "outside/engines/engine_codes.h"
#include "outside/engines/engine_host.h"
#include "outside/engines/installation.h"
#include "outside/engines/reflection_table.h"
#include "outside/engines/road_input.h"

namespace Engines {

// average, minimum, maximum, minimum/average, minimum/maximum
using IlluminanceSummary = std::array<float, 5>;
// average luminance, Lmin/Lav, longitudinal Lmin/Lmax, threshold increment TI %, glare index P %
using LuminanceSummary = std::array<float, 5>;

struct SidewalkResult {
  std::vector<float> y;
  std::vector<float> e;    // nX x y.size()
  IlluminanceSummary summary{};
  float utilisation = 0.0f;
  std::vector<float> esc;  // semi-cylindrical at 1.5 m, nX x y.size()
  float escMin = 0.0f;
};

struct WallResult {
  std::vector<float> z;
  std::vector<float> ev;  // nWallX x z.size()
  float evMax = 0.0f;
};

struct ObserverValues {
  float average = 0, minimum = 0, maximum = 0, uniformity = 0, longitudinal = 0;
  float threshold = 0, glare = 0;
};

struct StraightRoadResult {
  std::int32_t header1 = 1, header2 = 1, header3 = 1;  // node steps of the protocol tables
  std::vector<float> xs;
  SidewalkResult rightWalk, leftWalk;
  std::vector<float> xsWall;
  WallResult rightWall, leftWall;
  std::vector<float> yRoad, eRoad;
  IlluminanceSummary sumRoad{};
  float utilRoad = 0.0f;
  std::vector<std::vector<float>> lumObserver;  // per observer, nX x yRoad.size()
  std::vector<float> yOpp, eOpp;
  IlluminanceSummary sumOpp{}, sumWhole{};
  float utilOpp = 0.0f, utilWhole = 0.0f;
  std::vector<std::vector<float>> lumObserverOpp;  // per observer, nX x yOpp.size()
  std::vector<ObserverValues> observers;
  LuminanceSummary lumSummary{};
  std::uint64_t evaluations = 0;  // point-luminaire evaluations, for the benchmark
};

// Calculation point counts and spacings of EN 13201-3.
std::vector<double> PointsAlong(double fieldLength);
std::vector<double> PointsAcross(double from, double width, double maxSpacing, unsigned minCount);

IlluminanceSummary SummariseIlluminance(const std::vector<float>& values);

// Veiling luminance at the eye (cd/m2) from the luminaires within 1.5..60 degrees of the line of sight and not
// above 20 degrees over the horizontal (the roof of the car screens those).
double VeilingLuminance(const std::vector<Luminaire>& luminaires, Vec3 eye, Vec3 lineOfSight);
// Threshold increment in percent; 0 on an unlit road.
double ThresholdIncrement(double veilingLuminance, double averageLuminance);
// Glare index P in percent: the veiling luminance as a share of the average road luminance.
double GlareIndex(double veilingLuminance, double averageLuminance);

// Returns an engine code: 0, kInputMalformed (with *error) or kCancelled. `rtable` may be null when the
// carriageway does not take part.
int CalculateStraightRoad(const StraightRoadInput& in, const ReflectionTable* rtable, EngineHost& host,
                          StraightRoadResult& result, std::string* error);

}  // namespace Engines
