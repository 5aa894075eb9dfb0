// The report's road picture of the open-site sample at 600 x 700 (layout, background, primitives, result layers
// clipped to them, rulers), beside a GDI blit of the same 420 000 pixels in the same run. Target: the picture
// under 100 ms. The sample comes from the tests (build/artifacts/sample-open-territory.qorr5); another file may
// be named as the first argument.
#include "document/qor_road_doc.h"
#include "geometry/mesh/calc_surface.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "model/primitive_services.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/gdiobj.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"
#include "tests/graphics/view_host.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 700;

class BenchShell : public Shell::CShellServices {
public:
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  std::string folder;
};

CGraphicCoreFull* g_core = nullptr;

void BM_OpenSitePicture(benchmark::State& state)
{
  CRoadPictureRenderer renderer(g_core);
  for (auto _ : state) {
    CBitmap bitmap;
    if (!renderer.Render(kPictureFreeForm | kPictureAllGroups | kPictureLegend, &bitmap, kWidth, kHeight, nullptr)) {
      state.SkipWithError("no picture");
      return;
    }
    benchmark::DoNotOptimize(bitmap.GetSafeHandle());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_OpenSitePicture)->Unit(benchmark::kMillisecond);

struct BitmapDC {
  BitmapDC()
  {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~BitmapDC()
  {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
};

void BM_BlitSamePixelCount(benchmark::State& state)
{
  BitmapDC source, dest;
  for (auto _ : state) {
    BitBlt(dest.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BlitSamePixelCount)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  const std::string sample = argc > 1 ? argv[1] : TESMIRA_DEFAULT_SAMPLE;
  if (!std::filesystem::exists(sample)) {
    std::fprintf(stderr, "no sample project at %s (the tests make it: run graphics_gl_tests)\n", sample.c_str());
    return 1;
  }
  CWinApp app("Tesmira Road");
  res::RegisterModules();
  qorsrv::RegisterServerClasses();
  BenchShell shell;
  shell.folder = (std::filesystem::temp_directory_path() / "tesmira-picture-bench/").string();
  std::filesystem::create_directories(shell.folder);
  if (!std::filesystem::exists(shell.folder + "QorRoad.qord"))
    qorsrv::BuildStarterCatalogue(shell.folder + "QorRoad.qord",
                                  TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
  Shell::SetShellServices(&shell);
  CGeometryPrimitiveServices surfaces;
  ObjectModel::SetPrimitiveServices(&surfaces);
  InstallGraphicCore();
  int result = 0;
  {
    auto document = std::make_unique<CQorRoadDoc>();
    auto view = std::make_unique<CTestHostView>(document->GetGraphicCore());
    if (!document->OnNewDocument() || !view->CreateHost(800, 600) || !document->OnOpenDocument(sample.c_str())) {
      std::fprintf(stderr, "the sample could not be opened in the view\n");
      result = 1;
    } else {
      g_core = dynamic_cast<CGraphicCoreFull*>(document->GetGraphicCore());
      g_core->Render(FALSE, TRUE);
      benchmark::RunSpecifiedBenchmarks();
    }
    document.reset();
    view.reset();
  }
  benchmark::Shutdown();
  ObjectModel::SetPrimitiveServices(nullptr);
  SetGraphicCoreFactory(nullptr);
  Shell::SetShellServices(nullptr);
  return result;
}
