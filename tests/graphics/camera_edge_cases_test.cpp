// The view camera's limits and projections, without a context: the camera keeps its own matrices.
#include "geometry/view_camera.h"
#include "model/iarea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace {

// The render core as the camera sees it: one eye record for every view type, frames counted.
class EyeHost : public ICameraHost {
public:
  _DEVCPOSITION* GetEyeRecord(DWORD) override { return &eye; }
  void ResetEyeRecord(DWORD) override {}
  void OnViewTypeChanged(DWORD) override {}
  void OnWindowSize(UINT, int, int) override {}
  void ApplyLibraryView(double*, double*, double*, double*) override {}
  double GetBaseHeight() override { return 0; }
  void RenderFrame() override { ++frames; }
  void OnNavigatorMode(BOOL) override {}

  _DEVCPOSITION eye{0, 0, -10, 90, 0, 0};
  int frames = 0;
};

// far = sqrt((ex + 2)^2 + (ey + 2)^2 + 24^2) / tan(pi/8)
double FarFor(double ex, double ey)
{
  return std::sqrt((ex + 2) * (ex + 2) + (ey + 2) * (ey + 2) + 24.0 * 24.0) / std::tan(std::numbers::pi / 8);
}

struct CameraCase {
  std::string name;
  DWORD viewType;
  _DEVCPOSITION eye;
  std::function<void(CViewCamera&)> act;
  std::function<void(const CViewCamera&, const _DEVCPOSITION&)> check;
};

TEST(ViewCamera, EdgeCases)
{
  const double origin[3] = {0, 0, 0};
  const double farOfTen = FarFor(10, 10);
  const std::vector<CameraCase> cases = {
      {"zoom in stops within 0.05 of the plane", CViewCamera::kPlan, {1, 2, -0.05, 90, 0, 0},
       [&](CViewCamera& c) { c.ZoomAtPoint(origin, 0); },
       [](const CViewCamera&, const _DEVCPOSITION& e) {
         EXPECT_DOUBLE_EQ(e.z, -0.05);
         EXPECT_DOUBLE_EQ(e.x, 1);
       }},
      {"zoom in just outside the limit still zooms", CViewCamera::kPlan, {1, 2, -0.06, 90, 0, 0},
       [&](CViewCamera& c) { c.ZoomAtPoint(origin, 0); },
       [](const CViewCamera&, const _DEVCPOSITION& e) {
         EXPECT_DOUBLE_EQ(e.z, 0.9 * -0.06);
         EXPECT_DOUBLE_EQ(e.x, 0.9);
       }},
      {"zoom out stops at -far / 2", CViewCamera::kPlan, {0, 0, -0.46 * farOfTen, 90, 0, 0},
       [&](CViewCamera& c) { c.ZoomAtPoint(origin, 1); },
       [&](const CViewCamera& c, const _DEVCPOSITION& e) {
         EXPECT_DOUBLE_EQ(c.m_closestEyeZ, -farOfTen / 2);
         EXPECT_DOUBLE_EQ(e.z, -0.46 * farOfTen);
       }},
      {"a step out is clamped to -far / 2", CViewCamera::kPlan, {0, 0, -0.48 * farOfTen, 90, 0, 0},
       [&](CViewCamera& c) { c.PanZoomStep(0, 0, 1); },
       [&](const CViewCamera&, const _DEVCPOSITION& e) { EXPECT_DOUBLE_EQ(e.z, -farOfTen / 2); }},
      {"the own-record view does not zoom", CViewCamera::kOwnRecord, {3, 4, -20, 0, 0, 0},
       [&](CViewCamera& c) { c.ZoomAtPoint(origin, 0); },
       [](const CViewCamera&, const _DEVCPOSITION& e) { EXPECT_DOUBLE_EQ(e.z, -20); }},
      {"a far plane nearer than the eye pulls the eye in", CViewCamera::kPerspective, {0, 0, -500, 7, 0, 0},
       [](CViewCamera& c) { c.SetFarPlane(0, 0); },
       [](const CViewCamera& c, const _DEVCPOSITION& e) {
         EXPECT_DOUBLE_EQ(c.m_far, FarFor(0, 0));
         EXPECT_DOUBLE_EQ(e.z, -(FarFor(0, 0) - 10));
       }},
      {"a far plane beyond the eye leaves it", CViewCamera::kPerspective, {0, 0, -30, 7, 0, 0},
       [](CViewCamera& c) { c.SetFarPlane(0, 0); },
       [](const CViewCamera&, const _DEVCPOSITION& e) { EXPECT_DOUBLE_EQ(e.z, -30); }},
      {"a record beyond the far plane is pulled in when bound", CViewCamera::kPlan, {0, 0, -10, 90, 0, 0},
       [&](CViewCamera& c) {
         c.GetEye()->z = -3 * farOfTen;
         c.SetViewType(CViewCamera::kPerspective);
       },
       [&](const CViewCamera&, const _DEVCPOSITION& e) { EXPECT_DOUBLE_EQ(e.z, -(farOfTen - 10)); }},
      {"a window of height 0 takes its width as the aspect", CViewCamera::kPerspective, {0, 0, -30, 7, 0, 0},
       [](CViewCamera& c) { c.OnSize(0, 800, 0); },
       [](const CViewCamera& c, const _DEVCPOSITION&) {
         const double f = 1 / std::tan(std::numbers::pi / 8);
         EXPECT_DOUBLE_EQ(c.GetProjection()[0], f / 800);
         EXPECT_DOUBLE_EQ(c.GetProjection()[5], f);
       }},
      {"an orthographic window of height 0 stays finite", CViewCamera::kPlan, {0, 0, -30, 90, 0, 0},
       [](CViewCamera& c) { c.OnSize(0, 800, 0); },
       [](const CViewCamera& c, const _DEVCPOSITION&) {
         for (int k = 0; k < 16; ++k) {
           EXPECT_TRUE(std::isfinite(c.GetProjection()[k])) << k;
         }
       }},
      {"a point on a frustum plane is outside", CViewCamera::kPlan, {0, 0, -10, 90, 0, 0},
       [](CViewCamera& c) { c.Apply(); },
       [](const CViewCamera& c, const _DEVCPOSITION&) {
         // 100 x 100 pixels at |eye z| 10: the box reaches 5 m to each side.
         EXPECT_FALSE(c.IsPointInFrustum(5, 0, 0));
         EXPECT_FALSE(c.IsPointInFrustum(0, -5, 0));
         EXPECT_TRUE(c.IsPointInFrustum(4.999, 0, 0));
         EXPECT_FALSE(CViewCamera::IsPointInFrustum(nullptr, 0, 0, 0));
       }},
  };
  for (const CameraCase& test : cases) {
    SCOPED_TRACE(test.name);
    EyeHost host;
    host.eye = test.eye;
    CViewCamera camera(&host, nullptr);
    camera.m_far = 100;
    camera.OnSize(0, 100, 100);
    camera.SetViewType(test.viewType);
    camera.SetFarPlane(10, 10);
    host.eye = test.eye;  // the far plane may have pulled the eye; each case starts from its own
    test.act(camera);
    test.check(camera, host.eye);
  }
}

// The world point under the cursor stays under it while zooming in plan, front and side views.
TEST(ViewCamera, ZoomKeepsThePointUnderTheCursor)
{
  const struct {
    DWORD type;
    _DEVCPOSITION eye;
  } views[] = {{CViewCamera::kPlan, {-3, 1, -40, 90, 0, 0}},
               {CViewCamera::kFront, {2, -1, -40, 0, 90, 0}},
               {CViewCamera::kLeft, {2, -1, -40, 0, 180, 0}},
               {CViewCamera::kRight, {2, -1, -40, 0, 0, 0}}};
  for (const auto& view : views) {
    for (int delta : {0, 1}) {
      SCOPED_TRACE(std::to_string(view.type) + (delta ? " out" : " in"));
      EyeHost host;
      host.eye = view.eye;
      CViewCamera camera(&host, nullptr);
      camera.OnSize(0, 640, 400);
      camera.SetViewType(view.type);
      camera.SetFarPlane(100, 100);
      camera.Apply();
      double before[3] = {450, 120, 0};
      ASSERT_TRUE(camera.WindowToWorld(before));
      camera.ZoomAtPoint(before, delta);
      EXPECT_EQ(host.frames, 1);
      EXPECT_NE(host.eye.z, view.eye.z);
      camera.Apply();
      double after[3] = {450, 120, 0};
      ASSERT_TRUE(camera.WindowToWorld(after));
      // Depth aside, the same world point.
      const int depthAxis = view.type == CViewCamera::kPlan ? 2 : view.type == CViewCamera::kFront ? 0 : 1;
      for (int k = 0; k < 3; ++k) {
        if (k != depthAxis) {
          EXPECT_NEAR(after[k], before[k], 1e-9) << k;
        }
      }
    }
  }
}

// In plan the centre of the window is the point the eye is over, to within a pixel (window points are pixel
// corners); the window's y runs down.
TEST(ViewCamera, WindowPointsInPlanAreGroundPoints)
{
  EyeHost host;
  host.eye = {-12, -3, -50, 90, 0, 0};
  CViewCamera camera(&host, nullptr);
  camera.OnSize(0, 501, 301);
  camera.SetViewType(CViewCamera::kPlan);
  camera.SetFarPlane(100, 100);
  camera.Apply();
  double centre[3] = {250, 150, 0};
  ASSERT_TRUE(camera.WindowToWorld(centre));
  const double pixel = 50.0 / 301;  // |eye z| over the smaller side
  EXPECT_NEAR(centre[0], 12, pixel);
  EXPECT_NEAR(centre[1], 3, pixel);
  double above[3] = {250, 0, 0};
  ASSERT_TRUE(camera.WindowToWorld(above));
  EXPECT_GT(above[1], centre[1]);

  CViewCamera noWindow(&host, nullptr);
  double point[3] = {0, 0, 0};
  EXPECT_FALSE(noWindow.WindowToWorld(point));
}

}  // namespace
