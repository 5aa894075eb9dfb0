// Under a private Xvfb: a frame with its bars as a person sees it (two toolbars drawn from their image strips,
// one button greyed and one checked by the update handlers, a dialog bar and the status line) and a floating
// mini frame with its small caption over the view, kept as frame-bars.png.
#include "platform/display/presenter.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/mfc/afxext.h"
#include "platform/user/controls.h"

#include "res/bars_ids.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "tests/platform/display/x11_server.h"  // Xlib's macros: after everything else

namespace res {
const platform::ResourceModuleData& BarsModule();
}

namespace {

using namespace res::bars;

// The view: a white page with a line of text, so that the picture shows where the bars end.
class CPageView : public CWnd {
public:
  void OnPaint()
  {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(client);
    dc.FillSolidRect(client, RGB(255, 255, 255));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(12, 12, CString("План участка дороги"));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPageView, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

class CShownFrame : public CFrameWnd {
public:
  CStatusBar m_status;
  CToolBar m_standard;
  CToolBar m_viewBar;
  CDialogBar m_calculation;
  CPageView m_view;

  int OnCreate(LPCREATESTRUCT lpcs)
  {
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
    if (CFrameWnd::OnCreate(lpcs) == -1 || !m_status.Create(this) || !m_status.SetIndicators(indicators, 3) ||
        !m_standard.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER) ||
        !m_standard.LoadToolBar(IDR_BAR_STANDARD) ||
        !m_viewBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(4, 2, 4, 2),
                            AFX_IDW_CONTROLBAR_FIRST + 32) ||
        !m_viewBar.LoadToolBar(IDR_BAR_VIEW) ||
        !m_calculation.Create(this, IDD_BAR_CALCULATION, WS_VISIBLE | CBRS_RIGHT, AFX_IDW_DIALOGBAR) ||
        !m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST)) {
      return -1;
    }
    return 0;
  }
  void OnCommandHeard() {}
  void OnUpdateGrid(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CShownFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(ID_BAR_NEW, &CShownFrame::OnCommandHeard)
  ON_COMMAND(ID_BAR_OPEN, &CShownFrame::OnCommandHeard)
  ON_COMMAND(ID_BAR_SAVE, &CShownFrame::OnCommandHeard)
  ON_COMMAND(ID_BAR_GRID, &CShownFrame::OnCommandHeard)
  ON_COMMAND(ID_BAR_ZOOM, &CShownFrame::OnCommandHeard)
  ON_COMMAND(ID_BAR_CALCULATE, &CShownFrame::OnCommandHeard)
  ON_UPDATE_COMMAND_UI(ID_BAR_GRID, &CShownFrame::OnUpdateGrid)
END_MESSAGE_MAP()

void PumpFor(int ms)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  MSG msg;
  while (std::chrono::steady_clock::now() < deadline) {
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::DispatchMessage(&msg);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TEST(FrameBarsOnScreen, AFrameShowsItsToolbarsDialogBarAndStatusLine)
{
  displaytest::Xvfb server;
  if (!server.Start(200, 260)) {
    GTEST_SKIP() << "no Xvfb";
  }
  display::Use(display::MakeX11Presenter(server.Name().c_str()));
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(platform::RegisterResourceModule(res::BarsModule()));

  auto* frame = new CShownFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW, CRect(40, 30, 680, 450)));
  // The idle update greys the buttons nobody handles and checks the grid.
  frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
  frame->ShowWindow(SW_SHOW);
  frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
  frame->SetMessageText("Готово");
  frame->UpdateWindow();
  // A floating frame over the view, owned by the frame: the small caption of a tool window.
  auto* floating = new CMiniFrameWnd;
  ASSERT_TRUE(floating->CreateEx(0, nullptr, "Объекты", WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_SYNCACTIVE,
                                 CRect(300, 200, 480, 330), frame));
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, CRect(0, 0, 0, 0), floating,
                          AFX_IDW_PANE_FIRST));
  for (const char* item : {"Дорога 1", "Опора 12", "Светильник А"}) {
    list.AddString(item);
  }
  floating->RecalcLayout();
  floating->ShowWindow(SW_SHOWNA);
  PumpFor(300);
  display::Current().Flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));

  gdi::Surface screen;
  ASSERT_TRUE(display::Current().Capture(screen));
  CRect window;
  frame->GetWindowRect(window);
  window = CRect(window.Intersect(RECT{0, 0, screen.Width(), screen.Height()}));
  ASSERT_GT(window.Width(), 300);
  gdi::Surface picture(window.Width(), window.Height());
  for (int y = 0; y < picture.Height(); ++y) {
    std::memcpy(picture.Pixels() + static_cast<std::size_t>(y) * picture.Width(),
                screen.Pixels() + static_cast<std::size_t>(y + window.top) * screen.Width() + window.left,
                static_cast<std::size_t>(picture.Width()) * 4);
  }
  EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/frame-bars.png"));

  // The "New" button's white sheet where its image stands, the view's white, the status bar's face.
  CRect button;
  frame->m_standard.GetItemRect(frame->m_standard.CommandToIndex(ID_BAR_NEW), button);
  POINT sheet{button.left + 3 + 4, button.top + 3 + 2};
  frame->m_standard.ClientToScreen(&sheet);
  EXPECT_EQ(screen.Pixel(sheet.x, sheet.y) & 0xFFFFFFu, 0xFFFFFFu);
  CRect status;
  frame->m_status.GetWindowRect(status);
  CRect view;
  frame->m_view.GetWindowRect(view);
  EXPECT_EQ(status.top, view.bottom);
  POINT page{view.right - 5, view.bottom - 5};
  EXPECT_EQ(screen.Pixel(page.x, page.y) & 0xFFFFFFu, 0xFFFFFFu);
  // Text in the status line: more than one colour across its message pane.
  int dark = 0;
  for (int x = status.left + 2; x < status.left + 120; ++x) {
    for (int y = status.top + 3; y < status.bottom - 2; ++y) {
      dark += (screen.Pixel(x, y) & 0xFFu) < 0x60 ? 1 : 0;
    }
  }
  EXPECT_GT(dark, 10);

  CRect floatingWindow;
  floating->GetWindowRect(floatingWindow);
  CRect floatingClient;
  floating->GetClientRect(floatingClient);
  floating->ClientToScreen(floatingClient);
  EXPECT_EQ(floatingClient.top - floatingWindow.top,
            ::GetSystemMetrics(SM_CYSMCAPTION) + ::GetSystemMetrics(SM_CYDLGFRAME));

  floating->DestroyWindow();
  frame->DestroyWindow();
  display::Current().Flush();
  AfxSetResourceHandle(previous);
  display::Use(display::MakeNullPresenter());
}

}  // namespace
