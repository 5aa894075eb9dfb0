// Buildings beside a straight road: what a resize makes of the storeys, sections, balconies and roof; textured
// planes' corners; and a building drawn for a person to look at.
#include "graphics/core/texture_registry.h"
#include "graphics/scene/buildings.h"
#include "res/modules.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

int Count(const CBuilding3D& b, auto&& test)
{
  int n = 0;
  for (CObject3D* part : b.GetParts()) n += test(part) ? 1 : 0;
  return n;
}
bool IsPlane(CObject3D* p) { return dynamic_cast<CTexturedPlane3D*>(p) != nullptr; }

TEST(Building, ResizeMakesStoreysSectionsAndRoof)
{
  const struct {
    double length, height;
    double builtLength;
    int floors, sections, parts, balconyPlanes;
    double parapet;
  } cases[] = {
      {48, 10, 48, 3, 1, 23, 12, 0.5},  // block, section, block; 4 parapets, roof, 3 structures
      {60, 10, 48, 3, 1, 23, 12, 0.5},  // cut to whole sections
      {40, 10, 40, 3, 0, 9, 0, 0.5},    // one box, no balconies
      {48, 3.5, 48, 0, 1, 11, 0, 3.0},  // 2.5 m above the plinth: no storey, all parapet
      {108, 13, 108, 4, 3, 7 + 8 + 3 * 4 * 4, 48, 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    CBuilding3D b;
    b.MoveTo(5, -20, 0);
    b.ResizeTo(c.length, 12, c.height);
    EXPECT_DOUBLE_EQ(b.m_size[0], c.builtLength);
    EXPECT_DOUBLE_EQ(b.m_plinth[0], c.builtLength);
    EXPECT_EQ(b.GetFloors(), c.floors);
    EXPECT_EQ(b.GetSections(), c.sections);
    EXPECT_DOUBLE_EQ(b.GetParapetHeight(), c.parapet);
    EXPECT_EQ(static_cast<int>(b.GetParts().size()), c.parts);
    EXPECT_EQ(Count(b, IsPlane), c.balconyPlanes + 1);  // and the roof
  }
}

TEST(Building, BoxesStandAlongTheBlockPeriodAndTheRoofOnTop)
{
  CBuilding3D b;
  b.ResizeTo(48, 12, 10);
  const std::vector<CObject3D*>& parts = b.GetParts();
  ASSERT_EQ(parts.size(), 23u);
  // Block, recessed section, block at x = -15, 0, 15 around zc = 9 / 2 + 1.
  const double xs[3] = {-15, 0, 15}, depths[3] = {12, 10, 12}, lengths[3] = {18, 12, 18};
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(parts[i]->m_position[0], xs[i]);
    EXPECT_DOUBLE_EQ(parts[i]->m_position[2], 5.5);
    EXPECT_DOUBLE_EQ(parts[i]->m_size[0], lengths[i]);
    EXPECT_DOUBLE_EQ(parts[i]->m_size[1], depths[i]);
    EXPECT_DOUBLE_EQ(parts[i]->m_size[2], 9);
  }
  auto* block = dynamic_cast<CTexturedBox3D*>(parts[0]);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->Face(2).m_repeatU, 3);
  EXPECT_EQ(block->Face(2).m_repeatV, 3);
  EXPECT_EQ(block->Face(4).m_texture, 0u);  // the top is never textured
  // The faces: ends at x = -/+ 9, long sides at y = -/+ 6, top at 4.5.
  EXPECT_DOUBLE_EQ(block->Face(0).m_position[0], -9);
  EXPECT_DOUBLE_EQ(block->Face(3).m_position[1], 6);
  EXPECT_DOUBLE_EQ(block->Face(4).m_position[2], 4.5);
  // Parapets 0.5 high from the last storey's top (10) up; the roof 0.1 above it, repeated 4n + 3 times.
  EXPECT_DOUBLE_EQ(parts[3]->m_position[1], -5.75);
  EXPECT_DOUBLE_EQ(parts[3]->m_position[2], 10.25);
  auto* roof = dynamic_cast<CTexturedPlane3D*>(parts[7]);
  ASSERT_NE(roof, nullptr);
  EXPECT_DOUBLE_EQ(roof->m_position[2], 10.1);
  EXPECT_EQ(roof->m_repeatU, 7);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(parts[8 + i]->m_position[0], -12.0 + 12 * i);
  // The first balcony: its balustrade upright in the blocks' front line, its slab 0.4 below, a metre in.
  EXPECT_DOUBLE_EQ(parts[11]->m_position[1], -6);
  EXPECT_DOUBLE_EQ(parts[11]->m_rotation[0], 90);
  EXPECT_DOUBLE_EQ(parts[12]->m_position[1], -5);
  EXPECT_DOUBLE_EQ(parts[12]->m_position[2], 1.1);

  // A second size leaves only its own parts.
  b.ResizeTo(40, 12, 10);
  EXPECT_EQ(b.GetParts().size(), 9u);
  auto* box = dynamic_cast<CTexturedBox3D*>(b.GetParts()[0]);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Face(2).m_repeatU, 6);
  EXPECT_EQ(dynamic_cast<CTexturedPlane3D*>(b.GetParts()[5])->m_repeatU, 3);
}

TEST(TexturedPlane, CornersFollowTheSize)
{
  CTexturedPlane3D plane;
  plane.ResizeTo(4, 2, 0);
  const double want[4][2] = {{-2, 1}, {-2, -1}, {2, 1}, {2, -1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(plane.m_corners[i][0], want[i][0]);
    EXPECT_DOUBLE_EQ(plane.m_corners[i][1], want[i][1]);
  }
}

TEST(BuildingPicture, ABuildingWithTwoSections)
{
  constexpr int kWidth = 800, kHeight = 500;
  GlSurface surface(kWidth, kHeight);
  res::RegisterModules();
  CTextureRegistry::GetInstance()->LoadAll();
  surface.Clear(0.55f, 0.7f, 0.85f);
  glClear(GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(35, static_cast<double>(kWidth) / kHeight, 1, 500);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(-55, -75, 35, 0, 0, 6, 0, 0, 1);
  CBuilding3D building;
  building.ResizeTo(78, 12, 16);
  glColor3f(0.45f, 0.42f, 0.4f);
  building.Draw();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  surface.Show("scene-building.png");
  int drawn = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) drawn += surface.ColourAt(x, y) != surface.ColourAt(0, 0);
  EXPECT_GT(drawn, kWidth * kHeight / 10);
  CTextureRegistry::GetInstance()->Clear();
}

}  // namespace
