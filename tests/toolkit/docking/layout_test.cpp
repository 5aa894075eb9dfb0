// Panes, the layout and the pane manager: titles and tab texts, tab colours, the program's arrangement, the
// notifications of message 10925 in order, and the life of the active pane.
#include "tests/toolkit/docking/dock_frame.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"
#include "toolkit/docking/themes.h"
#include "platform/user/uxtheme.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/resource_manager.h"
#include "toolkit/paint/tooltip_context.h"
#include "res/modules.h"
#include "tests/toolkit/canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <iterator>
#include <vector>

namespace {

using docktest::CDockFrame;
using docktest::CheckTree;
using docktest::Note;
using docktest::Shape;

constexpr int kNoAction = -1;

TEST(DockingPane, TitleSplitsIntoCaptionAndTabText)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  CTKDockingPane* pPane = frame.m_paneManager.CreatePane(1, CRect(0, 0, 100, 100), TK_DOCK_LEFT);
  struct Case {
    const char* title;
    const char* caption;
    const char* tab;
  };
  const Case cases[] = {
      {"Объекты\nДерево", "Объекты", "Дерево"},
      {"Параметры", "Параметры", "Параметры"},
      {"Результаты\n", "Результаты", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    pPane->SetTitle(c.title);
    EXPECT_STREQ(pPane->GetTitle(), c.caption);
    EXPECT_STREQ(pPane->GetTabCaption(), c.tab);
    EXPECT_STREQ(pPane->GetParentTabbed()->GetTitle(), c.caption);
  }
}

TEST(DockingPane, AutomaticTabColourFollowsTheIdWithItsSignAndCopyLeavesColourAndHelpBehind)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  CTKDockingPane* pPane = frame.m_paneManager.CreatePane(32770, CRect(0, 0, 100, 100), TK_DOCK_LEFT);
  EXPECT_EQ(pPane->GetTabColor(), 0x1000002u);
  pPane->m_nID = -3;
  EXPECT_EQ(pPane->GetTabColor(), 0x1000000u - 3);
  pPane->m_clrTab = RGB(1, 2, 3);
  EXPECT_EQ(pPane->GetTabColor(), RGB(1, 2, 3));

  pPane->m_nHelpID = 77;
  pPane->m_ptMinTrackSize = CPoint(10, 20);
  pPane->SetTitle("Заголовок");
  CTKDockingPane* pCopy = frame.m_paneManager.CreatePane(5, CRect(0, 0, 50, 50), TK_DOCK_RIGHT);
  pCopy->Copy(pPane);
  EXPECT_EQ(pCopy->m_clrTab, static_cast<COLORREF>(-1));
  EXPECT_EQ(pCopy->m_nHelpID, 0);
  EXPECT_EQ(pCopy->GetID(), -3);
  EXPECT_EQ(pCopy->m_ptMinTrackSize, CPoint(10, 20));
  EXPECT_STREQ(pCopy->m_strTitle, "Заголовок");
}

TEST(DockingPaneManager, ProgramArrangementIsTwoColumnsAroundTheView)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 600));
  frame.MakeProgramPanes();
  EXPECT_EQ(CheckTree(frame.m_paneManager.GetCurrentLayout()), "");
  EXPECT_EQ(Shape(frame.m_paneManager.GetTopPane()), "S[V[T(32769) T(32770)] C V[T(32774) T(32777)]]");
  frame.Layout();

  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPaneBase* pLeft = manager.FindPane(32769)->GetContainer()->GetContainer();
  CTKDockingPaneBase* pRight = manager.FindPane(32774)->GetContainer()->GetContainer();
  EXPECT_EQ(pLeft->m_rcWindow, CRect(0, 0, 230, 600));
  EXPECT_EQ(manager.GetClientPane()->m_rcWindow, CRect(234, 0, 574, 600));
  EXPECT_EQ(pRight->m_rcWindow, CRect(578, 0, 800, 600));
  // The view gets exactly what the panes leave.
  CRect rcView;
  frame.m_view.GetWindowRect(&rcView);
  frame.ScreenToClient(&rcView);
  EXPECT_EQ(rcView, CRect(234, 0, 574, 600));

  EXPECT_EQ(manager.GetPaneDirection(manager.FindPane(32777)), TK_DOCK_RIGHT);
  EXPECT_EQ(manager.GetPaneDirection(manager.FindPane(32769)), TK_DOCK_LEFT);
  // A pane above the client in a column: top.
  CTKDockingPane* pTop = manager.CreatePane(9, CRect(0, 0, 100, 80), TK_DOCK_TOP, manager.GetClientPane());
  EXPECT_EQ(manager.GetPaneDirection(pTop), TK_DOCK_TOP);
  EXPECT_EQ(CheckTree(manager.GetCurrentLayout()), "");
}

TEST(DockingPaneManager, NotificationsComeInOrderAndAClosedPaneReturnsToItsHolder)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 600));
  frame.MakeProgramPanes();
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pEconomics = manager.FindPane(32777);

  // Before the first layout: closing asks, showing sends no code 1 and shows no window.
  manager.ClosePane(pEconomics);
  EXPECT_TRUE(manager.IsPaneClosed(pEconomics));
  EXPECT_EQ(manager.FindPane(32777), pEconomics);
  EXPECT_EQ(frame.m_notes, (std::vector<Note>{{TK_DPN_CLOSEPANE, 32777, kNoAction}}));
  frame.m_notes.clear();

  // The first layout: each selected pane is announced before it shows, and gets its window then.
  frame.Layout();
  const std::vector<Note> firstShow = {{TK_DPN_SHOWWINDOW, 32769, kNoAction},
                                       {TK_DPN_SHOWWINDOW, 32770, kNoAction},
                                       {TK_DPN_SHOWWINDOW, 32774, kNoAction}};
  EXPECT_EQ(frame.m_notes, firstShow);
  EXPECT_TRUE(manager.FindPane(32769)->IsValid());
  EXPECT_FALSE(pEconomics->IsValid());
  frame.m_notes.clear();

  // Closed before the first layout, it comes back into its own container and is shown from now on.
  CTKDockingPaneBase* pHolder = manager.GetCurrentLayout()->FindPaneInfo(pEconomics)->pLastHolder;
  ASSERT_NE(pHolder, nullptr);
  manager.ShowPane(pEconomics, FALSE);
  EXPECT_EQ(pEconomics->GetContainer(), pHolder);
  EXPECT_EQ(frame.m_notes, (std::vector<Note>{{TK_DPN_SHOWWINDOW, 32777, kNoAction}}));
  EXPECT_TRUE(pEconomics->IsValid());
  EXPECT_TRUE(::IsWindowVisible(pEconomics->GetHwnd()) || !::IsWindowVisible(frame.GetSafeHwnd()));
  frame.m_notes.clear();

  // -1 keeps the pane; any other answer, 0 included, closes it and parks its window under the manager.
  frame.m_closeAnswer = -1;
  manager.ClosePane(pEconomics);
  EXPECT_FALSE(manager.IsPaneClosed(pEconomics));
  frame.m_closeAnswer = 0;
  manager.ClosePane(pEconomics);
  EXPECT_TRUE(manager.IsPaneClosed(pEconomics));
  EXPECT_EQ(::GetParent(pEconomics->GetHwnd()), manager.GetSafeHwnd());
  EXPECT_EQ(frame.m_notes,
            (std::vector<Note>{{TK_DPN_CLOSEPANE, 32777, kNoAction}, {TK_DPN_CLOSEPANE, 32777, kNoAction}}));
  EXPECT_EQ(CheckTree(manager.GetCurrentLayout()), "");

  // Detaching gives the window back to the frame instead.
  CTKDockingPane* pObjects = manager.FindPane(32769);
  HWND hObjects = pObjects->GetHwnd();
  pObjects->Detach();
  EXPECT_EQ(::GetParent(hObjects), frame.GetSafeHwnd());
  EXPECT_FALSE(pObjects->IsValid());
}

TEST(DockingPaneManager, CloseButtonClosesTheGroupButKeepsPanesThatMayNotClose)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pFirst = manager.CreatePane(1, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  auto* pContainer = pFirst->GetParentTabbed();
  CTKDockingPane* pMiddle = manager.CreatePane(2, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  CTKDockingPane* pLast = manager.CreatePane(3, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  manager.MoveNodeToContainer(pMiddle, pContainer);
  manager.MoveNodeToContainer(pLast, pContainer);
  pMiddle->SetOptions(TK_PANE_NOCLOSEABLE);
  frame.Layout();
  frame.m_notes.clear();

  manager.m_bCloseGroupOnButtonClick = TRUE;
  pContainer->OnCaptionButtonClick(pContainer->FindCaptionButton(TK_IDS_DOCKINGPANE_CLOSE));
  EXPECT_TRUE(pFirst->IsClosed());
  EXPECT_FALSE(pMiddle->IsClosed());
  EXPECT_TRUE(pLast->IsClosed());
  // From the last tab to the first: announced, asked, closed.
  const std::vector<Note> expected = {{TK_DPN_ACTION, 3, tkActionClosing}, {TK_DPN_CLOSEPANE, 3, kNoAction},
                                      {TK_DPN_ACTION, 3, tkActionClosed},  {TK_DPN_ACTION, 1, tkActionClosing},
                                      {TK_DPN_CLOSEPANE, 1, kNoAction},    {TK_DPN_ACTION, 1, tkActionClosed}};
  EXPECT_EQ(frame.m_notes, expected);
  EXPECT_EQ(pContainer->GetSelected(), pMiddle);
  EXPECT_EQ(CheckTree(manager.GetCurrentLayout()), "");
}

TEST(DockingPaneManager, ClosingTheSelectedPaneOfThreeSelectsTheLastTab)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pFirst = manager.CreatePane(1, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  auto* pContainer = pFirst->GetParentTabbed();
  manager.MoveNodeToContainer(manager.CreatePane(2, CRect(0, 0, 200, 100), TK_DOCK_RIGHT), pContainer);
  CTKDockingPane* pThird = manager.CreatePane(3, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  manager.MoveNodeToContainer(pThird, pContainer);
  manager.ShowPane(pFirst, FALSE);
  manager.ClosePane(pFirst);
  EXPECT_EQ(pContainer->GetSelected(), pThird);
  EXPECT_EQ(pContainer->GetTabCount(), 2);
}

TEST(DockingPaneManager, ActivationIsAnnouncedOnceAndTheActivePaneOutlivesItsLayout)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pPane = manager.CreatePane(7, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  CTKDockingPane* pOther = manager.CreatePane(8, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  frame.m_notes.clear();

  manager.OnActivatePane(TRUE, pPane);
  manager.OnActivatePane(TRUE, pPane);  // already active: nothing
  manager.OnActivatePane(TRUE, pOther);
  manager.OnActivatePane(FALSE, pPane);  // not active: nothing
  manager.OnActivatePane(TRUE, pPane);
  const std::vector<Note> expected = {{TK_DPN_ACTION, 7, tkActionActivated},
                                      {TK_DPN_ACTION, 7, tkActionDeactivated},
                                      {TK_DPN_ACTION, 8, tkActionActivated},
                                      {TK_DPN_ACTION, 8, tkActionDeactivated},
                                      {TK_DPN_ACTION, 7, tkActionActivated}};
  EXPECT_EQ(frame.m_notes, expected);
  EXPECT_EQ(pPane->m_dwRef, 2);

  // Closed while active, then its whole layout cleared: the manager's reference keeps it alive.
  manager.ClosePane(pPane);
  manager.GetCurrentLayout()->Clear();
  EXPECT_EQ(pPane->m_dwRef, 1);
  EXPECT_EQ(pPane->GetID(), 7);
  EXPECT_EQ(pPane->GetContainer(), nullptr);
  frame.m_notes.clear();
  manager.OnActivatePane(FALSE, pPane);  // the last reference goes; the sanitiser sees no leak and no use after
  EXPECT_EQ(manager.GetActivePane(), nullptr);
  EXPECT_EQ(frame.m_notes, (std::vector<Note>{{TK_DPN_ACTION, 7, tkActionDeactivated}}));
}

TEST(DockingPaneManager, ThemesByNumberAndTheStickerStyle)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  manager.SetTheme(42);
  EXPECT_NE(dynamic_cast<TKDockingPanePaintThemes::CTKDockingPaneDefaultTheme*>(manager.GetPaintManager()), nullptr);
  EXPECT_EQ(manager.GetPaintManager()->m_nTheme, 42);
  EXPECT_FALSE(manager.m_bStickerStyle);
  manager.SetTheme(9);
  EXPECT_NE(dynamic_cast<TKDockingPanePaintThemes::CTKDockingPaneVisualStudio2005Theme*>(manager.GetPaintManager()),
            nullptr);
  EXPECT_TRUE(manager.m_bStickerStyle);
  manager.SetTheme(4);
  EXPECT_TRUE(manager.m_bStickerStyle);  // nothing clears it
  // A small caption font still leaves a caption of 13 plus the spacing.
  EXPECT_GE(manager.GetPaintManager()->GetCaptionHeight(), 13 + manager.GetPaintManager()->m_nCaptionFontGap);

  EXPECT_EQ(manager.GetRTLDirection(TK_DOCK_TOP), TK_DOCK_TOP);
  EXPECT_EQ(manager.GetRTLDirection(TK_DOCK_LEFT), TK_DOCK_LEFT);
  frame.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
  EXPECT_EQ(manager.GetRTLDirection(TK_DOCK_LEFT), TK_DOCK_RIGHT);
  EXPECT_EQ(manager.GetRTLDirection(TK_DOCK_TOP), TK_DOCK_TOP);
}

TEST(DockingLayout, ClientPlaceholderIsEmptyOnlyWhileTheClientIsHidden)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  EXPECT_FALSE(manager.GetClientPane()->IsEmpty());
  manager.m_bHideClient = TRUE;
  EXPECT_TRUE(manager.GetClientPane()->IsEmpty());
  EXPECT_TRUE(manager.GetCurrentLayout()->IsComplete());
  // Panes share the whole frame and the view gets nothing.
  manager.CreatePane(1, CRect(0, 0, 100, 100), TK_DOCK_LEFT);
  manager.CreatePane(2, CRect(0, 0, 100, 100), TK_DOCK_RIGHT);
  frame.Layout();
  EXPECT_TRUE(manager.GetClientPane()->m_rcWindow.IsRectEmpty());
  EXPECT_EQ(manager.FindPane(2)->GetContainer()->m_rcWindow.right, 400);
  EXPECT_EQ(manager.FindPane(1)->GetContainer()->m_rcWindow.left, 0);
}

}  // namespace

namespace {

// Theme 9's caption colours follow the Luna scheme; without one they are the system's.
TEST(DockingThemes, VisualStudio2005CaptionsFollowTheLunaScheme)
{
  struct Case {
    uxtheme::Theme scheme;
    COLORREF border;       // 0: the button shadow colour
    COLORREF activeStart;  // 0: the active caption colour
    COLORREF inactive;     // 0: the inactive caption colour
  };
  const Case cases[] = {
      {uxtheme::Theme::None, 0, 0, 0},
      {uxtheme::Theme::LunaBlue, 0, RGB(59, 128, 237), RGB(204, 199, 186)},
      {uxtheme::Theme::LunaOlive, 0, RGB(182, 195, 146), RGB(204, 199, 186)},
      {uxtheme::Theme::LunaSilver, RGB(145, 155, 156), RGB(211, 212, 221), RGB(240, 240, 245)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.scheme));
    uxtheme::SetTestTheme(c.scheme);
    TKColorManager().RefreshColors();
    TKDockingPanePaintThemes::CTKDockingPaneVisualStudio2005Theme theme;
    theme.RefreshMetrics();
    EXPECT_EQ(theme.m_clrCaptionBorder, c.border != 0 ? c.border : theme.GetColor(COLOR_BTNSHADOW));
    EXPECT_EQ(theme.m_clrActiveCaptionGradient.clrLight.GetValue(),
              c.activeStart != 0 ? c.activeStart : theme.GetColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(theme.m_clrNormalCaptionGradient.clrLight.GetValue(),
              c.inactive != 0 ? c.inactive : theme.GetColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(theme.m_clrNormalCaptionText.GetValue(),
              c.scheme == uxtheme::Theme::None ? theme.GetColor(COLOR_INACTIVECAPTIONTEXT) : RGB(0, 0, 0));
    EXPECT_EQ(theme.m_dwSplitterStyle, CTKDockingPanePaintManager::kSplitterGradient);
  }
  uxtheme::SetTestTheme(uxtheme::Theme::None);
  TKColorManager().RefreshColors();
}

// Without show captions nothing is taken for a caption; with it, margins plus the caption height.
TEST(DockingThemes, CaptionStripTakesItsHeightOnlyWhileCaptionsShow)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(400, 300));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pPane = manager.CreatePane(1, CRect(0, 0, 100, 100), TK_DOCK_LEFT);
  CTKDockingPanePaintManager* pPaint = manager.GetPaintManager();
  CRect rc(0, 0, 100, 100);
  pPaint->AdjustCaptionRect(pPane->GetParentTabbed(), rc);
  EXPECT_EQ(rc.top, pPaint->m_rcCaptionMargin.top + pPaint->m_rcCaptionMargin.bottom + pPaint->GetCaptionHeight());
  pPaint->m_bShowCaption = FALSE;
  rc = CRect(0, 0, 100, 100);
  pPaint->AdjustCaptionRect(pPane->GetParentTabbed(), rc);
  EXPECT_EQ(rc.top, 0);
  // No caption for a selected pane with option 8 either.
  pPaint->m_bShowCaption = TRUE;
  pPane->SetOptions(TK_PANE_NOCAPTION);
  pPaint->AdjustCaptionRect(pPane->GetParentTabbed(), rc);
  EXPECT_EQ(rc.top, 0);
}

}  // namespace

namespace {

// A press on the close button is tracked: only a release over it closes; Esc, a right click or a release
// elsewhere does nothing.
TEST(DockingCaptionButtons, CloseButtonActsOnlyWhenReleasedOverIt)
{
  struct Case {
    const char* name;
    UINT message;
    int dx;  // where the release or the key happens, from the button's centre
    bool closes;
  };
  const Case cases[] = {
      {"release over it", WM_LBUTTONUP, 0, true},
      {"release elsewhere", WM_LBUTTONUP, -60, false},
      {"escape", WM_KEYDOWN, 0, false},
      {"right click", WM_RBUTTONDOWN, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDockFrame frame;
    ASSERT_TRUE(frame.Make(600, 400));
    CTKDockingPaneManager& manager = frame.m_paneManager;
    CTKDockingPane* pPane = manager.CreatePane(1, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
    frame.Layout();
    auto* pGroup = pPane->GetParentTabbed();
    ::UpdateWindow(pGroup->GetSafeHwnd());
    pGroup->Invalidate(FALSE);
    ::UpdateWindow(pGroup->GetSafeHwnd());  // painting lays the caption buttons out
    const CRect rcButton = pGroup->FindCaptionButton(TK_IDS_DOCKINGPANE_CLOSE)->GetRect();
    ASSERT_FALSE(rcButton.IsRectEmpty());
    const CPoint centre = rcButton.CenterPoint();
    const HWND hGroup = pGroup->GetSafeHwnd();
    ::PostMessage(hGroup, WM_MOUSEMOVE, 0, MAKELPARAM(centre.x + c.dx, centre.y));
    ::PostMessage(hGroup, c.message, c.message == WM_KEYDOWN ? VK_ESCAPE : 0,
                  c.message == WM_KEYDOWN ? 0 : MAKELPARAM(centre.x + c.dx, centre.y));
    ::SendMessage(hGroup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(pPane->IsClosed() != FALSE, c.closes);
    EXPECT_EQ(::GetCapture(), nullptr);
  }
}

}  // namespace

namespace {

// Office 2003's own colour entries follow the Luna scheme; without one the theme keeps the colour manager's.
TEST(DockingThemes, Office2003ColoursFollowTheLunaScheme)
{
  struct Case {
    uxtheme::Theme scheme;
    COLORREF captionBackground;  // 0: button face
    COLORREF colour38;           // 0: the colour manager's
    BOOL lunaButtons;
  };
  const Case cases[] = {
      {uxtheme::Theme::None, 0, 0, FALSE},
      {uxtheme::Theme::LunaBlue, RGB(216, 231, 252), RGB(39, 65, 118), TRUE},
      {uxtheme::Theme::LunaOlive, RGB(226, 231, 191), RGB(81, 94, 51), TRUE},
      {uxtheme::Theme::LunaSilver, RGB(223, 223, 234), RGB(84, 84, 117), TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.scheme));
    uxtheme::SetTestTheme(c.scheme);
    TKColorManager().RefreshColors();
    TKDockingPanePaintThemes::CTKDockingPaneOffice2003Theme theme;
    theme.RefreshMetrics();
    EXPECT_EQ(theme.m_clrNormalCaption.GetValue(),
              c.captionBackground != 0 ? c.captionBackground : TKColorManager().GetColor(COLOR_3DFACE));
    EXPECT_EQ(theme.GetColor(38), c.colour38 != 0 ? c.colour38 : TKColorManager().GetColor(38));
    EXPECT_EQ(theme.m_bLunaButtons, c.lunaButtons);
    // The grip colour is the manager's colour 38, read before the scheme's table replaced it.
    if (c.lunaButtons) {
      EXPECT_EQ(theme.m_clrSplitterGripper.GetValue(), TKColorManager().GetColor(38));
      EXPECT_EQ(theme.m_clrActiveCaptionGradient.clrLight.GetValue(), RGB(255, 213, 140));
    }
  }
  uxtheme::SetTestTheme(uxtheme::Theme::None);
  TKColorManager().RefreshColors();
}

}  // namespace

namespace {

// Help over a group names the pane of the tab under the point, else the selected pane: its help id, or its id.
TEST(DockingPaneManager, HelpHitTestAnswersThePaneUnderThePoint)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pFirst = manager.CreatePane(32769, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  CTKDockingPane* pSecond = manager.CreatePane(32770, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  auto* pGroup = pFirst->GetParentTabbed();
  manager.MoveNodeToContainer(pSecond, pFirst);
  pSecond->m_nHelpID = 500;
  manager.ShowPane(pFirst, FALSE);
  frame.Layout();
  ASSERT_TRUE(pGroup->IsTabsVisible());
  const CPoint ptSecondTab = pGroup->GetTab(1)->GetRect().CenterPoint();
  EXPECT_EQ(pGroup->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(ptSecondTab.x, ptSecondTab.y)), 500 + 0x20000);
  EXPECT_EQ(pGroup->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(5, 60)), 32769 + 0x20000);
}

// A packed DIB at 24 bits of images 16 x 16 side by side, each filled with its colour except its left column,
// which is the mask colour green.
template <int kImages>
struct IconStrip {
  static constexpr int kWidth = 16 * kImages;
  static constexpr int kRow = kWidth * 3;
  alignas(8) BYTE bytes[40 + kRow * 16] = {};

  explicit IconStrip(const COLORREF (&colours)[kImages])
  {
    const int header[] = {40, kWidth, 16};
    std::memcpy(bytes, header, sizeof(header));
    bytes[12] = 1;
    bytes[14] = 24;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF clr = x % 16 == 0 ? RGB(0, 255, 0) : colours[x / 16];
        BYTE* pixel = bytes + 40 + y * kRow + x * 3;
        pixel[0] = GetBValue(clr);
        pixel[1] = GetGValue(clr);
        pixel[2] = GetRValue(clr);
      }
    }
  }
};

constexpr WORD kThreeIcons = 134;
constexpr WORD kFourIcons = 135;

HINSTANCE IconModule()
{
  static const IconStrip<3> three({RGB(200, 0, 0), RGB(0, 0, 200), RGB(200, 200, 0)});
  static const IconStrip<4> four({RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3), RGB(4, 4, 4)});
  static const platform::BinaryResource resources[] = {
      {2 /* RT_BITMAP */, kThreeIcons, three.bytes, sizeof(three.bytes)},
      {2 /* RT_BITMAP */, kFourIcons, four.bytes, sizeof(four.bytes)},
  };
  static platform::ResourceModuleData module{"DockingIconTests", nullptr, 0};
  module.resources = resources;
  module.resourceCount = std::size(resources);
  static HINSTANCE handle = platform::RegisterResourceModule(module);
  return handle;
}

// Pane icons come from one strip of 16-pixel images that must hold exactly as many images as ids are given; a
// pane finds its icon by its icon id, else its own id; tabs draw them while their paint manager shows icons.
TEST(DockingPaneManager, IconsFromABitmapStripAndOnTheTabs)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(IconModule());
  struct Case {
    UINT bitmap;
    std::vector<int> ids;
    BOOL result;
    std::vector<int> stored;
    std::vector<int> absent;
  };
  const Case cases[] = {
      {kFourIcons, {1, 2, 3}, FALSE, {}, {1, 2, 3}},
      {999, {4, 5, 6}, FALSE, {}, {4, 5, 6}},
      {kThreeIcons, {0, 7, 8}, TRUE, {7, 8}, {0}},
      {kThreeIcons, {32769, 32770, 32774}, TRUE, {32769, 32770, 32774}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bitmap);
    EXPECT_EQ(c.result, manager.SetIcons(c.bitmap, c.ids.data(), static_cast<int>(c.ids.size()), 0xFF00));
    for (int id : c.stored) {
      CTKImageManagerIcon* pIcon = manager.GetIcon(static_cast<UINT>(id), 16);
      ASSERT_NE(nullptr, pIcon) << id;
      EXPECT_EQ(16, pIcon->GetWidth());
    }
    for (int id : c.absent)
      EXPECT_EQ(nullptr, manager.GetIcon(static_cast<UINT>(id), 16)) << id;
  }
  AfxSetResourceHandle(previous);

  CTKDockingPane* pObjects = manager.CreatePane(32769, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  CTKDockingPane* pNoIcon = manager.CreatePane(40000, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  CTKDockingPane* pBorrowed = manager.CreatePane(40001, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  pBorrowed->m_nIconID = 32774;
  EXPECT_EQ(manager.GetIcon(32769, 16), pObjects->GetIcon(16));
  EXPECT_EQ(nullptr, pNoIcon->GetIcon(16));
  EXPECT_EQ(manager.GetIcon(32774, 16), pBorrowed->GetIcon(16));

  auto* pGroup = pObjects->GetParentTabbed();
  manager.MoveNodeToContainer(pNoIcon, pObjects);
  manager.ShowPane(pObjects, FALSE);
  frame.Layout();
  ASSERT_TRUE(pGroup->IsTabsVisible());
  CTKTabManagerItem* pObjectsTab = pGroup->GetTab(0);
  CTKTabManagerItem* pNoIconTab = pGroup->GetTab(1);
  ASSERT_EQ(pObjects, pObjectsTab->m_pObject);
  tktest::Canvas canvas(40, 40);
  CSize size(16, 16);
  EXPECT_TRUE(pGroup->DrawTabIcon(&canvas.m_dc, 10, 10, pObjectsTab, TRUE, size));
  EXPECT_EQ(RGB(200, 0, 0), canvas.m_dc.GetPixel(18, 18));
  EXPECT_EQ(RGB(255, 255, 255), canvas.m_dc.GetPixel(10, 18));  // the mask column stays transparent
  EXPECT_FALSE(pGroup->DrawTabIcon(&canvas.m_dc, 10, 10, pNoIconTab, FALSE, size));
  manager.GetPaintManager()->GetPanelPaintManager()->m_bShowIcons = FALSE;
  EXPECT_FALSE(pGroup->DrawTabIcon(&canvas.m_dc, 10, 10, pObjectsTab, FALSE, size));
}

// The tips of a group: a caption button gives its toolkit string (none without the toolkit module), a tab the
// title of its pane, anything else nothing.
TEST(DockingPaneManager, TipsOfCaptionButtonsAndTabs)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pFirst = manager.CreatePane(32769, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  CTKDockingPane* pSecond = manager.CreatePane(32770, CRect(0, 0, 200, 100), TK_DOCK_RIGHT);
  pFirst->SetTitle("Объекты");
  pSecond->SetTitle("Параметры\nСвойства");
  auto* pGroup = pFirst->GetParentTabbed();
  manager.MoveNodeToContainer(pSecond, pFirst);
  manager.ShowPane(pFirst, FALSE);
  frame.Layout();
  ASSERT_TRUE(pGroup->IsTabsVisible());
  pGroup->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // the buttons get their places
  CTKDockingPaneCaptionButton* pClose = pGroup->FindCaptionButton(TK_IDS_DOCKINGPANE_CLOSE);
  ASSERT_FALSE(pClose->GetRect().IsRectEmpty());

  struct Tip {
    INT_PTR hit;
    std::string text;
  };
  const auto tipAt = [&](CPoint point) {
    TOOLINFO info;
    info.cbSize = TK_TOOLINFO_SIZE_NO_EXTENSION;
    Tip tip{pGroup->OnToolHitTest(point, &info), ""};
    if (tip.hit != -1 && info.lpszText != nullptr && info.lpszText != LPSTR_TEXTCALLBACK) {
      tip.text = info.lpszText;
      std::free(info.lpszText);
    }
    return tip;
  };
  const CPoint closeCentre = pClose->GetRect().CenterPoint();
  EXPECT_EQ(-1, tipAt(closeCentre).hit);
  res::RegisterModules();
  TKResourceManager()->SetResourceHandle(platform::RegisterResourceModule(res::ToolkitModule()));
  const Tip close = tipAt(closeCentre);
  EXPECT_EQ(TK_IDS_DOCKINGPANE_CLOSE, close.hit);
  EXPECT_EQ("Закрыть", close.text);
  const Tip tab = tipAt(pGroup->GetTab(1)->GetRect().CenterPoint());
  EXPECT_EQ(1, tab.hit);
  EXPECT_EQ("Параметры", tab.text);
  EXPECT_EQ(-1, tipAt(CPoint(10, 6)).hit);  // the caption text
  TKSetResourceInstance(nullptr, nullptr);
}

// The menu button tells the site with code 5: the selected pane and the button's rectangle in screen coordinates
// (its left and bottom edges as the point), the button held down while the site answers.
TEST(DockingPaneManager, MenuButtonSendsItsRecord)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pPane = manager.CreatePane(32769, CRect(0, 0, 200, 100), TK_DOCK_LEFT);
  pPane->SetOptions(TK_PANE_HASMENUBUTTON);
  frame.Layout();
  auto* pGroup = pPane->GetParentTabbed();
  pGroup->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  CTKDockingPaneCaptionButton* pMenu = pGroup->FindCaptionButton(TK_IDS_DOCKINGPANE_MENU);
  ASSERT_TRUE(pMenu->IsVisible());
  CRect rcScreen = pMenu->GetRect();
  pGroup->ClientToScreen(&rcScreen);
  BOOL bPressedMeanwhile = FALSE;
  frame.m_onMenu = [&] { bPressedMeanwhile = pMenu->m_bPressed; };
  frame.m_notes.clear();
  const CPoint centre = pMenu->GetRect().CenterPoint();
  pGroup->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
  // The press gives the pane the focus first.
  const std::vector<Note> expected = {{TK_DPN_ACTION, 32769, tkActionActivated},
                                      {TK_DPN_CONTEXTMENU, 32769, kNoAction}};
  EXPECT_EQ(expected, frame.m_notes);
  EXPECT_EQ(pPane, frame.m_lastMenu.pPane);
  EXPECT_EQ(CPoint(rcScreen.left, rcScreen.bottom), CPoint(frame.m_lastMenu.pt));
  EXPECT_EQ(rcScreen, CRect(frame.m_lastMenu.rc));
  EXPECT_TRUE(bPressedMeanwhile);
  EXPECT_FALSE(pMenu->m_bPressed);
}

// A tab dragged along its strip trades places with the pane whose tab (where it stood at the press) it reaches;
// leaving the strip announces action 16, which the site may refuse to keep the tab drag.
TEST(DockingPaneManager, TabDraggedAlongItsStrip)
{
  constexpr CPoint kOutside(-1, -1);
  struct Case {
    const char* what;
    std::vector<int> moves;  // recorded tab index to move onto; -1 out of the strip
    int cancelAction;
    const char* order;
    bool stillDragging;
    std::vector<Note> notes;
  };
  const Case cases[] = {
      {"onto the next tab", {1}, kNoAction, "2 1 3", true, {}},
      {"back onto its own place", {1, 0}, kNoAction, "1 2 3", true, {}},
      {"across two tabs", {1, 2}, kNoAction, "2 3 1", true, {}},
      {"out of the strip", {-1}, kNoAction, "1 2 3", false, {{TK_DPN_ACTION, 1, tkActionDetaching}}},
      {"out, refused", {-1}, tkActionDetaching, "1 2 3", true, {{TK_DPN_ACTION, 1, tkActionDetaching}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CDockFrame frame;
    ASSERT_TRUE(frame.Make(600, 400));
    CTKDockingPaneManager& manager = frame.m_paneManager;
    CTKDockingPane* pFirst = manager.CreatePane(1, CRect(0, 0, 300, 100), TK_DOCK_LEFT);
    for (int id : {2, 3}) {
      manager.MoveNodeToContainer(manager.CreatePane(id, CRect(0, 0, 300, 100), TK_DOCK_RIGHT), pFirst);
    }
    manager.ShowPane(pFirst, FALSE);
    frame.Layout();
    auto* pGroup = pFirst->GetParentTabbed();
    ASSERT_EQ(3, pGroup->GetTabCount());
    std::vector<CPoint> centres;
    for (int i = 0; i < 3; ++i) {
      centres.push_back(pGroup->GetTab(i)->GetRect().CenterPoint());
    }
    frame.m_cancelAction = c.cancelAction;
    pGroup->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centres[0].x, centres[0].y));
    EXPECT_EQ(pFirst, pGroup->GetSelected());
    EXPECT_EQ(pGroup->GetSafeHwnd(), ::GetCapture());
    frame.m_notes.clear();
    for (int move : c.moves) {
      const CPoint at = move >= 0 ? centres[static_cast<size_t>(move)] : kOutside;
      pGroup->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    }
    std::string order;
    for (POSITION pos = pGroup->GetPanes().GetHeadPosition(); pos != nullptr;) {
      order += (order.empty() ? "" : " ") + std::to_string(pGroup->GetPanes().GetNext(pos)->GetID());
    }
    EXPECT_EQ(c.order, order);
    EXPECT_EQ(pFirst, pGroup->GetSelected());
    EXPECT_EQ(c.stillDragging, ::GetCapture() == pGroup->GetSafeHwnd());
    std::vector<Note> notes;
    for (const Note& note : frame.m_notes) {
      if (note.code == TK_DPN_ACTION) {
        notes.push_back(note);
      }
    }
    EXPECT_EQ(c.notes, notes);
    pGroup->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centres[0].x, centres[0].y));
    EXPECT_NE(pGroup->GetSafeHwnd(), ::GetCapture());
    EXPECT_EQ(CheckTree(manager.GetCurrentLayout()), "");
  }
}

// An OLE drag over the strip shows the tab under it without taking the focus or announcing it, and the group
// never takes the drop; a tab paint manager that does not select on drag-over leaves the selection alone.
TEST(DockingPaneManager, OleDragOverATabSelectsItsPane)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(600, 400));
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPane* pFirst = manager.CreatePane(1, CRect(0, 0, 300, 100), TK_DOCK_LEFT);
  CTKDockingPane* pSecond = manager.CreatePane(2, CRect(0, 0, 300, 100), TK_DOCK_RIGHT);
  manager.MoveNodeToContainer(pSecond, pFirst);
  manager.ShowPane(pFirst, FALSE);
  frame.Layout();
  auto* pGroup = pFirst->GetParentTabbed();
  ASSERT_EQ(pFirst, pGroup->GetSelected());
  const CPoint overSecond = pGroup->GetTab(1)->GetRect().CenterPoint();
  CTKTabPaintManager* pTabs = manager.GetPaintManager()->GetPanelPaintManager();

  pTabs->m_bSelectOnDragOver = FALSE;
  EXPECT_EQ(DROPEFFECT_NONE, pGroup->GetDropTarget().OnDragOver(pGroup, nullptr, 0, overSecond));
  EXPECT_EQ(pFirst, pGroup->GetSelected());

  pTabs->m_bSelectOnDragOver = TRUE;
  const HWND hFocus = ::GetFocus();
  frame.m_notes.clear();
  EXPECT_EQ(DROPEFFECT_NONE, pGroup->GetDropTarget().OnDragEnter(pGroup, nullptr, 0, overSecond));
  EXPECT_EQ(pSecond, pGroup->GetSelected());
  EXPECT_EQ(hFocus, ::GetFocus());
  // Only the shown pane's window is asked for (code 1); no activation is announced.
  for (const Note& note : frame.m_notes)
    EXPECT_EQ(TK_DPN_SHOWWINDOW, note.code);
  EXPECT_EQ(DROPEFFECT_NONE, pGroup->GetDropTarget().OnDragOver(pGroup, nullptr, 0, CPoint(5, 5)));
  EXPECT_EQ(pSecond, pGroup->GetSelected());
}

}  // namespace
