// The bar state saved and loaded whole for the main frame's bars: the menu bar and four toolbars (34 buttons), each
// toolbar customised (a renamed button), so the customised bars' stream holds all five bars and goes to the profile
// with the layout in one write. Target: a save under 20 ms. The profile lives in a temporary folder.
#include "platform/base/profile.h"
#include "toolkit/commandbars/barstate.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/menubar.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kButtonsPerBar[] = {10, 8, 6, 10};

class CStateBenchFrame : public CTKFrameWnd {
public:
  CStateBenchFrame()
  {
    Create(nullptr, "Тесмира", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 800));
    InitCommandBars();
    CMenu menu;
    menu.CreateMenu();
    for (const char* title : {"&Файл", "&Правка", "&Вид", "&Расчёт", "&Справка"}) {
      CMenu popup;
      popup.CreatePopupMenu();
      popup.AppendMenu(MF_STRING, 57600, "&Создать");
      menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), title);
    }
    m_pCommandBars->SetMenu("Меню", 0)->LoadMenu(&menu, TRUE);
    menu.DestroyMenu();
    UINT id = 1;
    for (int nButtons : kButtonsPerBar) {
      CTKToolBar* pBar = m_pCommandBars->Add("Панель", tkBarTop);
      std::vector<UINT> ids;
      for (int i = 0; i < nButtons; ++i)
        ids.push_back(i == 4 ? 0 : id++);
      pBar->SetButtons(ids.data(), static_cast<int>(ids.size()));
      pBar->SetBarID(59400 + id);
      pBar->GetControls()->CreateOriginalControls();
      pBar->GetControl(0)->SetCustomCaption("Переименована");
    }
    ShowWindow(SW_SHOW);
    RecalcLayout();
  }
  ~CStateBenchFrame() override
  {
    m_pCommandBars->InternalRelease();
    m_pCommandBars = nullptr;
    DestroyWindow();
  }
  // The customise command makes the bars' contents part of the saved state.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
  {
    if (nID == TK_ID_CUSTOMIZE && nCode == CN_COMMAND)
      return TRUE;
    return CTKFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  }
  CTKCommandBars* CommandBars() const { return m_pCommandBars; }

protected:
  void PostNcDestroy() override {}
};

struct ProfileFolder {
  ProfileFolder()
  {
    path = (std::filesystem::temp_directory_path() / ("tesmira-barstate-bench-" + std::to_string(::getpid())))
               .string();
    std::filesystem::create_directories(path);
    ::setenv("TESMIRA_PROFILE_DIR", path.c_str(), 1);
    app.SetRegistryKey("Marvesta");
  }
  ~ProfileFolder()
  {
    ::unsetenv("TESMIRA_PROFILE_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
  CWinApp app{"Tesmira Road"};
};

void BM_BarStateSave(benchmark::State& state)
{
  ProfileFolder folder;
  CStateBenchFrame frame;
  BOOL bSaved = TRUE;
  for (auto _ : state)
    bSaved &= frame.CommandBars()->SaveBarState("CommandBars");
  BYTE* pData = nullptr;
  UINT nBytes = 0;
  folder.app.GetProfileBinary("CommandBars-Controls", "Controls", &pData, &nBytes);
  delete[] pData;
  state.counters["saved"] = bSaved;
  state.counters["bars"] = frame.CommandBars()->GetCount();
  state.counters["stream_bytes"] = nBytes;
}
BENCHMARK(BM_BarStateSave)->Unit(benchmark::kMillisecond);

void BM_BarStateLoad(benchmark::State& state)
{
  ProfileFolder folder;
  CStateBenchFrame frame;
  frame.CommandBars()->SaveBarState("CommandBars");
  for (auto _ : state)
    frame.CommandBars()->LoadBarState("CommandBars", TRUE);
  state.counters["bars"] = frame.CommandBars()->GetCount();
  state.counters["renamed"] = frame.CommandBars()->GetAt(1)->GetControl(0)->GetCaption() == "Переименована";
}
BENCHMARK(BM_BarStateLoad)->Unit(benchmark::kMillisecond);

}  // namespace
