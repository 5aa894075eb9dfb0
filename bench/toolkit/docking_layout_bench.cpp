// The program's docking layout saved to the profile when the frame closes and loaded when it is shown: four panes
// in two columns around the view, one of them closed, copied out of the frame and written as one batch. The
// profile lives in a folder of its own. Target: under 20 ms a save.
#include "platform/mfc/winapp.h"
#include "toolkit/docking/layoutpersist.h"
#include "toolkit/docking/pane_manager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct Session {
  Session()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      folder = pattern;
      setenv("TESMIRA_PROFILE_DIR", folder.c_str(), 1);
    }
    app.SetRegistryKey("Marvesta");
    frame.Create(nullptr, "Tesmira Road", WS_POPUP | WS_CLIPCHILDREN, CRect(0, 0, 1280, 800));
    manager.InstallDockingPanes(&frame);
    manager.m_nDefaultPaneOptions = TK_PANE_NOHIDEABLE;
    manager.SetTheme(9);
    CTKDockingPane* pObjects = manager.CreatePane(32769, CRect(0, 0, 230, 120), TK_DOCK_LEFT);
    pObjects->SetTitle("Объекты");
    manager.CreatePane(32770, CRect(0, 0, 230, 120), TK_DOCK_BOTTOM, pObjects)->SetTitle("Параметры");
    CTKDockingPane* pResults = manager.CreatePane(32774, CRect(0, 0, 222, 120), TK_DOCK_RIGHT);
    pResults->SetTitle("Светотехнические результаты");
    CTKDockingPane* pEconomics = manager.CreatePane(32777, CRect(0, 0, 222, 120), TK_DOCK_BOTTOM, pResults);
    pEconomics->SetTitle("Экономические результаты");
    manager.ClosePane(pEconomics);
  }
  ~Session()
  {
    frame.DestroyWindow();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::string folder;
  CWinApp app{"Tesmira Road"};
  CFrameWnd frame;
  CTKDockingPaneManager manager;
};

Session& TheSession()
{
  static Session* session = new Session();
  return *session;
}

void BM_SaveLayout(benchmark::State& state)
{
  Session& s = TheSession();
  for (auto _ : state) {
    CTKDockingPaneLayout layout(&s.manager);
    layout.m_bUserLayout = FALSE;
    s.manager.GetLayout(&layout);
    if (!layout.SaveToRegistry("LayoutPanes")) {
      state.SkipWithError("the layout was not saved");
      break;
    }
  }
}
BENCHMARK(BM_SaveLayout)->Unit(benchmark::kMillisecond);

void BM_LoadLayout(benchmark::State& state)
{
  Session& s = TheSession();
  {
    CTKDockingPaneLayout layout(&s.manager);
    layout.m_bUserLayout = FALSE;
    s.manager.GetLayout(&layout);
    layout.SaveToRegistry("LayoutPanes");
  }
  for (auto _ : state) {
    CTKDockingPaneLayout layout(&s.manager);
    layout.m_bUserLayout = FALSE;
    if (!layout.LoadFromRegistry("LayoutPanes")) {
      state.SkipWithError("the layout was not loaded");
      break;
    }
    s.manager.SetLayout(&layout);
  }
}
BENCHMARK(BM_LoadLayout)->Unit(benchmark::kMillisecond);

}  // namespace
