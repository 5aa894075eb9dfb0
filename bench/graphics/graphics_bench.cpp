// Frame time of the interchange sample at 1280 x 800 in the host view: a plain frame (clear, camera, the
// existing scene) beside a rebuild pass (the same frame after rebuilding what it draws). Both sides are timed
// the same way, taking turns, each run ending with the frame in the window's pixels, and both report the median
// of the same number of runs. The two frames leave the same picture, which is checked and printed.
//
// The sample comes from the tests (build/artifacts/sample-interchange.qorr5); another file may be named as the
// first argument.
#include "geometry/mesh/calc_surface.h"
#include "graphics/core/graphic_core_full.h"
#include "model/primitive_services.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/gdi/surface.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"
#include "tests/graphics/view_host.h"
#include "document/qor_road_doc.h"
#include "document/trace_log.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kRuns = 15;

class BenchShell : public Shell::CShellServices {
public:
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  std::string folder;
};

double Milliseconds(const std::function<void()>& frame)
{
  const auto start = std::chrono::steady_clock::now();
  frame();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> times)
{
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
}

std::vector<std::uint32_t> Pixels(const gdi::Surface& s)
{
  std::vector<std::uint32_t> out;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      out.push_back(s.Pixel(x, y) & 0xFFFFFF);
  return out;
}

}  // namespace

int main(int argc, char** argv)
{
  const std::string sample = argc > 1 ? argv[1] : TESMIRA_DEFAULT_SAMPLE;
  if (!std::filesystem::exists(sample)) {
    std::fprintf(stderr, "no sample project at %s (the tests make it: run graphics_gl_tests)\n", sample.c_str());
    return 1;
  }
  CWinApp app("Tesmira Road");
  res::RegisterModules();
  qorsrv::RegisterServerClasses();
  BenchShell shell;
  shell.folder = (std::filesystem::temp_directory_path() / "tesmira-graphics-bench/").string();
  std::filesystem::create_directories(shell.folder);
  // A new project takes its luminaire from the catalogue in the data folder.
  if (!std::filesystem::exists(shell.folder + "QorRoad.qord"))
    qorsrv::BuildStarterCatalogue(shell.folder + "QorRoad.qord",
                                  TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  Shell::SetShellServices(&shell);
  CGeometryPrimitiveServices surfaces;
  ObjectModel::SetPrimitiveServices(&surfaces);
  InstallGraphicCore();
  {
    auto document = std::make_unique<CQorRoadDoc>();
    if (!document->OnNewDocument()) {
      std::fprintf(stderr, "no new project could be made\n");
      return 1;
    }
    auto view = std::make_unique<CTestHostView>(document->GetGraphicCore());
    if (!view->CreateHost(kWidth, kHeight) || !document->OnOpenDocument(sample.c_str())) {
      std::fprintf(stderr, "the sample could not be opened in the view\n");
      return 1;
    }
    auto& core = *dynamic_cast<CGraphicCoreFull*>(document->GetGraphicCore());
    core.GetCamera()->SetViewType(CViewCamera::kPlan);
    core.GetCamera()->ResetCurrentView();

    // The two kinds of frame take turns, so that whatever else the machine does falls on both alike.
    const auto plainFrame = [&] { core.Render(FALSE, FALSE); };
    const auto rebuildFrame = [&] { core.Render(FALSE, TRUE); };
    plainFrame();
    rebuildFrame();
    std::vector<double> plainTimes, rebuildTimes;
    std::vector<std::uint32_t> plainPicture, rebuildPicture;
    for (int k = 0; k < kRuns; ++k) {
      plainTimes.push_back(Milliseconds(plainFrame));
      plainPicture = Pixels(*view->Pixels());
      rebuildTimes.push_back(Milliseconds(rebuildFrame));
      rebuildPicture = Pixels(*view->Pixels());
    }
    const double plain = Median(plainTimes);
    const double rebuild = Median(rebuildTimes);
    const std::uint32_t background = plainPicture.front();
    const auto drawn = std::count_if(plainPicture.begin(), plainPicture.end(),
                                     [background](std::uint32_t p) { return p != background; });

    std::printf("interchange sample, %d x %d, median of %d runs\n", kWidth, kHeight, kRuns);
    std::printf("  plain frame    %8.2f ms\n", plain);
    std::printf("  rebuild pass   %8.2f ms\n", rebuild);
    std::printf("  plain / rebuild %.3f (target at most 0.200)\n", plain / rebuild);
    std::printf("  pixels drawn over the background: %ld; same picture both ways: %s\n", static_cast<long>(drawn),
                plainPicture == rebuildPicture ? "yes" : "NO");
    document.reset();
    view.reset();
    if (plainPicture != rebuildPicture)
      return 1;
  }
  ObjectModel::SetPrimitiveServices(nullptr);
  SetGraphicCoreFactory(nullptr);
  Shell::SetShellServices(nullptr);
  return 0;
}
