// The open site in place: the plan shapes of its primitives, which surface lies on top at a point, the shading
// prisms that cast shadows, and every luminaire of the installation with its photometric frame.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "outside/engines/installation.h"
#include "outside/engines/open_territory_input.h"

namespace Engines {

struct Point2 {
  double x = 0.0;
  double y = 0.0;
};

// The plan of a primitive: a closed region (its edge belongs to it).
class Footprint {
public:
  static Footprint Triangle(Point2 a, Point2 b, Point2 c);
  // The rectangle or ellipse spanned by three corners (-a, -b), (+a, -b), (+a, +b) of its own frame.
  static Footprint Rectangle(Point2 p1, Point2 p2, Point2 p3);
  static Footprint Ellipse(Point2 p1, Point2 p2, Point2 p3);
  // The ring sector whose bounding square has the corners p1, p2, p3: outer radius half its side, the arc from
  // the frame's turn + 90 degrees, sweeping sectorAngle counter-clockwise (360 or more: the whole ring).
  static Footprint RingSector(Point2 p1, Point2 p2, Point2 p3, double innerRadius, double sectorAngle);
  static Footprint Polygon(std::vector<Point2> outline);

  bool Contains(Point2 p) const;
  // True when the segment from a to b meets the region.
  bool SegmentMeets(Point2 a, Point2 b) const;
  bool BoundsMeet(Point2 a, Point2 b) const;
  // Roughly the work of one Contains or SegmentMeets: the number of edges looked at.
  std::size_t Complexity() const { return std::max<std::size_t>(4, vertices_.size()); }

private:
  enum class Kind { Convex, Ellipse, Sector, Polygon, Empty };
  bool SectorHasAngle(Point2 p) const;
  void Bound(Point2 p);

  Kind kind_ = Kind::Empty;
  std::vector<Point2> vertices_;  // convex: counter-clockwise; polygon: as given
  Point2 centre_, axisU_, axisV_;  // ellipse: semi-axes as vectors
  double outer_ = 0.0, inner_ = 0.0, start_ = 0.0, sweep_ = 0.0;  // sector, radians
  double minX_ = 0.0, minY_ = 0.0, maxX_ = 0.0, maxY_ = 0.0;
};

// The plan of a primitive as the file gives it.
Footprint PlanOf(const SitePrimitive& primitive);

// Zones of the result: what a node lies on.
enum SiteZone : int { kZoneCarriageway = 0, kZoneSidewalk = 1, kZoneBackground = 2 };

struct SiteSurface {
  Footprint plan;
  double z = 0.0;  // the primitive's surface, lift included
  SiteZone zone = kZoneBackground;
};

struct ShadingPrism {
  Footprint plan;
  double bottom = 0.0;
  double top = 0.0;
};

struct SiteLuminaire {
  Luminaire light;
  double lampFlux = 0.0;
};

struct Site {
  std::vector<SiteSurface> surfaces;  // the top one first
  std::vector<ShadingPrism> prisms;
  std::vector<SiteLuminaire> luminaires;

  // The surface on top at p, or null.
  const SiteSurface* SurfaceAt(Point2 p) const;
  // True when a prism stands on the surface at p (its base at the surface or below and its top above).
  bool Covered(Point2 p, double z) const;
  // True when some prism stands between the point and the light.
  bool Shadowed(Vec3 point, Vec3 light) const;
};

inline constexpr std::size_t kMaxSiteLuminaires = 200000;

// The site of an input: surfaces of the memberships that take part (background always), shading prisms, and
// every luminaire of every record. Fails when the records would place an unreasonable number of luminaires.
std::optional<Site> BuildSite(const OpenTerritoryInput& in, std::string* error);

// The largest intensity at `gamma` degrees from the downward vertical, any azimuth, of any luminaire as it stands
// (tilted and turned), in cd per 1000 lm of its lamps: the I80 and I85 that EN 13201-2 bounds for its G classes.
// Luminaires whose lamps have no flux are left out.
float LargestIntensityAtElevation(const Site& site, double gamma);

}  // namespace Engines
