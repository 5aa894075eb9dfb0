// Plan markers of a selected group: drawn only in plan view of an open site, in the active-group colour; a line
// group of two poles draws its two discs, the line between them and the dashed piece beyond the second.
#include "geometry/display_host.h"
#include "geometry/view_camera.h"
#include "graphics/core/scene_palette.h"
#include "graphics/scene/groups.h"
#include "model/iarea.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct FakeCore : ICalcAreaHost {
  BOOL straightRoad = FALSE;
  int refreshes = 0;
  CRoadLayout layout;
  CColorLevelArray levels;
  IVisualOpt* GetVisualOptions() override { return nullptr; }
  BOOL GetActiveAreaSize(double*, double*) override { return FALSE; }
  _CALC_RESULTS* GetActiveResults() override { return nullptr; }
  BOOL IsCalcAreaIdFree(int, BOOL) override { return TRUE; }
  void RefreshProjectState() override { ++refreshes; }
  BOOL IsStraightRoadActive() override { return straightRoad; }
  BOOL GetUserGridFlag() override { return FALSE; }
  const CRoadLayout& GetRoadLayout() override { return layout; }
  const CColorLevelArray& GetColorLevels() override { return levels; }
  int SegmentTouchesActivePrimitive(const double*, const double*) override { return 0; }
};

class Pole : public CObject3D {};

// Looks down on x -2..18, y -10..10 (10 pixels a metre) and marks the pixels in the active-group colour.
struct Markers {
  std::vector<bool> mask = std::vector<bool>(200 * 200);
  int count = 0;
  bool At(double x, double y) const { return mask[static_cast<int>((y + 10) * 10) * 200 + static_cast<int>((x + 2) * 10)]; }
};

Markers MarkerPixels(CGroup3D& group)
{
  constexpr int kSize = 200;
  GlSurface surface(kSize, kSize);
  // Without a document the options' colours are absent (black, like the background): give the marker its own.
  CScenePalette::GetInstance()->Reset();
  CScenePalette::GetInstance()->SetColor(kColorActiveGroupMarker, 1.0f, 0.6f, 0.0f, 1.0f);
  surface.Clear(0, 0, 0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-2, 18, -10, 10, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  group.Draw();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  surface.Show();
  float r = 0, g = 0, b = 0;
  CScenePalette::GetInstance()->GetColor(kColorActiveGroupMarker, &r, &g, &b);
  const int want[3] = {static_cast<int>(r * 255 + 0.5), static_cast<int>(g * 255 + 0.5),
                       static_cast<int>(b * 255 + 0.5)};
  Markers m;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const std::uint32_t c = surface.ColourAt(x, y);
      const int got[3] = {static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
      if (std::abs(got[0] - want[0]) <= 2 && std::abs(got[1] - want[1]) <= 2 && std::abs(got[2] - want[2]) <= 2)
      {
        ++m.count;
        m.mask[y * kSize + x] = true;
      }
    }
  return m;
}

TEST(GroupMarkers, OnlySelectedGroupsInPlanOfOpenSites)
{
  FakeCore core;
  CViewCamera camera;
  _DEVCPOSITION eye{0, 0, 100, 0, 0, 0};  // discs of 0.35 m
  camera.SetEye(&eye);
  CViewCamera* saved = CurrentViewCamera();
  CurrentViewCamera() = &camera;

  CGroup3DLine line;
  line.ResizeTo(1, 1, 2);
  line.TurnTo(0, 0, 0);  // along +x: the dash ends 2 m beyond the second pole
  auto* first = new Pole;
  first->SetPosition(0.05, 0.05, 0);  // on pixel centres
  auto* second = new Pole;
  second->SetPosition(10.05, 0.05, 0);
  line.Add(first);
  line.Add(second);

  struct Case {
    const char* what;
    bool selected;
    DWORD viewType;
    BOOL straightRoad;
    bool drawn;
  } cases[] = {
      {"selected in plan of an open site", true, CViewCamera::kPlan, FALSE, true},
      {"not selected", false, CViewCamera::kPlan, FALSE, false},
      {"perspective view", true, CViewCamera::kPerspective, FALSE, false},
      {"straight road", true, CViewCamera::kPlan, TRUE, false},
  };
  Markers drawn;
  for (const Case& c : cases) {
    // The state rule keeps a word that shares a bit with the request: deselect with the lit look, as the builder does.
    line.SetState(c.selected ? CSelectableObject::kSelected : CSelectableObject::kLampLook);
    core.straightRoad = c.straightRoad;
    scene::RecordedGroupView() = {c.viewType, &core};
    const Markers m = MarkerPixels(line);
    if (c.drawn) {
      drawn = m;
    } else {
      EXPECT_EQ(m.count, 0) << c.what;
    }
  }
  EXPECT_EQ(core.refreshes, 2);  // asked only for selected groups in plan view
  // Discs on both poles and at the dash's end 2 m on, the line between the poles, nothing further out.
  EXPECT_TRUE(drawn.At(0.05, 0.05) && drawn.At(10.05, 0.05) && drawn.At(12.05, 0.05));
  EXPECT_TRUE(drawn.At(5.05, 0.05) && drawn.At(7.55, 0.05));
  EXPECT_TRUE(drawn.At(0.25, 0.25) && drawn.At(12.25, -0.15));
  EXPECT_FALSE(drawn.At(13.05, 0.05) || drawn.At(15.05, 0.05) || drawn.At(5.05, 1.05) || drawn.At(-1.05, 0.05));

  CGroup3DCircle empty;
  empty.SetState(CSelectableObject::kSelected);
  scene::RecordedGroupView() = {CViewCamera::kPlan, &core};
  EXPECT_EQ(MarkerPixels(empty).count, 0);

  scene::RecordedGroupView() = {};
  CurrentViewCamera() = saved;
  camera.SetEye(nullptr);
}

}  // namespace
