// Print preview in the frame: it stands in for the view, shows the pages the view prints, pages through them
// one or two at a time, zooms in three steps, prints, and on closing gives the frame its view back.
#include "platform/gdi/png.h"
#include "platform/mfc/statusbar.h"
#include "platform/mfc/toolbar.h"
#include "platform/gdi/surface.h"
#include "platform/user/paint.h"
#include "tests/platform/mfc/print_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>
#include <string>

namespace previewtest {

constexpr UINT kExportCommand = 32832;

// The program's kind of preview: its own class with a command of its own on the toolbar.
class CExportingPreview : public CPreviewView {
  DECLARE_DYNCREATE(CExportingPreview)
public:
  static inline int exports = 0;
  void OnExport() { ++exports; }
  DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CExportingPreview, CPreviewView)
BEGIN_MESSAGE_MAP(CExportingPreview, CPreviewView)
  ON_COMMAND(kExportCommand, &CExportingPreview::OnExport)
END_MESSAGE_MAP()

}  // namespace previewtest

namespace {

using previewtest::CExportingPreview;
using previewtest::kExportCommand;

class Preview : public printtest::PrintFixture {
protected:
  CPreviewView* Open()
  {
    frame_->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    Pump();
    return dynamic_cast<CPreviewView*>(frame_->GetActiveView());
  }
  // A toolbar button pressed as a click would press it.
  void Press(CPreviewView* preview, UINT id)
  {
    HWND button = ::GetDlgItem(preview->GetToolBar()->m_hWnd, static_cast<int>(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(::IsWindowEnabled(button)) << id;
    ::SendMessage(button, BM_CLICK, 0, 0);
    Pump();
  }
  bool Enabled(CPreviewView* preview, UINT id)
  {
    return ::IsWindowEnabled(::GetDlgItem(preview->GetToolBar()->m_hWnd, static_cast<int>(id))) != FALSE;
  }
  // Dark pixels inside a shown page of the window: the page's text and frame.
  int InkOnPage(CPreviewView* preview, std::size_t index)
  {
    preview->UpdateWindow();
    const gdi::Surface* s = user::WindowSurface(frame_->m_hWnd);
    CRect r = preview->GetPageRects()[index];
    CPoint origin(0, 0);
    ::ClientToScreen(preview->m_hWnd, &origin);
    RECT frameRect;
    ::GetWindowRect(frame_->m_hWnd, &frameRect);
    r.OffsetRect(origin.x - frameRect.left, origin.y - frameRect.top);
    int ink = 0;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, s->Height()); ++y) {
      for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, s->Width()); ++x) {
        const std::uint32_t p = s->Pixel(x, y);
        ink += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 128 ? 1 : 0;
      }
    }
    return ink;
  }
};

TEST_F(Preview, StandsInForTheViewPagesThroughAndGivesTheViewBack)
{
  CPreviewView* preview = Open();
  ASSERT_NE(preview, nullptr);
  ASSERT_GE(view_->log.size(), 2u);
  EXPECT_EQ(view_->log[0], "prepare preview");
  EXPECT_EQ(view_->log[1], "begin");
  EXPECT_EQ(user_.printDialogs, 0) << "a preview asks for no printer";
  // The view steps aside, hidden; the preview has the main pane.
  EXPECT_FALSE(view_->IsWindowVisible());
  EXPECT_EQ(view_->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_SAVE));
  EXPECT_EQ(preview->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
  EXPECT_EQ(preview->GetPrintView(), view_);

  // The framework's toolbar, its captions as the framework has them.
  CString caption;
  preview->GetToolBar()->GetDlgItemText(AFX_ID_PREVIEW_PRINT, caption);
  EXPECT_STREQ(caption, "&Print...");
  preview->GetToolBar()->GetDlgItemText(AFX_ID_PREVIEW_NUMPAGE, caption);
  EXPECT_STREQ(caption, "&Two Page");

  // Page 1 alone, drawn by the view's OnPrint.
  preview->SaveWindowPng(std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_preview_one_page.png");
  EXPECT_EQ(preview->GetCurrentPage(), 1u);
  ASSERT_EQ(preview->GetPageRects().size(), 1u);
  EXPECT_GT(InkOnPage(preview, 0), 200);
  EXPECT_STREQ(preview->GetPageText(), "Page 1");
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_PREV));
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_ZOOMOUT));

  Press(preview, AFX_ID_PREVIEW_NEXT);
  Press(preview, AFX_ID_PREVIEW_NEXT);
  preview->UpdateWindow();
  EXPECT_EQ(preview->GetCurrentPage(), 3u);
  EXPECT_STREQ(preview->GetPageText(), "Page 3");
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_NEXT)) << "three pages: none after the third";
  Press(preview, AFX_ID_PREVIEW_PREV);
  EXPECT_EQ(preview->GetCurrentPage(), 2u);

  // Two pages side by side: 2 and 3, the last ones.
  Press(preview, AFX_ID_PREVIEW_NUMPAGE);
  preview->UpdateWindow();
  ASSERT_EQ(preview->GetPageRects().size(), 2u);
  EXPECT_LT(preview->GetPageRects()[0].right, preview->GetPageRects()[1].left);
  EXPECT_STREQ(preview->GetPageText(), "Pages 2-3");
  EXPECT_GT(InkOnPage(preview, 1), 200);
  preview->GetToolBar()->GetDlgItemText(AFX_ID_PREVIEW_NUMPAGE, caption);
  EXPECT_STREQ(caption, "&One Page");
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_NEXT));
  preview->SaveWindowPng(std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_preview_two_pages.png");

  // Escape closes it: the view is back where it was, active, and the printing calls are ended once.
  ::SendMessage(preview->GetToolBar()->m_hWnd, WM_COMMAND, IDCANCEL, 0);
  Pump();
  EXPECT_EQ(frame_->GetActiveView(), view_);
  EXPECT_TRUE(view_->IsWindowVisible());
  EXPECT_EQ(view_->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
  EXPECT_EQ(::GetDlgItem(frame_->m_hWnd, static_cast<int>(AFX_IDW_PANE_SAVE)), nullptr);
  EXPECT_EQ(std::count(view_->log.begin(), view_->log.end(), "end"), 1);
  EXPECT_FALSE(std::filesystem::exists(user_.file)) << "a preview prints nothing";
}

TEST_F(Preview, TheFramesBarsMakeRoomAndComeBackAfterwards)
{
  auto bars = std::make_unique<std::pair<CToolBar, CStatusBar>>();
  CToolBar* toolbar = &bars->first;
  ASSERT_TRUE(toolbar->Create(frame_));
  const UINT buttons[] = {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW};
  toolbar->SetButtons(buttons, 2);
  CStatusBar* status = &bars->second;
  ASSERT_TRUE(status->Create(frame_));
  const UINT panes[] = {ID_SEPARATOR};
  status->SetIndicators(panes, 1);
  frame_->RecalcLayout();

  CPreviewView* preview = Open();
  ASSERT_NE(preview, nullptr);
  preview->UpdateWindow();
  EXPECT_FALSE(toolbar->IsWindowVisible()) << "the pages take the toolbar's room";
  EXPECT_TRUE(status->IsWindowVisible()) << "the status bar tells the page";
  CString pane;
  status->GetPaneText(0, pane);
  EXPECT_STREQ(pane, "Page 1");

  preview->OnPreviewClose();
  Pump();
  EXPECT_TRUE(toolbar->IsWindowVisible());
  EXPECT_TRUE(status->IsWindowVisible());
  EXPECT_EQ(frame_->GetActiveView(), view_);
  // The frame goes before its bars, which are objects of their own.
  frame_->DestroyWindow();
  frame_ = nullptr;
}

TEST_F(Preview, TheKeysPageAndEscapeCloses)
{
  CPreviewView* preview = Open();
  ASSERT_NE(preview, nullptr);
  ASSERT_EQ(::GetFocus(), preview->m_hWnd);
  ::SendMessage(::GetFocus(), WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(preview->GetCurrentPage(), 2u);
  ::SendMessage(::GetFocus(), WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(preview->GetCurrentPage(), 1u);
  ::SendMessage(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(frame_->GetActiveView(), view_);
  EXPECT_TRUE(view_->IsWindowVisible());
}

TEST_F(Preview, ZoomsInThreeStepsAroundOnePage)
{
  CPreviewView* preview = Open();
  ASSERT_NE(preview, nullptr);
  Press(preview, AFX_ID_PREVIEW_NUMPAGE);
  ASSERT_EQ(preview->GetPageRects().size(), 2u);
  const int whole = preview->GetPageRects()[0].Width();

  Press(preview, AFX_ID_PREVIEW_ZOOMIN);
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_MIDDLE));
  ASSERT_EQ(preview->GetPageRects().size(), 1u) << "zoomed, one page";
  const int middle = preview->GetPageRects()[0].Width();
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_NUMPAGE));

  Press(preview, AFX_ID_PREVIEW_ZOOMIN);
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_IN));
  const int in = preview->GetPageRects()[0].Width();
  EXPECT_LT(whole, middle);
  EXPECT_LT(middle, in);
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_ZOOMIN));
  // Larger than the window: it scrolls, and the page still shows its print.
  EXPECT_NE(preview->GetStyle() & WS_VSCROLL, 0u);
  EXPECT_GT(InkOnPage(preview, 0), 200);
  preview->SaveWindowPng(std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_preview_zoomed.png");

  Press(preview, AFX_ID_PREVIEW_ZOOMOUT);
  Press(preview, AFX_ID_PREVIEW_ZOOMOUT);
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_OUT));
  EXPECT_EQ(preview->GetPageRects().size(), 2u) << "back to two pages";
  EXPECT_EQ(preview->GetPageRects()[0].Width(), whole);

  // A click on a page zooms in on it.
  const CRect second = preview->GetPageRects()[1];
  preview->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(second.CenterPoint().x, second.CenterPoint().y));
  EXPECT_EQ(preview->GetZoomState(), static_cast<UINT>(CPreviewView::ZOOM_MIDDLE));
  EXPECT_EQ(preview->GetCurrentPage(), 2u);
}

TEST_F(Preview, PrintClosesThePreviewAndPrintsTheDocument)
{
  CPreviewView* preview = Open();
  ASSERT_NE(preview, nullptr);
  Press(preview, AFX_ID_PREVIEW_NEXT);
  Press(preview, AFX_ID_PREVIEW_PRINT);
  EXPECT_EQ(frame_->GetActiveView(), view_);
  EXPECT_EQ(user_.printDialogs, 1);
  EXPECT_EQ(printtest::PdfPages(user_.file), 3);
  // The preview's printing calls ended before the print's began.
  const std::vector<std::string> expected = {"prepare preview", "begin", "dc 1", "print 1", "dc 2", "print 2", "end",
                                             "prepare", "begin", "dc 1", "print 1", "dc 2", "print 2", "dc 3",
                                             "print 3", "end"};
  EXPECT_EQ(view_->log, expected);
}

TEST_F(Preview, ALengthFoundOutWhilePagingEndsTheDocumentThere)
{
  view_->pages = 0xFFFF;  // the view never says: one page is all it prints
  CPreviewView* preview = Open();
  ASSERT_NE(preview, nullptr);
  preview->UpdateWindow();
  Press(preview, AFX_ID_PREVIEW_NEXT);
  preview->UpdateWindow();
  EXPECT_EQ(preview->GetCurrentPage(), 1u);
  EXPECT_EQ(preview->GetLastPage(), 1u);
  EXPECT_FALSE(Enabled(preview, AFX_ID_PREVIEW_NEXT));
  EXPECT_GT(InkOnPage(preview, 0), 200);
}

TEST_F(Preview, TheProgramsPreviewClassGetsItsToolbarCommands)
{
  auto* state = new CPrintPreviewState;
  ASSERT_TRUE(view_->DoPrintPreview(AFX_IDD_PREVIEW_TOOLBAR, view_, RUNTIME_CLASS(CExportingPreview), state));
  auto* preview = dynamic_cast<CExportingPreview*>(frame_->GetActiveView());
  ASSERT_NE(preview, nullptr);
  CExportingPreview::exports = 0;
  ::SendMessage(preview->GetToolBar()->m_hWnd, WM_COMMAND, kExportCommand, 0);
  EXPECT_EQ(CExportingPreview::exports, 1);
  preview->OnPreviewClose();
  EXPECT_EQ(frame_->GetActiveView(), view_);
}

TEST_F(Preview, APreviewThatCannotStartLeavesTheFrameAsItWas)
{
  // The program's toolbar template is missing.
  auto* state = new CPrintPreviewState;
  EXPECT_FALSE(view_->DoPrintPreview(161, view_, RUNTIME_CLASS(CPreviewView), state));
  delete state;
  EXPECT_EQ(frame_->GetActiveView(), view_);
  EXPECT_TRUE(view_->IsWindowVisible());
  EXPECT_EQ(view_->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));

  // The view cannot prepare its printing: the command tells the user.
  view_->refuse = true;
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(user_.messages.size(), 1u);
  EXPECT_EQ(frame_->GetActiveView(), view_);
  EXPECT_TRUE(view_->IsWindowVisible());
  EXPECT_EQ(view_->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
}

}  // namespace
