// A toolbar strip painted by the program's command-bar theme (Whidbey) beside one full-frame FillRect in the
// same run: 60 controls across a 1920-pixel strip, 40 of them with icons, the rest captions, in mixed states
// over the bar's gradient. Target: the strip costs at most three fills.
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/theme_office2003.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kControls = 60;
constexpr int kIcons = 40;
constexpr int kStripHeight = 26;

struct Surface {
  Surface(int width, int height)
  {
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    dc.Attach(CreateCompatibleDC(screen));
    bitmap.Attach(CreateCompatibleBitmap(screen, width, height));
    DeleteDC(screen);
    old = dc.SelectObject(&bitmap);
  }
  ~Surface() { dc.SelectObject(old); }
  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

// A 16 x 16 icon per command: a coloured square with a transparent corner.
void AddIcons(CTKImageManager& images)
{
  for (UINT id = 1; id <= kIcons; ++id) {
    Surface colour(16, 16);
    colour.dc.FillSolidRect(0, 0, 16, 16, RGB(20 + id * 5, 90, 200 - id * 3));
    CBitmap mask;
    mask.CreateBitmap(16, 16, 1, 1, nullptr);
    colour.dc.SelectObject(colour.old);
    ICONINFO info;
    info.hbmColor = static_cast<HBITMAP>(colour.bitmap.GetSafeHandle());
    info.hbmMask = static_cast<HBITMAP>(mask.GetSafeHandle());
    HICON icon = CreateIconIndirect(&info);
    colour.old = colour.dc.SelectObject(&colour.bitmap);
    images.SetIcon(CTKImageManagerIconHandle(icon), id);
    DestroyIcon(icon);
  }
}

void BM_FullFrameFillRect(benchmark::State& state)
{
  Surface frame(kWidth, kHeight);
  HBRUSH brush = CreateSolidBrush(RGB(236, 233, 216));
  const RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    FillRect(frame.dc.GetSafeHdc(), &all, brush);
    benchmark::ClobberMemory();
  }
  DeleteObject(brush);
  state.counters["pixels"] = static_cast<double>(kWidth) * kHeight;
}
BENCHMARK(BM_FullFrameFillRect)->Unit(benchmark::kMicrosecond);

void BM_WhidbeyToolbarStrip(benchmark::State& state)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  auto* pm = static_cast<TKPaintThemes::CTKOffice2003Theme*>(TKPaintManager());
  CTKImageManager images;
  AddIcons(images);
  Surface strip(kWidth, kStripHeight);
  const int cell = kWidth / kControls;
  const CString caption("Edit");
  int drawnIcons = 0;
  for (auto _ : state) {
    drawnIcons = 0;
    const CRect bar(0, 0, kWidth, kStripHeight);
    TKDrawHelpers().GradientFillColor(&strip.dc, &bar, pm->m_grcToolBar, FALSE);
    CFont* old = strip.dc.SelectObject(pm->GetCommandBarFont(tkBarTop, FALSE));
    for (int i = 0; i < kControls; ++i) {
      const CRect rc(i * cell + 2, 2, (i + 1) * cell - 2, kStripHeight - 2);
      const int selected = i % 7 == 0 ? 1 : 0;
      const BOOL checked = i % 11 == 0;
      const BOOL enabled = i % 13 != 0;
      pm->DrawControlState(&strip.dc, rc, enabled, selected, 0, checked, FALSE, tkBarTop);
      if (i < kIcons) {
        CTKImageManagerIcon* icon = images.GetImage(static_cast<UINT>(i + 1), 16);
        pm->DrawImage(&strip.dc, CPoint(rc.left + 3, rc.top + 3), CSize(16, 16), icon, selected, 0, enabled, checked,
                      FALSE, TRUE);
        ++drawnIcons;
      } else {
        pm->DrawControlCaption(&strip.dc, caption, rc, FALSE, TRUE, FALSE, FALSE, 23, 22, FALSE, FALSE);
      }
    }
    strip.dc.SelectObject(old);
    benchmark::ClobberMemory();
  }
  state.counters["controls"] = kControls;
  state.counters["icons"] = drawnIcons;
  CTKPaintManager::Done();
}
BENCHMARK(BM_WhidbeyToolbarStrip)->Unit(benchmark::kMicrosecond);

}  // namespace
