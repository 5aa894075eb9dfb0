// A frame with the bars of the control-bar tests, made the way the program makes its main frame: a status bar,
// the standard toolbar along the top, the view toolbar down the left edge, the calculation dialog bar down the
// right edge, and a view in what remains. The frame's command map records the commands that reach it and answers
// the update queries as its flags say.
#pragma once

#include "platform/mfc/afxext.h"
#include "tests/platform/mfc/harness.h"

#include "res/bars_ids.h"

#include <memory>
#include <vector>

namespace res {
const platform::ResourceModuleData& BarsModule();
}

namespace mfctest {

inline constexpr UINT kViewBarId = AFX_IDW_CONTROLBAR_FIRST + 32;

class CBarsFrame : public CFrameWnd {
public:
  CStatusBar m_status;
  CToolBar m_standard;
  CToolBar m_viewBar;
  CDialogBar m_calculation;
  CWnd m_view;

  // What the update handlers answer.
  BOOL m_canSave = FALSE;
  int m_grid = 0;
  // The commands that reached the frame, in order.
  std::vector<UINT> m_commands;

  int OnCreate(LPCREATESTRUCT lpcs);
  BOOL OnCommandHeard(UINT nID);
  void OnUpdateSave(CCmdUI* pCmdUI) { pCmdUI->Enable(m_canSave); }
  void OnUpdateGrid(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_grid); }

  DECLARE_MESSAGE_MAP()
};

// The application, its profile and the bars' resources, and a shown frame of `size` (a popup: its client area is
// the whole window).
class BarsTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A new frame in place of the current one.
  void MakeFrame();
  // The frame's window (and client area) becomes cx by cy; the frame lays itself out.
  void Resize(int cx, int cy);
  // The idle-time pass of the application's loop.
  void Idle();
  // The window's rectangle in the frame's client area; empty when it is not shown.
  CRect InFrame(const CWnd& wnd) const;

  TempFolder folder_;
  std::unique_ptr<CTestApp> app_;
  CBarsFrame* frame_ = nullptr;
  HINSTANCE previousResources_ = nullptr;
};

}  // namespace mfctest
