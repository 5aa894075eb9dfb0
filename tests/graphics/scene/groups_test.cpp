// Groups of poles: the photometric solid built from a luminaire's intensity table, its link to the group's
// luminaires, member numbering and the state a contour group passes to its sub-groups.
#include "geometry/vector_string3d.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/photometric_solid.h"
#include "graphics/scene/street_devices.h"
#include "graphics/scene/supports.h"
#include "model/intensity_table.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr int kCPlanes = 1 << 28;
constexpr int kBPlanes = 1 << 29;
constexpr int kOnePlane = 1 << 20;
constexpr int kNoCompletion = 1 << 16;

// A street luminaire measured in C 0..90, gamma 0..90; its largest intensity is 360 at C 30, gamma 50.
CLinkedTable SampleTable()
{
  const std::vector<double> gammas{0, 10, 20, 30, 40, 50, 60, 65, 70, 75, 80, 85, 90};
  const std::vector<double> planes{0, 30, 60, 90};
  const std::vector<std::vector<double>> values{
      {260, 262, 270, 285, 300, 310, 290, 240, 160, 80, 25, 8, 0},
      {260, 265, 278, 300, 330, 360, 350, 300, 200, 100, 30, 10, 0},
      {260, 268, 285, 310, 340, 330, 280, 220, 140, 70, 20, 6, 0},
      {260, 266, 275, 280, 270, 240, 180, 130, 80, 40, 12, 4, 0},
  };
  CLinkedTable table;
  _LINKED_TABLE* t = table.get();
  LinkedTableResize(t, static_cast<int>(planes.size()) + 1, static_cast<int>(gammas.size()) + 1);
  for (size_t j = 0; j < gammas.size(); ++j) LinkedTableFind(t, static_cast<int>(j) + 2, 1)->value = gammas[j];
  for (size_t i = 0; i < planes.size(); ++i) {
    LinkedTableFind(t, 1, static_cast<int>(i) + 2)->value = planes[i];
    for (size_t j = 0; j < gammas.size(); ++j)
      LinkedTableFind(t, static_cast<int>(j) + 2, static_cast<int>(i) + 2)->value = values[i][j];
  }
  return table;
}

double Length(const _INTENSITY_PLANE_POINT* p) { return std::sqrt(p->x * p->x + p->y * p->y + p->z * p->z); }
bool IsRed(const _INTENSITY_PLANE_CURVE* c) { return c->colour[0] == 1.0f && c->colour[1] == 0 && c->colour[2] == 0; }

TEST(PhotometricSolid, CPlaneRaysScaleFromTheTableMaximum)
{
  CLinkedTable table = SampleTable();
  EXPECT_DOUBLE_EQ(GetMaxIntensity(table.get()), 360.0);
  CLuminousIntensityCurve solid;
  solid.BuildCGammaPlanes(table.get(), kCPlanes);
  const auto& curves = solid.GetPlaneCurves();
  ASSERT_EQ(curves.size(), 4u);
  const bool red[4] = {true, false, false, true};  // C 0 and C 90
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(IsRed(curves[i]), red[i]) << i;
    ASSERT_EQ(curves[i]->count, 13);
    EXPECT_EQ(curves[i]->indices[12], 12u);
  }
  // The maximum gives exactly the scale; gamma 0 points straight down.
  EXPECT_DOUBLE_EQ(Length(curves[1]->points[5]), 3.0);
  EXPECT_NEAR(curves[0]->points[0]->z, -260.0 / 360 * 3, 1e-12);
  EXPECT_NEAR(curves[0]->points[0]->x, 0.0, 1e-12);
  // C 90, gamma 90 at 0 cd: the ray collapses; C 90, gamma 40 (270 cd) leans towards +y.
  EXPECT_NEAR(Length(curves[3]->points[12]), 0.0, 1e-12);
  const _INTENSITY_PLANE_POINT* p = curves[3]->points[4];
  const double rho = 270.0 / 360 * 3, g = 40 * std::numbers::pi / 180;
  EXPECT_NEAR(p->x, 0.0, 1e-12);
  EXPECT_NEAR(p->y, rho * std::sin(g), 1e-12);
  EXPECT_NEAR(p->z, -rho * std::cos(g), 1e-12);
  EXPECT_DOUBLE_EQ(curves[3]->vertices[3 * 4 + 1], p->y);
}

TEST(PhotometricSolid, OnePlaneWordSweepsSeventyTwoPlanesOfTheFirstRow)
{
  CLinkedTable table = SampleTable();
  CLuminousIntensityCurve solid;
  solid.BuildCGammaPlanes(table.get(), kCPlanes | kOnePlane);
  const auto& curves = solid.GetPlaneCurves();
  ASSERT_EQ(curves.size(), 72u);
  int reds = 0;
  for (const auto* c : curves) {
    reds += IsRed(c);
    EXPECT_NEAR(Length(c->points[5]), 310.0 / 360 * 3, 1e-12);  // row 2 everywhere
  }
  EXPECT_EQ(reds, 4);
  EXPECT_TRUE(IsRed(curves[0]) && IsRed(curves[18]) && IsRed(curves[36]) && IsRed(curves[54]));
}

TEST(PhotometricSolid, BPlanesSwingTowardsXAndTiltAboutIt)
{
  CLinkedTable table = SampleTable();
  CLuminousIntensityCurve solid;
  solid.BuildBPlanes(table.get());
  const auto& curves = solid.GetPlaneCurves();
  ASSERT_EQ(curves.size(), 4u);
  EXPECT_TRUE(IsRed(curves[0]));
  EXPECT_FALSE(IsRed(curves[3]));
  // B 30, beta 50: 360 cd, 3 m.
  const _INTENSITY_PLANE_POINT* p = curves[1]->points[5];
  const double b = 30 * std::numbers::pi / 180, beta = 50 * std::numbers::pi / 180;
  EXPECT_NEAR(p->x, 3 * std::sin(beta), 1e-12);
  EXPECT_NEAR(p->y, 3 * std::cos(beta) * std::sin(b), 1e-12);
  EXPECT_NEAR(p->z, -3 * std::cos(beta) * std::cos(b), 1e-12);
}

TEST(PhotometricSolid, TablesWithoutLightGiveNoPlanes)
{
  CLinkedTable dark = SampleTable();
  for (int i = 2; i <= dark->rows; ++i)
    for (int j = 2; j <= dark->columns; ++j) LinkedTableFind(dark.get(), j, i)->value = 0.0;
  CLinkedTable empty;
  for (const _LINKED_TABLE* t : {dark.get(), empty.get()}) {
    EXPECT_EQ(GetMaxIntensity(t), 0.0);
    CLuminousIntensityCurve solid;
    solid.BuildCGammaPlanes(t, kCPlanes);
    solid.BuildCGammaPlanes(t, kCPlanes | kOnePlane);
    solid.BuildBPlanes(t);
    EXPECT_TRUE(solid.GetPlaneCurves().empty());
  }
  CGroupLightDevice3D group;
  group.UpdatePhotometry(dark.get(), kCPlanes | kNoCompletion);
  EXPECT_TRUE(group.GetSolid()->GetPlaneCurves().empty());
}

class Stranger : public CObject3D {};

// A column, a decorated mast, a bare luminaire and an object of another class.
struct MixedGroup {
  CGroup3DLine* group = new CGroup3DLine;
  CStreetColumnIllumination* column = new CStreetColumnIllumination;
  CStreetMastIllumination* mast = new CStreetMastIllumination;
  CFixtureLightDevice* bare = new CFixtureLightDevice;
  std::unique_ptr<CGroup3DLine> owner{group};

  MixedGroup()
  {
    _ARM_PLACEMENT arm;
    arm.armLength = 1;
    arm.poleHeight = 10;
    column->BuildArms({arm, arm});
    mast->BuildArms({arm});
    group->Add(column);
    group->Add(new CLightStreetDeviceDecorator(mast, -4));
    group->Add(bare);
    group->Add(new Stranger);
  }
  std::vector<CBaseLightDevice*> Luminaires() const
  {
    std::vector<CBaseLightDevice*> all{bare};
    for (auto* device : {static_cast<CBaseLightStreetDevice*>(column), static_cast<CBaseLightStreetDevice*>(mast)})
      for (CBaseArm* a : device->GetBracket()->GetArms()) all.push_back(a->GetLuminaire());
    return all;
  }
};

TEST(GroupPhotometry, LinksEveryLuminaireAndSkipsOtherMembers)
{
  CLinkedTable table = SampleTable();
  MixedGroup g;
  g.group->UpdatePhotometry(nullptr, kCPlanes);
  for (CBaseLightDevice* l : g.Luminaires()) EXPECT_EQ(l->GetPhotometricGroup(), nullptr);

  g.group->UpdatePhotometry(table.get(), 0);  // neither plane kind: linked, nothing drawn
  ASSERT_EQ(g.Luminaires().size(), 4u);
  for (CBaseLightDevice* l : g.Luminaires()) EXPECT_EQ(l->GetPhotometricGroup(), g.group);
  EXPECT_TRUE(g.group->GetSolid()->GetPlaneCurves().empty());

  // Both kinds, then a rebuild replaces the planes rather than adding to them.
  g.group->UpdatePhotometry(table.get(), kCPlanes | kBPlanes | kNoCompletion | kOnePlane);
  EXPECT_EQ(g.group->GetSolid()->GetPlaneCurves().size(), 72u + 4u);
  g.group->UpdatePhotometry(table.get(), kBPlanes | kNoCompletion);
  EXPECT_EQ(g.group->GetSolid()->GetPlaneCurves().size(), 4u);
  EXPECT_EQ(g.group->GetSolid()->m_flags, kBPlanes | kNoCompletion);
  EXPECT_EQ(g.group->GetTable()->rows, 5);
}

TEST(GroupPhotometry, CPlaneWordCompletesAndRebasesTheGroupsCopy)
{
  CLinkedTable table = SampleTable();
  CGroupLightDevice3D group;
  group.UpdatePhotometry(table.get(), kCPlanes | (1 << 17) | (1 << 8));
  const _LINKED_TABLE* copy = group.GetTable();
  ASSERT_GT(copy->rows, 5);  // the quadrant mirrored to the full circle
  EXPECT_EQ(LinkedTableFind(copy, 1, 2)->value, -180.0);
  EXPECT_EQ(table->rows, 5);  // the luminaire's own table is untouched
  EXPECT_EQ(static_cast<int>(group.GetSolid()->GetPlaneCurves().size()), copy->rows - 1);
  EXPECT_DOUBLE_EQ(GetMaxIntensity(copy), 360.0);
}

TEST(GroupLabels, NumbersStreetDevicesAndMarksMasts)
{
  auto group = std::make_unique<CGroup3DIndividuality>();
  auto* first = new CStreetColumnIllumination;
  auto* mast = new CStreetMastIllumination;
  auto* third = new CStreetColumnIllumination;
  group->Add(first);
  group->Add(mast);
  group->Add(new Stranger);
  group->Add(third);
  group->SetLabel("7");
  ASSERT_TRUE(first->GetLabel() && mast->GetLabel() && third->GetLabel());
  EXPECT_EQ(first->GetLabel()->GetText(), u"7-1");
  EXPECT_EQ(mast->GetLabel()->GetText(), u"M 7-2");
  EXPECT_EQ(third->GetLabel()->GetText(), u"7-4");
  EXPECT_EQ(mast->m_number, 2);
  EXPECT_EQ(first->GetOwner(), group.get());

  third->MoveTo(4, 0, 0);
  third->TurnTo(0, 0, 90);
  group->SetLabelHeight(1.0);
  const CVectorString3D* label = third->GetLabel();
  EXPECT_DOUBLE_EQ(label->m_position[2], 0.2);
  EXPECT_NEAR(label->m_position[0], 4 - (label->m_size[1] + 0.5) - label->m_size[0] / 2, 1e-9);
}

TEST(GroupState, ContourGroupGivesSubGroupsSubSelection)
{
  auto contour = std::make_unique<CGroup3DPolyline>();
  auto* sub = new CGroup3DIndividuality;
  auto* device = new CStreetColumnIllumination;
  sub->Add(device);
  contour->Add(sub);
  contour->SetState(CSelectableObject::kSelected);
  EXPECT_EQ(contour->GetState() & CSelectableObject::kSelected, CSelectableObject::kSelected);
  EXPECT_EQ(sub->GetState() & (CSelectableObject::kSelected | CSelectableObject::kSubSelected),
            CSelectableObject::kSubSelected);
  EXPECT_EQ(device->GetState() & CSelectableObject::kSelected, 0u);
}

TEST(PhotometricSolidPicture, SampleLuminaireSolid)
{
  constexpr int kSize = 600;
  GlSurface surface(kSize, kSize);
  surface.Clear(0.1f, 0.12f, 0.16f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(35, 1, 0.5, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(7, -8, 2.5, 0, 0, -1.8, 0, 0, 1);
  CLinkedTable table = SampleTable();
  CGroupLightDevice3D group;
  group.UpdatePhotometry(table.get(), kCPlanes | (1 << 17) | (1 << 8));
  group.GetSolid()->Draw();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  surface.Show("photometric-solid.png");
  int yellow = 0, green = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const std::uint32_t c = surface.ColourAt(x, y);
      const unsigned r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
      yellow += r > 200 && g > 200 && b < 80;
      green += r < 60 && g > 200 && b < 60;
    }
  EXPECT_GT(yellow, 300);
  EXPECT_GT(green, 50);
}

}  // namespace
