// Where each view type's eye stands for an area: plan and wall views of a straight road centre on the first
// field of the calculation section; a freely shaped area is seen whole from above its centre.
#include "graphics/core/camera_presets.h"
#include "graphics/core/model_ref.h"
#include "model/igroups.h"
#include "tests/graphics/core_fixture.h"

#include <cmath>
#include <numbers>

namespace {

class CameraPresets : public CoreTest {};

TEST_F(CameraPresets, StraightRoadViewsCentreOnTheFirstField)
{
  MakeDocument();
  IArea* area = ActiveArea();
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
  ASSERT_TRUE(first);
  const double step = *first->GetStep();
  const double h = GetHighestGroupHeight(area);
  ASSERT_GT(step, 0);
  ASSERT_GT(h, 0);
  const double origin = 12.5;
  const struct {
    DWORD type;
    double x;
    double y;  // NAN: not pinned here
  } cases[] = {
      {CViewCamera::kPlan, -origin - step / 2, NAN},
      {CViewCamera::kLeftWall, -origin - step / 2, -h / 2},  // the sample's walls are off: the poles decide
      {CViewCamera::kRightWall, origin + step / 2, -h / 2},
      {CViewCamera::kPerspective, 0, 0},
      {CViewCamera::kLeft, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    double position[3] = {1, 1, 1};
    int straight = 0;
    FitCameraToArea(position, area, c.type, &straight, nullptr, origin);
    EXPECT_EQ(straight, 1);
    EXPECT_DOUBLE_EQ(position[0], c.x);
    if (!std::isnan(c.y)) {
      EXPECT_DOUBLE_EQ(position[1], c.y);
    }
    EXPECT_LT(position[2], 0);
  }
}

TEST_F(CameraPresets, AnOpenSiteIsSeenWholeAndSetsTheFarPlane)
{
  MakeDocument();
  document->OnNewJunction();
  IArea* area = ActiveArea();
  const double h = GetHighestGroupHeight(area) + std::fabs(*area->GetBaseHeight());
  const double extent = std::sqrt(h * h + *area->GetLength() * *area->GetLength() + *area->GetWidth() * *area->GetWidth());
  CViewCamera camera;
  double position[3];
  int straight = 1;
  FitCameraToArea(position, area, CViewCamera::kPlan, &straight, &camera, 99);
  EXPECT_EQ(straight, 0);
  EXPECT_DOUBLE_EQ(position[0], 0);
  EXPECT_DOUBLE_EQ(position[1], 0);
  EXPECT_DOUBLE_EQ(position[2], -(extent / std::tan(std::numbers::pi / 8) * 0.5 + 10));
  EXPECT_DOUBLE_EQ(camera.m_far, 2 * extent);
  FitCameraToArea(position, area, CViewCamera::kFront, &straight, nullptr, 0);
  EXPECT_DOUBLE_EQ(position[1], -h / 2);
}

}  // namespace
