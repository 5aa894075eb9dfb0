// The main frame's bars repainted whole in the program's theme (Whidbey) beside one FillRect of the same frame in
// the same run: the menu bar and four toolbars (34 buttons with icons) in the top dock row, the four dock rows
// printed with their bars. Target: the repaint costs at most three fills. Also the dock rows laid out again for one
// step of a frame resize (target: under 1 ms).
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr UINT kPrintClientAndChildren = 0x14;
constexpr int kButtonsPerBar[] = {10, 8, 6, 10};

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

// A 16 x 16 icon per command: a coloured square.
void AddIcons(int nCount)
{
  for (UINT id = 1; id <= static_cast<UINT>(nCount); ++id) {
    Surface colour(16, 16);
    colour.dc.FillSolidRect(0, 0, 16, 16, RGB(20 + id * 5, 90, 200 - id * 3));
    CBitmap mask;
    mask.CreateBitmap(16, 16, 1, 1, nullptr);
    colour.dc.SelectObject(colour.old);
    ICONINFO info;
    info.fIcon = TRUE;
    info.hbmColor = static_cast<HBITMAP>(colour.bitmap.GetSafeHandle());
    info.hbmMask = static_cast<HBITMAP>(mask.GetSafeHandle());
    HICON icon = CreateIconIndirect(&info);
    colour.old = colour.dc.SelectObject(&colour.bitmap);
    TKImageManager().SetIcon(CTKImageManagerIconHandle(icon), id);
    DestroyIcon(icon);
  }
}

class CBenchFrame : public CTKFrameWnd {
public:
  CBenchFrame()
  {
    Create(nullptr, "Тесмира", WS_OVERLAPPEDWINDOW, CRect(0, 0, kWidth, kHeight));
    InitCommandBars();
    m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST);
    CMenu menu;
    menu.CreateMenu();
    for (const char* title : {"&Файл", "&Правка", "&Вид", "&Расчёт", "&Справка"}) {
      CMenu popup;
      popup.CreatePopupMenu();
      popup.AppendMenu(MF_STRING, 57600, "&Создать");
      menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), title);
    }
    CTKMenuBar* pMenuBar = m_pCommandBars->SetMenu("Меню", 0);
    pMenuBar->LoadMenu(&menu, TRUE);
    menu.DestroyMenu();
    UINT id = 1;
    for (int nButtons : kButtonsPerBar) {
      CTKToolBar* pBar = m_pCommandBars->Add("Панель", tkBarTop);
      std::vector<UINT> ids;
      for (int i = 0; i < nButtons; ++i)
        ids.push_back(i == 4 ? 0 : id++);
      pBar->SetButtons(ids.data(), static_cast<int>(ids.size()));
    }
    ShowWindow(SW_SHOW);
    RecalcLayout();
  }
  ~CBenchFrame() override
  {
    m_pCommandBars->InternalRelease();
    m_pCommandBars = nullptr;
    DestroyWindow();
  }
  // Every dock row with its bars, and the view's place filled.
  void Repaint(CDC& dc)
  {
    CRect rcView;
    m_view.GetWindowRect(&rcView);
    ScreenToClient(&rcView);
    dc.FillSolidRect(rcView, RGB(250, 250, 246));
    for (int i = 0; i < 4; ++i) {
      CTKDockBar* pDockBar = m_pCommandBars->GetDockBar(i);
      CRect rc;
      pDockBar->GetWindowRect(&rc);
      ScreenToClient(&rc);
      CPoint ptOld = dc.SetViewportOrg(rc.TopLeft());
      pDockBar->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), kPrintClientAndChildren);
      dc.SetViewportOrg(ptOld);
    }
  }
  CTKCommandBars* CommandBars() const { return m_pCommandBars; }

protected:
  void PostNcDestroy() override {}

private:
  CWnd m_view;
};

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

void BM_MainFrameBarsRepaint(benchmark::State& state)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  AddIcons(34);
  CBenchFrame frame;
  Surface surface(kWidth, kHeight);
  for (auto _ : state) {
    frame.Repaint(surface.dc);
    benchmark::ClobberMemory();
  }
  int nControls = 0;
  for (int i = 0; i < frame.CommandBars()->GetCount(); ++i)
    nControls += frame.CommandBars()->GetAt(i)->GetControlCount();
  state.counters["bars"] = frame.CommandBars()->GetCount();
  state.counters["controls"] = nControls;
  state.counters["pixels"] = static_cast<double>(kWidth) * kHeight;
}
BENCHMARK(BM_MainFrameBarsRepaint)->Unit(benchmark::kMicrosecond);

void BM_DockRowsRelayoutPerResizeStep(benchmark::State& state)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  CBenchFrame frame;
  int nStep = 0;
  for (auto _ : state) {
    // Narrow enough at the low end that bars shorten and wrap.
    int cx = 500 + (nStep++ % 2) * 700;
    frame.SetWindowPos(nullptr, 0, 0, cx, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame.RecalcLayout();
  }
  state.counters["bars"] = frame.CommandBars()->GetCount();
}
BENCHMARK(BM_DockRowsRelayoutPerResizeStep)->Unit(benchmark::kMicrosecond);

}  // namespace
