// The sample projects through the render core: each loaded and drawn in plan and in 3D in the host view, with
// its results, the axes and the legend, left as pictures for a person; each copied to the clipboard as the
// window shows it; and each loaded, saved and loaded again with the core's part of the file unchanged.
#include "graphics/core/clipboard_copy.h"
#include "model/version.h"
#include "platform/gdi/surface.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/memfile.h"
#include "platform/user/clipboard.h"
#include "platform/user/global_memory.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace {

// The core's part as it writes it now.
std::vector<std::uint8_t> CorePart(CGraphicCoreFull& core)
{
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    core.Serialize(ar, ObjectModel::kCurrentFormatVersion);
    ar.Close();
  }
  const BYTE* data = file.GetData();
  return std::vector<std::uint8_t>(data, data + file.GetLength());
}

class CoreSamples : public CoreTest, public ::testing::WithParamInterface<Sample> {};

TEST_P(CoreSamples, DrawnInPlanAndIn3DWithResultsAxesAndLegend)
{
  const Sample& sample = GetParam();
  // As the program starts: the document, its view, then the file opened into them.
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(800, 600);
  ASSERT_EQ(view->initResult, 1) << "the legend font";
  ASSERT_TRUE(document->OnOpenDocument(SampleCopy(sample).c_str()));
  CGraphicCoreFull& core = Core();
  ASSERT_NE(core.GetCalcAreaManager(), nullptr);
  EXPECT_FALSE(core.GetCalcAreaManager()->GetAreas().empty() && !core.IsInterchange()) << "results are shown";
  // The straight sample was saved by the document tests' core, which lays the strips on the results' own axes;
  // shown again, they lie on the section the builder laid out, between its poles.
  core.Render(TRUE, TRUE);

  const struct {
    DWORD type;
    const char* picture;
  } views[] = {{CViewCamera::kPlan, "view-plan-"}, {CViewCamera::kPerspective, "view-3d-"}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.picture);
    CViewCamera& camera = *core.GetCamera();
    // As the view's commands do: the document's word first, then the camera, whose change rebuilds the scene.
    document->SetViewMode(v.type == CViewCamera::kPlan ? 0x202 : v.type);
    camera.SetViewType(v.type);
    camera.ResetCurrentView();  // the eye from where the whole area shows
    ASSERT_NE(camera.GetEye(), nullptr);
    EXPECT_LT(camera.GetEye()->z, 0);
    if (v.type == CViewCamera::kPlan && core.IsStraightRoad()) {
      // The plan centres on the calculation section, where the results lie.
      for (const auto& area : core.GetCalcAreaManager()->GetAreas())
        EXPECT_NEAR(area->m_position[0], -camera.GetEye()->x, 1e-9);
    }
    if (v.type == CViewCamera::kPerspective) {
      // As a person looks at it: turned down from the preset's low angle and stepped in.
      camera.GetEye()->angle1 = 35;
      // The straight road's calculation section lies between the eye and the road's middle: a short step keeps it.
      const int steps = std::string(sample.name) == "straight" ? 2 : 4;
      for (int step = 0; step < steps; ++step)
        camera.PanZoomStep(0, 0, -1);
    }
    core.Render(FALSE, FALSE);
    const std::string path = view->SavePicture(std::string(v.picture) + sample.name + ".png");
    EXPECT_FALSE(path.empty());

    const gdi::Surface& s = *view->Pixels();
    const float* b = core.m_background;
    auto byte = [](float c) { return static_cast<std::uint32_t>(c * 255 + 0.5f); };
    const std::uint32_t background = byte(b[0]) << 16 | byte(b[1]) << 8 | byte(b[2]);
    int drawn = 0, legendRows = 0;
    std::set<std::uint32_t> colours;
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) {
        const std::uint32_t p = s.Pixel(x, y) & 0xFFFFFF;
        // The scene: everything above the legend and the axes.
        if (y < s.Height() - 100) {
          drawn += p != background ? 1 : 0;
          colours.insert(p);
        }
        // Where the legend stands: from y = 30 upwards, right of the axes.
        if (x >= 130 && y >= s.Height() - 60 && y < s.Height() - 30 && p != background)
          ++legendRows;
      }
    }
    EXPECT_GT(drawn, s.Width() * s.Height() / 50) << "the results cover part of the view: " << drawn;
    EXPECT_GT(colours.size(), 8u) << "a colour scale, not a single fill";
    EXPECT_GT(legendRows, 100) << "the legend";
    // The axes: red, green and blue from the lower left corner.
    int axisColours = 0;
    for (std::uint32_t want : {0xFF0000u, 0x00FF00u, 0x0000FFu}) {
      bool found = false;
      for (int y = s.Height() - 100; y < s.Height() && !found; ++y)
        for (int x = 0; x < 100 && !found; ++x)
          found = (s.Pixel(x, y) & 0xFFFFFF) == want;
      axisColours += found ? 1 : 0;
    }
    EXPECT_GE(axisColours, 2) << "axes (one may point at the viewer)";
  }
}

// "Снимок экрана": the clipboard's picture is the window's frame, pixel for pixel, and the window keeps it.
TEST_P(CoreSamples, AScreenshotHoldsTheFramesPixels)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(203, 150);  // an odd width: rows of the copy are padded
  ASSERT_TRUE(document->OnOpenDocument(SampleCopy(GetParam()).c_str()));
  CGraphicCoreFull& core = Core();
  core.GetCamera()->SetViewType(CViewCamera::kPlan);
  core.GetCamera()->ResetCurrentView();
  core.Render(FALSE, FALSE);
  const gdi::Surface& s = *view->Pixels();
  std::vector<std::uint32_t> shown;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      shown.push_back(s.Pixel(x, y) & 0xFFFFFF);

  ASSERT_TRUE(CopyViewToClipboard(&core, view->GetSafeHwnd(), 1));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HGLOBAL memory = GetClipboardData(CF_DIB);
  ASSERT_NE(memory, nullptr);
  std::vector<BYTE> dib(GlobalSize(memory));
  std::memcpy(dib.data(), GlobalLock(memory), dib.size());
  GlobalUnlock(memory);
  CloseClipboard();

  const int width = s.Width(), height = s.Height();
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  ASSERT_EQ(dib.size(), 40 + stride * static_cast<size_t>(height));
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    const BYTE* row = dib.data() + 40 + stride * static_cast<size_t>(height - 1 - y);  // bottom row first
    for (int x = 0; x < width; ++x) {
      const BYTE* p = row + 3 * x;
      const std::uint32_t copied = std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
      differing += copied != shown[static_cast<size_t>(y) * width + x] ? 1 : 0;
    }
  }
  EXPECT_EQ(differing, 0);
  std::vector<std::uint32_t> after;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      after.push_back(s.Pixel(x, y) & 0xFFFFFF);
  EXPECT_EQ(after, shown) << "the copy's frame is never shown";
}

TEST_P(CoreSamples, LoadSaveLoadKeepsTheCorePart)
{
  const Sample& sample = GetParam();
  const std::string path = SampleCopy(sample);
  ASSERT_NO_FATAL_FAILURE(MakeDocument(path));
  const std::vector<std::uint8_t> first = CorePart(Core());
  ASSERT_FALSE(first.empty());
  // The part is the end of the file.
  const std::vector<std::uint8_t> file = ReadFile(path);
  ASSERT_GE(file.size(), first.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), file.end() - static_cast<std::ptrdiff_t>(first.size())));

  const std::string again = std::filesystem::path(::testing::TempDir()) / (std::string("core-again-") + sample.name + ".qorr5");
  ASSERT_TRUE(document->OnSaveDocument(again.c_str()));
  ASSERT_NO_FATAL_FAILURE(MakeDocument(again));
  EXPECT_EQ(CorePart(Core()), first);
  const std::vector<std::uint8_t> saved = ReadFile(again);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), saved.end() - static_cast<std::ptrdiff_t>(first.size())));
}

INSTANTIATE_TEST_SUITE_P(Samples, CoreSamples, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                           std::string name = info.param.name;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
