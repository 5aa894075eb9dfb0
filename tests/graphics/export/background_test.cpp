// A background drawing from ezdxf under the open-site sample: drawn beneath the site, a layer switched off gone
// from the picture, a click near a line end snapped to it, and the project with its drawing saved and opened
// again showing the same frame.
#include "outside/grafocore/grafocore.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/outside/grafocore/dxf_test_support.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

using testsupport::ArtifactPath;

class BackgroundDrawing : public CoreTest {
protected:
  void SetUp() override
  {
    CoreTest::SetUp();
    grafocore::RegisterLibrary();
    grafocore::DeleteObjects();
  }
  void TearDown() override
  {
    CoreTest::TearDown();
    grafocore::DeleteObjects();
  }

  void Open(const std::string& path)
  {
    ASSERT_NO_FATAL_FAILURE(MakeDocument());
    MakeView(640, 480);
    ASSERT_TRUE(document->OnOpenDocument(path.c_str()));
    document->SetViewMode(0x202);
    Core().GetCamera()->SetViewType(CViewCamera::kPlan);
    Core().GetCamera()->ResetCurrentView();
  }

  std::vector<std::uint32_t> Frame()
  {
    Core().Render(FALSE, TRUE);
    Core().Render(FALSE, FALSE);
    const gdi::Surface& s = *view->Pixels();
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        pixels.push_back(s.Pixel(x, y) & 0xFFFFFF);
    return pixels;
  }

  static int Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
  {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
      n += a[i] != b[i];
    return n;
  }
};

const Sample& OpenSite()
{
  for (const Sample& s : kSamples)
    if (std::string(s.name) == "open-territory")
      return s;
  return kSamples[0];
}

TEST_F(BackgroundDrawing, DrawnUnderTheSiteItsLayersSwitchedAndItsLineEndsSnapped)
{
  const std::string drawing = ArtifactPath("background-sample.dxf");
  // Two and a half times the size of the reader's sample, so it reaches beyond the site on every side.
  ASSERT_EQ(testsupport::RunPython("make_sample.py", {drawing, "R2000", "2.5"}, nullptr), 0);
  ASSERT_NO_FATAL_FAILURE(Open(SampleCopy(OpenSite())));
  const std::vector<std::uint32_t> without = Frame();

  int id = 0;
  Core().OpenDXFFile(drawing.c_str(), &id);
  ASSERT_NE(id & 0x1000, 0);
  *ActiveArea()->GetUnderlayId() = id;
  const std::vector<std::uint32_t> with = Frame();
  EXPECT_FALSE(view->SavePicture("background-open-territory.png").empty());
  const int drawn = Differing(without, with);
  EXPECT_GT(drawn, 500) << "the drawing shows around and between the site's shapes";

  ASSERT_TRUE(grafocore::SetLayerShown("Дороги", false));
  const std::vector<std::uint32_t> roadsOff = Frame();
  EXPECT_FALSE(view->SavePicture("background-open-territory-roads-off.png").empty());
  EXPECT_GT(Differing(with, roadsOff), 100) << "the roads' lines are gone";
  EXPECT_LT(Differing(without, roadsOff), drawn);
  ASSERT_TRUE(grafocore::SetLayerShown("Дороги", true));
  Frame();

  // A line end of the drawing, (100, -50) in its own coordinates, where the last frame put it on the screen.
  double centre[3] = {0, 0, 0};
  Core().GetProjectPosition(&centre[0], &centre[1], &centre[2]);
  const double end[2] = {100 - centre[0], -50 - centre[1]};
  double model[16], projection[16];
  int viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  double wx, wy, wz;
  ASSERT_EQ(gluProject(end[0], end[1], -0.05, model, projection, viewport, &wx, &wy, &wz), GL_TRUE);
  const int clickX = static_cast<int>(wx) + 3, clickY = viewport[3] - static_cast<int>(wy) - 2;
  double snapped[3] = {0, 0, 9};
  EXPECT_EQ(Core().ObjectSnap(0, clickX, clickY, &snapped[0], &snapped[1], &snapped[2]), 1);
  EXPECT_NEAR(snapped[0], end[0], 1e-9);
  EXPECT_NEAR(snapped[1], end[1], 1e-9);
  EXPECT_EQ(snapped[2], 0);
  double untouched[3] = {1, 2, 3};
  EXPECT_EQ(Core().ObjectSnap(0, clickX + 40, clickY + 40, &untouched[0], &untouched[1], &untouched[2]), 0);
  EXPECT_EQ(untouched[0] + untouched[1] + untouched[2], 6) << "far from every snap point";

  // Saved with its drawing, opened again (the library's drawings gone meanwhile): the same frame.
  const std::string project = ArtifactPath("background-open-territory.qorr5");
  ASSERT_TRUE(document->OnSaveDocument(project.c_str()));
  const std::vector<std::uint32_t> before = Frame();
  document.reset();
  view.reset();
  grafocore::DeleteObjects();
  ASSERT_NO_FATAL_FAILURE(Open(project));
  EXPECT_EQ(*ActiveArea()->GetUnderlayId(), id);
  EXPECT_EQ(Differing(before, Frame()), 0);
}

}  // namespace
