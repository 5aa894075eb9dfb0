#include "toolkit/docking/dragcontext.h"

#include "toolkit/docking/miniframe.h"
#include "toolkit/docking/pane_manager.h"
#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/splitter_container.h"
#include "toolkit/docking/tabbed_container.h"
#include "toolkit/paint/draw_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kDragThreshold = 4;
constexpr int kOutline = 4;
constexpr double kSideThreshold = 20.0;

// The rectangle moved just enough that the point lies in it.
void AdjustRectToPoint(CRect& rc, CPoint point)
{
  if (point.x < rc.left) {
    rc.OffsetRect(point.x - rc.left, 0);
  } else if (point.x >= rc.right) {
    rc.OffsetRect(point.x - rc.right + 1, 0);
  }
  if (point.y < rc.top) {
    rc.OffsetRect(0, point.y - rc.top);
  } else if (point.y >= rc.bottom) {
    rc.OffsetRect(0, point.y - rc.bottom + 1);
  }
}

std::unique_ptr<CRgn> FrameRegion(CRect rc)
{
  auto pOuter = std::make_unique<CRgn>();
  pOuter->CreateRectRgnIndirect(&rc);
  CRect rcInner = rc;
  rcInner.DeflateRect(kOutline, kOutline);
  if (rcInner.Width() > 0 && rcInner.Height() > 0) {
    CRgn inner;
    inner.CreateRectRgnIndirect(&rcInner);
    pOuter->CombineRgn(pOuter.get(), &inner, RGN_DIFF);
  }
  return pOuter;
}

}  // namespace

CTKDockingPaneContext::CTKDockingPaneContext(CTKDockingPaneManager* pManager) : m_pManager(pManager)
{
  if (HMODULE hUser = ::GetModuleHandle("USER32"); hUser != nullptr) {
    m_pfnSetLayeredWindowAttributes = ::GetProcAddress(hUser, "SetLayeredWindowAttributes");
  }
}

CTKDockingPaneContext::~CTKDockingPaneContext() = default;

CWnd* CTKDockingPaneContext::HostWindow() const
{
  CTKDockingPaneBase* pParent = m_pNode->GetContainer();
  if (pParent != nullptr && pParent->GetType() == TK_DOCKINGPANE_MINIWND) {
    return static_cast<CTKDockingPaneMiniWnd*>(pParent);
  }
  return m_pNode->GetDockingSite() != nullptr ? m_pNode->GetDockingSite() : m_pManager->GetSite();
}

BOOL CTKDockingPaneContext::AllAccept(int nAction, CTKDockingPaneBase* pTarget, INT_PTR nDirection)
{
  CTKDockingPaneNodeList lstPanes;
  TKListDockingPanes(m_pNode, &lstPanes);
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    if (m_pManager->NotifyAction(nAction, static_cast<CTKDockingPane*>(lstPanes.GetNext(pos)), pTarget,
                                 nDirection) != 0) {
      return FALSE;
    }
  }
  return TRUE;
}

void CTKDockingPaneContext::Drag(CTKDockingPaneBase* pNode, CPoint point)
{
  m_ptLast = m_ptStart = point;
  m_rcFloat = pNode->GetScreenRect();
  AdjustRectToPoint(m_rcFloat, point);
  m_pNode = pNode;
  m_pTarget = nullptr;
  m_bAttach = FALSE;
  m_bAttachLast = FALSE;
  m_rcLast.SetRectEmpty();
  m_bFloatable = TRUE;
  m_bUseAlphaContext = m_pManager->m_bAlphaDockingContext;
  m_bUseDockingStickers = m_pManager->m_bShowDockingContextStickers;

  CTKDockingPaneNodeList lstPanes;
  TKListDockingPanes(pNode, &lstPanes);
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    auto* pPane = static_cast<CTKDockingPane*>(lstPanes.GetNext(pos));
    if (m_pManager->NotifyAction(tkActionFloating, pPane) != 0 || (pPane->GetOptions() & TK_PANE_NOFLOATABLE) != 0) {
      m_bFloatable = FALSE;
    }
  }

  InitLoop();
  if (!Track()) {
    return;
  }

  // The drop: the panes as they were before it are told what became of them.
  int nAction = -1;
  if (m_bAttach && m_pTarget != nullptr) {
    m_pManager->MoveNodeToContainer(m_pNode, m_pTarget);
    nAction = tkActionAttached;
  } else if (m_pTarget != nullptr) {
    m_pManager->DockDraggedNode(m_pNode, m_pManager->GetRTLDirection(m_nDirection), m_pTarget);
    nAction = tkActionDocked;
  } else if (m_bFloatable) {
    if (m_rcFloat.top < 0) {
      m_rcFloat.OffsetRect(0, -m_rcFloat.top);
    }
    CTKDockingPaneBase* pParent = m_pNode->GetContainer();
    if (m_pNode->GetType() == TK_DOCKINGPANE_SPLITTER && pParent != nullptr &&
        pParent->GetType() == TK_DOCKINGPANE_MINIWND) {
      static_cast<CTKDockingPaneMiniWnd*>(pParent)->MoveWindow(m_rcFloat, TRUE);
    } else {
      m_pManager->FloatNodeAt(m_pNode, m_rcFloat);
    }
    nAction = tkActionFloated;
  }
  if (nAction < 0) {
    return;
  }
  for (POSITION pos = lstPanes.GetHeadPosition(); pos != nullptr;) {
    m_pManager->NotifyAction(nAction, static_cast<CTKDockingPane*>(lstPanes.GetNext(pos)));
  }
}

void CTKDockingPaneContext::InitLoop()
{
  m_rcLast.SetRectEmpty();
  m_bAttachLast = FALSE;
  MSG msg{};
  while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    ::DispatchMessage(&msg);
  }
  HWND hDesktop = ::GetDesktopWindow();
  const BOOL bLocked = ::LockWindowUpdate(hDesktop);
  m_hwndLocked = bLocked ? hDesktop : nullptr;
  HDC hDC = ::GetDCEx(hDesktop, nullptr, DCX_WINDOW | DCX_CACHE | (bLocked ? DCX_LOCKWINDOWUPDATE : 0));
  m_pDC = hDC != nullptr ? new CDC() : nullptr;
  if (m_pDC != nullptr) {
    m_pDC->Attach(hDC);
  }
}

void CTKDockingPaneContext::CancelLoop()
{
  if (::GetCapture() != nullptr && CWnd::FromHandle(::GetCapture()) == HostWindow()) {
    ::ReleaseCapture();
  }
  DrawFocusRect(TRUE);
  if (m_hwndLocked != nullptr) {
    ::LockWindowUpdate(nullptr);
    m_hwndLocked = nullptr;
  }
  if (m_pDC != nullptr) {
    ::ReleaseDC(::GetDesktopWindow(), m_pDC->Detach());
    delete m_pDC;
    m_pDC = nullptr;
  }
}

BOOL CTKDockingPaneContext::Track()
{
  CWnd* pHost = HostWindow();
  if (::GetCapture() != nullptr || pHost == nullptr || pHost->GetSafeHwnd() == nullptr) {
    CancelLoop();
    return FALSE;
  }
  const HWND hHost = pHost->GetSafeHwnd();
  ::SetCapture(hHost);
  BOOL bStarted = FALSE;
  BOOL bDrop = FALSE;
  BOOL bDone = FALSE;
  while (!bDone && ::GetCapture() == hHost) {
    MSG msg{};
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_CONTROL) {
          Move(m_ptLast);
          bStarted = TRUE;
        } else if (msg.wParam == VK_ESCAPE) {
          bDone = TRUE;
        }
        break;
      case WM_MOUSEMOVE: {
        CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
        ::ClientToScreen(hHost, &pt);
        if (!bStarted && std::abs(pt.x - m_ptStart.x) <= kDragThreshold &&
            std::abs(pt.y - m_ptStart.y) <= kDragThreshold) {
          break;
        }
        Move(pt);
        bStarted = TRUE;
        break;
      }
      case WM_LBUTTONUP:
        bDrop = TRUE;
        bDone = TRUE;
        break;
      default:
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
        break;
    }
  }
  CancelLoop();
  return bDrop && bStarted;
}

void CTKDockingPaneContext::Move(CPoint point)
{
  CRect rcMoved = m_rcFloat;
  rcMoved.OffsetRect(point.x - m_ptLast.x, point.y - m_ptLast.y);
  const CRect rcWork = CTKDrawHelpers::GetWorkArea(m_rcFloat);
  if (!CRect(rcMoved.Intersect(rcWork)).IsRectEmpty()) {
    m_rcFloat = rcMoved;
  }
  m_pTarget = nullptr;
  m_bAttach = FALSE;
  if (::GetKeyState(VK_CONTROL) >= 0) {
    FindDockTarget(point);
  }
  m_ptLast = point;
  DrawFocusRect(FALSE);
}

void CTKDockingPaneContext::FindDockTarget(CPoint point)
{
  CTKDockingPaneLayout* pLayout = m_pManager->GetCurrentLayout();
  for (POSITION pos = pLayout->m_lstPanes.GetHeadPosition(); pos != nullptr;) {
    CTKDockingPaneTabbedContainer* pContainer = pLayout->m_lstPanes.GetNext(pos).pPane->GetParentTabbed();
    if (pContainer == nullptr || pContainer->GetContainer() == nullptr ||
        pContainer->GetContainer()->GetType() != TK_DOCKINGPANE_SPLITTER || !pContainer->IsWindowVisible() ||
        m_pNode->ContainPane(pContainer) != nullptr) {
      continue;
    }
    m_rcPreview = pContainer->GetScreenRect();
    CRect rc = m_rcPreview;
    if (pContainer->IsTabDropPoint(rc, point)) {
      if (AllAccept(tkActionAttaching, pContainer, 0)) {
        m_pTarget = pContainer;
        m_bAttach = TRUE;
        return;
      }
      rc = m_rcPreview;
    }
    if (CanDockAtRect(rc, point, pContainer, TRUE)) {
      return;
    }
  }
  if (CTKDockingPaneBase* pClient = m_pManager->GetClientPane(); pClient != nullptr) {
    m_rcPreview = pClient->GetScreenRect();
    if (CanDockAtRect(m_rcPreview, point, pClient, TRUE)) {
      return;
    }
  }
  if (CTKDockingPaneBase* pTop = m_pManager->GetTopPane(); pTop != nullptr) {
    m_rcPreview = pTop->GetScreenRect();
    if (CanDockAtRect(m_rcPreview, point, pTop, FALSE)) {
      return;
    }
  }
}

BOOL CTKDockingPaneContext::CanDockAtRect(CRect rc, CPoint point, CTKDockingPaneBase* pNeighbour, BOOL bInside)
{
  double dThreshold = kSideThreshold;
  double dWeight = 1.0;
  if (bInside && !m_bFloatable) {
    dThreshold = 32000.0;
    if (rc.Width() > 1 && rc.Height() > 1) {
      dWeight = static_cast<double>(rc.Height()) / rc.Width();
    }
  }
  if (rc.Width() == 0 || rc.Height() == 0) {
    return FALSE;
  }
  CRect rcArea = rc;
  if (!bInside) {
    rcArea.InflateRect(20, 20);
  }
  if (!rcArea.PtInRect(point)) {
    return FALSE;
  }
  const auto side = [&](BOOL bOnSide) { return bInside ? bOnSide : !bOnSide; };
  double dBest = dThreshold;
  int nDirection = -1;
  auto consider = [&](int nSide, double dDistance, BOOL bCorrect) {
    if (bCorrect && dDistance < dBest) {
      dBest = dDistance;
      nDirection = nSide;
    }
  };
  consider(TK_DOCK_TOP, std::abs(point.y - rc.top), side(point.y >= rc.top));
  consider(TK_DOCK_BOTTOM, std::abs(rc.bottom - point.y), side(point.y < rc.bottom));
  consider(TK_DOCK_LEFT, std::abs(point.x - rc.left) * dWeight, side(point.x >= rc.left));
  consider(TK_DOCK_RIGHT, std::abs(rc.right - point.x) * dWeight, side(point.x < rc.right));
  if (nDirection < 0 || !AllAccept(tkActionDocking, pNeighbour, nDirection)) {
    return FALSE;
  }
  m_pManager->GetDockingRect(m_rcPreview, m_pNode, nDirection, pNeighbour);
  m_nDirection = nDirection;
  m_pTarget = pNeighbour;
  return TRUE;
}

CRgn* CTKDockingPaneContext::CreateOutlineRegion(CRect rc, BOOL bAttach)
{
  if (!bAttach) {
    return FrameRegion(rc).release();
  }
  CRect rcBody = rc;
  rcBody.bottom -= std::min(20, rc.Height() / 2);
  CRect rcTab(rc.left + 5, rcBody.bottom - kOutline, std::min<int>(rc.left + 55, rc.right), rc.bottom);
  std::unique_ptr<CRgn> pBody = FrameRegion(rcBody);
  std::unique_ptr<CRgn> pTab = FrameRegion(rcTab);
  auto* pOutline = new CRgn();
  pOutline->CreateRectRgn(0, 0, 0, 0);
  pOutline->CombineRgn(pBody.get(), pTab.get(), RGN_OR);
  if (CRect rcOverlap = rcBody.Intersect(rcTab); !rcOverlap.IsRectEmpty()) {
    rcOverlap.DeflateRect(kOutline, 0);
    if (rcOverlap.Width() > 0) {
      std::unique_ptr<CRgn> pOverlap = FrameRegion(rcOverlap);
      pOutline->CombineRgn(pOutline, pOverlap.get(), RGN_DIFF);
    }
  }
  return pOutline;
}

void CTKDockingPaneContext::DrawFocusRect(BOOL bRemoveRect)
{
  if (m_pDC == nullptr) {
    return;
  }
  CRect rc;
  BOOL bAttach = FALSE;
  if (!bRemoveRect) {
    if (m_pTarget != nullptr) {
      rc = m_rcPreview;
      bAttach = m_bAttach;
    } else if (m_bFloatable) {
      rc = m_rcFloat;
    }
  }
  if (rc == m_rcLast && bAttach == m_bAttachLast) {
    return;
  }
  // Only what differs from the outline on the screen is inverted: nothing flickers and nothing is left behind.
  std::unique_ptr<CRgn> pNew(rc.IsRectEmpty() ? nullptr : CreateOutlineRegion(rc, bAttach));
  std::unique_ptr<CRgn> pOld(m_rcLast.IsRectEmpty() ? nullptr : CreateOutlineRegion(m_rcLast, m_bAttachLast));
  CRgn difference;
  difference.CreateRectRgn(0, 0, 0, 0);
  if (pNew != nullptr && pOld != nullptr) {
    difference.CombineRgn(pNew.get(), pOld.get(), RGN_XOR);
  } else if (pNew != nullptr || pOld != nullptr) {
    difference.CombineRgn(pNew != nullptr ? pNew.get() : pOld.get(), nullptr, RGN_COPY);
  }
  m_pDC->SelectClipRgn(&difference);
  CRect rcClip;
  m_pDC->GetClipBox(&rcClip);
  CBrush* pOldBrush = m_pDC->SelectObject(CDC::GetHalftoneBrush());
  m_pDC->PatBlt(rcClip.left, rcClip.top, rcClip.Width(), rcClip.Height(), PATINVERT);
  m_pDC->SelectObject(pOldBrush);
  m_pDC->SelectClipRgn(nullptr);
  m_rcLast = rc;
  m_bAttachLast = bAttach;
}

BOOL CTKDockingPaneTabbedContainer::IsTabDropPoint(CRect& rc, CPoint point) const
{
  const CTKDockingPanePaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == nullptr) {
    return FALSE;
  }
  if (IsCaptionVisible()) {
    const int nStrip = pPaintManager->GetCaptionHeight() + 3;
    CRect rcStrip = rc;
    if (IsCaptionVertical()) {
      rcStrip.right = rcStrip.left + nStrip;
      rc.left = rcStrip.right;
    } else {
      rcStrip.bottom = rcStrip.top + nStrip;
      rc.top = rcStrip.bottom;
    }
    if (rcStrip.PtInRect(point)) {
      return TRUE;
    }
  } else if (m_pDockingSite != nullptr && m_pDockingSite->GetSafeHwnd() != nullptr) {
    // A floating frame's only group shows no caption: the frame's own title bar stands for it.
    CRect rcSite;
    m_pDockingSite->GetWindowRect(&rcSite);
    CRect rcAbove(rc.left, rcSite.top, rc.right, rc.top);
    if (rcAbove.PtInRect(point)) {
      return TRUE;
    }
  }
  if (IsTabsVisible()) {
    CRect rcTabs = rc;
    rcTabs.top = rcTabs.bottom - pPaintManager->GetTabRowHeight();
    if (rcTabs.PtInRect(point)) {
      return TRUE;
    }
    rc.bottom = rcTabs.top;
  }
  return FALSE;
}
