#include "outside/engines/open_territory_site.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

namespace Engines {
namespace {

// Points on an edge belong to the region; rounding of the file's six decimals must not shift them out.
constexpr double kEdgeTolerance = 1e-9;
// A prism whose base lies within this of a surface stands on it: the surface under it is covered.
constexpr double kStandingTolerance = 0.01;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

Point2 Plan(const Vec3& v) { return {v.x, v.y}; }
Point2 operator-(Point2 a, Point2 b) { return {a.x - b.x, a.y - b.y}; }
Point2 operator+(Point2 a, Point2 b) { return {a.x + b.x, a.y + b.y}; }
Point2 operator*(double k, Point2 a) { return {k * a.x, k * a.y}; }
double Cross(Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; }
double Dot2(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }
double Norm(Point2 a) { return std::hypot(a.x, a.y); }
Point2 Turned(Point2 a, double radians)
{
  const double c = std::cos(radians), s = std::sin(radians);
  return {a.x * c - a.y * s, a.x * s + a.y * c};
}

// Closed segments ab and cd share a point.
bool SegmentsMeet(Point2 a, Point2 b, Point2 c, Point2 d)
{
  const Point2 r = b - a, s = d - c;
  const double denom = Cross(r, s);
  const double scale = std::max({Norm(r), Norm(s), 1.0});
  if (std::fabs(denom) <= kEdgeTolerance * scale * scale) {
    // Parallel: they meet only when collinear and overlapping.
    if (std::fabs(Cross(c - a, r)) > kEdgeTolerance * scale * scale)
      return false;
    const double len2 = Dot2(r, r);
    if (len2 == 0.0) {  // ab is a point: on cd or not
      if (Dot2(s, s) == 0.0)
        return Norm(c - a) <= kEdgeTolerance;
      return std::fabs(Cross(a - c, s)) <= kEdgeTolerance * scale && Dot2(a - c, a - d) <= 0.0;
    }
    double t0 = Dot2(c - a, r) / len2, t1 = Dot2(d - a, r) / len2;
    if (t0 > t1)
      std::swap(t0, t1);
    return t1 >= 0.0 && t0 <= 1.0;
  }
  const double t = Cross(c - a, s) / denom, u = Cross(c - a, r) / denom;
  const double eps = 1e-12;
  return t >= -eps && t <= 1.0 + eps && u >= -eps && u <= 1.0 + eps;
}

}  // namespace

void Footprint::Bound(Point2 p)
{
  minX_ = std::min(minX_, p.x);
  minY_ = std::min(minY_, p.y);
  maxX_ = std::max(maxX_, p.x);
  maxY_ = std::max(maxY_, p.y);
}

Footprint Footprint::Triangle(Point2 a, Point2 b, Point2 c)
{
  Footprint f;
  f.kind_ = Kind::Convex;
  f.vertices_ = {a, b, c};
  if (Cross(b - a, c - a) < 0.0)
    std::swap(f.vertices_[1], f.vertices_[2]);
  f.minX_ = f.maxX_ = a.x;
  f.minY_ = f.maxY_ = a.y;
  for (Point2 p : f.vertices_)
    f.Bound(p);
  return f;
}

Footprint Footprint::Rectangle(Point2 p1, Point2 p2, Point2 p3)
{
  Footprint f = Triangle(p1, p2, p3);
  f.vertices_ = {p1, p2, p3, p1 + (p3 - p2)};
  if (Cross(p2 - p1, p3 - p1) < 0.0)
    std::reverse(f.vertices_.begin(), f.vertices_.end());
  for (Point2 p : f.vertices_)
    f.Bound(p);
  return f;
}

Footprint Footprint::Ellipse(Point2 p1, Point2 p2, Point2 p3)
{
  Footprint f;
  f.centre_ = 0.5 * (p1 + p3);
  f.axisU_ = 0.5 * (p2 - p1);
  f.axisV_ = 0.5 * (p3 - p2);
  if (Norm(f.axisU_) == 0.0 || Norm(f.axisV_) == 0.0)
    return f;
  f.kind_ = Kind::Ellipse;
  const double hx = std::hypot(f.axisU_.x, f.axisV_.x), hy = std::hypot(f.axisU_.y, f.axisV_.y);
  f.minX_ = f.centre_.x - hx;
  f.maxX_ = f.centre_.x + hx;
  f.minY_ = f.centre_.y - hy;
  f.maxY_ = f.centre_.y + hy;
  return f;
}

Footprint Footprint::RingSector(Point2 p1, Point2 p2, Point2 p3, double innerRadius, double sectorAngle)
{
  Footprint f;
  f.centre_ = 0.5 * (p1 + p3);
  f.outer_ = 0.5 * Norm(p2 - p1);
  f.inner_ = std::min(innerRadius, f.outer_);
  f.start_ = std::atan2(p2.y - p1.y, p2.x - p1.x) + std::numbers::pi / 2.0;
  double sweep = Radians(sectorAngle);
  if (sweep < 0.0) {  // a negative opening runs clockwise: the same region from its other end
    f.start_ += sweep;
    sweep = -sweep;
  }
  f.sweep_ = std::min(sweep, kTwoPi);
  if (f.outer_ <= 0.0 || f.sweep_ <= 0.0)
    return f;
  f.kind_ = Kind::Sector;
  f.minX_ = f.centre_.x - f.outer_;
  f.maxX_ = f.centre_.x + f.outer_;
  f.minY_ = f.centre_.y - f.outer_;
  f.maxY_ = f.centre_.y + f.outer_;
  return f;
}

Footprint Footprint::Polygon(std::vector<Point2> outline)
{
  Footprint f;
  if (outline.size() < 3)
    return f;
  f.kind_ = Kind::Polygon;
  f.vertices_ = std::move(outline);
  f.minX_ = f.maxX_ = f.vertices_[0].x;
  f.minY_ = f.maxY_ = f.vertices_[0].y;
  for (Point2 p : f.vertices_)
    f.Bound(p);
  return f;
}

bool Footprint::SectorHasAngle(Point2 p) const
{
  if (sweep_ >= kTwoPi)
    return true;
  double a = std::fmod(std::atan2(p.y - centre_.y, p.x - centre_.x) - start_, kTwoPi);
  if (a < 0.0)
    a += kTwoPi;
  return a <= sweep_ + kEdgeTolerance || a >= kTwoPi - kEdgeTolerance;
}

bool Footprint::Contains(Point2 p) const
{
  if (kind_ == Kind::Empty || p.x < minX_ - kEdgeTolerance || p.x > maxX_ + kEdgeTolerance ||
      p.y < minY_ - kEdgeTolerance || p.y > maxY_ + kEdgeTolerance)
    return false;
  switch (kind_) {
  case Kind::Convex: {
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0; i < n; ++i) {
      Point2 a = vertices_[i], b = vertices_[(i + 1) % n];
      if (Cross(b - a, p - a) < -kEdgeTolerance * std::max(1.0, Norm(b - a)))
        return false;
    }
    return true;
  }
  case Kind::Ellipse: {
    Point2 d = p - centre_;
    double s = Dot2(d, axisU_) / Dot2(axisU_, axisU_), t = Dot2(d, axisV_) / Dot2(axisV_, axisV_);
    return s * s + t * t <= 1.0 + kEdgeTolerance;
  }
  case Kind::Sector: {
    double r = Norm(p - centre_);
    return r <= outer_ + kEdgeTolerance && r >= inner_ - kEdgeTolerance && SectorHasAngle(p);
  }
  case Kind::Polygon: {
    // Even-odd rule; a point on an edge belongs to the polygon.
    bool inside = false;
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      Point2 a = vertices_[j], b = vertices_[i];
      if (SegmentsMeet(a, b, p, p))
        return true;
      if ((b.y > p.y) != (a.y > p.y) && p.x < (a.x - b.x) * (p.y - b.y) / (a.y - b.y) + b.x)
        inside = !inside;
    }
    return inside;
  }
  case Kind::Empty: break;
  }
  return false;
}

bool Footprint::BoundsMeet(Point2 a, Point2 b) const
{
  return kind_ != Kind::Empty && std::max(a.x, b.x) >= minX_ - kEdgeTolerance &&
         std::min(a.x, b.x) <= maxX_ + kEdgeTolerance && std::max(a.y, b.y) >= minY_ - kEdgeTolerance &&
         std::min(a.y, b.y) <= maxY_ + kEdgeTolerance;
}

bool Footprint::SegmentMeets(Point2 a, Point2 b) const
{
  if (!BoundsMeet(a, b))
    return false;
  switch (kind_) {
  case Kind::Convex: {
    // Cyrus-Beck: the part of the segment on the inner side of every edge.
    const Point2 d = b - a;
    double t0 = 0.0, t1 = 1.0;
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0; i < n; ++i) {
      Point2 e = vertices_[(i + 1) % n] - vertices_[i];
      Point2 inward{-e.y, e.x};
      double num = Dot2(inward, a - vertices_[i]) + kEdgeTolerance * std::max(1.0, Norm(e));
      double den = Dot2(inward, d);
      if (den == 0.0) {
        if (num < 0.0)
          return false;
        continue;
      }
      double t = -num / den;
      if (den > 0.0)
        t0 = std::max(t0, t);
      else
        t1 = std::min(t1, t);
      if (t0 > t1)
        return false;
    }
    return true;
  }
  case Kind::Ellipse: {
    auto local = [&](Point2 p) {
      Point2 q = p - centre_;
      return Point2{Dot2(q, axisU_) / Dot2(axisU_, axisU_), Dot2(q, axisV_) / Dot2(axisV_, axisV_)};
    };
    Point2 la = local(a), lb = local(b), d = lb - la;
    double len2 = Dot2(d, d);
    double t = len2 > 0.0 ? std::clamp(-Dot2(la, d) / len2, 0.0, 1.0) : 0.0;
    Point2 closest = la + t * d;
    return Dot2(closest, closest) <= 1.0 + kEdgeTolerance;
  }
  case Kind::Sector: {
    if (Contains(a) || Contains(b))
      return true;
    // Both ends outside: the segment meets the region only by crossing its border.
    const Point2 d = b - a, f = a - centre_;
    const double qa = Dot2(d, d);
    if (qa == 0.0)
      return false;
    for (double radius : {outer_, inner_}) {
      if (radius <= 0.0)
        continue;
      double qb = 2.0 * Dot2(f, d), qc = Dot2(f, f) - radius * radius;
      double disc = qb * qb - 4.0 * qa * qc;
      if (disc < 0.0)
        continue;
      double root = std::sqrt(disc);
      for (double t : {(-qb - root) / (2.0 * qa), (-qb + root) / (2.0 * qa)})
        if (t >= 0.0 && t <= 1.0 && SectorHasAngle(a + t * d))
          return true;
    }
    if (sweep_ < kTwoPi) {
      for (double angle : {start_, start_ + sweep_}) {
        Point2 dir{std::cos(angle), std::sin(angle)};
        if (SegmentsMeet(a, b, centre_ + inner_ * dir, centre_ + outer_ * dir))
          return true;
      }
    }
    return false;
  }
  case Kind::Polygon: {
    if (Contains(a) || Contains(b))
      return true;
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
      if (SegmentsMeet(a, b, vertices_[j], vertices_[i]))
        return true;
    return false;
  }
  case Kind::Empty: break;
  }
  return false;
}

const SiteSurface* Site::SurfaceAt(Point2 p) const
{
  for (const SiteSurface& s : surfaces)
    if (s.plan.Contains(p))
      return &s;
  return nullptr;
}

bool Site::Covered(Point2 p, double z) const
{
  for (const ShadingPrism& prism : prisms)
    if (prism.bottom <= z + kStandingTolerance && prism.top > z && prism.plan.Contains(p))
      return true;
  return false;
}

bool Site::Shadowed(Vec3 point, Vec3 light) const
{
  const double dz = light.z - point.z;
  if (dz <= 0.0)
    return false;
  for (const ShadingPrism& prism : prisms) {
    if (prism.top <= point.z || prism.bottom >= light.z)
      continue;
    // The part of the way to the light that runs within the prism's heights, seen in plan.
    const double t0 = std::max(0.0, (prism.bottom - point.z) / dz), t1 = std::min(1.0, (prism.top - point.z) / dz);
    if (t0 >= t1)
      continue;
    const Point2 a{point.x + t0 * (light.x - point.x), point.y + t0 * (light.y - point.y)};
    const Point2 b{point.x + t1 * (light.x - point.x), point.y + t1 * (light.y - point.y)};
    if (prism.plan.SegmentMeets(a, b))
      return true;
  }
  return false;
}

Footprint PlanOf(const SitePrimitive& p)
{
  const Point2 p1 = Plan(p.points[0]), p2 = Plan(p.points[1]), p3 = Plan(p.points[2]);
  switch (p.shape) {
  case PrimitiveShape::Triangle: return Footprint::Triangle(p1, p2, p3);
  case PrimitiveShape::Rectangle: return Footprint::Rectangle(p1, p2, p3);
  case PrimitiveShape::Ellipse: return Footprint::Ellipse(p1, p2, p3);
  case PrimitiveShape::RingSector: return Footprint::RingSector(p1, p2, p3, p.innerRadius, p.sectorAngle);
  case PrimitiveShape::Polygon: {
    std::vector<Point2> outline;
    outline.reserve(p.outline.size());
    for (const Vec3& v : p.outline)
      outline.push_back(Plan(v));
    return Footprint::Polygon(std::move(outline));
  }
  }
  return {};
}

namespace {

double MeanZ(const SitePrimitive& p)
{
  if (p.shape != PrimitiveShape::Polygon)
    return (p.points[0].z + p.points[1].z + p.points[2].z) / 3.0;
  if (p.outline.empty())
    return 0.0;
  double sum = 0.0;
  for (const Vec3& v : p.outline)
    sum += v.z;
  return sum / static_cast<double>(p.outline.size());
}

// A shading object's height: its points carry it (a polygon's in its triangle pieces).
double PrismHeight(const SitePrimitive& p)
{
  if (p.shape != PrimitiveShape::Polygon)
    return MeanZ(p);
  double top = -kMaxSiteExtent;
  for (const auto& t : p.pieces)
    for (const Vec3& v : t)
      top = std::max(top, v.z);
  if (p.pieces.empty())
    for (const Vec3& v : p.outline)
      top = std::max(top, v.z);
  return top;
}

std::size_t PolesOf(const SiteLuminaireRecord& r)
{
  if (!r.hasPosition)
    return 0;
  return r.scheme == 0 ? 1 : std::max<std::size_t>(1, r.count);
}

void PlaceRecord(const SiteLuminaireRecord& r, const SiteLuminaireType& type, std::vector<SiteLuminaire>& out)
{
  const std::size_t poles = PolesOf(r);
  const Point2 first{r.x, r.y}, centre{r.centreX, r.centreY};
  const Point2 step{r.x2 - r.x, r.y2 - r.y};
  // Where the k-th pole (or light) of the group stands, and by how much its group turns it.
  auto place = [&](Point2 p, std::size_t k, double& turnDegrees) -> Point2 {
    turnDegrees = 0.0;
    switch (r.scheme) {
    case 1: return p + static_cast<double>(k) * step;
    case 2:
      turnDegrees = static_cast<double>(k) * r.angularStep;
      return centre + Turned(p - centre, Radians(turnDegrees));
    default: return p;
    }
  };
  for (std::size_t k = 0; k < poles; ++k) {
    double groupTurn = 0.0;
    SiteLuminaire l;
    l.lampFlux = type.lampFlux;
    if (r.mounting == 1) {
      const Point2 light = place(first, k, groupTurn);
      const Point2 aim = place(Plan(r.aim), k, groupTurn);
      const Point2 toAim = aim - light;
      const double reach = Norm(toAim);
      const double azimuth = reach > 1e-9 ? Degrees(std::atan2(toAim.y, toAim.x)) : groupTurn;
      const double depression = Degrees(std::atan2(r.height - r.aim.z, reach));
      l.light = MakeLuminaire({light.x, light.y, r.height}, azimuth, 90.0 - depression, r.luminaireTurn,
                              &type.table, 1.0);
    } else {
      const Point2 pole = place(first, k, groupTurn);
      // The arm angle of a line or circle is measured from the line's normal or the radius.
      double arm = r.armRotation;
      if (r.scheme == 1 && poles >= 2 && Norm(step) > 0.0)
        arm += Degrees(std::atan2(step.y, step.x)) + 90.0;
      if (r.scheme == 2) {
        const Point2 radius = first - centre;
        arm += (Norm(radius) > 0.0 ? Degrees(std::atan2(radius.y, radius.x)) : 0.0) + groupTurn + 180.0;
      }
      const Point2 light = pole + r.outreach * Point2{std::cos(Radians(arm)), std::sin(Radians(arm))};
      double tilt = r.tilt, turn = 0.0;
      if (r.mounting == 2) {
        if (r.mountNode != 0)  // a node above the luminaire turns it over: its gamma 0 points up
          tilt += 180.0;
        turn = r.luminaireTurn;
      }
      l.light = MakeLuminaire({light.x, light.y, r.height}, arm, tilt, turn, &type.table, 1.0);
    }
    out.push_back(l);
  }
}

}  // namespace

std::optional<Site> BuildSite(const OpenTerritoryInput& in, std::string* error)
{
  Site site;
  std::vector<std::size_t> order;
  std::vector<SiteSurface> surfaces;
  for (const SitePrimitive& p : in.primitives) {
    if (p.membership == SiteMembership::Shading) {
      const double height = PrismHeight(p);
      if (height > 0.0)
        site.prisms.push_back({PlanOf(p), p.baseHeight, p.baseHeight + height});
      continue;
    }
    SiteZone zone;
    switch (p.membership) {
    case SiteMembership::Carriageway:
      if (!in.carriagewayTakesPart)
        continue;
      zone = kZoneCarriageway;
      break;
    case SiteMembership::Sidewalk:
      if (!in.sidewalkTakesPart)
        continue;
      zone = kZoneSidewalk;
      break;
    case SiteMembership::Background: zone = kZoneBackground; break;
    default: continue;  // road marking lies on what is under it
    }
    surfaces.push_back({PlanOf(p), MeanZ(p), zone});
  }
  // The writer lifts every primitive a millimetre above the one before it: the highest lies on top, and of two at
  // the same height the later one.
  order.resize(surfaces.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return surfaces[a].z != surfaces[b].z ? surfaces[a].z > surfaces[b].z : a > b;
  });
  for (std::size_t i : order)
    site.surfaces.push_back(surfaces[i]);

  std::size_t count = 0;
  for (const SiteLuminaireRecord& r : in.luminaires) {
    count += PolesOf(r);
    if (count > kMaxSiteLuminaires) {
      if (error)
        *error = "the luminaire records place more than " + std::to_string(kMaxSiteLuminaires) + " luminaires";
      return std::nullopt;
    }
  }
  site.luminaires.reserve(count);
  for (const SiteLuminaireRecord& r : in.luminaires)
    PlaceRecord(r, in.types[r.type - 1], site.luminaires);
  return site;
}

float LargestIntensityAtElevation(const Site& site, double gamma)
{
  using Key = std::tuple<const IntensityTable*, double, double, double, double, double, double, double, double, double>;
  std::map<Key, double> seen;
  double worst = 0.0;
  const double s = std::sin(Radians(gamma)), c = std::cos(Radians(gamma));
  for (const SiteLuminaire& sl : site.luminaires) {
    if (sl.lampFlux <= 0.0)
      continue;
    const Luminaire& l = sl.light;
    Key key{l.table, l.axis.x, l.axis.y, l.axis.z, l.c0.x, l.c0.y, l.c0.z, l.c90.x, l.c90.y, sl.lampFlux};
    if (seen.count(key))
      continue;
    double largest = 0.0;
    for (int azimuth = 0; azimuth < 360; ++azimuth) {
      const double a = Radians(azimuth);
      largest = std::max(largest, l.IntensityTowards({s * std::cos(a), s * std::sin(a), -c}));
    }
    seen.emplace(key, largest);
    worst = std::max(worst, largest * 1000.0 / sl.lampFlux);
  }
  return static_cast<float>(worst);
}

}  // namespace Engines
