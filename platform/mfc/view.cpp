#include "platform/mfc/view.h"

#include "platform/mfc/document.h"
#include "platform/mfc/dc.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/printing.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_INITIALUPDATE, &CView::OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView()
{
  if (m_pDocument != nullptr) {
    m_pDocument->RemoveView(this);
  }
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
  cs.style |= static_cast<LONG>(WS_CLIPSIBLINGS);
  return CWnd::PreCreateWindow(cs);
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CWnd::OnCreate(lpcs) == -1) {
    return -1;
  }
  auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr) {
    pContext->m_pCurrentDoc->AddView(this);
  }
  return 0;
}

void CView::OnDestroy()
{
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame != nullptr && pFrame->GetActiveView() == this) {
    pFrame->SetActiveView(nullptr, FALSE);
  }
  CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
  const int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
  if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) {
    return result;
  }
  if (CFrameWnd* pFrame = GetParentFrame()) {
    pFrame->SetActiveView(this);
  }
  const HWND focus = ::GetFocus();
  if (focus != m_hWnd && !::IsChild(m_hWnd, focus)) {
    ::SetFocus(m_hWnd);
  }
  return result;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nCode == CN_COMMAND && pHandlerInfo == nullptr) {
    // Only while this command is routed: a later direct call of OnFilePrint is a plain print.
    const UINT before = NotePrintCommand(nID);
    const BOOL handled = CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) ||
                         (m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo));
    NotePrintCommand(before);
    return handled;
  }
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL, CView*, CView*) {}

void CView::OnPaint()
{
  CPaintDC dc(this);
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

void CView::OnDraw(CDC*) {}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
  // A document that does not say how long it is prints one page.
  if (pInfo != nullptr) {
    pInfo->m_bContinuePrinting = pInfo->GetMaxPage() != 0xFFFF || pInfo->m_nCurPage == 1 ? TRUE : FALSE;
  }
}
