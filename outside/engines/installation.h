// The installation in place: the road's cross-section in road coordinates and every luminaire repeated along the
// road from its record's arrangement, spacing and offset.
//
// Road coordinates: x along the road in the main direction of traffic, 0 at the start of the calculation field;
// y across, 0 at the right edge of the main-direction carriageway, growing to the left (towards the opposite
// direction); z up from the road surface.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "outside/engines/fast_angle.h"
#include "outside/engines/road_input.h"
#include "outside/engines/vec3.h"

namespace Engines {

struct CrossSection {
  double mainWidth = 0.0;      // y 0 .. mainWidth
  double dividerWidth = 0.0;   // then the dividing strip
  double oppositeWidth = 0.0;  // then the opposite direction
  double totalWidth = 0.0;     // left edge of the carriageway
  double rightSidewalkInner = 0.0, rightSidewalkOuter = 0.0;  // y of its edges (negative)
  double leftSidewalkInner = 0.0, leftSidewalkOuter = 0.0;
  double rightWallY = 0.0;  // the wall faces +y
  double leftWallY = 0.0;   // the wall faces -y
  double CentralLine() const;
};

CrossSection CrossSectionOf(const StraightRoadInput& in);

// One luminaire in place. Its photometric frame: `axis` is gamma 0 (the nadir of an untilted luminaire), `c0` and
// `c90` the directions of the planes C0 and C90. For B tables `axis` is the aim (B 0, beta 0), B turns about `c0`
// towards `c90`, and beta is the angle towards `c0`.
struct Luminaire {
  Vec3 position;
  Vec3 axis, c0, c90;
  const IntensityTable* table = nullptr;
  double factor = 1.0;  // applied to the table's candela (the maintenance factor, or 1)

  // Intensity in candela in the direction of `towards` (from the luminaire; of any length above 0).
  double IntensityTowards(Vec3 towards) const;
};

// In line: the calculations' innermost step.
inline double Luminaire::IntensityTowards(Vec3 d) const
{
  if (!table)
    return 0.0;
  double along = Dot(d, axis);
  double u = Dot(d, c0);
  double v = Dot(d, c90);
  // Angles from atan2 of the frame's components: as exact near the axis as anywhere, and for any length of d.
  // The plane only when the angle lies within the table: far points seen above a table's last gamma are many.
  if (table->cPlanes) {
    if (table->BeyondLastGamma(along, Dot(d, d)))
      return 0.0;
    double gamma = Degrees(FastAtan2(std::sqrt(u * u + v * v), along));
    if (!table->HasAngle(gamma))
      return 0.0;
    double c = (u == 0.0 && v == 0.0) ? 0.0 : Degrees(FastAtan2(v, u));
    return factor * table->At(c, gamma);
  }
  double beta = Degrees(FastAtan2(u, std::sqrt(v * v + along * along)));
  if (!table->HasAngle(beta))
    return 0.0;
  double b = Degrees(FastAtan2(v, along));
  return factor * table->At(b, beta);
}

// Azimuth of the arm (degrees from +x towards +y), tilt raising the light towards the arm, turn about the
// optical axis.
Luminaire MakeLuminaire(Vec3 position, double azimuth, double tilt, double turn, const IntensityTable* table,
                        double factor);

// Every luminaire of the installation whose pole stands at x within [xFrom, xTo]. Fails when the records would
// give an unreasonable number of luminaires (a spacing of almost nothing).
inline constexpr std::size_t kMaxPlacedLuminaires = 200000;
std::optional<std::vector<Luminaire>> PlaceLuminaires(const StraightRoadInput& in, const CrossSection& road,
                                                      double xFrom, double xTo, double factor, std::string* error);

}  // namespace Engines
