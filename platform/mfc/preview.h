// Print preview: CPreviewView takes the place of a view in its frame and shows the pages another view prints,
// one or two at a time, at three sizes, under a toolbar made from a dialog template (AFX_IDD_PREVIEW_TOOLBAR
// or the program's own, with the AFX_ID_PREVIEW_* buttons and any of the program's, whose commands reach the
// preview view's map first).
//
// Pages are drawn by the printed view's OnPrepareDC and OnPrint into a DC that reports the printer's size and
// resolution; the page picture is then shrunk to the screen.
#pragma once

#include "platform/mfc/dialog.h"
#include "platform/mfc/printing.h"
#include "platform/mfc/scrollview.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CPreviewView;

// The toolbar above the pages. It sends its buttons' commands to the preview view.
class CPreviewToolBar : public CDialog {
  DECLARE_DYNAMIC(CPreviewToolBar)
public:
  explicit CPreviewToolBar(CPreviewView* pPreview) : m_pPreview(pPreview) {}
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  void OnOK() override {}
  // Escape closes the preview.
  void OnCancel() override;

protected:
  void PostNcDestroy() override { delete this; }

private:
  CPreviewView* m_pPreview;
};

class CPreviewView : public CScrollView {
  DECLARE_DYNCREATE(CPreviewView)
public:
  CPreviewView();
  ~CPreviewView() override;

  enum { ZOOM_OUT = 0, ZOOM_MIDDLE = 1, ZOOM_IN = 2 };

  // The view whose pages are shown; FALSE when it cannot prepare its printing.
  virtual BOOL SetPrintView(CView* pPrintView);
  // nPage becomes the first page shown.
  void SetCurrentPage(UINT nPage, BOOL bClearRatios);
  void SetZoomState(UINT nNewState, UINT nPage, CPoint point);
  // The page under a client point (FALSE: none).
  BOOL FindPageRect(CPoint& point, UINT& nPage);

  UINT GetCurrentPage() const { return m_nCurrentPage; }
  UINT GetPagesShown() const { return m_nPages; }
  UINT GetZoomState() const { return m_nZoomState; }
  CView* GetPrintView() const { return m_pPrintView; }
  CView* GetOrigView() const { return m_pOrigView; }
  CPrintInfo* GetPrintInfo() const { return m_pPreviewInfo; }
  CPreviewToolBar* GetToolBar() const { return m_pToolBar; }
  // Where each shown page lies, in document pixels (the client area's when not scrolled).
  const std::vector<CRect>& GetPageRects() const { return m_pageRects; }
  // What the status bar was told: "Page 2", "Pages 1-2".
  const CString& GetPageText() const { return m_strPageText; }
  // The last page known: the print info's maximum, or the last the printed view agreed to (0xFFFF: unknown).
  UINT GetLastPage() const;

  // The window's pixels, toolbar included, to a PNG file (for tests and pictures).
  bool SaveWindowPng(const std::string& path);

  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
  void OnDraw(CDC* pDC) override;
  void OnInitialUpdate() override;

  void OnPreviewClose();
  void OnNumPageChange();
  void OnNextPage();
  void OnPrevPage();
  void OnPreviewPrint();
  void OnZoomIn();
  void OnZoomOut();

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  BOOL OnEraseBkgnd(HDC hDC);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

protected:
  // Tells the toolbar's page text ("Page %u" / "Pages %u-%u").
  virtual void OnDisplayPageNumber(UINT nPage, UINT nPagesDisplayed);

  CView* m_pOrigView = nullptr;
  CView* m_pPrintView = nullptr;
  CPrintPreviewState* m_pPreviewState = nullptr;
  CPreviewToolBar* m_pToolBar = nullptr;
  CPrintInfo* m_pPreviewInfo = nullptr;
  UINT m_nToolBarID = AFX_IDD_PREVIEW_TOOLBAR;
  UINT m_nZoomState = ZOOM_OUT;
  UINT m_nPages = 1;            // shown at once: 1 or 2
  UINT m_nMaxPages = 2;
  UINT m_nCurrentPage = 1;
  UINT m_nLastPageSeen = 0xFFFF;  // a page the printed view declined: the pages end before it

  DECLARE_MESSAGE_MAP()

private:
  friend class CView;
  struct PageImage;

  void UpdateToolBar();
  bool CanNext() const;
  bool CanPrev() const;
  void LayoutPages();
  int ToolBarHeight() const;
  // The page picture at the size it is shown; rendered once per page and size.
  const PageImage* PageAt(UINT nPage, CSize size);
  void ClosePreview();

  CDC m_dcPreview;  // the printer's page, drawn into pictures
  CString m_strPageText;
  std::vector<CRect> m_pageRects;
  std::map<UINT, std::shared_ptr<PageImage>> m_cache;
  CSize m_cacheSize;
  CSize m_paperPixels;  // the printer's page, device pixels
  bool m_closing = false;
};
