// Blitting a full-HD bitmap beside memcpy of the same bytes, and many short texts through DrawText beside the same
// glyphs drawn by Cairo itself. Targets: the copy blit at least half memcpy's speed, text at least a third of
// Cairo's.
#include "platform/gdi/fonts.h"
#include "platform/gdi/windraw.h"

#include <benchmark/benchmark.h>
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kTexts = 10000;

struct BitmapDC {
  explicit BitmapDC(HDC like)
  {
    dc = CreateCompatibleDC(like);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biBitCount = 32;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
    std::memset(bits, 0x5A, static_cast<std::size_t>(kWidth) * kHeight * 4);
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

HDC Screen()
{
  static HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  return screen;
}

void BM_Memcpy(benchmark::State& state)
{
  std::vector<std::uint32_t> a(static_cast<std::size_t>(kWidth) * kHeight, 1);
  std::vector<std::uint32_t> b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(a.size()) * 4);
}
BENCHMARK(BM_Memcpy);

void Blit(benchmark::State& state, DWORD rop)
{
  BitmapDC source(Screen());
  BitmapDC dest(Screen());
  for (auto _ : state) {
    BitBlt(dest.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, rop);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight * 4);
}

void BM_BitBltSrcCopy(benchmark::State& state) { Blit(state, SRCCOPY); }
BENCHMARK(BM_BitBltSrcCopy);

void BM_BitBltSrcInvert(benchmark::State& state) { Blit(state, SRCINVERT); }
BENCHMARK(BM_BitBltSrcInvert);

const char kLabel[] = "Опора 12";  // cp1251, as the program's labels are

void BM_DrawText(benchmark::State& state)
{
  BitmapDC target(Screen());
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, "Tahoma");
  HGDIOBJ old = SelectObject(target.dc, font);
  SetBkMode(target.dc, TRANSPARENT);
  for (auto _ : state) {
    for (int i = 0; i < kTexts; ++i) {
      RECT r{(i * 37) % (kWidth - 80), (i * 13) % (kHeight - 20), 0, 0};
      r.right = r.left + 80;
      r.bottom = r.top + 20;
      DrawTextA(target.dc, kLabel, -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kTexts);
  SelectObject(target.dc, old);
  DeleteObject(font);
}
BENCHMARK(BM_DrawText)->Unit(benchmark::kMillisecond);

void BM_CairoShowText(benchmark::State& state)
{
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, 0xFFFFFFFF);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                                 CAIRO_FORMAT_RGB24, kWidth, kHeight, kWidth * 4);
  cairo_t* cr = cairo_create(surface);
  int index = 0;
  const std::string file = gdi::MatchFontFile("Tahoma", false, false, &index);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
  FcPatternAddInteger(pattern, FC_INDEX, index);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
  FcPatternDestroy(pattern);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, 11);
  cairo_set_source_rgb(cr, 0, 0, 0);
  const char* utf8 = "\xD0\x9E\xD0\xBF\xD0\xBE\xD1\x80\xD0\xB0 12";  // the same label in UTF-8
  for (auto _ : state) {
    for (int i = 0; i < kTexts; ++i) {
      cairo_move_to(cr, (i * 37) % (kWidth - 80), (i * 13) % (kHeight - 20) + 11);
      cairo_show_text(cr, utf8);
    }
    cairo_surface_flush(surface);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kTexts);
  cairo_font_face_destroy(face);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_CairoShowText)->Unit(benchmark::kMillisecond);

}  // namespace
