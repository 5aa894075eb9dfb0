// The open-site sample through the freely shaped drawer in plan view: with results, carriageway primitives show
// the results and no colour of their own, and the area's background shows where no result may lie.
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdlib>

namespace {

bool Near(std::uint32_t pixel, COLORREF c)
{
  const int want[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  const int got[3] = {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
  for (int i = 0; i < 3; ++i)
    if (std::abs(want[i] - got[i]) > 1)
      return false;
  return true;
}

TEST_F(CoreTest, OpenSiteResultsShowOnlyOverTheirPrimitives)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(800, 600);
  ASSERT_TRUE(document->OnOpenDocument(SampleCopy(kSamples[1]).c_str()));
  document->SetViewMode(0x202);
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  Core().GetCamera()->ResetCurrentView();
  Core().Render(FALSE, TRUE);
  Core().GetCamera()->Apply();
  double modelView[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const gdi::Surface& pixels = *view->Pixels();
  auto colourAt = [&](const double point[3]) {
    double wx = 0, wy = 0, wz = 0;
    gluProject(point[0], point[1], point[2], modelView, projection, viewport, &wx, &wy, &wz);
    return pixels.Pixel(static_cast<int>(wx), pixels.Height() - 1 - static_cast<int>(wy)) & 0xFFFFFF;
  };
  EXPECT_FALSE(view->SavePicture("drawer-open-site-plan.png").empty());

  const COLORREF background = CScenePalette::GetInstance()->GetColorRef(kColorGap);
  // Without the stencil the results would cover the whole site; with it the background shows between.
  int uncovered = 0;
  const double length = *ActiveArea()->GetLength(), width = *ActiveArea()->GetWidth();
  for (double x = -length / 2 + 0.5; x < length / 2; x += 1)
    for (double y = -width / 2 + 0.5; y < width / 2; y += 1) {
      const double point[3] = {x, y, 0};
      uncovered += Near(colourAt(point), background) ? 1 : 0;
    }
  EXPECT_GT(uncovered, 10);
  int covered = 0;
  ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if ((*p->GetState() & ObjectModel::kStateShown) == 0 || ObjectModel::IsPolygonShape(*p->GetShape()))
      continue;
    double centre[3];
    p->GetCentre(centre);
    const std::uint32_t pixel = colourAt(centre);
    _PREF_OF_COLOR own{};
    p->GetDrawColour(&own);
    const COLORREF ownColour = RGB(own.r * 255, own.g * 255, own.b * 255);
    if (*p->GetMembership() == ObjectModel::kMemberCarriageway) {
      EXPECT_FALSE(Near(pixel, background)) << std::hex << pixel;
      EXPECT_FALSE(Near(pixel, ownColour)) << std::hex << pixel;
      ++covered;
    }
  }
  EXPECT_GT(covered, 0);
}

}  // namespace
