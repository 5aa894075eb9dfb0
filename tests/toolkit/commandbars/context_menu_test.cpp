// The toolbars menu a right click opens on a toolbar or on a free part of a dock row: every closable toolbar
// with a check while shown, then the customise command; in customise mode a right click selects instead. And the
// Alt-drag of a toolbar control, the customising this frame offers without the sheet.
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "tests/toolkit/commandbars/dock_frame.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kInspectMessage = WM_APP + 11;

// Handles the customise command; when the toolbars menu is about to open it looks at the menu once it shows,
// writes down its entries and closes it (or chooses one of them).
class CContextFrame : public cbtest::CDockFrame {
public:
  CTKPopupBar* m_pMenu = nullptr;
  std::vector<std::string> m_entries;
  CWnd* m_pOpenedFrom = nullptr;  // the bar 10332 named
  std::string m_choose;  // the caption of the entry to choose; empty: close the menu
  std::string m_picture;  // when set, the composed screen is saved under this name

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
  {
    if (nID == TK_ID_CUSTOMIZE && nCode == CN_COMMAND)
      return TRUE;
    return CDockFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  }

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    if (message == TKWM_TOOLBARCONTEXTMENU) {
      m_pMenu = reinterpret_cast<CTKPopupBar*>(lParam);
      m_pOpenedFrom = reinterpret_cast<CTKCommandBar*>(wParam);
      PostMessage(kInspectMessage);
      *pResult = 0;
      return TRUE;
    }
    if (message == kInspectMessage) {
      Inspect();
      *pResult = 0;
      return TRUE;
    }
    return cbtest::CDockFrame::OnWndMsg(message, wParam, lParam, pResult);
  }

private:
  void Inspect()
  {
    // A second layout (as expanding or a shortcut refresh makes) must not add entries.
    m_pMenu->OnRecalcLayout();
    m_entries.clear();
    for (int i = 0; i < m_pMenu->GetControlCount(); ++i) {
      CTKControl* pControl = m_pMenu->GetControl(i);
      if (pControl->GetHideFlags() != 0)
        continue;
      std::string entry = pControl->GetBeginGroup() ? "| " : "";
      entry += pControl->GetChecked() ? "[x] " : "[ ] ";
      entry += static_cast<LPCSTR>(pControl->GetCaption());
      m_entries.push_back(entry);
    }
    if (!m_picture.empty())
      SavePicture();
    for (int i = 0; i < m_pMenu->GetControlCount(); ++i) {
      if (!m_choose.empty() && m_choose == static_cast<LPCSTR>(m_pMenu->GetControl(i)->GetCaption())) {
        m_pMenu->GetControl(i)->OnExecute();
        return;
      }
    }
    GetCommandBars()->ClosePopups();
  }
  void SavePicture()
  {
    cbtest::Pump();
    UpdateWindow();
    for (int i = 0; i < GetCommandBars()->GetCount(); ++i)
      GetCommandBars()->GetAt(i)->UpdateWindow();
    m_pMenu->UpdateWindow();
    gdi::Surface screen;
    user::ComposeScreen(screen);
    CRect rcMenu;
    m_pMenu->GetWindowRect(&rcMenu);
    const int cx = std::max<int>(rcMenu.right + 20, 420);
    const int cy = std::max<int>(rcMenu.bottom + 20, 160);
    gdi::Surface picture(cx, cy);
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x)
        picture.Pixels()[static_cast<size_t>(y) * cx + x] = screen.Pixel(x, y);
    EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + m_picture));
  }
};

class ContextMenu : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(frame_.MakeDocked(600, 400));
    frame_.GetCommandBars()->SetSite(&frame_);
    ASSERT_TRUE(frame_.GetCommandBars()->IsCustomizeAvail());
    menu_ = frame_.AddMenuBar();
    standard_ = frame_.AddToolBar("Standard", 130);
    short_ = frame_.AddToolBar("Short", 131);
    hidden_ = frame_.AddToolBar("Hidden", 131);
    ASSERT_TRUE(menu_ && standard_ && short_ && hidden_);
    hidden_->SetVisible(FALSE);
    frame_.RecalcLayout();
    cbtest::Pump();
  }
  void RightClick(CWnd* pWnd, CPoint ptClient)
  {
    pWnd->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
  }

  CContextFrame frame_;
  CTKMenuBar* menu_ = nullptr;
  CTKToolBar* standard_ = nullptr;
  CTKToolBar* short_ = nullptr;
  CTKToolBar* hidden_ = nullptr;
};

const std::vector<std::string> kExpected = {"[x] Standard", "[x] Short", "[ ] Hidden", "| [ ] Настройка..."};

TEST_F(ContextMenu, AToolbarAndAFreePartOfADockRowOfferTheToolbarsAndTheCustomiseCommand)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  frame_.m_picture = "toolkit_commandbars_context_menu.png";
  RightClick(standard_, standard_->GetControl(1)->GetRect().CenterPoint());
  EXPECT_EQ(frame_.m_pOpenedFrom, standard_);
  EXPECT_EQ(frame_.m_entries, kExpected);
  // The right click ended the bar's tracking and cleared its selection; the menu is gone again.
  EXPECT_FALSE(standard_->IsTrackingMode());
  EXPECT_EQ(standard_->GetSelected(), -1);
  EXPECT_EQ(TKMouseManager()->GetTrackedBarCount(), 0);

  frame_.m_picture.clear();
  frame_.m_entries.clear();
  CRect rcShort;
  short_->GetWindowRect(&rcShort);
  CTKDockBar* pTop = frame_.Dock(tkBarTop);
  CPoint ptFree(rcShort.right + 20, rcShort.CenterPoint().y);
  pTop->ScreenToClient(&ptFree);
  RightClick(pTop, ptFree);
  EXPECT_EQ(frame_.m_pOpenedFrom, nullptr);
  EXPECT_EQ(frame_.m_entries, kExpected);
  CTKPaintManager::SetTheme(tkThemeDefault);
}

TEST_F(ContextMenu, ChoosingAToolbarShowsOrHidesIt)
{
  frame_.m_choose = "Hidden";
  RightClick(short_, CPoint(2, 2));
  EXPECT_TRUE(hidden_->IsVisible());
  frame_.m_choose = "Standard";
  RightClick(short_, CPoint(2, 2));
  EXPECT_FALSE(standard_->IsVisible());
  EXPECT_EQ(TKMouseManager()->GetTrackedBarCount(), 0);
}

TEST_F(ContextMenu, InCustomiseModeARightClickSelectsTheControlAndOpensNoToolbarsMenu)
{
  CTKCommandBars* pBars = frame_.GetCommandBars();
  pBars->SetCustomizeMode(TRUE);
  CTKControl* pOpen = standard_->GetControl(1);
  RightClick(standard_, pOpen->GetRect().CenterPoint());
  EXPECT_EQ(frame_.m_pMenu, nullptr);
  EXPECT_EQ(pBars->GetDragControl(), pOpen);

  // A control that may not be moved is not taken; nor is anything on a bar that may not be customised.
  pBars->SetDragControl(nullptr);
  pOpen->SetFlags(pOpen->GetFlags() | TK_FLAG_NOMOVABLE);
  RightClick(standard_, pOpen->GetRect().CenterPoint());
  EXPECT_EQ(pBars->GetDragControl(), nullptr);
  pOpen->SetFlags(pOpen->GetFlags() & ~TK_FLAG_NOMOVABLE);
  short_->SetCustomizable(FALSE);
  RightClick(short_, short_->GetControl(0)->GetRect().CenterPoint());
  EXPECT_EQ(pBars->GetDragControl(), nullptr);
  pBars->SetCustomizeMode(FALSE);
}

}  // namespace

namespace {

// Alt held while a toolbar control is pressed moves it as customise mode would, for that one drag, without the
// sheet: dragged off every bar it leaves its toolbar and runs no command; the bars are out of customise mode
// afterwards. Without Alt, or with "AltDragCustomization" off, the press is a click and the control stays.
TEST_F(ContextMenu, AnAltDragMovesAToolbarControlWithoutTheSheet)
{
  frame_.ShowWindow(SW_SHOW);
  ::SetActiveWindow(frame_.GetSafeHwnd());
  cbtest::Pump();
  CTKCommandBars* pBars = frame_.GetCommandBars();
  struct Case {
    const char* what;
    bool alt;
    BOOL option;
    bool removed;
  };
  const Case cases[] = {
      {"without Alt: a click", false, TRUE, false},
      {"Alt-drag switched off: a click", true, FALSE, false},
      {"Alt-drag", true, TRUE, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    pBars->GetCommandBarsOptions()->bAltDragCustomization = c.option;
    const int nCount = short_->GetControlCount();
    CTKControl* pControl = short_->GetControl(0);
    const int nId = pControl->GetID();
    CRect rc = pControl->GetRect();
    short_->ClientToScreen(&rc);
    CRect rcView = frame_.ViewRect();
    frame_.ClientToScreen(&rcView);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_MENU] = c.alt ? 0x80 : 0;
    ::SetKeyboardState(keys);
    user::InjectMouseMove(rc.CenterPoint());
    user::InjectMouseButton(VK_LBUTTON, true);
    user::InjectMouseMove(CPoint(rc.CenterPoint().x + 10, rc.CenterPoint().y + 10));
    user::InjectMouseMove(rcView.CenterPoint());
    user::InjectMouseButton(VK_LBUTTON, false);
    cbtest::Pump();
    keys[VK_MENU] = 0;
    ::SetKeyboardState(keys);
    pBars->ClosePopups();
    cbtest::Pump();
    EXPECT_EQ(short_->GetControlCount(), c.removed ? nCount - 1 : nCount);
    EXPECT_EQ(short_->GetControls()->FindControl(nId) == nullptr, c.removed);
    EXPECT_FALSE(pBars->IsCustomizeMode());
    EXPECT_FALSE(pBars->IsQuickCustomizeMode());
    EXPECT_EQ(::GetCapture(), nullptr);
  }
}

}  // namespace
