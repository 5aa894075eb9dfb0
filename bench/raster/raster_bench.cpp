// A 4000 x 3000 24-bit BMP read from its file, centred on its canvas of 2048-pixel tiles and cut into them (no
// GL context: the textures are not made), beside a GDI blit of the same 12 million pixels in the same run.
// Target: reading and tiling under 1 s. The tiling's canvas and tile count are printed as counters.
#include "graphics/raster/dib_from_file.h"
#include "platform/gdi/wingdi.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kTextureLimit = 2048;

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    out[at + i] = (v >> (8 * i)) & 0xFF;
}

const std::string& BmpFile()
{
  static const std::string path = [] {
    const std::string file = "/tmp/raster-bench-4000x3000.bmp";
    const std::size_t stride = kWidth * 3;  // already whole words
    std::vector<std::uint8_t> bytes(54 + stride * kHeight, 0x7F);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 10, 54);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, kWidth);
    Put32(bytes, 22, kHeight);
    bytes[26] = 1, bytes[27] = 0;
    bytes[28] = 24, bytes[29] = 0;
    for (std::size_t at = 30; at < 54; ++at)
      bytes[at] = 0;
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return file;
  }();
  return path;
}

void BM_ReadAndTileRaster(benchmark::State& state)
{
  const std::string& path = BmpFile();
  std::size_t tiles = 0;
  int canvas = 0;
  for (auto _ : state) {
    CDibFromFile raster;
    if (!raster.LoadBmp(path.c_str(), nullptr)) {
      state.SkipWithError("the BMP was not read");
      return;
    }
    raster.PadToTiles(kTextureLimit);
    raster.SetGeometry(400, 300);
    raster.MakeTiles();
    tiles = raster.GetTiles().size();
    canvas = raster.GetWidth();
    benchmark::DoNotOptimize(raster.GetPixels());
  }
  state.counters["tiles"] = static_cast<double>(tiles);
  state.counters["canvas width"] = canvas;
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}
BENCHMARK(BM_ReadAndTileRaster)->Unit(benchmark::kMillisecond);

struct BitmapDC {
  BitmapDC()
  {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
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
  void* bits = nullptr;
};

void BM_BlitSamePixelCount(benchmark::State& state)
{
  BitmapDC source, dest;
  for (auto _ : state) {
    BitBlt(dest.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}
BENCHMARK(BM_BlitSamePixelCount)->Unit(benchmark::kMillisecond);

}  // namespace
