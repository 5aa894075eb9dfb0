// The input file, line by line; most lines carry a comment after "!" (item number and caption), which is dropped
// before the numbers are read, so the file is read as a stream of numbers whose counts drive the reading:
//   length; width; user grid (0/1); grid step;
//   carriageway takes part; sidewalk takes part; section (8);
//   triangles n, n x (9 coordinates, object type, base height); rectangles, ellipses the same;
//   ring sectors n, n x (9 coordinates, inner radius, sector angle, object type, base height);
//   polygons P; when P > 0: largest vertex count, largest piece count, then per polygon: n, n x (x y z),
//     traversal, object type, base height, t, t x 9 coordinates;
//   two zeros (sidewalk width and gap of older files); maintenance factor; L records; T types; largest gamma
//   count; largest plane count;
//   L records: K, S, placement values of K and S, aim or arm values, type;
//   T blocks: system (0 C, 1 B), lamp flux, gamma count, plane count, gammas, planes, one line per plane.
// The interchange file has nearly no captions, and its polygon section carries the calculation meshes: after the
// largest piece count the largest mesh-point count, and per polygon, after its triangles, m and m x (x y z of a
// point, x y z of its normal).
#include "outside/engines/open_territory_input.h"

#include <algorithm>
#include <cmath>

#include "outside/engines/number_reader.h"

namespace Engines {

bool MembershipFromFileCode(long code, SiteMembership& membership)
{
  switch (code) {
  case 0:
  case 3: membership = SiteMembership::Background; return true;
  case 1: membership = SiteMembership::Carriageway; return true;
  case 2: membership = SiteMembership::Sidewalk; return true;
  case 4: membership = SiteMembership::Shading; return true;
  case 5: membership = SiteMembership::Marking; return true;
  default: return false;
  }
}

namespace {

// Everything from "!" to the end of its line is a caption; line breaks stay, so errors still name the line.
std::string WithoutComments(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  bool comment = false;
  for (char c : text) {
    if (c == '\n')
      comment = false;
    else if (c == '!')
      comment = true;
    if (!comment)
      out.push_back(c);
  }
  return out;
}

class SiteReader : public NumberReader {
public:
  SiteReader(std::string_view text, bool meshes, std::string* error)
      : NumberReader(WithoutComments(text), error), meshes_(meshes)
  {
  }

  bool Flag(const char* what, bool& value)
  {
    unsigned long v = 0;
    if (!Unsigned(what, 1, v))
      return false;
    value = v != 0;
    return true;
  }
  bool Signed(const char* what, long& value)
  {
    double v = 0.0;
    if (!scan_.Real(v) || std::fabs(v) > 1e9 || v != std::trunc(v))
      return Fail(std::string("expected a whole number for ") + what);
    value = static_cast<long>(v);
    return true;
  }
  bool Coordinate(const char* what, double& value) { return Real(what, -kMaxSiteExtent, kMaxSiteExtent, value); }
  bool Angle(const char* what, double& value) { return Real(what, -36000.0, 36000.0, value); }
  bool Point(const char* what, Vec3& p)
  {
    return Coordinate(what, p.x) && Coordinate(what, p.y) && Coordinate(what, p.z);
  }
  bool Cartesian(const char* what)
  {
    unsigned long system = 0;
    if (!scan_.Unsigned(system))
      return Fail(std::string("expected the coordinate system of ") + what);
    if (system != 0)
      return Fail(std::string("the coordinate system of ") + what + " is not Cartesian (0)");
    return true;
  }

  bool Membership(SitePrimitive& p)
  {
    long code = 0;
    if (!Signed("the object type", code))
      return false;
    if (!MembershipFromFileCode(code, p.membership))
      return Fail("unknown object type " + std::to_string(code));
    return true;
  }

  // Every record takes at least a few bytes of the file: a count beyond that is damage, not data.
  bool Plausible(const char* what, unsigned long count, unsigned long bytesEach)
  {
    if (count > scan_.Remaining() / bytesEach + 1)
      return Fail(std::string("the ") + what + " count is larger than the rest of the file");
    return true;
  }

  bool SimpleShapes(PrimitiveShape shape, const char* what, std::vector<SitePrimitive>& out)
  {
    unsigned long count = 0;
    if (!Unsigned(what, kMaxSitePrimitives - std::min(kMaxSitePrimitives, out.size()), count) ||
        !Plausible(what, count, 22))
      return false;
    for (unsigned long i = 0; i < count; ++i) {
      SitePrimitive p;
      p.shape = shape;
      for (Vec3& v : p.points)
        if (!Point("a primitive point", v))
          return false;
      if (shape == PrimitiveShape::RingSector &&
          (!Real("the inner radius", 0.0, kMaxSiteExtent, p.innerRadius) || !Angle("the sector angle", p.sectorAngle)))
        return false;
      if (!Membership(p) || !Coordinate("the base height", p.baseHeight))
        return false;
      out.push_back(std::move(p));
    }
    return true;
  }

  bool Polygons(OpenTerritoryInput& in)
  {
    unsigned long count = 0;
    if (!Unsigned("the polygon count", kMaxSitePrimitives - std::min(kMaxSitePrimitives, in.primitives.size()), count))
      return false;
    if (count == 0)
      return true;
    if (!Plausible("polygon", count, 10) ||
        !Unsigned("the largest vertex count", kMaxPolygonVertices, in.maxPolygonVertices) ||
        !Unsigned("the largest triangle count", kMaxPolygonVertices, in.maxPolygonPieces))
      return false;
    if (meshes_ && !Unsigned("the largest mesh-point count", kMaxPolygonMeshPoints, in.maxPolygonMeshPoints))
      return false;
    for (unsigned long i = 0; i < count; ++i) {
      SitePrimitive p;
      p.shape = PrimitiveShape::Polygon;
      unsigned long vertices = 0, pieces = 0;
      if (!Unsigned("the vertex count", in.maxPolygonVertices, vertices) || !Plausible("vertex", vertices, 6))
        return false;
      p.outline.resize(vertices);
      for (Vec3& v : p.outline)
        if (!Point("a polygon vertex", v))
          return false;
      if (!Signed("the traversal", p.traversal) || !Membership(p) || !Coordinate("the base height", p.baseHeight) ||
          !Unsigned("the triangle count", in.maxPolygonPieces, pieces) || !Plausible("triangle", pieces, 18))
        return false;
      p.pieces.resize(pieces);
      for (auto& t : p.pieces)
        for (Vec3& v : t)
          if (!Point("a triangle point", v))
            return false;
      if (meshes_ && !MeshPoints(in.maxPolygonMeshPoints, p))
        return false;
      in.primitives.push_back(std::move(p));
    }
    return true;
  }

  bool MeshPoints(unsigned long largest, SitePrimitive& p)
  {
    unsigned long count = 0;
    if (!Unsigned("the mesh-point count", largest, count) || !Plausible("mesh point", count, 12))
      return false;
    p.meshPoints.resize(count);
    for (MeshPoint& m : p.meshPoints)
      if (!Point("a mesh point", m.position) || !Point("a mesh-point normal", m.normal))
        return false;
    return true;
  }

  bool Record(SiteLuminaireRecord& r, unsigned typeCount)
  {
    if (!Unsigned("the mounting kind", ~0ul, r.mounting) || !Unsigned("the placement scheme", 4, r.scheme))
      return false;
    const bool poleOrFloor = r.mounting == 0 || r.mounting == 2;
    const bool mast = r.mounting == 1;
    r.hasPosition = (poleOrFloor || mast) && r.scheme <= 2;
    if (mast) {
      switch (r.scheme) {
      case 0:
        if (!Coordinate("the light X", r.x) || !Coordinate("the light Y", r.y) ||
            !Coordinate("the light-centre height", r.height))
          return false;
        break;
      case 1:
        if (!Coordinate("the first light X", r.x) || !Coordinate("the first light Y", r.y) ||
            !Cartesian("the second light") || !Coordinate("the second light X", r.x2) ||
            !Coordinate("the second light Y", r.y2) || !Coordinate("the light-centre height", r.height) ||
            !Unsigned("the pole count", kMaxPolesInGroup, r.count))
          return false;
        break;
      case 2:
        if (!Coordinate("the circle centre X", r.centreX) || !Coordinate("the circle centre Y", r.centreY) ||
            !Cartesian("the first light") || !Coordinate("the first light X", r.x) ||
            !Coordinate("the first light Y", r.y) || !Angle("the angular step", r.angularStep) ||
            !Coordinate("the light-centre height", r.height) || !Unsigned("the pole count", kMaxPolesInGroup, r.count))
          return false;
        break;
      default: break;
      }
      if (!Cartesian("the aim point") || !Point("the aim point", r.aim) || !Angle("the luminaire turn", r.luminaireTurn))
        return false;
    } else if (poleOrFloor) {
      switch (r.scheme) {
      case 0:
        if (!Coordinate("the pole X", r.x) || !Coordinate("the pole Y", r.y))
          return false;
        break;
      case 1:
        if (!Coordinate("the first pole X", r.x) || !Coordinate("the first pole Y", r.y) ||
            !Cartesian("the second pole") || !Coordinate("the second pole X", r.x2) ||
            !Coordinate("the second pole Y", r.y2) || !Unsigned("the pole count", kMaxPolesInGroup, r.count))
          return false;
        break;
      case 2:
        if (!Coordinate("the circle centre X", r.centreX) || !Coordinate("the circle centre Y", r.centreY) ||
            !Cartesian("the first pole") || !Coordinate("the first pole X", r.x) ||
            !Coordinate("the first pole Y", r.y) || !Angle("the angular step", r.angularStep) ||
            !Unsigned("the pole count", kMaxPolesInGroup, r.count))
          return false;
        break;
      default: break;
      }
      if (!Angle("the arm rotation", r.armRotation) || !Coordinate("the light-centre height", r.height) ||
          !Coordinate("the outreach", r.outreach) || !Angle("the tilt", r.tilt))
        return false;
      if (r.mounting == 2 &&
          (!Unsigned("the mount node", ~0ul, r.mountNode) || !Angle("the luminaire turn", r.luminaireTurn)))
        return false;
    }
    return LuminaireType(typeCount, r.type);
  }

  bool Block(SiteLuminaireType& type, unsigned maxAngles, unsigned maxPlanes)
  {
    unsigned system = 0, angles = 0, planes = 0;
    if (!Unsigned("the photometric system", 1, system) || !Real("the lamp flux", 0.0, 1e9, type.lampFlux) ||
        !Unsigned("the gamma angle count", maxAngles, angles) || !Unsigned("the plane count", maxPlanes, planes))
      return false;
    return IntensityValues(type.table, system, angles, planes);
  }

  bool Read(OpenTerritoryInput& in)
  {
    unsigned long section = 0;
    if (!Real("the window length", 0.0, kMaxSiteExtent, in.length) ||
        !Real("the window width", 0.0, kMaxSiteExtent, in.width) || !Flag("the grid mode", in.userGrid) ||
        !Real("the grid step", -kMaxSiteExtent, kMaxSiteExtent, in.gridStep) ||
        !Flag("the carriageway switch", in.carriagewayTakesPart) ||
        !Flag("the sidewalk switch", in.sidewalkTakesPart) || !Unsigned("the road section", ~0ul, section))
      return false;
    in.section = static_cast<long>(section);
    if (!SimpleShapes(PrimitiveShape::Triangle, "the triangle count", in.primitives) ||
        !SimpleShapes(PrimitiveShape::Rectangle, "the rectangle count", in.primitives) ||
        !SimpleShapes(PrimitiveShape::Ellipse, "the ellipse count", in.primitives) ||
        !SimpleShapes(PrimitiveShape::RingSector, "the sector count", in.primitives) || !Polygons(in))
      return false;
    double unusedWidth = 0.0, unusedGap = 0.0;
    unsigned long luminaires = 0, types = 0;
    if (!Coordinate("the sidewalk width", unusedWidth) || !Coordinate("the sidewalk gap", unusedGap) ||
        !Real("the maintenance factor", 0.0, 10.0, in.maintenanceFactor) ||
        !Unsigned("the number of luminaires", kMaxSiteLuminaireRecords, luminaires) ||
        !Unsigned("the number of luminaire types", luminaires, types) ||
        !Unsigned("the largest gamma angle count", 100000, in.maxAngleCount) ||
        !Unsigned("the largest plane count", 100000, in.maxPlaneCount) ||
        !Plausible("luminaire record", luminaires, 8))
      return false;
    if (luminaires > 0 && types == 0)
      return Fail("luminaires without any luminaire type");
    in.luminaires.resize(luminaires);
    for (SiteLuminaireRecord& r : in.luminaires)
      if (!Record(r, static_cast<unsigned>(types)))
        return false;
    in.types.resize(types);
    for (SiteLuminaireType& t : in.types)
      if (!Block(t, in.maxAngleCount, in.maxPlaneCount))
        return false;
    return true;
  }

private:
  bool meshes_;
};

}  // namespace

std::optional<OpenTerritoryInput> ParseOpenTerritoryInput(std::string_view text, std::string* error)
{
  OpenTerritoryInput in;
  SiteReader reader(text, false, error);
  if (!reader.Read(in))
    return std::nullopt;
  return in;
}

std::optional<OpenTerritoryInput> ParseInterchangeInput(std::string_view text, std::string* error)
{
  OpenTerritoryInput in;
  SiteReader reader(text, true, error);
  if (!reader.Read(in))
    return std::nullopt;
  return in;
}

}  // namespace Engines
