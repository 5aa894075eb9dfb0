// The open-territory input file as the program writes it, comment lines and all, read field by field; damaged
// files are refused with the line named.
#include "outside/engines/open_territory_input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "open_territory_fixture.h"

namespace Engines {
namespace {

void ExpectPoint(const Vec3& p, double x, double y, double z)
{
  EXPECT_DOUBLE_EQ(p.x, x);
  EXPECT_DOUBLE_EQ(p.y, y);
  EXPECT_DOUBLE_EQ(p.z, z);
}

TEST(OpenTerritoryInput, ReadsTheHandWrittenFileFieldByField)
{
  std::string error;
  auto in = ParseOpenTerritoryInput(testing::HandWrittenSite(), &error);
  ASSERT_TRUE(in) << error;
  EXPECT_DOUBLE_EQ(in->length, 50.0);
  EXPECT_DOUBLE_EQ(in->width, 40.0);
  EXPECT_TRUE(in->userGrid);
  EXPECT_DOUBLE_EQ(in->gridStep, 1.0);
  EXPECT_TRUE(in->carriagewayTakesPart);
  EXPECT_TRUE(in->sidewalkTakesPart);
  EXPECT_EQ(in->section, 8);

  ASSERT_EQ(in->primitives.size(), 5u);
  const SitePrimitive& triangle = in->primitives[0];
  EXPECT_EQ(triangle.shape, PrimitiveShape::Triangle);
  EXPECT_EQ(triangle.membership, SiteMembership::Sidewalk);
  ExpectPoint(triangle.points[0], -5, -2, 0.003);
  ExpectPoint(triangle.points[2], 0, 2, 0.003);

  const SitePrimitive& rectangle = in->primitives[1];
  EXPECT_EQ(rectangle.shape, PrimitiveShape::Rectangle);
  EXPECT_EQ(rectangle.membership, SiteMembership::Carriageway);
  ExpectPoint(rectangle.points[1], 25, -5, 0.001);

  const SitePrimitive& ellipse = in->primitives[2];
  EXPECT_EQ(ellipse.shape, PrimitiveShape::Ellipse);
  EXPECT_EQ(ellipse.membership, SiteMembership::Shading);
  EXPECT_DOUBLE_EQ(ellipse.baseHeight, 2.5);
  ExpectPoint(ellipse.points[2], 14, 13, 3.004);

  const SitePrimitive& sector = in->primitives[3];
  EXPECT_EQ(sector.shape, PrimitiveShape::RingSector);
  EXPECT_EQ(sector.membership, SiteMembership::Background);  // written as 0
  EXPECT_DOUBLE_EQ(sector.innerRadius, 2.0);
  EXPECT_DOUBLE_EQ(sector.sectorAngle, 90.0);

  const SitePrimitive& polygon = in->primitives[4];
  EXPECT_EQ(polygon.shape, PrimitiveShape::Polygon);
  EXPECT_EQ(polygon.membership, SiteMembership::Background);  // written as 3
  ASSERT_EQ(polygon.outline.size(), 4u);
  ExpectPoint(polygon.outline[2], -10, -16, 0.002);
  EXPECT_EQ(polygon.traversal, 1);
  ASSERT_EQ(polygon.pieces.size(), 2u);
  ExpectPoint(polygon.pieces[1][2], -20, -16, 0.002);
  EXPECT_EQ(in->maxPolygonVertices, 4u);
  EXPECT_EQ(in->maxPolygonPieces, 2u);

  EXPECT_DOUBLE_EQ(in->maintenanceFactor, 0.8);
  EXPECT_EQ(in->maxAngleCount, 3u);
  EXPECT_EQ(in->maxPlaneCount, 2u);
  ASSERT_EQ(in->luminaires.size(), 3u);

  const SiteLuminaireRecord& line = in->luminaires[0];  // a pole in line placement, alone in its group
  EXPECT_EQ(line.mounting, 0u);
  EXPECT_EQ(line.scheme, 1u);
  EXPECT_TRUE(line.hasPosition);
  EXPECT_DOUBLE_EQ(line.x, -20.0);
  EXPECT_DOUBLE_EQ(line.y, -8.0);
  EXPECT_DOUBLE_EQ(line.x2, 0.0);
  EXPECT_EQ(line.count, 1u);
  EXPECT_DOUBLE_EQ(line.armRotation, 90.0);
  EXPECT_DOUBLE_EQ(line.height, 10.578);
  EXPECT_DOUBLE_EQ(line.outreach, 2.29);
  EXPECT_DOUBLE_EQ(line.tilt, 15.0);
  EXPECT_EQ(line.type, 1u);

  const SiteLuminaireRecord& mast = in->luminaires[1];
  EXPECT_EQ(mast.mounting, 1u);
  EXPECT_EQ(mast.scheme, 0u);
  EXPECT_DOUBLE_EQ(mast.x, 10.0);
  EXPECT_DOUBLE_EQ(mast.y, 12.0);
  EXPECT_DOUBLE_EQ(mast.height, 20.0);
  ExpectPoint(mast.aim, 5, 6, 0.5);
  EXPECT_DOUBLE_EQ(mast.luminaireTurn, 90.0);
  EXPECT_EQ(mast.type, 2u);

  const SiteLuminaireRecord& circle = in->luminaires[2];  // floor lamps on a circle
  EXPECT_EQ(circle.mounting, 2u);
  EXPECT_EQ(circle.scheme, 2u);
  EXPECT_DOUBLE_EQ(circle.centreX, 1.0);
  EXPECT_DOUBLE_EQ(circle.centreY, -1.0);
  EXPECT_DOUBLE_EQ(circle.x, 11.0);
  EXPECT_DOUBLE_EQ(circle.angularStep, 30.0);
  EXPECT_EQ(circle.count, 4u);
  EXPECT_DOUBLE_EQ(circle.height, 4.0);
  EXPECT_DOUBLE_EQ(circle.outreach, 0.5);
  EXPECT_EQ(circle.mountNode, 1u);
  EXPECT_DOUBLE_EQ(circle.luminaireTurn, 45.0);
  EXPECT_EQ(circle.type, 1u);

  ASSERT_EQ(in->types.size(), 2u);
  const SiteLuminaireType& c = in->types[0];
  EXPECT_TRUE(c.table.cPlanes);
  EXPECT_DOUBLE_EQ(c.lampFlux, 12000.0);
  EXPECT_EQ(c.table.angles, (std::vector<double>{0, 45, 90}));
  EXPECT_EQ(c.table.planes, (std::vector<double>{0, 180}));
  EXPECT_DOUBLE_EQ(c.table.Value(1, 1), 720.0);
  const SiteLuminaireType& b = in->types[1];
  EXPECT_FALSE(b.table.cPlanes);
  EXPECT_DOUBLE_EQ(b.lampFlux, 20000.0);
  EXPECT_EQ(b.table.angles, (std::vector<double>{-90, 90}));
  EXPECT_EQ(b.table.planes, (std::vector<double>{0}));
  EXPECT_DOUBLE_EQ(b.table.Value(0, 1), 5000.0);
}

TEST(OpenTerritoryInput, EveryCutOfTheFileIsRefusedWithAReason)
{
  // A file cut anywhere before its last number lacks items; none of the cuts may crash or pass.
  const std::string whole = testing::HandWrittenSite();
  const std::size_t lastNumber = whole.rfind('\t') + 1;
  for (std::size_t cut = 0; cut < lastNumber; cut += 7) {
    std::string error;
    EXPECT_FALSE(ParseOpenTerritoryInput(whole.substr(0, cut), &error)) << "cut at " << cut;
    EXPECT_FALSE(error.empty());
  }
}

TEST(OpenTerritoryInput, DamagedFieldsAreRefusedWithTheirLine)
{
  struct Case {
    const char* what;
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"letters for a number", "40.000000       !  3.", "4O.000000       !  3.", "window width on line 2"},
      {"unknown object type", "7       !  1.8.1.10", "", "unknown object type 7"},
      {"a polar second pole", "0       !  13-01", "1       !  13-01", "not Cartesian"},
      {"more gammas than the block holds", "\n2\n1\n-90", "\n3\n1\n-90", "gamma angles do not ascend"},
      {"a huge polygon count", "1       !  Количество полигонов", "90000       !  Количество полигонов",
       "larger than the rest of the file"},
      {"descending gammas", "0\t45\t90", "0\t90\t45", "gamma angles do not ascend"},
      {"a negative intensity", "1200\t960\t120", "1200\t-960\t120", "intensity is out of range"},
      {"a placement scheme beyond 4", "2       !  10.", "5       !  10.", "placement scheme 5 is above 4"},
      {"a mounting kind beyond 32 bits", "1       !  9.", "4294967297       !  9.", "mounting kind 4294967297 is above"},
      {"a huge traversal word", "1       !  Обход", "1e300       !  Обход", "whole number for the traversal"},
  };
  for (const Case& c : cases) {
    std::string text = testing::HandWrittenSite();
    if (*c.to) {
      auto at = text.find(c.from);
      ASSERT_NE(at, std::string::npos) << c.what;
      text.replace(at, std::strlen(c.from), c.to);
    } else {
      // Put the object type 7 in place of the triangle's 2.
      auto at = text.find("2       !  1.8.1.10");
      ASSERT_NE(at, std::string::npos);
      text[at] = '7';
    }
    std::string error;
    EXPECT_FALSE(ParseOpenTerritoryInput(text, &error)) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
  }
}

TEST(OpenTerritoryInput, MangledBytesNeverCrashTheReader)
{
  // Digits, signs, points, letters and line breaks dropped in anywhere; whatever is read must stay bounded.
  const std::string whole = testing::HandWrittenSite();
  const char noise[] = "9-.e!\n\t0x7";
  std::uint32_t seed = 12345;
  for (int round = 0; round < 3000; ++round) {
    std::string text = whole;
    for (int k = 0; k < 3; ++k) {
      seed = seed * 1664525u + 1013904223u;
      text[seed % text.size()] = noise[(seed >> 16) % (sizeof noise - 1)];
    }
    std::string error;
    if (auto in = ParseOpenTerritoryInput(text, &error)) {
      EXPECT_LE(in->primitives.size(), kMaxSitePrimitives);
      for (const SiteLuminaireRecord& r : in->luminaires)
        EXPECT_LE(r.type, in->types.size());
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

}  // namespace
}  // namespace Engines
