#include "tests/platform/mfc/bar_frame.h"

namespace mfctest {

BEGIN_MESSAGE_MAP(CBarsFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND_EX(res::bars::ID_BAR_NEW, &CBarsFrame::OnCommandHeard)
  ON_COMMAND_EX(res::bars::ID_BAR_OPEN, &CBarsFrame::OnCommandHeard)
  ON_COMMAND_EX(res::bars::ID_BAR_SAVE, &CBarsFrame::OnCommandHeard)
  ON_COMMAND_EX(res::bars::ID_BAR_GRID, &CBarsFrame::OnCommandHeard)
  ON_COMMAND_EX(res::bars::ID_BAR_CALCULATE, &CBarsFrame::OnCommandHeard)
  ON_UPDATE_COMMAND_UI(res::bars::ID_BAR_SAVE, &CBarsFrame::OnUpdateSave)
  ON_UPDATE_COMMAND_UI(res::bars::ID_BAR_GRID, &CBarsFrame::OnUpdateGrid)
END_MESSAGE_MAP()

int CBarsFrame::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CFrameWnd::OnCreate(lpcs) == -1) {
    return -1;
  }
  static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
  if (!m_status.Create(this) || !m_status.SetIndicators(indicators, 3)) {
    return -1;
  }
  const DWORD standardStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_FLYBY | CBRS_TOOLTIPS;
  if (!m_standard.CreateEx(this, TBSTYLE_FLAT, standardStyle) ||
      !m_standard.LoadToolBar(res::bars::IDR_BAR_STANDARD)) {
    return -1;
  }
  if (!m_viewBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(4, 2, 4, 2), kViewBarId) ||
      !m_viewBar.LoadToolBar(res::bars::IDR_BAR_VIEW)) {
    return -1;
  }
  if (!m_calculation.Create(this, res::bars::IDD_BAR_CALCULATION, WS_VISIBLE | CBRS_RIGHT, AFX_IDW_DIALOGBAR)) {
    return -1;
  }
  if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST)) {
    return -1;
  }
  return 0;
}

BOOL CBarsFrame::OnCommandHeard(UINT nID)
{
  m_commands.push_back(nID);
  return TRUE;
}

void BarsTest::SetUp()
{
  RegisterTestStrings();
  ::setenv("TESMIRA_PROFILE_DIR", folder_.Path().c_str(), 1);
  app_ = std::make_unique<CTestApp>();
  app_->SetRegistryKey("Marvesta");
  previousResources_ = AfxGetResourceHandle();
  AfxSetResourceHandle(platform::RegisterResourceModule(res::BarsModule()));
  MakeFrame();
}

void BarsTest::TearDown()
{
  if (frame_ != nullptr) {
    frame_->DestroyWindow();
    frame_ = nullptr;
  }
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  AfxSetResourceHandle(previousResources_);
  app_.reset();
  ::unsetenv("TESMIRA_PROFILE_DIR");
}

void BarsTest::MakeFrame()
{
  if (frame_ != nullptr) {
    app_->m_pMainWnd = nullptr;
    frame_->DestroyWindow();
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  frame_ = new CBarsFrame;
  ASSERT_TRUE(frame_->Create(nullptr, "Tesmira Road", WS_POPUP | WS_VISIBLE, CRect(0, 0, 640, 480)));
  app_->m_pMainWnd = frame_;
  frame_->RecalcLayout();
}

void BarsTest::Resize(int cx, int cy) { frame_->MoveWindow(0, 0, cx, cy); }

void BarsTest::Idle() { app_->OnIdle(0); }

CRect BarsTest::InFrame(const CWnd& wnd) const
{
  if (!wnd.IsWindowVisible()) {
    return CRect();
  }
  CRect rect;
  wnd.GetWindowRect(rect);
  frame_->ScreenToClient(rect);
  return rect;
}

}  // namespace mfctest
