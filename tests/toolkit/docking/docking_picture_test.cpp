// Pictures for people: the program's arrangement in docking theme 9 (and with two panes tabbed together), and a
// gallery of captions and splitters in themes 0-9, drawn headless through the paint managers into
// build/artifacts/. Also the caption pixels of theme 9 read back.
#include "tests/toolkit/docking/dock_frame.h"
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/icons.h"
#include "platform/gdi/png.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/image_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using docktest::CDockFrame;

constexpr int kLegendHeight = 28;

using tktest::Canvas;

void Label(CDC& dc, const CString& text, CRect rc, UINT nFormat, BOOL bBold = FALSE, COLORREF clr = RGB(0, 0, 0))
{
  CFont font;
  font.CreateFont(-13, 0, 0, 0, bBold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont* pOld = dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(clr);
  dc.DrawText(text, &rc, nFormat | DT_NOPREFIX);
  dc.SelectObject(pOld);
}

// Stand-in content of a pane, by what the program shows there.
void PaintPaneContent(CDC& dc, const CTKDockingPane* pPane, CRect rc)
{
  dc.FillSolidRect(rc, RGB(255, 255, 255));
  const COLORREF ink = RGB(40, 40, 40);
  const COLORREF rule = RGB(200, 200, 200);
  switch (pPane->GetID()) {
    case 32769:  // the object tree
      for (int i = 0; i < 5 && rc.top + 8 + i * 18 < rc.bottom - 16; ++i) {
        static const char* const kItems[] = {"Проект", "Дорога 1", "Группа опор 1", "Опора 12", "Светильник А"};
        const int indent = i == 0 ? 0 : (i < 3 ? 14 : 28);
        Label(dc, kItems[i], CRect(rc.left + 6 + indent, rc.top + 4 + i * 18, rc.right, rc.top + 22 + i * 18),
              DT_SINGLELINE | DT_VCENTER, FALSE, ink);
      }
      break;
    case 32770:  // the parameters grid
      for (int y = rc.top + 20; y < rc.bottom; y += 20) {
        dc.FillSolidRect(rc.left, y, rc.Width(), 1, rule);
      }
      dc.FillSolidRect(rc.left + rc.Width() / 2, rc.top, 1, rc.Height(), rule);
      Label(dc, "Ширина", CRect(rc.left + 4, rc.top, rc.left + rc.Width() / 2, rc.top + 20), DT_SINGLELINE | DT_VCENTER,
            FALSE, ink);
      Label(dc, "7.50", CRect(rc.left + rc.Width() / 2 + 4, rc.top, rc.right, rc.top + 20), DT_SINGLELINE | DT_VCENTER,
            FALSE, ink);
      break;
    case 32774:  // the report
      Label(dc, "Протокол расчёта", CRect(rc.left + 8, rc.top + 6, rc.right, rc.top + 24), DT_SINGLELINE, TRUE, ink);
      for (int y = rc.top + 32; y < rc.bottom - 8; y += 12) {
        dc.FillSolidRect(rc.left + 8, y, rc.Width() - 24 - (y % 3) * 10, 4, rule);
      }
      break;
    default:  // the economics view
      Label(dc, "Экономика", CRect(rc.left + 8, rc.top + 6, rc.right, rc.top + 24), DT_SINGLELINE, TRUE, ink);
      for (int y = rc.top + 32; y < rc.bottom - 8; y += 16) {
        dc.FillSolidRect(rc.left + 8, y, rc.Width() - 16, 1, rule);
      }
      break;
  }
}

// Paints one window's picture at its own origin, as its WM_PAINT would, then copies it to (x, y).
template <typename PaintFn>
void PaintWindowAt(CDC& dc, int x, int y, int cx, int cy, PaintFn paint)
{
  if (cx <= 0 || cy <= 0) {
    return;
  }
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&dc, cx, cy);
  CBitmap* pOld = memDC.SelectObject(&bitmap);
  paint(memDC);
  dc.BitBlt(x, y, cx, cy, &memDC, 0, 0, SRCCOPY);
  memDC.SelectObject(pOld);
}

// Draws the frame's docked layout at (x, y) of the canvas as its windows would paint themselves.
void PaintFrame(CDC& dc, CDockFrame& frame, int x, int y, const CString& clientText)
{
  CRect rcFrame;
  frame.GetClientRect(&rcFrame);
  CTKDockingPaneManager& manager = frame.m_paneManager;
  CTKDockingPanePaintManager* pPaint = manager.GetPaintManager();
  const int saved = dc.SaveDC();
  dc.SetViewportOrg(x, y);
  dc.FillSolidRect(rcFrame, pPaint->GetColor(COLOR_3DFACE));
  CRect rcClient = manager.GetClientPane()->m_rcWindow;
  dc.FillSolidRect(rcClient, RGB(232, 236, 242));
  Label(dc, clientText, rcClient, DT_SINGLELINE | DT_VCENTER | DT_CENTER, FALSE, RGB(90, 90, 90));
  CTKDockingPaneLayout* pLayout = manager.GetCurrentLayout();
  for (POSITION pos = pLayout->m_lstNodes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneBase* pNode = pLayout->m_lstNodes.GetNext(pos);
    if (pNode->GetType() == TK_DOCKINGPANE_TABBED && !pNode->IsEmpty()) {
      auto* pTabbed = static_cast<CTKDockingPaneTabbedContainer*>(pNode);
      const CRect rc = pTabbed->m_rcWindow;
      PaintWindowAt(dc, rc.left, rc.top, rc.Width(), rc.Height(), [&](CDC& windowDC) {
        pPaint->DrawPane(&windowDC, pTabbed, CRect(0, 0, rc.Width(), rc.Height()));
      });
      if (CTKDockingPane* pSelected = pTabbed->GetSelected(); pSelected != nullptr) {
        PaintPaneContent(dc, pSelected, pSelected->m_rcWindow);
      }
    } else if (pNode->GetType() == TK_DOCKINGPANE_SPLITTER) {
      auto* pSplitter = static_cast<CTKDockingPaneSplitterContainer*>(pNode);
      for (POSITION posBar = pSplitter->m_lstSpliters.GetHeadPosition(); posBar != nullptr;) {
        CTKDockingPaneSplitterWnd* pBar = pSplitter->m_lstSpliters.GetNext(posBar);
        CRect rcBar;
        pBar->GetWindowRect(&rcBar);
        frame.ScreenToClient(&rcBar);
        PaintWindowAt(dc, rcBar.left, rcBar.top, rcBar.Width(), rcBar.Height(),
                      [&](CDC& windowDC) { pPaint->DrawSplitter(&windowDC, pBar); });
      }
    }
  }
  dc.RestoreDC(saved);
}

// Icons for the tree, the parameters and the report, as the program gives them (the economics view has none).
void GiveProgramIcons(CTKDockingPaneManager& manager)
{
  const std::pair<UINT, COLORREF> icons[] = {
      {32769, RGB(40, 140, 60)}, {32770, RGB(40, 90, 190)}, {32774, RGB(220, 120, 20)}};
  for (const auto& [id, colour] : icons) {
    HICON hIcon = tktest::MakeIcon(16, 16, colour);
    manager.GetImageManager()->SetIcon(CTKImageManagerIconHandle(hIcon), id);
    ::DestroyIcon(hIcon);
  }
}

void MakeActive(CTKDockingPane* pPane)
{
  pPane->GetParentTabbed()->m_bActive = TRUE;
}

TEST(DockingPictures, ProgramArrangementInThemeNine)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 560));
  frame.MakeProgramPanes();
  frame.Layout();
  MakeActive(frame.m_paneManager.FindPane(32769));
  Canvas canvas(800, 560 + kLegendHeight);
  Label(canvas.m_dc,
        "Docking theme 9 (Visual Studio 2005), no visual style; the active group is \"Объекты\"",
        CRect(8, 0, 800, kLegendHeight), DT_SINGLELINE | DT_VCENTER, TRUE);
  PaintFrame(canvas.m_dc, frame, 0, kLegendHeight, "клиентская область (вид)");
  EXPECT_TRUE(canvas.Save("toolkit_docking_program.png"));

  // The active caption is filled with the active caption colour, the inactive ones with the inactive colour.
  CTKDockingPanePaintManager* pPaint = frame.m_paneManager.GetPaintManager();
  const CRect rcActive = frame.m_paneManager.FindPane(32769)->GetContainer()->m_rcWindow;
  const CRect rcInactive = frame.m_paneManager.FindPane(32774)->GetContainer()->m_rcWindow;
  const int yCaption = kLegendHeight + pPaint->GetCaptionHeight() / 2;
  EXPECT_EQ(canvas.m_dc.GetPixel(rcActive.left + 3, rcActive.top + yCaption), pPaint->GetColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(canvas.m_dc.GetPixel(rcInactive.left + 3, rcInactive.top + yCaption),
            pPaint->GetColor(COLOR_INACTIVECAPTION));
}

TEST(DockingPictures, TwoPanesTabbedTogether)
{
  CDockFrame frame;
  ASSERT_TRUE(frame.Make(800, 560));
  frame.MakeProgramPanes();
  CTKDockingPaneManager& manager = frame.m_paneManager;
  GiveProgramIcons(manager);
  manager.MoveNodeToContainer(manager.FindPane(32777), manager.FindPane(32774));
  manager.ShowPane(manager.FindPane(32774), FALSE);
  frame.Layout();
  frame.Layout();
  MakeActive(manager.FindPane(32774));
  auto* pGroup = manager.FindPane(32774)->GetParentTabbed();
  ASSERT_TRUE(pGroup->IsTabsVisible());
  EXPECT_EQ(pGroup->GetTabCount(), 2);
  Canvas canvas(800, 560 + kLegendHeight);
  Label(canvas.m_dc,
        "Docking theme 9: results and economics tabbed together on the right (tabs at the bottom, the results' icon)",
        CRect(8, 0, 800, kLegendHeight), DT_SINGLELINE | DT_VCENTER, TRUE);
  PaintFrame(canvas.m_dc, frame, 0, kLegendHeight, "клиентская область (вид)");
  EXPECT_TRUE(canvas.Save("toolkit_docking_tabbed.png"));
}

TEST(DockingPictures, CaptionsAndSplittersInEveryTheme)
{
  static const char* const kThemeNames[] = {"0 Default",     "1 Office",       "2 Office 2003", "3 Native XP",
                                            "4 Grippered",   "5 Visio",        "6 Whidbey",     "7 Shortcut Bar 2003",
                                            "8 Explorer",    "9 Visual Studio 2005"};
  constexpr int kCellWidth = 420;
  constexpr int kCellHeight = 190;
  constexpr int kFrameWidth = 400;
  constexpr int kFrameHeight = 150;
  Canvas canvas(2 * kCellWidth, kLegendHeight + 5 * kCellHeight);
  Label(canvas.m_dc,
        "Docking themes 0-9: an active group (two tabs) left, a column of two inactive groups right, splitters between",
        CRect(8, 0, canvas.m_width, kLegendHeight), DT_SINGLELINE | DT_VCENTER, TRUE);
  for (int nTheme = 0; nTheme < 10; ++nTheme) {
    CDockFrame frame;
    ASSERT_TRUE(frame.Make(kFrameWidth, kFrameHeight));
    CTKDockingPaneManager& manager = frame.m_paneManager;
    manager.SetTheme(nTheme);
    CTKDockingPane* pObjects = manager.CreatePane(32769, CRect(0, 0, 160, 100), TK_DOCK_LEFT);
    pObjects->SetTitle("Объекты");
    CTKDockingPane* pParameters = manager.CreatePane(32770, CRect(0, 0, 160, 100), TK_DOCK_RIGHT);
    pParameters->SetTitle("Параметры");
    manager.MoveNodeToContainer(pParameters, pObjects);
    manager.ShowPane(pObjects, FALSE);
    CTKDockingPane* pResults = manager.CreatePane(32774, CRect(0, 0, 150, 60), TK_DOCK_RIGHT);
    pResults->SetTitle("Результаты");
    CTKDockingPane* pEconomics = manager.CreatePane(32777, CRect(0, 0, 150, 60), TK_DOCK_BOTTOM, pResults);
    pEconomics->SetTitle("Экономика");
    frame.Layout();
    frame.Layout();
    MakeActive(pObjects);
    const int x = (nTheme % 2) * kCellWidth;
    const int y = kLegendHeight + (nTheme / 2) * kCellHeight;
    canvas.m_dc.FillSolidRect(x, y, kCellWidth, kCellHeight, (nTheme / 2) % 2 == 0 ? RGB(255, 255, 255) : RGB(238, 238, 238));
    Label(canvas.m_dc, kThemeNames[nTheme], CRect(x + 10, y + 4, x + kCellWidth, y + 26), DT_SINGLELINE | DT_VCENTER,
          TRUE);
    PaintFrame(canvas.m_dc, frame, x + 10, y + 30, "вид");
  }
  EXPECT_TRUE(canvas.Save("toolkit_docking_themes.png"));
}

}  // namespace
