// A toolbar built from its resource, shortened with its expand button, and floating with its caption buttons.
#include "tests/toolkit/commandbars/dock_frame.h"

#include "platform/mfc-core/resources.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cbtest::CDockFrame;

// Toolbar resources as the resource compiler lays them out: version, bitmap width, bitmap height, item count
// (16-bit little-endian each), then one 16-bit command id per item, 0 for a separator.
alignas(8) const BYTE kThreeButtons[] = {1, 0, 16, 0, 15, 0, 5, 0,             // version 1, 16 x 15, 5 items
                                         0x00, 0xE1, 0, 0, 0x01, 0xE1,         // 57600, separator, 57601
                                         0x20, 0x80, 0, 0};                    // 32800, separator
alignas(8) const BYTE kLargeIcons[] = {1, 0, 24, 0, 24, 0, 1, 0, 0x00, 0xE1};  // 24 x 24, one item: 57600
alignas(8) const BYTE kCountTooLarge[] = {1, 0, 16, 0, 15, 0, 40, 0,           // 40 items claimed
                                          0x00, 0xE1, 0x01, 0xE1};             // two present
alignas(8) const BYTE kNoHeader[] = {1, 0, 16, 0, 15, 0};

const platform::BinaryResource kToolBars[] = {
    {241, 200, kThreeButtons, sizeof(kThreeButtons)},
    {241, 201, kLargeIcons, sizeof(kLargeIcons)},
    {241, 202, kCountTooLarge, sizeof(kCountTooLarge)},
    {241, 203, kNoHeader, sizeof(kNoHeader)},
};
const platform::ResourceModuleData kModule{"toolbar_test.dll", nullptr, 0, nullptr, 0, nullptr, 0, kToolBars,
                                           std::size(kToolBars)};

// Ids in order (the bar's own expand and hide buttons left out), "|" before a control that starts a group,
// "(type)" after one that is not a button.
std::string Controls(CTKCommandBar* pBar)
{
  std::string out;
  for (int i = 0; i < pBar->GetControlCount(); ++i) {
    CTKControl* pControl = pBar->GetControl(i);
    if (pControl->IsTemporary())
      continue;
    if (!out.empty())
      out += " ";
    if (pControl->GetBeginGroup())
      out += "|";
    out += std::to_string(pControl->GetID());
    if (pControl->GetType() != tkControlButton)
      out += "(" + std::to_string(pControl->GetType()) + ")";
  }
  return out;
}

// "id" of every entry: "-" unchecked, "+" checked, "x" for a disabled one; "reset" for the bar's reset.
std::string Entries(CTKCommandBar* pPopup)
{
  std::string out;
  for (int i = 0; i < pPopup->GetControlCount(); ++i) {
    auto* pEntry = dynamic_cast<CTKToolBar::CTKControlButtonCustomize*>(pPopup->GetControl(i));
    if (!pEntry)
      return "not an entry";
    if (!out.empty())
      out += " ";
    if (pEntry->GetTargetBar()) {
      out += "reset";
      continue;
    }
    out += !pEntry->GetEnabled() ? "x" : pEntry->GetChecked() ? "+" : "-";
    out += std::to_string(pEntry->GetTarget()->GetID());
  }
  return out;
}

TEST(ToolBar, LoadsItsButtonsFromTheResource)
{
  struct Case {
    const char* what;
    UINT id;
    int replaceId;
    int replaceType;
    BOOL result;
    const char* controls;
    CSize iconSize;
  };
  // No bitmap goes with these resources: loading the pictures fails, the buttons stay.
  const std::vector<Case> cases = {
      {"separators start groups, a last one nothing", 200, 0, 0, FALSE, "57600 |57601 32800", CSize(0, 0)},
      {"pictures wider than 16 set the icon size", 201, 0, 0, FALSE, "57600", CSize(24, 24)},
      {"a count beyond the data reads what is there", 202, 0, 0, FALSE, "57600 57601", CSize(0, 0)},
      {"no room for the header", 203, 0, 0, FALSE, "", CSize(0, 0)},
      {"no such resource", 204, 0, 0, FALSE, "", CSize(0, 0)},
      {"the site makes a label", 200, 57601, tkControlLabel, FALSE, "57600 |57601(8) 32800", CSize(0, 0)},
      {"the site names no known type", 200, 57601, 99, FALSE, "57600 |32800", CSize(0, 0)},
  };
  HINSTANCE hModule = platform::RegisterResourceModule(kModule);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CDockFrame frame;
    ASSERT_TRUE(frame.MakeDocked(400, 300));
    CTKToolBar* pBar = frame.AddToolBar("Standard", 130);
    ASSERT_EQ(pBar->GetControlCount(), 6);
    frame.m_replaceId = c.replaceId;
    frame.m_replaceType = c.replaceType;
    HINSTANCE hOld = AfxGetResourceHandle();
    AfxSetResourceHandle(hModule);
    EXPECT_EQ(pBar->LoadToolBar(c.id, TRUE), c.result);
    AfxSetResourceHandle(hOld);
    EXPECT_EQ(Controls(pBar), c.controls);
    EXPECT_EQ(pBar->GetBarID(), c.id);
    EXPECT_EQ(pBar->GetIconSize() == c.iconSize || c.iconSize == CSize(0, 0), true);
  }
  // With its bitmap the test toolbar loads whole and keeps its built set for resetting.
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(400, 300));
  CTKToolBar* pBar = frame.GetCommandBars()->Add("Standard", tkBarTop);
  EXPECT_TRUE(pBar->LoadToolBar(130, TRUE));
  EXPECT_EQ(Controls(pBar), "57600 57601 |32800 32801 32810 57643");
  ASSERT_NE(pBar->GetControls()->GetOriginalControls(), nullptr);
  EXPECT_EQ(pBar->GetControls()->GetOriginalControls()->GetCount(), 6);
}

TEST(ToolBar, TheExpandPopupListsExactlyWhatDidNotFit)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(120, 300));
  CTKToolBar* pBar = frame.AddToolBar("Standard", 130);
  frame.RecalcLayout();
  std::vector<int> hidden;
  for (int i = 0; i < pBar->GetControlCount(); ++i)
    if (pBar->GetControl(i)->GetHideFlags() == TK_HIDEWRAP)
      hidden.push_back(pBar->GetControl(i)->GetID());
  ASSERT_FALSE(hidden.empty());
  EXPECT_LE(CDockFrame::BarRect(pBar).right, 120);

  auto* pExpand = dynamic_cast<CTKToolBar::CTKControlExpandButton*>(
      pBar->GetControls()->FindControl(TK_ID_TOOLBAR_EXPAND));
  ASSERT_NE(pExpand, nullptr);
  EXPECT_TRUE(pExpand->IsVisible());
  EXPECT_EQ(pExpand->GetRect().right, CDockFrame::BarRect(pBar).Width() - 2);
  pBar->SetTrackingMode(1, FALSE, FALSE);
  ASSERT_TRUE(pBar->SetPopuped(pExpand->GetIndex(), FALSE));
  CTKCommandBar* pPopup = pExpand->GetCommandBar();
  ASSERT_NE(pPopup, nullptr);
  // The hidden buttons, then the entry that lists the row's bars.
  std::vector<int> listed;
  for (int i = 0; i + 1 < pPopup->GetControlCount(); ++i) {
    EXPECT_TRUE(pPopup->GetControl(i)->IsVisible());
    EXPECT_FALSE(pPopup->GetControl(i)->GetBeginGroup());
    listed.push_back(pPopup->GetControl(i)->GetID());
  }
  EXPECT_EQ(listed, hidden);
  CTKControl* pEntry = pPopup->GetControl(pPopup->GetControlCount() - 1);
  ASSERT_EQ(pEntry->GetType(), tkControlPopup);
  EXPECT_EQ(pEntry->GetBeginGroup(), hidden.size() > 1);
  CTKCommandBar* pBars = pEntry->GetCommandBar();
  ASSERT_NE(pBars, nullptr);
  // One entry per bar of the row, not switchable where customising is not available; its list fills on opening.
  ASSERT_EQ(pBars->GetControlCount(), 1);
  auto* pBarEntry = dynamic_cast<CTKToolBar::CTKControlAddOrRemove*>(pBars->GetControl(0));
  ASSERT_NE(pBarEntry, nullptr);
  EXPECT_EQ(pBarEntry->GetTarget(), pBar);
  EXPECT_EQ(pBarEntry->GetCaption(), "Standard");
  EXPECT_FALSE(pBarEntry->GetEnabled());
  ASSERT_TRUE(pPopup->SetPopuped(pEntry->GetIndex(), FALSE));
  EXPECT_FALSE(pBars->SetPopuped(0, FALSE));
  ASSERT_TRUE(pBarEntry->SetPopuped(TRUE));
  ASSERT_NE(pBarEntry->GetCommandBar(), nullptr);
  EXPECT_EQ(Entries(pBarEntry->GetCommandBar()), "+57600 +57601 +32800 +32801 +32810 +57643 reset");
  frame.GetCommandBars()->ClosePopups();
  cbtest::Pump();

  // Room again: every button shows and the expand button marks nothing hidden.
  frame.SetWindowPos(nullptr, 0, 0, 700, 340, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  frame.RecalcLayout();
  for (int i = 0; i < pBar->GetControlCount(); ++i)
    EXPECT_TRUE(pBar->GetControl(i)->IsVisible()) << i;
  EXPECT_FALSE(pExpand->HasHiddenControls());
}

TEST(ToolBar, AFloatingBarHasACaptionWithItsHideButtonAndSizingBorders)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(500, 300));
  CTKToolBar* pBar = frame.AddToolBar("Short", 131);
  ASSERT_TRUE(pBar->SetPosition(tkBarFloating));
  pBar->OnRecalcLayout();
  EXPECT_EQ(frame.Rows(tkBarTop), "|");
  EXPECT_TRUE(pBar->GetStyle() & WS_POPUP);
  EXPECT_EQ(::GetWindow(pBar->GetSafeHwnd(), GW_OWNER), frame.GetSafeHwnd());
  CRect rcWindow;
  pBar->GetWindowRect(&rcWindow);
  // As wide as its two buttons and the caption buttons, not stretched.
  CRect rcLast = pBar->GetControl(1)->GetRect();
  EXPECT_EQ(rcWindow.Width(), rcLast.right + 3);
  CTKControl* pHide = pBar->GetControls()->FindControl(TK_ID_TOOLBAR_HIDE);
  ASSERT_NE(pHide, nullptr);
  EXPECT_TRUE(pHide->IsVisible());
  EXPECT_EQ(pHide->GetRect().right, rcWindow.Width() - 3);
  EXPECT_EQ(pHide->GetRect().top, 3);

  struct Hit {
    CPoint pt;
    LRESULT code;
  };
  for (const Hit& hit : {Hit{CPoint(rcWindow.left + 1, rcWindow.top + 20), HTLEFT},
                         Hit{CPoint(rcWindow.right - 1, rcWindow.top + 20), HTRIGHT},
                         Hit{CPoint(rcWindow.left + 20, rcWindow.top + 1), HTTOP},
                         Hit{CPoint(rcWindow.left + 20, rcWindow.bottom - 1), HTBOTTOM},
                         Hit{rcWindow.CenterPoint(), HTCLIENT}})
    EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(hit.pt.x, hit.pt.y)), hit.code);

  // It follows its frame's activation, and only while "SyncFloatingBars" is on.
  ::SetActiveWindow(frame.GetSafeHwnd());
  EXPECT_EQ(pBar->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE | FS_DEACTIVATE), 1);
  EXPECT_TRUE(pBar->GetStyle() & WS_VISIBLE);
  ::SetActiveWindow(nullptr);
  pBar->SendMessage(WM_FLOATSTATUS, FS_DEACTIVATE);
  EXPECT_FALSE(pBar->GetStyle() & WS_VISIBLE);
  EXPECT_TRUE(pBar->IsVisible());
  ::SetActiveWindow(frame.GetSafeHwnd());
  pBar->SendMessage(WM_FLOATSTATUS, FS_ACTIVATE);
  EXPECT_TRUE(pBar->GetStyle() & WS_VISIBLE);
  frame.GetCommandBars()->GetCommandBarsOptions()->bSyncFloatingBars = FALSE;
  ::SetActiveWindow(nullptr);
  pBar->SendMessage(WM_FLOATSTATUS, FS_DEACTIVATE);
  EXPECT_TRUE(pBar->GetStyle() & WS_VISIBLE);
  ::SetActiveWindow(frame.GetSafeHwnd());

  // Alt+F4 reaches a floating bar as WM_CLOSE: it stays.
  pBar->SendMessage(WM_CLOSE);
  EXPECT_TRUE(::IsWindow(pBar->GetSafeHwnd()));
  pHide->Execute();
  EXPECT_FALSE(pBar->IsVisible());
  EXPECT_FALSE(pBar->GetStyle() & WS_VISIBLE);
}

TEST(ToolBar, CustomBarsAndATornOffBarThatLivesOnlyWhileShown)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(500, 300));
  CTKCommandBars* pCommandBars = frame.GetCommandBars();
  CTKToolBar* pTornOff = pCommandBars->AddCustomBar("Torn off", 0xE801, TRUE);
  ASSERT_NE(pTornOff, nullptr);
  EXPECT_TRUE(pTornOff->IsTearOff());
  EXPECT_FALSE(pTornOff->IsBuiltIn());
  EXPECT_EQ(pTornOff->GetBarID(), 0xE801u);
  EXPECT_EQ(pTornOff->GetPosition(), tkBarFloating);
  EXPECT_EQ(pTornOff->GetFlags(), TK_DOCK_TOOLBAR_FLAGS);
  ASSERT_EQ(pCommandBars->GetCount(), 1);
  pTornOff->SetVisible(FALSE);
  EXPECT_EQ(pCommandBars->GetCount(), 0);

  // A custom bar that is not torn off docks at the top and lives on hidden.
  CTKToolBar* pCustom = pCommandBars->AddCustomBar("Custom", 0xE802);
  ASSERT_NE(pCustom, nullptr);
  EXPECT_EQ(frame.Rows(tkBarTop), "|Custom|");
  pCustom->SetVisible(FALSE);
  EXPECT_EQ(pCommandBars->GetCount(), 1);
  pCommandBars->Remove(pCustom);

  CTKToolBar* pDocked = frame.AddToolBar("Docked", 131);
  pDocked->SetTearOff(TRUE);
  pCommandBars->Remove(pDocked);
  EXPECT_EQ(pCommandBars->GetCount(), 0);
  EXPECT_EQ(frame.Rows(tkBarTop), "|");
}

TEST(ToolBar, TheAddOrRemoveListHidesAButtonAndBringsItBackAtItsPlace)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.MakeDocked(500, 300));
  CTKToolBar* pBar = frame.AddToolBar("Standard", 130);
  frame.RecalcLayout();
  auto fill = [&]() {
    auto* pPopup = new cbtest::CTestPopupBar;
    pBar->FillAddOrRemovePopup(pPopup);
    return pPopup;
  };

  CTKCommandBar* pPopup = fill();
  EXPECT_EQ(Entries(pPopup), "+57600 +57601 +32800 +32801 +32810 +57643 reset");
  // "Export DXF" unchecked: gone from the bar, its entry unchecked.
  pPopup->GetControl(2)->OnExecute();
  EXPECT_EQ(Entries(pPopup), "+57600 +57601 -32800 +32801 +32810 +57643 reset");
  CTKControl* pDxf = pBar->GetControls()->FindControl(32800);
  ASSERT_NE(pDxf, nullptr);
  EXPECT_FALSE(pDxf->IsVisible());
  pPopup->InternalRelease();

  // The list opened again finds it where it was, unchecked; checked again it shows there, starting its group.
  pPopup = fill();
  EXPECT_EQ(Entries(pPopup), "+57600 +57601 -32800 +32801 +32810 +57643 reset");
  pPopup->GetControl(2)->OnExecute();
  pDxf = pBar->GetControl(2);
  EXPECT_EQ(pDxf->GetID(), 32800);
  EXPECT_TRUE(pDxf->IsVisible());
  EXPECT_TRUE(pDxf->GetBeginGroup());
  pPopup->InternalRelease();

  // A button of the user's own is listed but cannot be switched; a hidden built one comes back in order.
  pBar->GetControls()->Add(tkControlButton, 57664, CString(), 1);
  pBar->GetControl(4)->SetHideFlag(TK_HIDECUSTOMIZE, TRUE);  // 32801
  pPopup = fill();
  EXPECT_EQ(Entries(pPopup), "+57600 x57664 +57601 +32800 -32801 +32810 +57643 reset");
  pPopup->InternalRelease();
}

// A frame that handles the customise command, so that its bars may be customised.
class CCustomizingFrame : public CDockFrame {
public:
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
  {
    if (nID == TK_ID_CUSTOMIZE && nCode == CN_COMMAND)
      return TRUE;
    return CDockFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  }
};

TEST(ToolBar, ResetAsksAndPutsBackTheBuiltButtons)
{
  CCustomizingFrame frame;
  ASSERT_TRUE(frame.MakeDocked(500, 300));
  frame.GetCommandBars()->SetSite(&frame);
  ASSERT_TRUE(frame.GetCommandBars()->IsCustomizeAvail());
  CTKToolBar* pBar = frame.AddToolBar("Standard", 130);
  pBar->GetControls()->Add(tkControlButton, 57664);
  pBar->GetControls()->FindControl(32800)->SetHideFlag(TK_HIDECUSTOMIZE, TRUE);
  auto* pList = new cbtest::CTestPopupBar;
  pList->SetCommandBars(frame.GetCommandBars());
  pBar->FillAddOrRemovePopup(pList);
  // The buttons, then the entry that resets the bar.
  ASSERT_EQ(pList->GetControlCount(), 8);
  auto* pResetEntry = dynamic_cast<CTKToolBar::CTKControlButtonCustomize*>(pList->GetControl(7));
  ASSERT_NE(pResetEntry, nullptr);
  EXPECT_EQ(pResetEntry->GetTargetBar(), pBar);
  EXPECT_TRUE(pResetEntry->GetBeginGroup());
  EXPECT_TRUE(pList->GetControl(2)->GetEnabled());

  user::ScriptedResponder responder;
  responder.AnswerNext(IDCANCEL);
  responder.AnswerNext(IDOK);
  pResetEntry->OnExecute();
  ASSERT_EQ(responder.Asked().size(), 1u);
  EXPECT_EQ(responder.Asked()[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
  EXPECT_EQ(responder.Asked()[0].owner, frame.GetSafeHwnd());
  EXPECT_EQ(Controls(pBar), "57600 57601 |32800 32801 32810 57643 57664");
  pResetEntry->OnExecute();
  EXPECT_EQ(Controls(pBar), "57600 57601 |32800 32801 32810 57643");
  for (int i = 0; i < pBar->GetControlCount(); ++i)
    EXPECT_EQ(pBar->GetControl(i)->GetHideFlags() & TK_HIDECUSTOMIZE, 0u);
  pList->InternalRelease();

  // A bar of the user's own has nothing to go back to: no question.
  pBar->SetBuiltIn(FALSE);
  pBar->Reset();
  EXPECT_EQ(responder.Asked().size(), 2u);
}

}  // namespace
