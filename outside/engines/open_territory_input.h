// An open site as the open-territory engine's input file describes it: the calculation window and its grid, which
// of carriageway and sidewalk take part, the primitives (triangles, rectangles, ellipses, ring sectors, vertex
// polygons) lifted in list order, the maintenance factor, one record per luminaire position with its placement
// scheme, and the intensity table of every luminaire type.
//
// Site coordinates: the area's own, origin at its centre, x along its length (-L/2 .. L/2), y along its width, z
// up; metres and degrees.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "outside/engines/intensity_table.h"
#include "outside/engines/vec3.h"

namespace Engines {

enum class PrimitiveShape { Triangle, Rectangle, Ellipse, RingSector, Polygon };

// What a primitive is on the site. The file says background as 3 (polygons, and simple shapes from older
// writers) or 0 (simple shapes); both mean the same here.
enum class SiteMembership { Background, Carriageway, Sidewalk, Shading, Marking };

// The object-type code of the file as a membership; false for a code the format does not know.
bool MembershipFromFileCode(long code, SiteMembership& membership);

// A calculation point of an interchange polygon: where it stands and the normal of the surface there.
struct MeshPoint {
  Vec3 position;
  Vec3 normal;
};

struct SitePrimitive {
  PrimitiveShape shape = PrimitiveShape::Rectangle;
  SiteMembership membership = SiteMembership::Carriageway;
  // Simple shapes: a triangle's two base corners and apex; three corners of the (turned) bounding rectangle of a
  // rectangle, an ellipse or a ring sector, in the order (-a, -b), (+a, -b), (+a, +b) of its own frame.
  std::array<Vec3, 3> points{};
  double innerRadius = 0.0;  // ring sector
  double sectorAngle = 0.0;  // ring sector, degrees from the start direction (turn + 90) counter-clockwise
  double baseHeight = 0.0;   // shading object: its base above the ground
  // Vertex polygons: the outline, the traversal word, and the triangle pieces it was split into (an interchange:
  // the triangles of its calculation mesh).
  std::vector<Vec3> outline;
  long traversal = 0;
  std::vector<std::array<Vec3, 3>> pieces;
  // Interchange polygons: the calculation points of the refined mesh, in the order the program stores values.
  std::vector<MeshPoint> meshPoints;
};

// One luminaire record. K (mounting) and S (placement scheme) decide which of the placement values the file
// carries; a record of scheme 3 or 4 (or an unknown mounting) carries no position and places nothing.
struct SiteLuminaireRecord {
  unsigned mounting = 0;  // 0 on a pole, 1 on a mast, 2 floor lamp
  unsigned scheme = 0;    // 0 individual, 1 in line, 2 on a circle, 3 along a contour, 4 by points
  bool hasPosition = false;
  // Pole (and floor lamp): the first and second pole. Mast: the first and second light point.
  double x = 0.0, y = 0.0, x2 = 0.0, y2 = 0.0;
  double centreX = 0.0, centreY = 0.0;  // circle
  double angularStep = 0.0;             // circle, degrees
  unsigned long count = 1;              // poles of a line or circle
  double height = 0.0;                  // light centre above the ground
  // Pole and floor lamp: arm direction (arm turn + bracket rotation), outreach, tilt.
  double armRotation = 0.0, outreach = 0.0, tilt = 0.0;
  unsigned mountNode = 0;  // floor lamp: 0 node below the luminaire, else above
  double luminaireTurn = 0.0;  // floor lamp and mast
  Vec3 aim;                    // mast
  unsigned type = 1;           // 1-based
};

struct SiteLuminaireType {
  IntensityTable table;
  double lampFlux = 0.0;  // lamp flux x lamp count, lumen
};

struct OpenTerritoryInput {
  double length = 0.0;
  double width = 0.0;
  bool userGrid = false;
  double gridStep = 0.0;
  bool carriagewayTakesPart = false;
  bool sidewalkTakesPart = false;
  long section = 8;
  std::vector<SitePrimitive> primitives;  // in file order: triangles, rectangles, ellipses, sectors, polygons
  unsigned long maxPolygonVertices = 0;
  unsigned long maxPolygonPieces = 0;
  unsigned long maxPolygonMeshPoints = 0;  // interchange files only
  double maintenanceFactor = 1.0;
  unsigned maxAngleCount = 0;
  unsigned maxPlaneCount = 0;
  std::vector<SiteLuminaireRecord> luminaires;
  std::vector<SiteLuminaireType> types;
};

// Limits that keep a damaged file from asking for absurd amounts of memory or time.
inline constexpr unsigned long kMaxSitePrimitives = 100000;
inline constexpr unsigned long kMaxPolygonVertices = 1000000;
inline constexpr unsigned long kMaxPolygonMeshPoints = 16100000;
inline constexpr unsigned long kMaxSiteLuminaireRecords = 100000;
inline constexpr unsigned long kMaxPolesInGroup = 100000;
inline constexpr double kMaxSiteExtent = 100000.0;  // metres, for every coordinate and length

// Reads the whole input; on failure returns nothing and says what was wrong and on which line.
std::optional<OpenTerritoryInput> ParseOpenTerritoryInput(std::string_view text, std::string* error);

// The interchange engine's input: the same file whose polygon section also gives the largest mesh-point count
// and, per polygon, its calculation points with their normals after the triangles.
std::optional<OpenTerritoryInput> ParseInterchangeInput(std::string_view text, std::string* error);

}  // namespace Engines
