// The report's road picture of the open-site sample at 600 x 700 (layout, background, primitives, result layers
// clipped to them, rulers), beside a GDI blit of the same 420 000 pixels in the same run. Target: the picture
// under 100 ms. The sample comes from the tests (build/artifacts/sample-open-territory.qorr5); another file may
// be named as the first argument.
#include "bench/sample_session.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "platform/mfc/gdiobj.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 700;

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
  BenchSampleSession open("tesmira-picture-bench");
  if (!open.Open(sample, 800, 600))
    return 1;
  g_core = open.core;
  g_core->Render(FALSE, TRUE);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
