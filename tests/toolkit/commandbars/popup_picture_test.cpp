// A picture for people: in theme 4, a shortened File menu with its chevron, a toolbar combo box with its list
// dropped down, and a menu too long for the screen with its scroll arrows, as the composed screen shows them.
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/paint.h"
#include "tests/toolkit/commandbars/bar_frame.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/menusound.h"
#include "toolkit/paint/keyboard_manager.h"
#include "toolkit/paint/paint_manager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The toolkit's own popup bars for the menu bar's titles.
class CPictureFrame : public cbtest::CTestFrame {
protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
  {
    if (message == TKWM_CREATECOMMANDBAR)
      return CTKFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
    return cbtest::CTestFrame::OnWndMsg(message, wParam, lParam, pResult);
  }
};

TEST(PopupPicture, AShortenedMenuAnOpenComboListAndAScrollingMenu)
{
  CTKPaintManager::SetTheme(tkThemeWhidbey);
  TKSoundManager().EnableSystemSounds(FALSE);
  CPictureFrame frame;
  ASSERT_TRUE(frame.Make(640, 420));
  frame.ShowWindow(SW_SHOW);
  CTKCommandBars* pBars = frame.GetCommandBars();
  pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  const UINT hidden[] = {57601};
  pBars->HideCommands(hidden, 1);
  cbtest::CTestBar* pMenu = frame.AddBar(tkBarTypeMenuBar, CRect(0, 0, 640, 24), 128);
  cbtest::CTestBar* pTools = frame.AddBar(tkBarTypeNormal, CRect(0, 24, 640, 52));
  ASSERT_TRUE(pMenu && pTools);
  // Buttons first, so that the combo's list drops clear of the File menu.
  for (const char* caption : {"New", "Open", "Save", "Print", "Export", "Report"})
    pTools->GetControls()->Add(tkControlButton, 57600)->SetCaption(caption);
  auto* pCombo = dynamic_cast<CTKControlComboBox*>(pTools->GetControls()->Add(tkControlComboBox, 32996));
  ASSERT_NE(pCombo, nullptr);
  pCombo->SetWidth(150);
  pTools->OnRecalcLayout();
  for (const char* mode : {"Luminance", "Illuminance", "Glare"})
    pCombo->GetListBar()->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
  pCombo->SetCurSel(1);

  auto* pFile = dynamic_cast<CTKPopupBar*>(pMenu->GetControl(0)->GetCommandBar());
  ASSERT_NE(pFile, nullptr);
  // The frame handles no command: its items are left as the menu gave them, not greyed by the update.
  for (int i = 0; i < pFile->GetControlCount(); ++i)
    pFile->GetControl(i)->SetFlags(pFile->GetControl(i)->GetFlags() | TK_FLAG_MANUALUPDATE);
  pBars->ActivateBar(pMenu, 0);
  TKKeyboardManager()->ProcessKeyboardHooks(WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(pFile->IsVisible() && pFile->HasHiddenCommands());

  pCombo->OnClick(FALSE, pCombo->GetRect().CenterPoint());
  ASSERT_TRUE(pCombo->IsDroppedDown());

  CTKPopupBar* pLong = CTKPopupBar::CreatePopupBar(pBars);
  for (int i = 0; i < 70; ++i) {
    CTKControl* pControl = pLong->GetControls()->Add(tkControlButton, 33000 + i);
    pControl->SetCaption(("Luminaire type " + std::to_string(i + 1)).c_str());
    pControl->SetFlags(TK_FLAG_MANUALUPDATE);
  }
  ASSERT_TRUE(pLong->PopupAt(420, 60));
  ASSERT_TRUE(pLong->IsScrolling());
  pLong->SetSelected(3, TRUE);
  pLong->SetSelected(pLong->GetEndShown(), TRUE);  // one step past the end scrolls it by one

  cbtest::Pump();
  for (CWnd* pWnd : {static_cast<CWnd*>(&frame), static_cast<CWnd*>(pMenu), static_cast<CWnd*>(pTools),
                     static_cast<CWnd*>(pFile), static_cast<CWnd*>(pCombo->GetListBar()), static_cast<CWnd*>(pLong)})
    pWnd->UpdateWindow();
  cbtest::Pump();

  gdi::Surface screen;
  user::ComposeScreen(screen);
  CRect rcLong;
  pLong->GetWindowRect(&rcLong);
  const int cx = rcLong.right + 20;
  const int cy = rcLong.bottom + 5;
  gdi::Surface picture(cx, cy);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x)
      picture.Pixels()[static_cast<size_t>(y) * cx + x] = screen.Pixel(x, y);
  EXPECT_TRUE(gdi::SavePng(picture, std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_commandbars_popups.png"));

  // Both arrows of the scrolled menu are drawn in the arrow colour at their strips' centres.
  const COLORREF arrow = CTKPaintManager::GetCurrent()->GetColor(18);
  auto at = [&](CPoint ptClient) {
    pLong->ClientToScreen(&ptClient);
    std::uint32_t p = screen.Pixel(ptClient.x, ptClient.y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  };
  ASSERT_FALSE(pLong->GetScrollUpRect().IsRectEmpty());
  ASSERT_FALSE(pLong->GetScrollDownRect().IsRectEmpty());
  EXPECT_EQ(at(pLong->GetScrollUpRect().CenterPoint()), arrow);
  EXPECT_EQ(at(pLong->GetScrollDownRect().CenterPoint()), arrow);

  pBars->ClosePopups();
  pLong->InternalRelease();
  cbtest::Pump();
  TKSoundManager().EnableSystemSounds(TRUE);
  CTKPaintManager::SetTheme(tkThemeDefault);
}

}  // namespace
