#include "platform/mfc/preview.h"

#include "platform/gdi/png.h"
#include "platform/gdi/print.h"
#include "platform/gdi/surface.h"
#include "platform/mfc/afxres.h"
#include "platform/mfc/ctrlbar.h"
#include "platform/mfc/document.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/msgbox.h"
#include "platform/user/dialog_template.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/system.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

IMPLEMENT_DYNAMIC(CPreviewToolBar, CDialog)
IMPLEMENT_DYNCREATE(CPreviewView, CScrollView)

BEGIN_MESSAGE_MAP(CPreviewView, CScrollView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_COMMAND(AFX_ID_PREVIEW_CLOSE, &CPreviewView::OnPreviewClose)
  ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, &CPreviewView::OnNumPageChange)
  ON_COMMAND(AFX_ID_PREVIEW_NEXT, &CPreviewView::OnNextPage)
  ON_COMMAND(AFX_ID_PREVIEW_PREV, &CPreviewView::OnPrevPage)
  ON_COMMAND(AFX_ID_PREVIEW_PRINT, &CPreviewView::OnPreviewPrint)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, &CPreviewView::OnZoomIn)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, &CPreviewView::OnZoomOut)
END_MESSAGE_MAP()

namespace {

constexpr int kMargin = 8;  // grey around the pages, pixels
constexpr int kShadow = 3;
constexpr COLORREF kBackground = RGB(128, 128, 128);

// The toolbar when the program has no template of its own: the framework's buttons in a row.
const void* BuiltInToolBarTemplate()
{
  static const user::DialogTemplate t = [] {
    user::DialogTemplate d(WS_CHILD | WS_VISIBLE | DS_CONTROL, 380, 16, "");
    struct Button {
      UINT id;
      const char* text;
      short cx;
    };
    const Button buttons[] = {
        {AFX_ID_PREVIEW_PRINT, "&Print...", 48},   {AFX_ID_PREVIEW_NEXT, "&Next Page", 48},
        {AFX_ID_PREVIEW_PREV, "Pre&v Page", 48},   {AFX_ID_PREVIEW_NUMPAGE, "&Two Page", 48},
        {AFX_ID_PREVIEW_ZOOMIN, "Zoom &In", 48},   {AFX_ID_PREVIEW_ZOOMOUT, "Zoom &Out", 48},
        {AFX_ID_PREVIEW_CLOSE, "&Close", 48},
    };
    short x = 4;
    for (const Button& b : buttons) {
      d.Item(user::kDialogButton, BS_PUSHBUTTON | WS_TABSTOP, x, 2, b.cx, 12, static_cast<WORD>(b.id), b.text);
      x = static_cast<short>(x + b.cx + 4);
    }
    return d;
  }();
  return t.Data();
}

// The frame's window state a preview changes, put back when it closes.
void EnterPreviewMode(CFrameWnd* pFrame, CPrintPreviewState* pState)
{
  pState->hMenu = ::GetMenu(pFrame->m_hWnd);
  if (pState->hMenu != nullptr) {
    ::SetMenu(pFrame->m_hWnd, nullptr);
  }
  pState->hAccelTable = pFrame->m_hAccelTable;
  pFrame->m_hAccelTable = nullptr;
  // The bars go while the pages show, all but the status bar, which tells the page.
  pState->dwStates = 0;
  int index = 0;
  for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr && index < 32; ++index) {
    auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
    if (pBar->GetDlgCtrlID() != static_cast<int>(AFX_IDW_STATUS_BAR) && pBar->IsVisible()) {
      pState->dwStates |= 1u << index;
      pFrame->ShowControlBar(pBar, FALSE, TRUE);
    }
  }
}

void LeavePreviewMode(CFrameWnd* pFrame, CPrintPreviewState* pState)
{
  if (pState->hMenu != nullptr) {
    ::SetMenu(pFrame->m_hWnd, pState->hMenu);
    pState->hMenu = nullptr;
  }
  pFrame->m_hAccelTable = pState->hAccelTable;
  pState->hAccelTable = nullptr;
  int index = 0;
  for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr && index < 32; ++index) {
    auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
    if ((pState->dwStates & (1u << index)) != 0) {
      pFrame->ShowControlBar(pBar, TRUE, TRUE);
    }
  }
  pState->dwStates = 0;
  // The view the preview stood in for takes its place again.
  if (HWND saved = ::GetDlgItem(pFrame->m_hWnd, static_cast<int>(AFX_IDW_PANE_SAVE)); saved != nullptr) {
    ::SetWindowLongPtr(saved, GWLP_ID, static_cast<LONG_PTR>(pState->nIDMainPane));
    ::ShowWindow(saved, SW_SHOW);
  }
}

}  // namespace

struct CPreviewView::PageImage {
  CSize size;
  std::vector<std::uint32_t> pixels;
};

// CPreviewToolBar

BOOL CPreviewToolBar::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nCode == CN_COMMAND && pHandlerInfo == nullptr &&
      (nID == AFX_ID_PREVIEW_CLOSE || nID == AFX_ID_PREVIEW_PRINT)) {
    // These destroy the toolbar: they run after its button has finished with it.
    m_pPreview->PostMessage(WM_COMMAND, nID, 0);
    return TRUE;
  }
  // Its own first: Escape (IDCANCEL).
  if (CDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  if (m_pPreview->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  CFrameWnd* pFrame = m_pPreview->GetParentFrame();
  return pFrame != nullptr && pFrame->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CPreviewToolBar::OnCancel() { m_pPreview->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0); }

// CView's part

void CView::OnFilePrintPreview()
{
  auto* pState = new CPrintPreviewState;
  if (!DoPrintPreview(AFX_IDD_PREVIEW_TOOLBAR, this, RUNTIME_CLASS(CPreviewView), pState)) {
    AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_OK | MB_ICONEXCLAMATION);
    delete pState;
  }
}

BOOL CView::DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
                           CPrintPreviewState* pState)
{
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame == nullptr || pPrintView == nullptr || pPreviewViewClass == nullptr || pState == nullptr) {
    return FALSE;
  }
  CObject* object = pPreviewViewClass->CreateObject();
  auto* pView = dynamic_cast<CPreviewView*>(object);
  if (pView == nullptr) {
    delete object;
    return FALSE;
  }
  pView->m_pOrigView = this;
  pView->m_nToolBarID = nIDResource;

  pState->pViewActiveOld = pFrame->GetActiveView();
  // The view in the frame's main pane steps aside; it may be this view or the one holding it.
  HWND pane = ::GetDlgItem(pFrame->m_hWnd, static_cast<int>(pState->nIDMainPane));
  if (pane != nullptr) {
    ::SetWindowLongPtr(pane, GWLP_ID, static_cast<LONG_PTR>(AFX_IDW_PANE_SAVE));
    ::ShowWindow(pane, SW_HIDE);
  }
  EnterPreviewMode(pFrame, pState);

  CCreateContext context;
  context.m_pCurrentFrame = pFrame;
  context.m_pCurrentDoc = GetDocument();
  context.m_pLastView = this;
  CRect rect;
  pFrame->GetClientRect(&rect);
  if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, pFrame,
                     pState->nIDMainPane, &context)) {
    // A view whose window failed has deleted itself.
    LeavePreviewMode(pFrame, pState);
    return FALSE;
  }
  // From here the preview owns the state and frees it.
  pView->m_pPreviewState = pState;
  if (!pView->SetPrintView(pPrintView)) {
    pView->m_pPreviewState = nullptr;  // the caller frees it
    pView->m_pOrigView = nullptr;
    pView->DestroyWindow();
    LeavePreviewMode(pFrame, pState);
    return FALSE;
  }
  pFrame->SetActiveView(pView, FALSE);
  pView->SetFocus();  // Escape and the page keys
  pFrame->RecalcLayout();
  pView->LayoutPages();
  pView->UpdateToolBar();
  pView->Invalidate(TRUE);
  return TRUE;
}

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT, CPreviewView* pView)
{
  if (pView->m_pPrintView != nullptr) {
    pView->m_pPrintView->OnEndPrinting(pDC, pInfo);
  }
  CFrameWnd* pFrame = pView->GetParentFrame();
  CPrintPreviewState* pState = pView->m_pPreviewState;
  // The preview leaves the main pane before the saved view takes it back.
  ::SetWindowLongPtr(pView->m_hWnd, GWLP_ID, 0);
  if (pFrame != nullptr && pState != nullptr) {
    LeavePreviewMode(pFrame, pState);
    CView* pOld = pState->pViewActiveOld;
    pFrame->SetActiveView(pOld != nullptr && ::IsWindow(pOld->m_hWnd) ? pOld : nullptr);
  }
  pView->DestroyWindow();
  if (pFrame != nullptr) {
    pFrame->RecalcLayout();
    pFrame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    pFrame->UpdateWindow();
  }
}

// CPreviewView

CPreviewView::CPreviewView() { m_bRepaintOnScroll = true; }

CPreviewView::~CPreviewView()
{
  if (m_dcPreview.m_hDC != nullptr) {
    m_dcPreview.DeleteDC();
  }
  delete m_pPreviewInfo;
  delete m_pPreviewState;
}

int CPreviewView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CScrollView::OnCreate(lpcs) == -1) {
    return -1;
  }
  m_pToolBar = new CPreviewToolBar(this);
  BOOL made = m_pToolBar->Create(m_nToolBarID, this);
  if (!made && m_nToolBarID == AFX_IDD_PREVIEW_TOOLBAR) {
    made = m_pToolBar->CreateIndirect(BuiltInToolBarTemplate(), this);
  }
  if (!made) {
    delete m_pToolBar;
    m_pToolBar = nullptr;
    return -1;
  }
  m_pToolBar->ModifyStyle(WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME, WS_CHILD);
  m_pToolBar->ShowWindow(SW_SHOW);
  return 0;
}

void CPreviewView::OnInitialUpdate() { CScrollView::OnInitialUpdate(); }

BOOL CPreviewView::SetPrintView(CView* pPrintView)
{
  m_pPrintView = pPrintView;
  delete m_pPreviewInfo;
  m_pPreviewInfo = new CPrintInfo;
  m_pPreviewInfo->m_bPreview = TRUE;
  if (!m_pPrintView->OnPreparePrinting(m_pPreviewInfo)) {
    return FALSE;
  }
  HDC printer = m_pPreviewInfo->m_pPD->m_pd.hDC;
  if (printer == nullptr) {
    return FALSE;
  }
  // Pages are drawn at the printer's size and resolution, onto pictures instead of paper.
  const int dpi = std::max(::GetDeviceCaps(printer, LOGPIXELSX), 1);
  const int width = ::GetDeviceCaps(printer, PHYSICALWIDTH);
  const int height = ::GetDeviceCaps(printer, PHYSICALHEIGHT);
  HDC preview = gdi::CreatePreviewPrinterDC(width * 25.4 / dpi, height * 25.4 / dpi, dpi);
  if (preview == nullptr) {
    return FALSE;
  }
  m_dcPreview.Attach(preview);
  m_dcPreview.m_bPrinting = TRUE;
  m_paperPixels = CSize(width, height);
  m_pPrintView->OnBeginPrinting(&m_dcPreview, m_pPreviewInfo);
  m_nPages = std::clamp<UINT>(m_pPreviewInfo->m_nNumPreviewPages, 1, m_nMaxPages);
  m_nCurrentPage = std::max(m_pPreviewInfo->m_nCurPage, m_pPreviewInfo->GetMinPage());
  m_nZoomState = ZOOM_OUT;
  m_nLastPageSeen = 0xFFFF;
  m_cache.clear();
  return TRUE;
}

UINT CPreviewView::GetLastPage() const
{
  return std::max(std::min(m_pPreviewInfo->GetMaxPage(), m_nLastPageSeen), m_pPreviewInfo->GetMinPage());
}

int CPreviewView::ToolBarHeight() const
{
  if (m_pToolBar == nullptr || m_pToolBar->m_hWnd == nullptr) {
    return 0;
  }
  CRect r;
  m_pToolBar->GetWindowRect(&r);
  return r.Height();
}

void CPreviewView::LayoutPages()
{
  if (m_hWnd == nullptr || m_paperPixels.cx <= 0) {
    return;
  }
  CRect client;
  GetClientRect(&client);
  const int top = ToolBarHeight();
  if (m_pToolBar != nullptr && m_pToolBar->m_hWnd != nullptr) {
    m_pToolBar->MoveWindow(0, 0, client.Width(), top, TRUE);
  }
  const UINT shown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
  const double roomW = std::max(1.0, (client.Width() - kMargin * (static_cast<int>(shown) + 1) - kShadow * static_cast<int>(shown)) / static_cast<double>(shown));
  const double roomH = std::max(1.0, static_cast<double>(client.Height() - top - 2 * kMargin - kShadow));
  const double fit = std::min(roomW / m_paperPixels.cx, roomH / m_paperPixels.cy);
  // Zoomed in: the paper's own size on the screen, and never less than half as large again as the whole page.
  const double screenDpi = ::GetDeviceCaps(nullptr, LOGPIXELSX) > 0 ? ::GetDeviceCaps(nullptr, LOGPIXELSX) : 96;
  const double actual = screenDpi / std::max(::GetDeviceCaps(m_dcPreview.m_hDC, LOGPIXELSX), 1);
  const double in = std::max(actual, fit * 1.5);
  const double scale = m_nZoomState == ZOOM_OUT ? fit : m_nZoomState == ZOOM_MIDDLE ? (fit + in) / 2 : in;
  const CSize page(std::max(1, static_cast<int>(std::lround(m_paperPixels.cx * scale))),
                   std::max(1, static_cast<int>(std::lround(m_paperPixels.cy * scale))));
  m_pageRects.clear();
  if (m_nZoomState == ZOOM_OUT) {
    const int total = static_cast<int>(shown) * (page.cx + kShadow) + (static_cast<int>(shown) - 1) * kMargin;
    int x = std::max(kMargin, (client.Width() - total) / 2);
    const int y = top + std::max(kMargin, (client.Height() - top - page.cy - kShadow) / 2);
    for (UINT i = 0; i < shown; ++i) {
      m_pageRects.emplace_back(x, y, x + page.cx, y + page.cy);
      x += page.cx + kShadow + kMargin;
    }
    SetScrollSizes(MM_TEXT, CSize(client.Width(), client.Height()));
  } else {
    const int x = std::max(kMargin, (client.Width() - page.cx - kShadow) / 2);
    m_pageRects.emplace_back(x, top + kMargin, x + page.cx, top + kMargin + page.cy);
    SetScrollSizes(MM_TEXT, CSize(page.cx + 2 * kMargin + kShadow, top + page.cy + 2 * kMargin + kShadow),
                   CSize(page.cx / 2, page.cy / 4), CSize(page.cx / 20, page.cy / 20));
  }
  if (page != m_cacheSize) {
    m_cache.clear();
    m_cacheSize = page;
  }
}

void CPreviewView::OnSize(UINT nType, int cx, int cy)
{
  CScrollView::OnSize(nType, cx, cy);
  LayoutPages();
  Invalidate(TRUE);
}

// OnDraw paints every pixel; erasing first would only flicker.
BOOL CPreviewView::OnEraseBkgnd(HDC) { return TRUE; }

void CPreviewView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) { CScrollView::OnPrepareDC(pDC, pInfo); }

const CPreviewView::PageImage* CPreviewView::PageAt(UINT nPage, CSize size)
{
  if (auto it = m_cache.find(nPage); it != m_cache.end()) {
    return it->second.get();
  }
  if (nPage > GetLastPage() || nPage < m_pPreviewInfo->GetMinPage()) {
    return nullptr;
  }
  CPrintInfo* info = m_pPreviewInfo;
  const int saved = m_dcPreview.SaveDC();
  info->m_nCurPage = nPage;
  info->m_bContinuePrinting = TRUE;
  m_pPrintView->OnPrepareDC(&m_dcPreview, info);
  if (!info->m_bContinuePrinting) {
    // The printed view has no such page: the document ends before it.
    m_dcPreview.RestoreDC(saved);
    m_nLastPageSeen = std::max(nPage, info->GetMinPage() + 1) - 1;
    return nullptr;
  }
  info->m_rectDraw.SetRect(0, 0, m_dcPreview.GetDeviceCaps(HORZRES), m_dcPreview.GetDeviceCaps(VERTRES));
  m_dcPreview.DPtoLP(reinterpret_cast<LPPOINT>(&info->m_rectDraw), 2);
  auto image = std::make_shared<PageImage>();
  image->size = size;
  bool drawn = m_dcPreview.StartPage() > 0;
  if (drawn) {
    m_pPrintView->OnPrint(&m_dcPreview, info);
    drawn = m_dcPreview.EndPage() > 0;
  }
  m_dcPreview.RestoreDC(saved);
  gdi::PrintJob* job = gdi::PrintJobOf(m_dcPreview.m_hDC);
  if (!drawn || job == nullptr || !job->RenderPage(size.cx, size.cy, image->pixels)) {
    return nullptr;
  }
  m_cache[nPage] = image;
  return image.get();
}

void CPreviewView::OnDraw(CDC* pDC)
{
  CRect client;
  GetClientRect(&client);
  const CPoint scroll = GetDeviceScrollPosition();
  client.OffsetRect(scroll.x, scroll.y);
  pDC->FillSolidRect(&client, kBackground);
  if (m_pPreviewInfo == nullptr) {
    return;
  }
  UINT shown = 0;
  for (std::size_t i = 0; i < m_pageRects.size(); ++i) {
    const UINT nPage = m_nCurrentPage + static_cast<UINT>(i);
    const CRect& r = m_pageRects[i];
    const PageImage* image = PageAt(nPage, r.Size());
    if (image == nullptr) {
      break;
    }
    ++shown;
    pDC->FillSolidRect(r.left + kShadow, r.top + kShadow, r.Width(), r.Height(), RGB(0, 0, 0));
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = image->size.cx;
    bmi.bmiHeader.biHeight = -image->size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(pDC->m_hDC, r.left, r.top, static_cast<DWORD>(image->size.cx),
                        static_cast<DWORD>(image->size.cy), 0, 0, 0, static_cast<UINT>(image->size.cy),
                        image->pixels.data(), &bmi, DIB_RGB_COLORS);
  }
  if (shown == 0 && m_nCurrentPage > m_pPreviewInfo->GetMinPage()) {
    // The document ended before the page asked for: show its last ones.
    const UINT last = GetLastPage();
    const UINT first = last + 1 > m_nPages ? last + 1 - (m_nZoomState == ZOOM_OUT ? m_nPages : 1) : 1;
    if (first < m_nCurrentPage) {
      SetCurrentPage(std::max(first, m_pPreviewInfo->GetMinPage()), TRUE);
    }
  }
  OnDisplayPageNumber(m_nCurrentPage, std::max<UINT>(shown, 1));
}

void CPreviewView::OnDisplayPageNumber(UINT nPage, UINT nPagesDisplayed)
{
  // "Page %u\nPages %u-%u\n": the first line for one page, the second for two.
  CString desc = m_pPreviewInfo->m_strPageDesc;
  const int cut = desc.Find('\n');
  CString one = cut >= 0 ? desc.Left(cut) : desc;
  CString two = cut >= 0 ? desc.Mid(cut + 1) : desc;
  if (const int end = two.Find('\n'); end >= 0) {
    two = two.Left(end);
  }
  char text[128];
  if (nPagesDisplayed > 1 && nPage + 1 <= GetLastPage()) {
    std::snprintf(text, sizeof text, static_cast<LPCSTR>(two), nPage, nPage + 1);
  } else {
    std::snprintf(text, sizeof text, static_cast<LPCSTR>(one), nPage);
  }
  m_strPageText = text;
  if (CFrameWnd* pFrame = GetParentFrame(); pFrame != nullptr) {
    pFrame->SetMessageText(m_strPageText);
  }
}

void CPreviewView::SetCurrentPage(UINT nPage, BOOL)
{
  const UINT first = m_pPreviewInfo->GetMinPage();
  m_nCurrentPage = std::clamp(nPage, first, std::max(first, GetLastPage()));
  UpdateToolBar();
  Invalidate(TRUE);
}

void CPreviewView::SetZoomState(UINT nNewState, UINT nPage, CPoint point)
{
  if (nNewState > ZOOM_IN) {
    return;
  }
  // The page clicked stays in view: zoomed in, the one page shown is it.
  CPoint onPage = point;
  if (nNewState != ZOOM_OUT && nPage >= m_pPreviewInfo->GetMinPage() && nPage <= GetLastPage()) {
    m_nCurrentPage = nPage;
  }
  const CSize before = m_cacheSize;
  m_nZoomState = nNewState;
  LayoutPages();
  if (nNewState != ZOOM_OUT && before.cx > 0 && !m_pageRects.empty()) {
    const CRect& r = m_pageRects[0];
    CRect client;
    GetClientRect(&client);
    const int x = r.left + onPage.x * r.Width() / before.cx - client.Width() / 2;
    const int y = r.top + onPage.y * r.Height() / before.cy - client.Height() / 2;
    ScrollToPosition(CPoint(std::max(x, 0), std::max(y, 0)));
  } else {
    ScrollToPosition(CPoint(0, 0));
  }
  UpdateToolBar();
  Invalidate(TRUE);
}

BOOL CPreviewView::FindPageRect(CPoint& point, UINT& nPage)
{
  const CPoint doc = point + GetDeviceScrollPosition();
  for (std::size_t i = 0; i < m_pageRects.size(); ++i) {
    if (m_pageRects[i].PtInRect(doc)) {
      nPage = m_nCurrentPage + static_cast<UINT>(i);
      point = CPoint(doc.x - m_pageRects[i].left, doc.y - m_pageRects[i].top);
      return nPage <= GetLastPage();
    }
  }
  return FALSE;
}

void CPreviewView::OnLButtonDown(UINT, CPoint point)
{
  UINT nPage = 0;
  if (!FindPageRect(point, nPage)) {
    return;
  }
  SetZoomState(m_nZoomState == ZOOM_IN ? UINT{ZOOM_OUT} : m_nZoomState + 1, nPage, point);
}

void CPreviewView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  switch (nChar) {
    case VK_ESCAPE: PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0); return;
    case VK_NEXT:
      if (m_nZoomState == ZOOM_OUT) {
        OnNextPage();
        return;
      }
      break;
    case VK_PRIOR:
      if (m_nZoomState == ZOOM_OUT) {
        OnPrevPage();
        return;
      }
      break;
    default: break;
  }
  CScrollView::OnKeyDown(nChar, nRepCnt, nFlags);
}

bool CPreviewView::CanNext() const
{
  const UINT shown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
  return m_pPreviewInfo != nullptr && m_nCurrentPage + shown <= GetLastPage();
}

bool CPreviewView::CanPrev() const
{
  return m_pPreviewInfo != nullptr && m_nCurrentPage > m_pPreviewInfo->GetMinPage();
}

void CPreviewView::OnNextPage()
{
  if (CanNext()) {
    SetCurrentPage(m_nCurrentPage + 1, TRUE);
  }
}

void CPreviewView::OnPrevPage()
{
  if (CanPrev()) {
    SetCurrentPage(m_nCurrentPage - 1, TRUE);
  }
}

void CPreviewView::OnNumPageChange()
{
  m_nPages = m_nPages == 1 ? std::min<UINT>(2, m_nMaxPages) : 1;
  m_pPreviewInfo->m_nNumPreviewPages = m_nPages;
  if (m_nZoomState != ZOOM_OUT) {
    SetZoomState(ZOOM_OUT, m_nCurrentPage, CPoint(0, 0));
  } else {
    LayoutPages();
  }
  // Two pages from the last one show the last two.
  if (m_nPages == 2 && m_nCurrentPage > m_pPreviewInfo->GetMinPage() && m_nCurrentPage + 1 > GetLastPage()) {
    m_nCurrentPage = std::max(GetLastPage(), m_pPreviewInfo->GetMinPage() + 1) - 1;
  }
  UpdateToolBar();
  Invalidate(TRUE);
}

void CPreviewView::OnZoomIn()
{
  if (m_nZoomState < ZOOM_IN) {
    SetZoomState(m_nZoomState + 1, m_nCurrentPage, CPoint(0, 0));
  }
}

void CPreviewView::OnZoomOut()
{
  if (m_nZoomState > ZOOM_OUT) {
    SetZoomState(m_nZoomState - 1, m_nCurrentPage, CPoint(0, 0));
  }
}

void CPreviewView::UpdateToolBar()
{
  if (m_pToolBar == nullptr || m_pToolBar->m_hWnd == nullptr) {
    return;
  }
  auto enable = [&](UINT id, bool on) {
    if (HWND button = ::GetDlgItem(m_pToolBar->m_hWnd, static_cast<int>(id)); button != nullptr) {
      ::EnableWindow(button, on ? TRUE : FALSE);
    }
  };
  enable(AFX_ID_PREVIEW_NEXT, CanNext());
  enable(AFX_ID_PREVIEW_PREV, CanPrev());
  enable(AFX_ID_PREVIEW_ZOOMIN, m_nZoomState < ZOOM_IN);
  enable(AFX_ID_PREVIEW_ZOOMOUT, m_nZoomState > ZOOM_OUT);
  enable(AFX_ID_PREVIEW_NUMPAGE, m_nZoomState == ZOOM_OUT && m_nMaxPages > 1);
  if (HWND button = ::GetDlgItem(m_pToolBar->m_hWnd, static_cast<int>(AFX_ID_PREVIEW_NUMPAGE)); button != nullptr) {
    ::SetWindowText(button, m_nPages == 1 ? "&Two Page" : "&One Page");
  }
}

void CPreviewView::ClosePreview()
{
  if (m_closing) {
    return;
  }
  m_closing = true;
  if (m_pToolBar != nullptr) {
    m_pToolBar->DestroyWindow();
    m_pToolBar = nullptr;
  }
  m_pPreviewInfo->m_nCurPage = m_nCurrentPage;
  CView* pOrig = m_pOrigView;
  pOrig->OnEndPrintPreview(&m_dcPreview, m_pPreviewInfo, CPoint(0, 0), this);
}

void CPreviewView::OnPreviewClose() { ClosePreview(); }

void CPreviewView::OnPreviewPrint()
{
  CFrameWnd* pFrame = GetParentFrame();
  ClosePreview();
  // The print goes the way the menu's would, so the program may take it.
  if (pFrame != nullptr) {
    pFrame->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
  }
}

bool CPreviewView::SaveWindowPng(const std::string& path)
{
  if (m_hWnd == nullptr) {
    return false;
  }
  UpdateWindow();
  HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
  ::UpdateWindow(root);
  const gdi::Surface* surface = user::WindowSurface(root);
  if (surface == nullptr) {
    return false;
  }
  RECT rootRect;
  RECT mine;
  ::GetWindowRect(root, &rootRect);
  ::GetWindowRect(m_hWnd, &mine);
  const int x0 = mine.left - rootRect.left;
  const int y0 = mine.top - rootRect.top;
  const int cx = std::min<int>(mine.right - mine.left, surface->Width() - x0);
  const int cy = std::min<int>(mine.bottom - mine.top, surface->Height() - y0);
  if (x0 < 0 || y0 < 0 || cx <= 0 || cy <= 0) {
    return false;
  }
  gdi::Surface copy;
  copy.Resize(cx, cy);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) {
      copy.Pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(cx) + static_cast<std::size_t>(x)] =
          surface->Pixel(x0 + x, y0 + y);
    }
  }
  return gdi::SavePng(copy, path);
}
