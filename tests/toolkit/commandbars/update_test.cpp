// Command-state updates of a bar: handlers of the frame enable, disable and check controls; no handler disables;
// customise mode enables everything; controls that manage their own state are left alone.
#include "tests/toolkit/commandbars/bar_frame.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kEnabled = 32900;
constexpr UINT kDisabled = 32901;
constexpr UINT kChecked = 32902;
constexpr UINT kNoHandler = 32903;

class CUpdateFrame : public cbtest::CTestFrame {
public:
  void OnUpdateEnabled(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
  void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
  void OnUpdateChecked(CCmdUI* pCmdUI)
  {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(1);
    pCmdUI->SetText("Checked &item");
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdateFrame, cbtest::CTestFrame)
  ON_UPDATE_COMMAND_UI(kEnabled, &CUpdateFrame::OnUpdateEnabled)
  ON_UPDATE_COMMAND_UI(kDisabled, &CUpdateFrame::OnUpdateDisabled)
  ON_UPDATE_COMMAND_UI(kChecked, &CUpdateFrame::OnUpdateChecked)
END_MESSAGE_MAP()

TEST(CommandUpdate, HandlersSetTheStatesAndCustomiseModeEnablesAll)
{
  CUpdateFrame frame;
  ASSERT_TRUE(frame.Make(400, 200));
  frame.ShowWindow(SW_SHOW);
  cbtest::CTestBar* pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 400, 28));
  CTKControls* pControls = pBar->GetControls();
  CTKControl* pEnabled = pControls->Add(tkControlButton, kEnabled);
  CTKControl* pDisabled = pControls->Add(tkControlButton, kDisabled);
  CTKControl* pChecked = pControls->Add(tkControlButton, kChecked);
  CTKControl* pNoHandler = pControls->Add(tkControlButton, kNoHandler);
  CTKControl* pManual = pControls->Add(tkControlButton, kDisabled);
  pManual->SetFlags(TK_FLAG_MANUALUPDATE);
  pEnabled->SetEnabled(FALSE);
  pDisabled->SetChecked(TRUE);  // disabling takes the check mark away

  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_TRUE(pEnabled->GetEnabled());
  EXPECT_FALSE(pDisabled->GetEnabled());
  EXPECT_FALSE(pDisabled->GetChecked());
  EXPECT_TRUE(pChecked->GetChecked());
  EXPECT_EQ(pChecked->GetCaption(), CString("Checked &item"));
  EXPECT_FALSE(pNoHandler->GetEnabled());
  EXPECT_TRUE(pManual->GetEnabled());

  frame.GetCommandBars()->SetCustomizeMode(TRUE);
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_TRUE(pDisabled->GetEnabled());
  EXPECT_TRUE(pNoHandler->GetEnabled());

  // A hidden bar is not updated.
  frame.GetCommandBars()->SetCustomizeMode(FALSE);
  pBar->ShowWindow(SW_HIDE);
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_TRUE(pDisabled->GetEnabled());
}

}  // namespace

namespace {

TEST(CommandUpdate, DocumentTemplateSetsHideControlsOutsideTheActiveTemplate)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 200));
  frame.ShowWindow(SW_SHOW);
  cbtest::CTestBar* pBar = frame.AddBar(tkBarTypeNormal, CRect(0, 0, 400, 28));
  CTKControl* pShownFor5 = pBar->GetControls()->Add(tkControlButton, kEnabled);
  CTKControl* pHiddenFor0 = pBar->GetControls()->Add(tkControlButton, kEnabled);
  CTKControl* pFree = pBar->GetControls()->Add(tkControlButton, kEnabled);
  pShownFor5->m_mapDocTemplatesAssigned[5] = TRUE;
  pHiddenFor0->m_mapDocTemplatesExcluded[0] = TRUE;
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);  // a single-document frame: the active template is 0
  EXPECT_EQ(pShownFor5->GetHideFlags(), TK_HIDEDOCTEMPLATE);
  EXPECT_EQ(pHiddenFor0->GetHideFlags(), TK_HIDEDOCTEMPLATE);
  EXPECT_EQ(pFree->GetHideFlags(), 0u);
  pShownFor5->m_mapDocTemplatesAssigned[0] = TRUE;
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_EQ(pShownFor5->GetHideFlags(), 0u);
}

TEST(CommandUpdate, APopupOfHiddenCommandsIsHiddenOnlyWhileUnusedPopupsHide)
{
  cbtest::CTestFrame frame;
  ASSERT_TRUE(frame.Make(400, 200));
  cbtest::CTestBar* pMenu = frame.AddBar(tkBarTypeMenuBar, CRect(0, 0, 400, 24), 128);
  CTKCommandBars* pBars = frame.GetCommandBars();
  CTKControl* pEdit = pMenu->GetControl(1);  // one item: Undo, 57643
  const UINT undo = 57643;
  EXPECT_FALSE(pBars->IsControlHidden(pEdit));
  pBars->HideCommands(&undo, 1);
  EXPECT_TRUE(pBars->IsControlHidden(pEdit->GetCommandBar()->GetControl(0)));
  EXPECT_TRUE(pBars->IsControlHidden(pEdit));
  pBars->GetCommandBarsOptions()->bAutoHideUnusedPopups = FALSE;
  EXPECT_FALSE(pBars->IsControlHidden(pEdit));
  pBars->GetCommandBarsOptions()->bAutoHideUnusedPopups = TRUE;
  pBars->SetCommandUsed(undo);  // used once: shown again
  EXPECT_FALSE(pBars->IsControlHidden(pEdit));
  pBars->ResetUsageData();
  EXPECT_TRUE(pBars->IsControlHidden(pEdit));
}

}  // namespace
